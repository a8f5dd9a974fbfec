#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "platform/LocalTime.h"
#include "support/Zone.h"

namespace {

// 2021-01-15 12:00:00.000 UTC and 2021-07-15 12:30:45.999 UTC: a winter and a summer moment.
constexpr uint64_t january2021 = 132551856000000000;
constexpr uint64_t july2021 = 132708258459990000;

std::string Text(const TLocalTime& time) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.Year, time.Month,
                time.Day, time.Hour, time.Minute, time.Second, time.Milliseconds);
  return text;
}

struct TZoneSeasons {
  const char* Name;
  const char* Rule;
  TLocalTime Winter;
  TLocalTime Summer;
  bool Daylight;
};

class LocalTimeInZone : public testing::TestWithParam<TZoneSeasons> {};

// The same moments both ways, in the offset of each one's own season, milliseconds kept; the
// zone's name changes with the season exactly where the zone keeps daylight saving.
TEST_P(LocalTimeInZone, ConvertsBothWaysInEachSeasonsOffset) {
  const TZoneSeasons& zone = GetParam();
  TZone pinned(zone.Rule);
  if (!pinned.Pinned) GTEST_SKIP() << pinned.Why();
  std::string names[2];
  for (const auto& [local, utc, name] : {std::tuple{zone.Winter, january2021, &names[0]},
                                         std::tuple{zone.Summer, july2021, &names[1]}}) {
    FILETIME time{};
    ASSERT_TRUE(FromLocalTime(local, time)) << Text(local);
    EXPECT_EQ(FileTimeValue(time), utc) << Text(local);
    TLocalTime back;
    ASSERT_TRUE(ToLocalTime(time, back));
    EXPECT_EQ(Text(back), Text(local));
    *name = ZoneName(time);
    EXPECT_FALSE(name->empty()) << Text(local);
  }
  EXPECT_EQ(names[0] != names[1], zone.Daylight) << names[0] << " / " << names[1];
}

INSTANTIATE_TEST_SUITE_P(Zones, LocalTimeInZone,
                         testing::Values(TZoneSeasons{"Utc",
                                                      "UTC0",
                                                      {2021, 1, 15, 12, 0, 0, 0},
                                                      {2021, 7, 15, 12, 30, 45, 999},
                                                      false},
                                         TZoneSeasons{"NineHoursEast",
                                                      "JST-9",
                                                      {2021, 1, 15, 21, 0, 0, 0},
                                                      {2021, 7, 15, 21, 30, 45, 999},
                                                      false},
                                         TZoneSeasons{"FiveHoursWest",
                                                      "EST5EDT,M3.2.0,M11.1.0",
                                                      {2021, 1, 15, 7, 0, 0, 0},
                                                      {2021, 7, 15, 8, 30, 45, 999},
                                                      true},
                                         TZoneSeasons{"CentralEurope",
                                                      "CET-1CEST,M3.5.0,M10.5.0/3",
                                                      {2021, 1, 15, 13, 0, 0, 0},
                                                      {2021, 7, 15, 14, 30, 45, 999},
                                                      true}),
                         [](const testing::TestParamInfo<TZoneSeasons>& info) {
                           return info.param.Name;
                         });

// Fields the calendar does not have are refused, not carried into the next day or month; leap
// days are there only in leap years.
TEST(LocalTime, RefusesWhatTheCalendarDoesNotHave) {
  const struct {
    TLocalTime Time;
    bool Valid;
  } cases[] = {
      {{2021, 13, 1, 0, 0, 0, 0}, false},   {{2021, 0, 1, 0, 0, 0, 0}, false},
      {{2021, 2, 30, 0, 0, 0, 0}, false},   {{2021, 2, 29, 0, 0, 0, 0}, false},
      {{1900, 2, 29, 0, 0, 0, 0}, false},   {{2021, 4, 31, 0, 0, 0, 0}, false},
      {{2021, 1, 0, 0, 0, 0, 0}, false},    {{2021, 1, 1, 24, 0, 0, 0}, false},
      {{2021, 1, 1, 0, 60, 0, 0}, false},   {{2021, 1, 1, 0, 0, 60, 0}, false},
      {{2021, 1, 1, 0, 0, 0, 1000}, false}, {{2021, 1, 1, -1, 0, 0, 0}, false},
      {{1600, 12, 31, 0, 0, 0, 0}, false},  {{2024, 2, 29, 23, 59, 59, 999}, true},
      {{2000, 2, 29, 0, 0, 0, 0}, true},    {{2021, 12, 31, 0, 0, 0, 0}, true},
  };
  for (const auto& [time, valid] : cases) {
    FILETIME converted{};
    EXPECT_EQ(FromLocalTime(time, converted), valid) << Text(time);
  }
}

}  // namespace
