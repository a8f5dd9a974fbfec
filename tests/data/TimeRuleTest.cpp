#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "data/TimeRule.h"
#include "data/Tstamp.h"
#include "support/Stamps.h"

namespace {

constexpr int64_t hour = 3600 * TicksPerSecond;
constexpr int64_t day = 24 * hour;

TEST(TimeRule, ShiftsParseInEveryFormAndPrintBack) {
  const struct {
    const char* text;
    std::optional<int64_t> offset;
  } cases[] = {
      {"+1h", hour},
      {"-1d2h30m", -(day + 2 * hour + 30 * 60 * TicksPerSecond)},
      {"90s", 90 * TicksPerSecond},
      {"+0s", 0},
      {"-1.02:30:00", -(day + 2 * hour + 30 * 60 * TicksPerSecond)},
      {"01:00:00", hour},
      {"10000000d", 10'000'000 * day},
      {"10000001d", std::nullopt},
      {"99999999d99999999h", std::nullopt},
      {"1h1d", std::nullopt},
      {"1h1h", std::nullopt},
      {"1x", std::nullopt},
      {"12", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"1:00:00", std::nullopt},
      {"00:60:00", std::nullopt},
      {"1.24:00:00", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseShift(c.text), c.offset) << c.text;
    if (c.offset) {
      EXPECT_EQ(ParseShift(ShiftText(*c.offset)), c.offset) << ShiftText(*c.offset);
    }
  }
  EXPECT_EQ(ShiftText(-(day + 2 * hour + 30 * 60 * TicksPerSecond)), "-1d2h30m");
}

TEST(TimeRule, TypedTimesParseToCalendarAndOffset) {
  const auto parsed = ParseTypedTime("2024-05-01T12:00:00");
  ASSERT_TRUE(parsed);
  EXPECT_FALSE(parsed->UtcOffsetMinutes);
  EXPECT_EQ(parsed->Local.Year * 10000 + parsed->Local.Month * 100 + parsed->Local.Day, 20240501);
  EXPECT_EQ(parsed->Local.Hour, 12);
  EXPECT_EQ(ParseTypedTime("2024-05-01 12:00:00Z")->UtcOffsetMinutes, 0);
  EXPECT_EQ(ParseTypedTime("2024-05-01T12:00:00+02:00")->UtcOffsetMinutes, 120);
  EXPECT_EQ(ParseTypedTime("2024-05-01T12:00:00-05:30")->UtcOffsetMinutes, -330);
  EXPECT_TRUE(ParseTypedTime("NOW")->Now);
  EXPECT_EQ(ParseTypedTime("2024-02-29")->Local.Hour, 0);
  for (const char* bad : {"2023-02-29", "2024-13-01", "2024-05-01T24:00:00", "2024-5-1",
                          "2024-05-01T12:00", "2024-05-01T12:00:00+15:00", "yesterday", ""})
    EXPECT_FALSE(ParseTypedTime(bad)) << bad;
}

TEST(TimeRule, CalendarTimesBecomeFileTimesInsideTheValidRangeOnly) {
  EXPECT_EQ(FileTimeValue(*FileTimeOfCalendar({1970, 1, 1, 0, 0, 0, 0}, 0)), 116444736000000000ull);
  EXPECT_EQ(FileTimeValue(*FileTimeOfCalendar({1970, 1, 1, 2, 0, 0, 0}, 120)),
            116444736000000000ull);
  EXPECT_EQ(FileTimeValue(*FileTimeOfCalendar({2000, 3, 1, 0, 0, 1, 500}, 0)),
            125963424015000000ull);
  EXPECT_FALSE(FileTimeOfCalendar({1601, 1, 1, 0, 0, 0, 0}, 0));
  EXPECT_FALSE(FileTimeOfCalendar({1601, 1, 1, 0, 30, 0, 0}, 60));
  EXPECT_FALSE(FileTimeOfCalendar({2023, 2, 29, 0, 0, 0, 0}, 0));
}

TEST(TimeRule, ARuleMakesOnlyTheTimesWrittenAndRefusesTimesOutOfRange) {
  const TStamp own = MakeStamp("own", 100 * day, 200 * day, 300 * day);
  TTimeShifts shifts = IdentityShifts();
  shifts[0] = {TTimeSource::LastWrite, hour};
  shifts[2] = {TTimeSource::Creation, -day};
  TStampOptions onlyCreation;
  onlyCreation.LWTime = onlyCreation.LATime = false;

  TStamp target = MakeStamp("t", 1, 2, 3);
  EXPECT_EQ(TTimeChoice::Rule(shifts).Apply(own, {}, target), "");
  EXPECT_EQ(FileTimeValue(target.CRTime), uint64_t(200 * day + hour));
  EXPECT_EQ(FileTimeValue(target.LWTime), uint64_t(200 * day));
  EXPECT_EQ(FileTimeValue(target.LATime), uint64_t(99 * day));

  target = MakeStamp("t", 1, 2, 3);
  EXPECT_EQ(TTimeChoice::Rule(shifts).Apply(own, onlyCreation, target), "");
  EXPECT_EQ(FileTimeValue(target.LWTime), 2u);

  const struct {
    TTimeShift shift;
    const char* failure;
  } refused[] = {
      {{TTimeSource::Creation, -100 * day}, "time out of range: "},
      {{TTimeSource::Creation, INT64_MAX - 50 * day}, "time out of range: "},
      {{TTimeSource(7), 0}, "time unknown: "},
  };
  for (const auto& c : refused) {
    target = MakeStamp("t", 1, 2, 3);
    shifts[0] = c.shift;
    EXPECT_EQ(TTimeChoice::Rule(shifts).Apply(own, onlyCreation, target), c.failure);
    EXPECT_EQ(FileTimeValue(target.CRTime), 1u) << "nothing of a refused item is changed";
  }
  shifts[0] = {TTimeSource::Creation, 0};
  EXPECT_EQ(TTimeChoice::Rule(shifts).Apply(MakeStamp("own"), onlyCreation, target),
            "time unknown: ");
}

TEST(TimeRule, ChosenTimesReplaceTheGetDataAndAGetReplacesThem) {
  TStampHolder holder;
  holder.Store({MakeStamp("a", 5, 5, 5)}, MakeStamp("", 5, 5, 5), 0, TDroppedItems(1));
  holder.Store(TTimeChoice::Typed(MakeFileTime(1), MakeFileTime(2), MakeFileTime(3)));
  EXPECT_TRUE(holder.HasData());
  EXPECT_EQ(holder.Count(), 0);
  EXPECT_TRUE(holder.Dropped().empty());
  EXPECT_EQ(FileTimeValue(holder.Average().LWTime), 2u);

  holder.Store(TTimeChoice::Rule(IdentityShifts()));
  EXPECT_EQ(FileTimeValue(holder.Average().LWTime), 0u) << "a rule has no average";
  holder.Store({MakeStamp("a", 5, 5, 5)}, MakeStamp("", 5, 5, 5), 0);
  EXPECT_FALSE(holder.Choice());
  holder.Store(TTimeChoice::Rule(IdentityShifts()));
  holder.Clear();
  EXPECT_FALSE(holder.HasData());
}

}  // namespace
