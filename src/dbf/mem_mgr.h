// The process-wide allocation tracker.
//
// Every buffer the engine allocates (record buffers, read windows, copy
// buffers) is taken from GlobalMemMgr(), which records the block with its
// owner and size. Whatever is still tracked when the process ends is released
// then, so an error path that forgets a buffer leaks nothing past the process.
// Entries are kept sorted by block address (as unsigned numbers) so that
// MemFree finds a block by binary search.
//
// Thread safety: every public operation holds the tracker's mutex for its
// whole run; it is the only engine structure shared between threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qxdbf {

// One tracked block. Destroying it releases the block.
class TQxDBFOneAlloc {
 public:
  // Raises EQxDBFBadArgument "TQxDBFOneAlloc: Can not allocate 0 bytes
  // memory!" when check_zero is set and size is 0.
  TQxDBFOneAlloc(const void* owner, std::string owner_name, int32_t size,
                 uint64_t serial, bool check_zero);
  ~TQxDBFOneAlloc();
  TQxDBFOneAlloc(const TQxDBFOneAlloc&) = delete;
  TQxDBFOneAlloc& operator=(const TQxDBFOneAlloc&) = delete;

  void* Block() const { return block_; }
  const void* Owner() const { return owner_; }
  const std::string& OwnerName() const { return owner_name_; }
  int32_t Size() const { return size_; }
  uint64_t Serial() const { return serial_; }

 private:
  void* block_;             // the memory block
  const void* owner_;       // object the block was taken for; not owned
  std::string owner_name_;  // owner's class name or the caller's caption
  int32_t size_;            // bytes in the block
  uint64_t serial_;         // allocation sequence number
};

class TQxDBFMemMgr {
 public:
  struct FindResult {
    bool found;
    size_t position;
  };

  TQxDBFMemMgr() = default;
  TQxDBFMemMgr(const TQxDBFMemMgr&) = delete;
  TQxDBFMemMgr& operator=(const TQxDBFMemMgr&) = delete;

  // A new block of size bytes for owner; owner_name is what the entry is
  // known by (a class name). Size 0 raises.
  void* MemAlloc(const void* owner, const std::string& owner_name, int32_t size);
  // The same with a caption and no owner; size 0 is not refused (an empty
  // block is still a distinct, tracked allocation).
  void* MemAllocNamed(const std::string& caption, int32_t size);
  // Releases a block this tracker handed out; empty or unknown pointers are
  // ignored and not released.
  void MemFree(void* block);

  // Position of the first entry whose address is not below `address`;
  // found when that entry's block is `address`.
  FindResult FindBlock(const void* address) const;

  // Introspection for tests and diagnostics.
  size_t Count() const;
  std::vector<const TQxDBFOneAlloc*> Entries() const;
  uint64_t NextSerial() const;

 private:
  void* Insert(std::unique_ptr<TQxDBFOneAlloc> entry);
  FindResult FindLocked(const void* address) const;

  mutable std::mutex mutex_;  // guards entries_ and next_serial_
  std::vector<std::unique_ptr<TQxDBFOneAlloc>> entries_;  // sorted by address
  uint64_t next_serial_ = 10;
};

// The one tracker of the process; created on first use, destroyed at exit
// (which releases every block still tracked).
TQxDBFMemMgr& GlobalMemMgr();

// RAII holder of a tracked block: the buffer goes back to the tracker on
// every path out of the scope.
class TrackedBuffer {
 public:
  TrackedBuffer() = default;
  TrackedBuffer(const std::string& caption, int32_t size)
      : data_(static_cast<uint8_t*>(GlobalMemMgr().MemAllocNamed(caption, size))),
        size_(size) {}
  TrackedBuffer(const void* owner, const std::string& owner_name, int32_t size)
      : data_(static_cast<uint8_t*>(GlobalMemMgr().MemAlloc(owner, owner_name, size))),
        size_(size) {}
  ~TrackedBuffer() { Reset(); }
  TrackedBuffer(TrackedBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  TrackedBuffer& operator=(TrackedBuffer&& other) noexcept {
    if (this != &other) {
      Reset();
      data_ = other.data_;
      size_ = other.size_;
      other.data_ = nullptr;
      other.size_ = 0;
    }
    return *this;
  }
  TrackedBuffer(const TrackedBuffer&) = delete;
  TrackedBuffer& operator=(const TrackedBuffer&) = delete;

  uint8_t* data() const { return data_; }
  int32_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }
  void Reset() {
    if (data_) GlobalMemMgr().MemFree(data_);
    data_ = nullptr;
    size_ = 0;
  }

 private:
  uint8_t* data_ = nullptr;
  int32_t size_ = 0;
};

}  // namespace qxdbf
