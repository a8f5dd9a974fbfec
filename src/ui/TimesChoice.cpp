#include "ui/TimesChoice.h"

#include <cstdio>
#include <utility>

#include "engine/TimeText.h"
#include "platform/AsciiText.h"
#include "platform/LocalTime.h"

namespace {

const char* const TimeForms =
    "Times are written 2024-05-01T12:00:00 (local time), 2024-05-01T12:00:00Z (UTC) or "
    "2024-05-01T12:00:00+02:00, or now.";
const char* const ShiftForms =
    "Offsets are written +1h, -1d2h30m (days, hours, minutes, seconds, in that order) or "
    "-1.02:30:00.";
const char* const SourceForms = "Sources are cr, lw or la.";
const char* const SourceCodes[] = {"cr", "lw", "la"};
const char* const TimeNames[] = {"creation", "last write", "last access"};

std::optional<int> SourceOfCode(const std::string& code) {
  for (int i = 0; i < 3; ++i)
    if (SameTextIgnoringCase(code, SourceCodes[i])) return i;
  return std::nullopt;
}

TChoiceResult Refused(std::string why) {
  TChoiceResult result;
  result.Refusal = std::move(why);
  return result;
}

std::optional<FILETIME> FileTimeOfTyped(const TTypedTime& typed) {
  if (typed.Now) return NowFileTime();
  if (typed.UtcOffsetMinutes) return FileTimeOfCalendar(typed.Local, *typed.UtcOffsetMinutes);
  FILETIME time;
  if (!FromLocalTime(typed.Local, time) || !IsValidFileTime(time)) return std::nullopt;
  return time;
}

std::string LocalText(const TLocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                t.Minute, t.Second);
  return text;
}

TLocalTime LocalOf(const FILETIME& time) {
  TLocalTime local;
  if (!ToLocalTime(time, local)) return {};
  local.Milliseconds = 0;
  return local;
}

TStringList Split(const std::string& text) {
  TStringList parts(1);
  for (char c : text) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

// A command-line switch: the times it names (-1 for all three), and what it gives them.
enum class TSwitchKind { Time, Shift, Source };
struct TTimeSwitch {
  TSwitchKind Kind;
  int Index;
  std::string Value;
};

std::optional<TTimeSwitch> TimeSwitchOf(const std::string& param) {
  const size_t equals = param.find('=');
  if (param.empty() || param[0] != '/' || equals == std::string::npos) return std::nullopt;
  const std::string name = param.substr(1, equals - 1);
  const struct {
    const char* Name;
    TSwitchKind Kind;
    int Index;
  } names[] = {{"time", TSwitchKind::Time, -1},    {"crtime", TSwitchKind::Time, 0},
               {"lwtime", TSwitchKind::Time, 1},   {"latime", TSwitchKind::Time, 2},
               {"shift", TSwitchKind::Shift, -1},  {"crshift", TSwitchKind::Shift, 0},
               {"lwshift", TSwitchKind::Shift, 1}, {"lashift", TSwitchKind::Shift, 2},
               {"crfrom", TSwitchKind::Source, 0}, {"lwfrom", TSwitchKind::Source, 1},
               {"lafrom", TSwitchKind::Source, 2}};
  for (const auto& known : names)
    if (SameTextIgnoringCase(name, known.Name))
      return TTimeSwitch{known.Kind, known.Index, param.substr(equals + 1)};
  return std::nullopt;
}

std::string NotA(const std::string& what, const std::string& value, const char* forms) {
  return "Not " + what + ": \"" + value + "\"\r\n\r\n" + forms;
}

}  // namespace

bool IsTimeSwitch(const std::string& param) { return TimeSwitchOf(param).has_value(); }

TChoiceResult ChoiceOfValues(const TTimesValues& values) {
  TChoiceResult result;
  if (!values.OwnTimes) {
    std::array<FILETIME, 3> times{};
    for (size_t i = 0; i < 3; ++i)
      if (!FromLocalTime(values.Times[i], times[i]) || !IsValidFileTime(times[i]))
        return Refused(NotA("a valid local time", LocalText(values.Times[i]), TimeForms));
    result.Choice = TTimeChoice::Typed(times[0], times[1], times[2]);
    return result;
  }
  TTimeShifts shifts = IdentityShifts();
  for (size_t i = 0; i < 3; ++i) {
    const std::optional<int64_t> offset = ParseShift(values.Shifts[i]);
    if (!offset)
      return Refused(NotA("an offset of the " + std::string(TimeNames[i]) + " time",
                          values.Shifts[i], ShiftForms));
    if (values.Sources[i] < 0 || values.Sources[i] > 2)
      return Refused(NotA("a source", std::to_string(values.Sources[i]), SourceForms));
    shifts[i] = {TTimeSource(values.Sources[i]), *offset};
  }
  result.Choice = TTimeChoice::Rule(shifts);
  return result;
}

