#include "dbf/access_mode.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qxdbf {
namespace {

struct Switches {
  bool read, write, read_write, exclusive, deny_write, deny_none;
};

Switches SwitchesOf(const TAccessMode& mode) {
  return {mode.OpenRead(),       mode.OpenWrite(),      mode.OpenReadWrite(),
          mode.ShareExclusive(), mode.ShareDenyWrite(), mode.ShareDenyNone()};
}

void ExpectSwitches(const Switches& actual, const Switches& expected) {
  EXPECT_EQ(actual.read, expected.read);
  EXPECT_EQ(actual.write, expected.write);
  EXPECT_EQ(actual.read_write, expected.read_write);
  EXPECT_EQ(actual.exclusive, expected.exclusive);
  EXPECT_EQ(actual.deny_write, expected.deny_write);
  EXPECT_EQ(actual.deny_none, expected.deny_none);
}

TEST(AccessModeTest, DefaultsAreReadExclusiveAndTheCacheWaitsForARead) {
  TAccessMode mode;
  ExpectSwitches(SwitchesOf(mode), {true, false, false, true, false, false});
  EXPECT_EQ(mode.LastAccessMode(), 0u);
  EXPECT_EQ(mode.AccessMode(), 0x10u);
  EXPECT_EQ(mode.LastAccessMode(), 0x10u);
}

TEST(AccessModeTest, PackedValueSetsTheSwitchesAndReadsBack) {
  struct Case {
    uint32_t packed;
    Switches switches;
    uint32_t read_back;
  };
  const Case cases[] = {
      {66, {true, false, true, false, false, true}, 66},  // the bridge's shared tables
      {18, {true, false, true, true, false, false}, 18},  // the bridge's exclusive tables
      {0, {true, false, false, false, false, false}, 0},  // read-only, no sharing
      {0x01, {true, true, false, false, false, false}, 0x01},
      {0x30, {true, false, false, true, true, false}, 0x30},
      {0x7F, {true, true, true, true, true, true}, 0x73},  // bits 2 and 3 dropped
      {0xFFFFFF00, {true, false, false, false, false, false}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    TAccessMode mode;
    mode.SetAccessMode(0x73);  // every switch on, to see that setting clears them
    mode.SetAccessMode(c.packed);
    ExpectSwitches(SwitchesOf(mode), c.switches);
    EXPECT_EQ(mode.AccessMode(), c.read_back);
  }
}

TEST(AccessModeTest, SwitchesPackIntoTheirBits) {
  TAccessMode mode;
  mode.SetShareExclusive(false);
  mode.SetShareDenyWrite(true);
  mode.SetOpenWrite(true);
  mode.SetOpenRead(false);  // has no bit
  EXPECT_EQ(mode.AccessMode(), 0x21u);
}

TEST(AccessModeTest, SettingDoesNotRefreshTheCacheButTheNextReadDoes) {
  TAccessMode mode;
  mode.SetAccessMode(66);
  EXPECT_EQ(mode.AccessMode(), 66u);
  mode.SetAccessMode(18);
  EXPECT_EQ(mode.LastAccessMode(), 66u);
  EXPECT_EQ(mode.AccessMode(), 18u);
  EXPECT_EQ(mode.LastAccessMode(), 18u);
}

TEST(AccessModeTest, DecodesAccessAndSharing) {
  struct Case {
    uint32_t packed;
    uint32_t access;
    uint32_t share;
    bool valid;
    bool exclusive;
  };
  const Case cases[] = {
      {0x00, 0, 0, true, true},   {0x10, 0, 1, true, true},   {0x12, 2, 1, true, true},
      {0x20, 0, 2, true, false},  {0x31, 1, 3, true, false},  {0x42, 2, 4, true, false},
      {0x50, 0, 5, false, false}, {0x60, 0, 6, false, false}, {0x72, 2, 7, false, false},
      {0x03, 3, 0, false, true},  {0x43, 3, 4, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    EXPECT_EQ(AccessOf(c.packed), c.access);
    EXPECT_EQ(ShareOf(c.packed), c.share);
    EXPECT_EQ(IsValidAccessMode(c.packed), c.valid);
    EXPECT_EQ(IsExclusiveShare(c.packed), c.exclusive);
  }
}

}  // namespace
}  // namespace qxdbf
