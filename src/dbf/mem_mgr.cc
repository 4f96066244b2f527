#include "dbf/mem_mgr.h"

#include <cstdlib>

#include "dbf/errors.h"

namespace qxdbf {

TQxDBFOneAlloc::TQxDBFOneAlloc(const void* owner, std::string owner_name, int32_t size,
                               uint64_t serial, bool check_zero)
    : block_(nullptr), owner_(owner), owner_name_(std::move(owner_name)), size_(size),
      serial_(serial) {
  if (check_zero && size == 0)
    throw EQxDBFBadArgument("TQxDBFOneAlloc: Can not allocate 0 bytes memory!");
  if (size < 0) throw EQxDBFBadArgument("TQxDBFOneAlloc: Can not allocate a negative size!");
  // malloc(0) may answer null; one byte keeps every tracked block distinct.
  block_ = std::malloc(size == 0 ? 1 : static_cast<size_t>(size));
  if (block_ == nullptr) throw std::bad_alloc();
}

TQxDBFOneAlloc::~TQxDBFOneAlloc() { std::free(block_); }

void* TQxDBFMemMgr::MemAlloc(const void* owner, const std::string& owner_name, int32_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  return Insert(std::make_unique<TQxDBFOneAlloc>(owner, owner_name, size, next_serial_, true));
}

void* TQxDBFMemMgr::MemAllocNamed(const std::string& caption, int32_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  return Insert(std::make_unique<TQxDBFOneAlloc>(nullptr, caption, size, next_serial_, false));
}

void* TQxDBFMemMgr::Insert(std::unique_ptr<TQxDBFOneAlloc> entry) {
  ++next_serial_;
  void* block = entry->Block();
  FindResult at = FindLocked(block);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at.position), std::move(entry));
  return block;
}

void TQxDBFMemMgr::MemFree(void* block) {
  if (block == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  FindResult at = FindLocked(block);
  if (at.found) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at.position));
}

TQxDBFMemMgr::FindResult TQxDBFMemMgr::FindBlock(const void* address) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return FindLocked(address);
}

// Binary search over addresses compared as unsigned numbers; answers the
// first entry whose address is not below `address`.
TQxDBFMemMgr::FindResult TQxDBFMemMgr::FindLocked(const void* address) const {
  const auto key = reinterpret_cast<uintptr_t>(address);
  auto addr = [this](size_t i) { return reinterpret_cast<uintptr_t>(entries_[i]->Block()); };
  if (entries_.empty()) return {false, 0};
  if (addr(0) >= key) return {addr(0) == key, 0};
  size_t low = 0, high = entries_.size();
  while (high - low > 1) {
    size_t mid = (low + high) / 2;
    if (addr(mid) < key)
      low = mid;
    else
      high = mid;
  }
  return {high < entries_.size() && addr(high) == key, high};
}

size_t TQxDBFMemMgr::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

std::vector<const TQxDBFOneAlloc*> TQxDBFMemMgr::Entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<const TQxDBFOneAlloc*> out;
  for (const auto& e : entries_) out.push_back(e.get());
  return out;
}

uint64_t TQxDBFMemMgr::NextSerial() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return next_serial_;
}

TQxDBFMemMgr& GlobalMemMgr() {
  static TQxDBFMemMgr tracker;
  return tracker;
}

}  // namespace qxdbf
