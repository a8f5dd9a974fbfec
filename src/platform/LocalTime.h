#pragma once

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
