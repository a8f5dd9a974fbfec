#include "platform/LocalTime.h"

#include <windows.h>

#include "platform/win32/SystemTime.h"
#include "platform/win32/WideText.h"

bool ToLocalTime(const FILETIME& time, TLocalTime& local) {
  // FileTimeToLocalFileTime would apply today's daylight offset to every date; converting the
  // calendar time applies the offset in force on the time's own date.
  SYSTEMTIME utc;
  SYSTEMTIME zoned;
  if (!FileTimeToSystemTime(&time, &utc)) return false;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &zoned)) return false;
  local.Year = zoned.wYear;
  local.Month = zoned.wMonth;
  local.Day = zoned.wDay;
  local.Hour = zoned.wHour;
  local.Minute = zoned.wMinute;
  local.Second = zoned.wSecond;
  local.Milliseconds = zoned.wMilliseconds;
  return true;
}

bool ToLocalTimeAtPresentOffset(const FILETIME& time, TLocalTime& local) {
  FILETIME shifted;
  SYSTEMTIME zoned;
  if (!FileTimeToLocalFileTime(&time, &shifted) || !FileTimeToSystemTime(&shifted, &zoned))
    return false;
  local = {zoned.wYear,   zoned.wMonth,  zoned.wDay,         zoned.wHour,
           zoned.wMinute, zoned.wSecond, zoned.wMilliseconds};
  return true;
}

bool StandardUtcBias(long& minutes) {
  TIME_ZONE_INFORMATION zone;
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return false;
  minutes = zone.Bias;
  return true;
}

namespace {

// The minutes to add to the local time of the moment to get UTC, as ToLocalTime shifts it.
bool BiasAt(const FILETIME& time, LONG& minutes) {
  constexpr LONGLONG ticksPerMinute = 600000000;
  TLocalTime local;
  FILETIME shifted;
  if (!ToLocalTime(time, local)) return false;
  const SYSTEMTIME zoned = SystemTimeOf(local);
  if (!SystemTimeToFileTime(&zoned, &shifted)) return false;
  minutes =
      LONG((LONGLONG(FileTimeValue(time)) - LONGLONG(FileTimeValue(shifted))) / ticksPerMinute);
  return true;
}

}  // namespace

// The inverse of ToLocalTime: the same call family with the same zone, so that a time converted
// there and back comes back as itself.
bool FromLocalTime(const TLocalTime& local, FILETIME& time) {
  if (!IsCalendarTime(local)) return false;
  const SYSTEMTIME zoned = SystemTimeOf(local);
  SYSTEMTIME utc;
  return TzSpecificLocalTimeToSystemTime(nullptr, &zoned, &utc) &&
         SystemTimeToFileTime(&utc, &time);
}

// Daylight saving is in force when the moment is shifted by other than the standard bias.
std::string ZoneName(const FILETIME& time) {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  LONG bias;
  if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || !BiasAt(time, bias))
    return {};
  const bool daylight = bias != zone.Bias + zone.StandardBias;
  return WideToUtf8(daylight ? zone.DaylightName : zone.StandardName);
}
