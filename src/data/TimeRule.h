#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileTime.h"
#include "platform/LocalTime.h"

class TStamp;
class TStampOptions;

// Which of an item's own times a rule starts from.
enum class TTimeSource : uint8_t { Creation = 0, LastWrite = 1, LastAccess = 2 };

// One time of a rule: the item's own time of the source, moved by an offset in 100 ns units
// (absolute time: an hour is 3,600 s whatever a daylight-saving change between).
struct TTimeShift {
  TTimeSource Source = TTimeSource::Creation;
  int64_t Offset = 0;
  bool operator==(const TTimeShift&) const = default;
};

// Creation, last write, last access, in that order.
using TTimeShifts = std::array<TTimeShift, 3>;

// Each time from itself, unmoved.
TTimeShifts IdentityShifts();

// Times that no file holds, chosen by the user: either the same typed times for every item, or a
// rule that gives each item times made from its own.
class TTimeChoice {
 public:
  static TTimeChoice Typed(const FILETIME& creation, const FILETIME& lastWrite,
                           const FILETIME& lastAccess);
  static TTimeChoice Rule(const TTimeShifts& shifts);

  bool IsRule() const { return FIsRule; }
  // The typed times, creation, last write, last access; all zero for a rule.
  const std::array<FILETIME, 3>& Times() const { return FTimes; }
  const TTimeShifts& Shifts() const { return FShifts; }

  // The times the rule gives an item whose own times are `own`, for the times the options write;
  // the others stay as target has them. Empty when every time could be made, else why not, in
  // the words of an error-log line ("time out of range: ").
  std::string Apply(const TStamp& own, const TStampOptions& options, TStamp& target) const;

 private:
  bool FIsRule = false;
  std::array<FILETIME, 3> FTimes{};
  TTimeShifts FShifts = IdentityShifts();
};

// 100 ns units a second.
inline constexpr int64_t TicksPerSecond = 10'000'000;

// An offset as typed: "+1h", "-1d2h30m", "90s" (units d, h, m, s, each once, in that order) or
// "[-]D.HH:MM:SS" / "[-]HH:MM:SS"; a leading "+" or "-" signs it. Empty on a text that is none.
std::optional<int64_t> ParseShift(const std::string& text);
// The shortest text ParseShift reads back as the same offset: "+1d2h30m", "-45s", "+0s".
std::string ShiftText(int64_t offset);

// A time as typed on a command line: "now", or ISO 8601 "YYYY-MM-DDTHH:MM:SS" (a space for the
// "T" too), local unless "Z" or "+HH:MM" / "-HH:MM" follows.
struct TTypedTime {
  bool Now = false;
  TLocalTime Local;
  // Minutes east of UTC, where the text gave them.
  std::optional<int> UtcOffsetMinutes;
};
std::optional<TTypedTime> ParseTypedTime(const std::string& text);

// The file time of a calendar time that is UTC plus offsetMinutes; empty for a date that does not
// exist or a moment outside the valid file times.
std::optional<FILETIME> FileTimeOfCalendar(const TLocalTime& time, int offsetMinutes);

// "CR Time", "LW Time", "LA Time", as the Properties report names the times.
std::string TimeSourceName(TTimeSource source);

// The file time of now: 100 ns units since 1601, UTC.
FILETIME NowFileTime();
