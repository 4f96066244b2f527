// The allocation tracker: refusals, unknown pointers, address order and
// serial numbers. Order and serials are checked on a tracker of the test's
// own, since the process-wide one holds whatever other tests left there.
#include "dbf/mem_mgr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbf/errors.h"

namespace qxdbf {
namespace {

uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

TEST(MemMgrTest, ZeroSizeRaisesAndTracksNothing) {
  TQxDBFMemMgr tracker;
  try {
    tracker.MemAlloc(nullptr, "Test", 0);
    FAIL() << "no exception";
  } catch (const EQxDBFError& e) {
    EXPECT_STREQ(e.what(), "TQxDBFOneAlloc: Can not allocate 0 bytes memory!");
  }
  EXPECT_EQ(tracker.Count(), 0u);
  // A named block of size 0 is not refused and is a distinct entry.
  void* empty = tracker.MemAllocNamed("Empty", 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(tracker.Count(), 1u);
  tracker.MemFree(empty);
  EXPECT_EQ(tracker.Count(), 0u);
}

TEST(MemMgrTest, UnknownAndEmptyPointersAreIgnored) {
  TQxDBFMemMgr tracker;
  void* kept = tracker.MemAlloc(nullptr, "Test", 16);
  // Memory the tracker never handed out must survive the call untouched.
  char* foreign = static_cast<char*>(std::malloc(16));
  ASSERT_NE(foreign, nullptr);
  std::string(15, 'x').copy(foreign, 15);
  foreign[15] = '\0';
  tracker.MemFree(foreign);
  tracker.MemFree(nullptr);
  // An address inside a tracked block is not that block.
  tracker.MemFree(static_cast<char*>(kept) + 1);
  EXPECT_EQ(tracker.Count(), 1u);
  EXPECT_TRUE(tracker.FindBlock(kept).found);
  EXPECT_EQ(std::string(foreign), std::string(15, 'x'));
  std::free(foreign);
  // Freeing twice is as harmless as freeing a stranger.
  tracker.MemFree(kept);
  tracker.MemFree(kept);
  EXPECT_EQ(tracker.Count(), 0u);
}

TEST(MemMgrTest, EntriesAreInAscendingAddressOrder) {
  TQxDBFMemMgr tracker;
  std::vector<void*> blocks;
  for (int32_t size : {64, 8, 4096, 24, 1, 512, 32})
    blocks.push_back(tracker.MemAlloc(&tracker, "Test", size));
  const auto entries = tracker.Entries();
  ASSERT_EQ(entries.size(), blocks.size());
  for (size_t i = 1; i < entries.size(); ++i)
    EXPECT_LT(Address(entries[i - 1]->Block()), Address(entries[i]->Block()));
  for (void* b : blocks) {
    const auto at = tracker.FindBlock(b);
    ASSERT_TRUE(at.found);
    EXPECT_EQ(entries[at.position]->Block(), b);
  }
}

TEST(MemMgrTest, FreeingTheMiddleKeepsTheOthersFindable) {
  TQxDBFMemMgr tracker;
  void* a = tracker.MemAlloc(nullptr, "A", 32);
  void* b = tracker.MemAlloc(nullptr, "B", 32);
  void* c = tracker.MemAlloc(nullptr, "C", 32);
  auto entries = tracker.Entries();
  ASSERT_EQ(entries.size(), 3u);
  void* middle = entries[1]->Block();
  tracker.MemFree(middle);
  EXPECT_FALSE(tracker.FindBlock(middle).found);
  for (void* p : {a, b, c}) {
    if (p != middle) {
      EXPECT_TRUE(tracker.FindBlock(p).found);
    }
  }
  entries = tracker.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_LT(Address(entries[0]->Block()), Address(entries[1]->Block()));
}

TEST(MemMgrTest, FindBlockAnswersTheInsertionPlace) {
  TQxDBFMemMgr tracker;
  EXPECT_EQ(tracker.FindBlock(nullptr).position, 0u);
  EXPECT_FALSE(tracker.FindBlock(nullptr).found);
  tracker.MemAlloc(nullptr, "A", 8);
  tracker.MemAlloc(nullptr, "B", 8);
  const auto entries = tracker.Entries();
  const auto low = Address(entries[0]->Block());
  const auto high = Address(entries[1]->Block());
  auto position = [&](uintptr_t a) {
    const auto at = tracker.FindBlock(reinterpret_cast<const void*>(a));
    EXPECT_FALSE(at.found);
    return at.position;
  };
  EXPECT_EQ(position(low - 1), 0u);
  EXPECT_EQ(position(low + 1), 1u);
  EXPECT_EQ(position(high + 1), 2u);
}

TEST(MemMgrTest, SerialsStartAtTenAndCountUp) {
  TQxDBFMemMgr tracker;
  EXPECT_EQ(tracker.NextSerial(), 10u);
  void* first = tracker.MemAlloc(&tracker, "Owner", 4);
  void* second = tracker.MemAllocNamed("Caption", 4);
  EXPECT_THROW(tracker.MemAlloc(nullptr, "Refused", 0), EQxDBFError);
  void* third = tracker.MemAlloc(nullptr, "Third", 4);
  auto entry = [&](void* block) { return tracker.Entries()[tracker.FindBlock(block).position]; };
  EXPECT_EQ(entry(first)->Serial(), 10u);
  EXPECT_EQ(entry(second)->Serial(), 11u);
  // A refused allocation takes no number.
  EXPECT_EQ(entry(third)->Serial(), 12u);
  EXPECT_EQ(entry(first)->Owner(), &tracker);
  EXPECT_EQ(entry(first)->OwnerName(), "Owner");
  EXPECT_EQ(entry(first)->Size(), 4);
  EXPECT_EQ(entry(second)->Owner(), nullptr);
  EXPECT_EQ(entry(second)->OwnerName(), "Caption");
  EXPECT_EQ(tracker.NextSerial(), 13u);
}

TEST(MemMgrTest, TrackedBufferGoesBackToTheGlobalTracker) {
  const size_t before = GlobalMemMgr().Count();
  {
    TrackedBuffer buffer("Test", 100);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer.size(), 100);
    EXPECT_TRUE(GlobalMemMgr().FindBlock(buffer.data()).found);
    TrackedBuffer moved(std::move(buffer));
    EXPECT_FALSE(buffer);
    EXPECT_EQ(GlobalMemMgr().Count(), before + 1);
  }
  EXPECT_EQ(GlobalMemMgr().Count(), before);
}

}  // namespace
}  // namespace qxdbf
