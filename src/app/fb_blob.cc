#include "app/fb_blob.h"

#include <algorithm>

#include "app/fb_status.h"

namespace veltrix {

namespace {

// Closes the blob on every path; a close failure after a failed read or write
// adds nothing to that error.
class BlobHandle {
 public:
  BlobHandle() = default;
  ~BlobHandle() {
    if (handle_ != 0) {
      ISC_STATUS_ARRAY status;
      isc_cancel_blob(status, &handle_);
    }
  }
  BlobHandle(const BlobHandle&) = delete;
  BlobHandle& operator=(const BlobHandle&) = delete;
  isc_blob_handle* get() { return &handle_; }
  void Close() {
    ISC_STATUS_ARRAY status;
    isc_close_blob(status, &handle_);
    CheckStatus(status);
    handle_ = 0;
  }

 private:
  isc_blob_handle handle_ = 0;
};

}  // namespace

std::string ReadBlob(isc_db_handle* db, isc_tr_handle* tr, const ISC_QUAD& id) {
  ISC_STATUS_ARRAY status;
  BlobHandle blob;
  ISC_QUAD blob_id = id;
  isc_open_blob2(status, db, tr, blob.get(), &blob_id, 0, nullptr);
  CheckStatus(status);
  std::string bytes;
  char segment[32768];
  for (;;) {
    unsigned short got = 0;
    const ISC_STATUS rc = isc_get_segment(status, blob.get(), &got, sizeof(segment) - 1, segment);
    if (rc == isc_segstr_eof) break;
    if (rc != 0 && rc != isc_segment) CheckStatus(status);
    bytes.append(segment, got);
  }
  blob.Close();
  return bytes;
}

ISC_QUAD WriteBlob(isc_db_handle* db, isc_tr_handle* tr, const std::string& bytes) {
  ISC_STATUS_ARRAY status;
  BlobHandle blob;
  ISC_QUAD id{};
  isc_create_blob2(status, db, tr, blob.get(), &id, 0, nullptr);
  CheckStatus(status);
  constexpr size_t kSegment = 32767;
  for (size_t pos = 0; pos < bytes.size(); pos += kSegment) {
    const size_t n = std::min(kSegment, bytes.size() - pos);
    isc_put_segment(status, blob.get(), static_cast<unsigned short>(n), bytes.data() + pos);
    CheckStatus(status);
  }
  blob.Close();
  return id;
}

}  // namespace veltrix
