// TProxyStream: the one door to every file the engine touches (table, memo,
// temporary memo of a pack, index), and the one place byte-range locks are
// taken.
//
// The bytes live in a disk file (pstFile), in a memory stream the proxy owns
// (pstInnerStream, for nested tables) or in a stream a caller owns and lends
// (pstOuterStream). The owner sets FileName, AccessMode, ProxyStreamType,
// OuterStream and the events before each Open; the storage is then opened and
// closed many times over the proxy's life.
//
// Results, never exceptions, report failures: IsOpen() false after Open or
// CreateStorage, -1 from Read, Write, Seek and GetSize, false from Truncate,
// Lock and Unlock; LastErrorText() gives the system's text for the last of
// them (callers build "TQxSmartDBF: " + that text). Only LoadFromFile raises.
// A proxy is used by one thread at a time; its owner serialises it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dbf/access_mode.h"
#include "dbf/platform_file.h"
#include "dbf/stream.h"

namespace qxdbf {

enum TProxyStreamType : uint8_t {
  pstFile,         // a disk file
  pstInnerStream,  // a memory stream owned by the proxy
  pstOuterStream,  // a caller's stream, lent
};

class TProxyStream;

// Asked for every lock (unlock) of a pstOuterStream proxy, with the success
// flag preset to false; the handler is not told which byte range is meant.
using TLockEvent = std::function<void(TProxyStream& sender, TProxyStreamType type, TStream* stream,
                                      bool& lock_success)>;
using TUnlockEvent = std::function<void(TProxyStream& sender, TProxyStreamType type,
                                        TStream* stream, bool& unlock_success)>;

// Size of the copy buffer of LoadFromFile and its caption in the tracker.
constexpr int32_t kLoadFromFileBufferSize = 61440;
constexpr const char* kLoadFromFileCaption = "TProxyStream.LoadFromFile";

class TProxyStream {
 public:
  // pstFile, access mode 0x10, no file name, no events, an empty inner stream.
  TProxyStream();
  // Closes the storage (which releases every lock this proxy holds).
  ~TProxyStream();
  TProxyStream(const TProxyStream&) = delete;
  TProxyStream& operator=(const TProxyStream&) = delete;

  TProxyStreamType ProxyStreamType() const { return type_; }
  // A different type closes the open storage first, so that no handle or
  // open mark is left behind under a type nobody looks at any more.
  void SetProxyStreamType(TProxyStreamType type);
  TAccessMode& AccessMode() { return access_mode_; }
  const TAccessMode& AccessMode() const { return access_mode_; }
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name) { file_name_ = name; }
  TMemoryStream& InnerStream() { return *inner_; }
  TStream* OuterStream() const { return outer_; }
  // Not owned; must outlive its use by this proxy.
  void SetOuterStream(TStream* stream) { outer_ = stream; }

  TLockEvent OnLockEvent;
  TUnlockEvent OnUnlockEvent;

  // pstFile: opens the existing file FileName() with the packed access mode
  // (never creates it); an invalid mode, a missing file or a refused share
  // leave the proxy closed. An open file is closed first. Streams: position
  // 0 and open; an outer proxy without an outer stream stays closed.
  void Open();
  // pstFile: creates FileName() (emptying an existing file) for reading and
  // writing with no sharing; the access mode is not used. Streams: size 0,
  // position 0, open.
  void CreateStorage();
  // Closes the storage when open; stream content is kept.
  void Close();
  bool IsOpen() const;

  // The operations below answer -1 (false) when the storage is not open.
  int32_t Read(void* buffer, int32_t count);
  int32_t Write(const void* buffer, int32_t count);
  // Origin 0 start, 1 current, 2 end; answers the new position. Positions
  // are signed 32-bit: a result below 0 or past 2147483647 answers -1.
  int32_t Seek(int32_t offset, int origin);
  // The size, leaving the position where it was.
  int32_t GetSize();
  // Ends the storage at the current position.
  bool Truncate();

  // Locks bytes [offset, offset + length) without waiting; answers whether
  // it was granted. pstFile: refused when anyone else holds any of the bytes
  // and when this proxy already holds an overlapping range. Inner: always
  // true. Outer: OnLockEvent's answer, true without a handler.
  bool Lock(uint32_t offset, uint32_t length);
  // pstFile: releases exactly a range this proxy locked; any other range
  // answers false. Inner: true. Outer: OnUnlockEvent's answer, true without
  // a handler.
  bool Unlock(uint32_t offset, uint32_t length);

  // Replaces the storage's content with the bytes of file `name`, opened for
  // reading while others may read but not write it, and leaves the position
  // at 0. pstFile copies through a tracked 61440-byte buffer and requires
  // the proxy's file to be open for writing. Raises EQxDBFIoError when the
  // file cannot be opened or read or the storage not written, and
  // EQxDBFBadArgument for an outer proxy without a stream.
  void LoadFromFile(const std::string& name);

  // System text of the last failure.
  const std::string& LastErrorText() const { return last_error_; }

 private:
  // The inner or outer stream when it is the open storage, else null.
  TStream* OpenStream();
  // Copies the file's last error text, for a failed file operation.
  void NoteFileError() { last_error_ = file_.LastErrorText(); }
  void NoteError(int error_number) { last_error_ = PlatformFile::ErrorText(error_number); }
  void LoadIntoFile(PlatformFile& source, const std::string& name);
  void LoadIntoOuterStream(PlatformFile& source, const std::string& name);

  TProxyStreamType type_ = pstFile;
  TAccessMode access_mode_;  // packed 0x10 until the owner sets it
  std::string file_name_;
  PlatformFile file_;                     // storage of pstFile; holds the lock table
  std::unique_ptr<TMemoryStream> inner_;  // storage of pstInnerStream
  bool inner_open_ = false;
  TStream* outer_ = nullptr;  // storage of pstOuterStream; not owned
  bool outer_open_ = false;
  std::string last_error_;
};

}  // namespace qxdbf
