#include "platform/LocalTime.h"

#include <time.h>

#include <cerrno>
#include <cstdint>

namespace {
constexpr uint64_t ticksPerSecond = 10000000;
constexpr uint64_t ticksPerMillisecond = 10000;
// From 1601-01-01, where file times start, to 1970-01-01, where time_t starts.
constexpr int64_t unixEpochSeconds = 11644473600;

bool MomentOf(const FILETIME& time, time_t& moment) {
  const int64_t seconds = int64_t(FileTimeValue(time) / ticksPerSecond) - unixEpochSeconds;
  moment = time_t(seconds);
  return int64_t(moment) == seconds;
}

void Fill(const tm& parts, const FILETIME& time, TLocalTime& local) {
  local.Year = parts.tm_year + 1900;
  local.Month = parts.tm_mon + 1;
  local.Day = parts.tm_mday;
  local.Hour = parts.tm_hour;
  local.Minute = parts.tm_min;
  local.Second = parts.tm_sec;
  local.Milliseconds = int(FileTimeValue(time) % ticksPerSecond / ticksPerMillisecond);
}

tm PartsOf(const TLocalTime& local) {
  tm parts{};
  parts.tm_year = local.Year - 1900;
  parts.tm_mon = local.Month - 1;
  parts.tm_mday = local.Day;
  parts.tm_hour = local.Hour;
  parts.tm_min = local.Minute;
  parts.tm_sec = local.Second;
  // The C library finds whether daylight saving is in force on that date.
  parts.tm_isdst = -1;
  return parts;
}
}  // namespace

bool ToLocalTime(const FILETIME& time, TLocalTime& local) {
  time_t moment;
  if (!MomentOf(time, moment)) return false;
  // localtime_r need not notice a changed TZ by itself.
  tzset();
  tm parts;
  if (!localtime_r(&moment, &parts)) return false;
  Fill(parts, time, local);
  return true;
}

bool ToLocalTimeAtPresentOffset(const FILETIME& time, TLocalTime& local) {
  time_t moment;
  if (!MomentOf(time, moment)) return false;
  tzset();
  const time_t now = ::time(nullptr);
  tm present, parts;
  if (!localtime_r(&now, &present)) return false;
  const time_t shifted = moment + present.tm_gmtoff;
  if (!gmtime_r(&shifted, &parts)) return false;
  Fill(parts, time, local);
  return true;
}

bool StandardUtcBias(long& minutes) {
  tzset();
  // timezone is the standard time's offset in seconds west of UTC, daylight saving left out.
  minutes = long(timezone / 60);
  return true;
}

bool FromLocalTime(const TLocalTime& local, FILETIME& time) {
  if (!IsCalendarTime(local)) return false;
  tzset();
  tm parts = PartsOf(local);
  errno = 0;
  const time_t moment = mktime(&parts);
  // -1 is also the last second of 1969, told apart from a failure by errno alone.
  if (moment == time_t(-1) && errno != 0) return false;
  const int64_t seconds = int64_t(moment) + unixEpochSeconds;
  if (seconds < 0) return false;
  time = MakeFileTime(uint64_t(seconds) * ticksPerSecond +
                      uint64_t(local.Milliseconds) * ticksPerMillisecond);
  return true;
}

std::string ZoneName(const FILETIME& time) {
  time_t moment;
  if (!MomentOf(time, moment)) return {};
  tzset();
  tm parts;
  if (!localtime_r(&moment, &parts)) return {};
  char name[64] = {};
  return strftime(name, sizeof name, "%Z", &parts) ? name : std::string();
}
