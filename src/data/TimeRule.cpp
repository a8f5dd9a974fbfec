#include "data/TimeRule.h"

#include <cctype>
#include <chrono>
#include <limits>

#include "data/Tstamp.h"

namespace {

constexpr int64_t TicksPerMinute = 60 * TicksPerSecond;
constexpr int64_t TicksPerHour = 60 * TicksPerMinute;
constexpr int64_t TicksPerDay = 24 * TicksPerHour;
// Offsets past the whole range of valid file times (about 29,000 years) mean nothing; this bound
// keeps every sum of them inside 64 bits.
constexpr int64_t MaxShiftDays = 10'000'000;
constexpr int64_t MaxShiftTicks = MaxShiftDays * TicksPerDay;

FILETIME& TimeOf(TStamp& stamp, size_t index) {
  return index == 0 ? stamp.CRTime : index == 1 ? stamp.LWTime : stamp.LATime;
}

const FILETIME& TimeOf(const TStamp& stamp, size_t index) {
  return TimeOf(const_cast<TStamp&>(stamp), index);
}

bool Writes(const TStampOptions& options, size_t index) {
  return index == 0 ? options.CRTime : index == 1 ? options.LWTime : options.LATime;
}

// Reads the digits at text[at...] as a number of at most `most` digits; false when there are none.
bool Number(const std::string& text, size_t& at, int64_t& value, size_t most = 8) {
  const size_t start = at;
  value = 0;
  while (at < text.size() && at - start < most && std::isdigit(uint8_t(text[at])))
    value = value * 10 + (text[at++] - '0');
  return at > start;
}

bool Exactly(const std::string& text, size_t& at, int64_t& value, size_t digits) {
  const size_t start = at;
  return Number(text, at, value, digits) && at - start == digits;
}

bool Skip(const std::string& text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

// "D.HH:MM:SS" or "HH:MM:SS", after the sign.
std::optional<int64_t> ClockShift(const std::string& text, size_t at) {
  int64_t days = 0, hours = 0, minutes = 0, seconds = 0;
  const size_t dot = text.find('.', at);
  if (dot != std::string::npos && (!Number(text, at, days) || !Skip(text, at, '.')))
    return std::nullopt;
  if (!Exactly(text, at, hours, 2) || !Skip(text, at, ':') || !Exactly(text, at, minutes, 2) ||
      !Skip(text, at, ':') || !Exactly(text, at, seconds, 2) || at != text.size())
    return std::nullopt;
  if (days > MaxShiftDays || hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
  return days * TicksPerDay + hours * TicksPerHour + minutes * TicksPerMinute +
         seconds * TicksPerSecond;
}

// "1d2h30m15s", each unit at most once and in that order, after the sign.
std::optional<int64_t> UnitShift(const std::string& text, size_t at) {
  static constexpr char units[] = {'d', 'h', 'm', 's'};
  static constexpr int64_t ticks[] = {TicksPerDay, TicksPerHour, TicksPerMinute, TicksPerSecond};
  int64_t total = 0;
  size_t next = 0;
  if (at == text.size()) return std::nullopt;
  while (at < text.size()) {
    int64_t value = 0;
    if (!Number(text, at, value) || at == text.size()) return std::nullopt;
    const char unit = char(std::tolower(uint8_t(text[at++])));
    while (next < 4 && units[next] != unit) ++next;
    if (next == 4 || value > MaxShiftTicks / ticks[next]) return std::nullopt;
    const int64_t part = value * ticks[next++];
    if (total > MaxShiftTicks - part) return std::nullopt;
    total += part;
  }
  return total;
}

// Days from 1601-01-01 to the date, proleptic Gregorian (Howard Hinnant's days_from_civil).
int64_t DaysSince1601(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 134774;  // days since 1970, and 1601 to 1970
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

}  // namespace

TTimeShifts IdentityShifts() {
  return {TTimeShift{TTimeSource::Creation, 0}, TTimeShift{TTimeSource::LastWrite, 0},
          TTimeShift{TTimeSource::LastAccess, 0}};
}

TTimeChoice TTimeChoice::Typed(const FILETIME& creation, const FILETIME& lastWrite,
                               const FILETIME& lastAccess) {
  TTimeChoice choice;
  choice.FTimes = {creation, lastWrite, lastAccess};
  return choice;
}

TTimeChoice TTimeChoice::Rule(const TTimeShifts& shifts) {
  TTimeChoice choice;
  choice.FIsRule = true;
  choice.FShifts = shifts;
  return choice;
}

std::string TTimeChoice::Apply(const TStamp& own, const TStampOptions& options,
                               TStamp& target) const {
  std::array<FILETIME, 3> made{target.CRTime, target.LWTime, target.LATime};
  for (size_t i = 0; i < 3; ++i) {
    if (!Writes(options, i)) continue;
    const size_t from = size_t(FShifts[i].Source);
    if (from > 2 || !IsValidFileTime(TimeOf(own, from))) return "time unknown: ";
    const FILETIME& source = TimeOf(own, from);
    const int64_t value = int64_t(FileTimeValue(source));
    const int64_t offset = FShifts[i].Offset;
    // Both below 2^63 in size: the sum overflows only past the valid range, which is refused.
    if ((offset > 0 && value > std::numeric_limits<int64_t>::max() - offset) || value + offset <= 0)
      return "time out of range: ";
    made[i] = MakeFileTime(uint64_t(value + offset));
  }
  for (size_t i = 0; i < 3; ++i) TimeOf(target, i) = made[i];
  return {};
}

std::optional<int64_t> ParseShift(const std::string& text) {
  size_t at = 0;
  const bool negative = Skip(text, at, '-');
  if (!negative) Skip(text, at, '+');
  const std::optional<int64_t> size =
      text.find(':') != std::string::npos ? ClockShift(text, at) : UnitShift(text, at);
  if (!size) return std::nullopt;
  return negative ? -*size : *size;
}

std::string ShiftText(int64_t offset) {
  std::string text = offset < 0 ? "-" : "+";
  uint64_t rest = offset < 0 ? uint64_t(0) - uint64_t(offset) : uint64_t(offset);
  static constexpr char units[] = {'d', 'h', 'm', 's'};
  static constexpr uint64_t ticks[] = {TicksPerDay, TicksPerHour, TicksPerMinute, TicksPerSecond};
  for (size_t i = 0; i < 4; ++i) {
    if (rest / ticks[i] == 0) continue;
    text += std::to_string(rest / ticks[i]) + units[i];
    rest %= ticks[i];
  }
  return text.size() == 1 ? text + "0s" : text;
}

std::optional<TTypedTime> ParseTypedTime(const std::string& text) {
  TTypedTime typed;
  std::string lower;
  for (char c : text) lower += char(std::tolower(uint8_t(c)));
  if (lower == "now") {
    typed.Now = true;
    return typed;
  }
  size_t at = 0;
  int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!Exactly(text, at, year, 4) || !Skip(text, at, '-') || !Exactly(text, at, month, 2) ||
      !Skip(text, at, '-') || !Exactly(text, at, day, 2))
    return std::nullopt;
  if (at < text.size() && (text[at] == 'T' || text[at] == 't' || text[at] == ' ')) {
    ++at;
    if (!Exactly(text, at, hour, 2) || !Skip(text, at, ':') || !Exactly(text, at, minute, 2) ||
        !Skip(text, at, ':') || !Exactly(text, at, second, 2))
      return std::nullopt;
  }
  if (at < text.size() && (text[at] == 'Z' || text[at] == 'z')) {
    typed.UtcOffsetMinutes = 0;
    ++at;
  } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    const int sign = text[at++] == '-' ? -1 : 1;
    int64_t hours = 0, minutes = 0;
    if (!Exactly(text, at, hours, 2) || !Skip(text, at, ':') || !Exactly(text, at, minutes, 2) ||
        hours > 14 || minutes > 59)
      return std::nullopt;
    typed.UtcOffsetMinutes = sign * int(hours * 60 + minutes);
  }
  if (at != text.size() || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(int(year), int(month)) || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  typed.Local = {int(year), int(month), int(day), int(hour), int(minute), int(second), 0};
  return typed;
}

std::optional<FILETIME> FileTimeOfCalendar(const TLocalTime& time, int offsetMinutes) {
  if (time.Month < 1 || time.Month > 12 || time.Day < 1 ||
      time.Day > DaysInMonth(time.Year, time.Month) || time.Hour < 0 || time.Hour > 23 ||
      time.Minute < 0 || time.Minute > 59 || time.Second < 0 || time.Second > 59 ||
      time.Milliseconds < 0 || time.Milliseconds > 999 || time.Year < 1601 || time.Year > 30827)
    return std::nullopt;
  const int64_t ticks = DaysSince1601(time.Year, time.Month, time.Day) * TicksPerDay +
                        time.Hour * TicksPerHour +
                        (time.Minute - int64_t(offsetMinutes)) * TicksPerMinute +
                        time.Second * TicksPerSecond + time.Milliseconds * int64_t(10'000);
  const FILETIME made = MakeFileTime(uint64_t(ticks));
  if (ticks <= 0 || !IsValidFileTime(made)) return std::nullopt;
  return made;
}

std::string TimeSourceName(TTimeSource source) {
  switch (source) {
    case TTimeSource::Creation:
      return "CR Time";
    case TTimeSource::LastWrite:
      return "LW Time";
    case TTimeSource::LastAccess:
      return "LA Time";
  }
  return "(Unknown)";
}

FILETIME NowFileTime() {
  const auto since1970 = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return MakeFileTime(uint64_t(since1970.count()) * 10 + 116444736000000000ull);
}
