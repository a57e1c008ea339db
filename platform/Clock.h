#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 0;  // 0 Sunday
};

// Windows FILETIME (100 ns since 1601-01-01 UTC) to the local time of this machine.
LocalTime fileTimeToLocal(int64_t fileTime);
// The current time as a FILETIME.
int64_t nowAsFileTime();
// Milliseconds from an arbitrary start; never goes back.
int64_t monotonicMillis();

}  // namespace platform
