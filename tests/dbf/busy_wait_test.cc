// The wall-clock wait: it never returns early and services the hook only
// when asked to.
#include "dbf/busy_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

namespace qxdbf {
namespace {

// Removes whatever hook a test installed.
class BusyWaitTest : public ::testing::Test {
 protected:
  void TearDown() override { SetProcessMessagesHook(nullptr); }
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(BusyWaitTest, WaitsAtLeastTheGivenTime) {
  for (double seconds : {0.001, 0.02, 0.1}) {
    const auto start = std::chrono::steady_clock::now();
    BusyWait(false, seconds);
    EXPECT_GT(SecondsSince(start), seconds);
  }
}

TEST_F(BusyWaitTest, CallsTheHookOnlyWhenAsked) {
  int calls = 0;
  SetProcessMessagesHook([&calls] { ++calls; });
  BusyWait(false, 0.01);
  EXPECT_EQ(calls, 0);
  const auto start = std::chrono::steady_clock::now();
  BusyWait(true, 0.01);
  EXPECT_GT(SecondsSince(start), 0.01);
  EXPECT_GT(calls, 0);
}

TEST_F(BusyWaitTest, WorksWithoutAHookAndWithAHookThatReplacesItself) {
  BusyWait(true, 0.002);
  int first = 0, second = 0;
  SetProcessMessagesHook([&] {
    ++first;
    SetProcessMessagesHook([&second] { ++second; });
  });
  BusyWait(true, 0.01);
  EXPECT_EQ(first, 1);
  EXPECT_GT(second, 0);
}

TEST_F(BusyWaitTest, WaitsThatCouldNeverEndReturnAtOnce) {
  int calls = 0;
  SetProcessMessagesHook([&calls] { ++calls; });
  BusyWait(true, -1);
  BusyWait(true, std::numeric_limits<double>::quiet_NaN());
  BusyWait(true, std::numeric_limits<double>::infinity());
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace qxdbf
