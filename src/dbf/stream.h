// Byte streams that stand in for a file: the storage of nested tables (a
// memory stream the proxy owns) and of tables a caller keeps in its own
// stream. Positions and sizes follow the same signed 32-bit rules as files;
// -1 means failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxdbf {

class PlatformFile;

// Opens `file_name` the way files are loaded into streams: read access while
// others may read but not write it (packed 0x20), so a sharing open that an
// exclusive holder keeps out. Raises EQxDBFIoError "Cannot open file
// "<name>". <system text>" when the open is refused.
void OpenSourceFile(PlatformFile& file, const std::string& file_name);

class TStream {
 public:
  virtual ~TStream() = default;

  // Up to `count` bytes from the position; answers the bytes read (0 at or
  // past the end), -1 on error.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // `count` bytes at the position; answers the bytes written, -1 on error.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Origin 0 from the start, 1 from the position, 2 from the end; answers the
  // new position, -1 (position unchanged) when it would be negative or past
  // 2147483647 or the origin is unknown.
  virtual int32_t Seek(int32_t offset, int origin) = 0;
  virtual int32_t Size() = 0;
  // Cuts or extends (with zero bytes) to `size`; a position past the new end
  // moves to the end.
  virtual bool SetSize(int32_t size) = 0;
};

// A stream over a growable buffer it owns.
class TMemoryStream : public TStream {
 public:
  int32_t Read(void* buffer, int32_t count) override;
  // Writing past the end grows the buffer; a gap between the old end and the
  // position is filled with zero bytes.
  int32_t Write(const void* buffer, int32_t count) override;
  int32_t Seek(int32_t offset, int origin) override;
  int32_t Size() override { return static_cast<int32_t>(data_.size()); }
  bool SetSize(int32_t size) override;

  // Replaces the content with the file's bytes and moves to position 0. The
  // file is opened for reading while others may read but not write it.
  // Raises EQxDBFIoError when it cannot be opened or read; the content is
  // unchanged then.
  void LoadFromFile(const std::string& file_name);

  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int32_t position_ = 0;  // may lie past the end
};

}  // namespace qxdbf
