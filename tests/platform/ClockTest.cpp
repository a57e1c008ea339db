#include <gtest/gtest.h>

#include "platform/Clock.h"

using namespace platform;

TEST(Clock, FileTimeOfKnownDayConvertsToLocalDate) {
  // 2020-06-15 12:00:00 UTC; any time zone keeps the date within a day.
  LocalTime t = fileTimeToLocal(132367248000000000LL);
  EXPECT_EQ(t.year, 2020);
  EXPECT_EQ(t.month, 6);
  EXPECT_GE(t.day, 14);
  EXPECT_LE(t.day, 16);
}

TEST(Clock, MonotonicNeverGoesBack) {
  int64_t a = monotonicMillis();
  int64_t b = monotonicMillis();
  EXPECT_LE(a, b);
  EXPECT_GT(nowAsFileTime(), 132367248000000000LL);
}
