#include "platform/LocalTime.h"

#include <windows.h>

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
  local = {zoned.wYear, zoned.wMonth,  zoned.wDay,         zoned.wHour,
           zoned.wMinute, zoned.wSecond, zoned.wMilliseconds};
  return true;
}

bool StandardUtcBias(long& minutes) {
  TIME_ZONE_INFORMATION zone;
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return false;
  minutes = zone.Bias;
  return true;
}