TChoiceResult ChoiceOfSwitches(const TStringList& switches) {
  std::array<FILETIME, 3> times{};
  TTimeShifts shifts = IdentityShifts();
  TChoiceResult result;
  result.Written = {false, false, false};
  bool typed = false, rule = false;
  for (const std::string& param : switches) {
    const std::optional<TTimeSwitch> given = TimeSwitchOf(param);
    if (!given) continue;
    const int first = given->Index < 0 ? 0 : given->Index;
    const int last = given->Index < 0 ? 2 : given->Index;
    for (int i = first; i <= last; ++i) {
      result.Written[size_t(i)] = true;
      if (given->Kind == TSwitchKind::Time) {
        const std::optional<TTypedTime> parsed = ParseTypedTime(given->Value);
        const std::optional<FILETIME> time = parsed ? FileTimeOfTyped(*parsed) : std::nullopt;
        if (!time) return Refused(NotA("a time", param, TimeForms));
        times[size_t(i)] = *time;
        typed = true;
      } else if (given->Kind == TSwitchKind::Shift) {
        const std::optional<int64_t> offset = ParseShift(given->Value);
        if (!offset) return Refused(NotA("an offset", param, ShiftForms));
        shifts[size_t(i)].Offset = *offset;
        rule = true;
      } else {
        const std::optional<int> source = SourceOfCode(given->Value);
        if (!source) return Refused(NotA("a source", param, SourceForms));
        shifts[size_t(i)].Source = TTimeSource(*source);
        rule = true;
      }
    }
  }
  if (typed && rule)
    return Refused(
        "Typed times and a rule cannot be mixed.\r\n\r\nGive either times "
        "(/time=, /crtime=, ...) or offsets and sources (/shift=, /crfrom=, ...).");
  if (typed) result.Choice = TTimeChoice::Typed(times[0], times[1], times[2]);
  if (rule) result.Choice = TTimeChoice::Rule(shifts);
  return result;
}

TTimesValues DialogValues(const TStampHolder& holder, TTimesValues remembered, bool timesKnown) {
  const bool average = holder.Count() > 0 || (holder.Choice() && !holder.Choice()->IsRule());
  const FILETIME now = NowFileTime();
  for (size_t i = 0; i < 3; ++i) {
    const FILETIME& held = i == 0   ? holder.Average().CRTime
                           : i == 1 ? holder.Average().LWTime
                                    : holder.Average().LATime;
    if (average && IsValidFileTime(held))
      remembered.Times[i] = LocalOf(held);
    else if (!timesKnown || average)
      remembered.Times[i] = LocalOf(now);
  }
  return remembered;
}

std::string ChoiceSummary(const TTimeChoice& choice) {
  if (!choice.IsRule())
    return "Typed times held: CR " + TimeText(choice.Times()[0]) + ", LW " +
           TimeText(choice.Times()[1]) + ", LA " + TimeText(choice.Times()[2]);
  std::string text = "A rule held:";
  for (size_t i = 0; i < 3; ++i)
    text += std::string(i ? "," : "") + " " + TimeSourceName(TTimeSource(i)) + " = " +
            TimeSourceName(choice.Shifts()[i].Source) + " " + ShiftText(choice.Shifts()[i].Offset);
  return text;
}

TTimesSettings FormatTimesSettings(const TTimesValues& values) {
  TTimesSettings text{std::string(1, values.OwnTimes ? '1' : '0'), "", "", ""};
  for (size_t i = 0; i < 3; ++i) {
    const std::string comma = i ? "," : "";
    text.Times += comma + LocalText(values.Times[i]);
    const int source = values.Sources[i];
    text.Sources += comma + (source >= 0 && source <= 2 ? SourceCodes[source] : "");
    text.Shifts += comma + values.Shifts[i];
  }
  return text;
}

bool ParseTimesSettings(const TTimesSettings& text, TTimesValues& values) {
  const TStringList times = Split(text.Times), sources = Split(text.Sources),
                    shifts = Split(text.Shifts);
  if ((text.Mode != "0" && text.Mode != "1") || times.size() != 3 || sources.size() != 3 ||
      shifts.size() != 3)
    return false;
  TTimesValues read;
  read.OwnTimes = text.Mode == "1";
  for (size_t i = 0; i < 3; ++i) {
    const std::optional<TTypedTime> time = ParseTypedTime(times[i]);
    const std::optional<int> source = SourceOfCode(sources[i]);
    if (!time || time->Now || time->UtcOffsetMinutes || !source || !ParseShift(shifts[i]))
      return false;
    read.Times[i] = time->Local;
    read.Sources[i] = *source;
    read.Shifts[i] = shifts[i];
  }
  values = read;
  return true;
}
