#include "platform/Clock.h"

#include <chrono>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

namespace {
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
}

LocalTime fileTimeToLocal(int64_t fileTime) {
  LocalTime t;
#ifdef _WIN32
  FILETIME ft, local;
  ft.dwLowDateTime = static_cast<DWORD>(fileTime);
  ft.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st)) return t;
  t = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek};
#else
  int64_t rel = fileTime - kUnixEpochAsFileTime;
  int64_t secs = rel >= 0 ? rel / 10000000 : -((-rel + 9999999) / 10000000);
  std::time_t tt = static_cast<std::time_t>(secs);
  std::tm tm{};
  if (!localtime_r(&tt, &tm)) return t;
  t = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
       static_cast<int>((rel - secs * 10000000) / 10000), tm.tm_wday};
#endif
  return t;
}

int64_t nowAsFileTime() {
  auto d = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime + std::chrono::duration_cast<std::chrono::microseconds>(d).count() * 10;
}

int64_t monotonicMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace platform
