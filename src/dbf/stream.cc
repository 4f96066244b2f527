// The memory stream behind inner and outer storage, and the shared open of
// files that are loaded into streams.
#include "dbf/stream.h"

#include <algorithm>
#include <cstring>

#include "dbf/errors.h"
#include "dbf/platform_file.h"

namespace qxdbf {

namespace {
constexpr int64_t kMaxPosition = 2147483647;
}  // namespace

void OpenSourceFile(PlatformFile& file, const std::string& file_name) {
  // Packed 0x20 (read access, others may read) is a sharing open.
  if (!file.Open(file_name, kFileAccessRead, /*exclusive=*/false))
    throw EQxDBFIoError("Cannot open file \"" + file_name + "\". " + file.LastErrorText());
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  if (count < 0 || (buffer == nullptr && count > 0)) return -1;
  const int64_t available = std::max<int64_t>(0, Size() - static_cast<int64_t>(position_));
  const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, available));
  if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count < 0 || (buffer == nullptr && count > 0)) return -1;
  const int64_t end = static_cast<int64_t>(position_) + count;
  if (end > kMaxPosition) return -1;
  if (count == 0) return 0;
  if (end > Size()) data_.resize(static_cast<size_t>(end), 0);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = static_cast<int32_t>(end);
  return count;
}

int32_t TMemoryStream::Seek(int32_t offset, int origin) {
  int64_t base;
  switch (origin) {
    case kSeekFromBeginning:
      base = 0;
      break;
    case kSeekFromCurrent:
      base = position_;
      break;
    case kSeekFromEnd:
      base = Size();
      break;
    default:
      return -1;
  }
  const int64_t target = base + offset;
  if (target < 0 || target > kMaxPosition) return -1;
  position_ = static_cast<int32_t>(target);
  return position_;
}

bool TMemoryStream::SetSize(int32_t size) {
  if (size < 0) return false;
  data_.resize(static_cast<size_t>(size), 0);
  if (position_ > size) position_ = size;
  return true;
}

void TMemoryStream::LoadFromFile(const std::string& file_name) {
  PlatformFile file;
  OpenSourceFile(file, file_name);
  const int32_t size = file.GetSize();
  std::vector<uint8_t> content(static_cast<size_t>(std::max(size, 0)));
  if (size < 0 || file.Read(content.data(), size) != size)
    throw EQxDBFIoError("TMemoryStream.LoadFromFile: Read error \"" + file_name +
                        "\": " + file.LastErrorText());
  data_ = std::move(content);
  position_ = 0;
}

}  // namespace qxdbf
