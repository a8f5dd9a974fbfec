#pragma once

#include <cstdint>

// The platform's file time: 100-nanosecond intervals since 1601-01-01 UTC, low half first.
#ifdef _WIN32
#include <minwindef.h>
#else
struct FILETIME {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};
#endif

inline uint64_t FileTimeValue(const FILETIME& time) {
  return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline FILETIME MakeFileTime(uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = uint32_t(value);
  time.dwHighDateTime = uint32_t(value >> 32);
  return time;
}

inline bool operator==(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}
