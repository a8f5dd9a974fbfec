#pragma once

#include <time.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

// Puts the process in the zone a POSIX TZ rule names, for one test. The C library reads TZ again
// on tzset; Wine takes its zone from TZ only when the process starts, so there the zone is in
// place only if the tests were started with that TZ.
class TZone {
 public:
  explicit TZone(std::string rule) : Rule(std::move(rule)) {
    const char* current = std::getenv("TZ");
#ifdef _WIN32
    Pinned = current && Rule == current;
#else
    if (current) Previous = current;
    setenv("TZ", Rule.c_str(), 1);
    tzset();
    Pinned = true;
#endif
  }
  ~TZone() {
#ifndef _WIN32
    if (Previous)
      setenv("TZ", Previous->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
#endif
  }
  TZone(const TZone&) = delete;
  TZone& operator=(const TZone&) = delete;

  bool Pinned = false;
  std::string Why() const { return "the zone is fixed at start here: run with TZ=" + Rule; }

 private:
  std::string Rule;
  std::optional<std::string> Previous;
};
