#pragma once

#include <string>

#include "platform/FileTime.h"

// A moment as the local calendar shows it.
struct TLocalTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Milliseconds = 0;
};

// The local calendar time of a file time, in the offset the zone has on that time's own date
// (daylight saving included), not the offset of today. False when the platform cannot convert it.
bool ToLocalTime(const FILETIME& time, TLocalTime& local);

// The local calendar time of a file time in the offset the zone has now, as FAT volumes convert
// on Windows. False when the platform cannot convert it.
bool ToLocalTimeAtPresentOffset(const FILETIME& time, TLocalTime& local);

// The zone's standard bias: the minutes to add to local standard time to get UTC (-540 nine hours
// east of UTC). False when the zone cannot be read.
bool StandardUtcBias(long& minutes);

// Whether the fields name a moment of the calendar file times reach (1601 to 30827): a month of
// 1 to 12, a day that month has, up to 23:59:59.999.
bool IsCalendarTime(const TLocalTime& local);

// The file time of a local calendar time, in the offset the zone has on that date. A time the
// clock skips or shows twice at a daylight-saving change takes the platform's choice of offset.
// False when the platform cannot convert it.
bool FromLocalTime(const TLocalTime& local, FILETIME& time);

// The zone's name at a time, as the platform gives it: its daylight-saving name when that is in
// force then, else its standard name; empty when the zone cannot be read.
std::string ZoneName(const FILETIME& time);
