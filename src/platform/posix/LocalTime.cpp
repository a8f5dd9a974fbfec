#include "platform/LocalTime.h"

#include <time.h>

#include <cstdint>

namespace {
constexpr uint64_t ticksPerSecond = 10000000;
constexpr uint64_t ticksPerMillisecond = 10000;
// From 1601-01-01, where file times start, to 1970-01-01, where time_t starts.
constexpr int64_t unixEpochSeconds = 11644473600;
}  // namespace

bool ToLocalTime(const FILETIME& time, TLocalTime& local) {
  const uint64_t ticks = FileTimeValue(time);
  const int64_t seconds = int64_t(ticks / ticksPerSecond) - unixEpochSeconds;
  const time_t moment = time_t(seconds);
  if (int64_t(moment) != seconds) return false;
  // localtime_r need not notice a changed TZ by itself.
  tzset();
  tm parts;
  if (!localtime_r(&moment, &parts)) return false;
  local.Year = parts.tm_year + 1900;
  local.Month = parts.tm_mon + 1;
  local.Day = parts.tm_mday;
  local.Hour = parts.tm_hour;
  local.Minute = parts.tm_min;
  local.Second = parts.tm_sec;
  local.Milliseconds = int(ticks % ticksPerSecond / ticksPerMillisecond);
  return true;
}

bool StandardUtcBias(long& minutes) {
  tzset();
  // timezone is the standard time's offset in seconds west of UTC, daylight saving left out.
  minutes = long(timezone / 60);
  return true;
}
