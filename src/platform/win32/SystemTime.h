#pragma once

#include <windows.h>

#include "platform/LocalTime.h"

// A calendar time as the system's SYSTEMTIME, field for field, and back.
inline SYSTEMTIME SystemTimeOf(const TLocalTime& local) {
  SYSTEMTIME time{};
  time.wYear = WORD(local.Year);
  time.wMonth = WORD(local.Month);
  time.wDay = WORD(local.Day);
  time.wHour = WORD(local.Hour);
  time.wMinute = WORD(local.Minute);
  time.wSecond = WORD(local.Second);
  time.wMilliseconds = WORD(local.Milliseconds);
  return time;
}

inline TLocalTime LocalTimeOf(const SYSTEMTIME& time) {
  return {time.wYear,   time.wMonth,  time.wDay,         time.wHour,
          time.wMinute, time.wSecond, time.wMilliseconds};
}
