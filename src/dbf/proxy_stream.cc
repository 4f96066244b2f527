// TProxyStream: dispatch of each operation to the file, the inner memory
// stream or the lent outer stream, and the loading of a file into each.
#include "dbf/proxy_stream.h"

#include <cerrno>
#include <vector>

#include "dbf/errors.h"
#include "dbf/mem_mgr.h"

namespace qxdbf {

namespace {

// Copies the whole of `source` through `buffer` into `sink`, which answers
// whether it took every byte.
template <typename Sink>
void CopyFile(PlatformFile& source, const std::string& source_name, uint8_t* buffer,
              int32_t buffer_size, Sink sink) {
  for (;;) {
    const int32_t n = source.Read(buffer, buffer_size);
    if (n < 0)
      throw EQxDBFIoError("TProxyStream.LoadFromFile: Read error \"" + source_name +
                          "\": " + source.LastErrorText());
    if (n == 0) return;
    sink(buffer, n);
  }
}

}  // namespace

TProxyStream::TProxyStream() : inner_(std::make_unique<TMemoryStream>()) {}

TProxyStream::~TProxyStream() { Close(); }

void TProxyStream::SetProxyStreamType(TProxyStreamType type) {
  if (type != type_) Close();
  type_ = type;
}

void TProxyStream::Open() {
  switch (type_) {
    case pstFile: {
      file_.Close();
      const uint32_t packed = access_mode_.AccessMode();
      if (!IsValidAccessMode(packed)) {
        NoteError(EINVAL);
        return;
      }
      if (!file_.Open(file_name_, static_cast<int>(AccessOf(packed)), IsExclusiveShare(packed)))
        NoteFileError();
      return;
    }
    case pstInnerStream:
      inner_->Seek(0, kSeekFromBeginning);
      inner_open_ = true;
      return;
    case pstOuterStream:
      if (outer_ == nullptr) {
        NoteError(EBADF);
        return;
      }
      outer_->Seek(0, kSeekFromBeginning);
      outer_open_ = true;
      return;
  }
}

void TProxyStream::CreateStorage() {
  switch (type_) {
    case pstFile:
      if (!file_.Create(file_name_)) NoteFileError();
      return;
    case pstInnerStream:
      inner_->SetSize(0);
      inner_->Seek(0, kSeekFromBeginning);
      inner_open_ = true;
      return;
    case pstOuterStream:
      if (outer_ == nullptr || !outer_->SetSize(0) || outer_->Seek(0, kSeekFromBeginning) != 0) {
        NoteError(EBADF);
        return;
      }
      outer_open_ = true;
      return;
  }
}

void TProxyStream::Close() {
  file_.Close();
  inner_open_ = false;
  outer_open_ = false;
}

bool TProxyStream::IsOpen() const {
  switch (type_) {
    case pstFile:
      return file_.IsOpen();
    case pstInnerStream:
      return inner_open_;
    case pstOuterStream:
      return outer_open_ && outer_ != nullptr;
  }
  return false;
}

TStream* TProxyStream::OpenStream() {
  if (type_ == pstInnerStream && inner_open_) return inner_.get();
  if (type_ == pstOuterStream && outer_open_) return outer_;
  return nullptr;
}

int32_t TProxyStream::Read(void* buffer, int32_t count) {
  if (type_ == pstFile) {
    const int32_t n = file_.Read(buffer, count);
    if (n < 0) NoteFileError();
    return n;
  }
  TStream* stream = OpenStream();
  const int32_t n = stream ? stream->Read(buffer, count) : -1;
  if (n < 0) NoteError(stream ? EINVAL : EBADF);
  return n;
}

int32_t TProxyStream::Write(const void* buffer, int32_t count) {
  if (type_ == pstFile) {
    const int32_t n = file_.Write(buffer, count);
    if (n != count) NoteFileError();
    return n;
  }
  TStream* stream = OpenStream();
  const int32_t n = stream ? stream->Write(buffer, count) : -1;
  if (n != count) NoteError(stream ? EFBIG : EBADF);
  return n;
}

int32_t TProxyStream::Seek(int32_t offset, int origin) {
  if (type_ == pstFile) {
    const int32_t position = file_.Seek(offset, origin);
    if (position < 0) NoteFileError();
    return position;
  }
  TStream* stream = OpenStream();
  const int32_t position = stream ? stream->Seek(offset, origin) : -1;
  if (position < 0) NoteError(stream ? EINVAL : EBADF);
  return position;
}

int32_t TProxyStream::GetSize() {
  if (type_ == pstFile) {
    const int32_t size = file_.GetSize();
    if (size < 0) NoteFileError();
    return size;
  }
  TStream* stream = OpenStream();
  if (stream == nullptr) {
    NoteError(EBADF);
    return -1;
  }
  return stream->Size();
}

bool TProxyStream::Truncate() {
  if (type_ == pstFile) {
    if (file_.Truncate()) return true;
    NoteFileError();
    return false;
  }
  TStream* stream = OpenStream();
  if (stream == nullptr) {
    NoteError(EBADF);
    return false;
  }
  const int32_t position = stream->Seek(0, kSeekFromCurrent);
  return position >= 0 && stream->SetSize(position);
}

bool TProxyStream::Lock(uint32_t offset, uint32_t length) {
  switch (type_) {
    case pstFile:
      if (file_.LockBytes(offset, length)) return true;
      NoteFileError();
      return false;
    case pstInnerStream:
      return true;
    case pstOuterStream: {
      if (!OnLockEvent) return true;
      bool success = false;
      OnLockEvent(*this, type_, outer_, success);
      return success;
    }
  }
  return false;
}

bool TProxyStream::Unlock(uint32_t offset, uint32_t length) {
  switch (type_) {
    case pstFile:
      if (file_.UnlockBytes(offset, length)) return true;
      NoteFileError();
      return false;
    case pstInnerStream:
      return true;
    case pstOuterStream: {
      if (!OnUnlockEvent) return true;
      bool success = false;
      OnUnlockEvent(*this, type_, outer_, success);
      return success;
    }
  }
  return false;
}

void TProxyStream::LoadFromFile(const std::string& name) {
  switch (type_) {
    case pstFile: {
      PlatformFile source;
      OpenSourceFile(source, name);
      LoadIntoFile(source, name);
      return;
    }
    case pstInnerStream:
      inner_->LoadFromFile(name);
      return;
    case pstOuterStream: {
      if (outer_ == nullptr) throw EQxDBFBadArgument("TProxyStream.LoadFromFile: No outer stream");
      PlatformFile source;
      OpenSourceFile(source, name);
      LoadIntoOuterStream(source, name);
      return;
    }
  }
}

void TProxyStream::LoadIntoFile(PlatformFile& source, const std::string& name) {
  auto write_error = [this]() {
    return EQxDBFIoError("TProxyStream.LoadFromFile: Write error \"" + file_name_ +
                         "\": " + last_error_);
  };
  if (Seek(0, kSeekFromBeginning) != 0 || !Truncate()) throw write_error();
  TrackedBuffer buffer(kLoadFromFileCaption, kLoadFromFileBufferSize);
  CopyFile(source, name, buffer.data(), buffer.size(), [&](const uint8_t* bytes, int32_t n) {
    if (Write(bytes, n) != n) throw write_error();
  });
  if (Seek(0, kSeekFromBeginning) != 0) throw write_error();
}

void TProxyStream::LoadIntoOuterStream(PlatformFile& source, const std::string& name) {
  auto write_error = [this]() {
    return EQxDBFIoError("TProxyStream.LoadFromFile: Write error on the outer stream of \"" +
                         file_name_ + "\"");
  };
  if (!outer_->SetSize(0) || outer_->Seek(0, kSeekFromBeginning) != 0) throw write_error();
  std::vector<uint8_t> buffer(kLoadFromFileBufferSize);
  CopyFile(source, name, buffer.data(), kLoadFromFileBufferSize,
           [&](const uint8_t* bytes, int32_t n) {
             if (outer_->Write(bytes, n) != n) throw write_error();
           });
  outer_->Seek(0, kSeekFromBeginning);
}

}  // namespace qxdbf
