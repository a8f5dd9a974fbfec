#include <gtest/gtest.h>
#include <time.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "engine/Tstamperbase.h"
#include "toolkit/Application.h"
#include "platform/WinConst.h"
#include "support/TestStamper.h"
#include "support/Zone.h"

namespace {

TStamp Average(uint64_t creation, uint64_t lastWrite, uint64_t lastAccess) {
  TStamp average;
  average.CRTime = MakeFileTime(creation);
  average.LWTime = MakeFileTime(lastWrite);
  average.LATime = MakeFileTime(lastAccess);
  return average;
}

struct TShown {
  std::string Text;
  std::string Caption;
  int Flags = -1;
};

TShown Report(int fileCount, int dirCount, const TStamp& average) {
  TShown shown;
  Application().MessageBoxHook = [&](const std::string& text, const std::string& caption,
                                     int flags) {
    shown = {text, caption, flags};
    return idOk;
  };
  TTestStamper stamper;
  stamper.ShowProperties(fileCount, dirCount, average);
  Application().MessageBoxHook = nullptr;
  return shown;
}

constexpr uint64_t topBit = uint64_t(1) << 63;

// Every line but the bias, which belongs to the machine's zone here.
TEST(Properties, CountsAndUnknownTimes) {
  const TShown shown = Report(12345, 2, Average(0, topBit, topBit + 1));
  EXPECT_EQ(shown.Flags, mbIconInformation);
  EXPECT_EQ(shown.Caption, Application().Title);
  const std::string contents =
      "[Contents]\r\nFile Count: 12,345\r\nDir Count: 2\r\nFile and Dir Total: 12,347\r\n\r\n"
      "[Average]\r\nCR Time: (Unknown)\r\nLW Time: (Unknown)\r\nLA Time: (Unknown)\r\nUTC Bias: ";
  EXPECT_EQ(shown.Text.substr(0, contents.size()), contents);
  EXPECT_TRUE(shown.Text.ends_with(" minute(s)\r\n") || shown.Text.ends_with(": (Unknown)\r\n"));

  EXPECT_NE(Report(INT_MAX, 1, Average(0, 0, 0)).Text.find("File and Dir Total: 2,147,483,648\r\n"),
            std::string::npos)
      << "two large counts must not wrap";
}

// 2004-05-06 07:08:09.010 UTC, and two moments of 2021 in winter and in summer.
constexpr uint64_t may2004 = 127283008890100000;
constexpr uint64_t january2021 = 132551856000000000;
constexpr uint64_t july2021 = 132708258459990000;

TEST(Properties, ShowsTimesAcrossTheWholeRange) {
  TZone zone("UTC0");
  if (!zone.Pinned) GTEST_SKIP() << zone.Why();
  const std::string text = Report(0, 0, Average(1, topBit - 1, may2004 + 9999)).Text;
  EXPECT_NE(text.find("\r\nCR Time: 1601-01-01 00:00:00.000\r\n"
                      "LW Time: 30828-09-14 02:48:05.477\r\n"
                      "LA Time: 2004-05-06 07:08:09.010\r\n"),
            std::string::npos)
      << text << "(milliseconds are cut, not rounded)";
}

struct TZoneReport {
  const char* Name;
  const char* Rule;
  const char* Times;
  const char* Bias;
};

class PropertiesInZone : public testing::TestWithParam<TZoneReport> {};

// Each time is shown in the offset in force on its own date: a report made in winter still shows
// a summer time in summer time. The bias is the standard one, whatever the season.
TEST_P(PropertiesInZone, ShowsTheReportByteForByte) {
  const TZoneReport& expected = GetParam();
  TZone zone(expected.Rule);
  if (!zone.Pinned) GTEST_SKIP() << zone.Why();
  const std::string text =
      std::string(
          "[Contents]\r\nFile Count: 3\r\nDir Count: 1,000\r\nFile and Dir Total: 1,003\r\n") +
      "\r\n[Average]\r\n" + expected.Times + "UTC Bias: " + expected.Bias + "\r\n";
  EXPECT_EQ(Report(3, 1000, Average(may2004, january2021, july2021)).Text, text);
}

INSTANTIATE_TEST_SUITE_P(Zones, PropertiesInZone,
                         testing::Values(TZoneReport{"Utc", "UTC0",
                                                     "CR Time: 2004-05-06 07:08:09.010\r\n"
                                                     "LW Time: 2021-01-15 12:00:00.000\r\n"
                                                     "LA Time: 2021-07-15 12:30:45.999\r\n",
                                                     "0 minute(s)"},
                                         TZoneReport{"NineHoursEast", "JST-9",
                                                     "CR Time: 2004-05-06 16:08:09.010\r\n"
                                                     "LW Time: 2021-01-15 21:00:00.000\r\n"
                                                     "LA Time: 2021-07-15 21:30:45.999\r\n",
                                                     "-540 minute(s)"},
                                         TZoneReport{"FiveHoursWest", "EST5EDT,M3.2.0,M11.1.0",
                                                     "CR Time: 2004-05-06 03:08:09.010\r\n"
                                                     "LW Time: 2021-01-15 07:00:00.000\r\n"
                                                     "LA Time: 2021-07-15 08:30:45.999\r\n",
                                                     "300 minute(s)"},
                                         TZoneReport{"CentralEurope", "CET-1CEST,M3.5.0,M10.5.0/3",
                                                     "CR Time: 2004-05-06 09:08:09.010\r\n"
                                                     "LW Time: 2021-01-15 13:00:00.000\r\n"
                                                     "LA Time: 2021-07-15 14:30:45.999\r\n",
                                                     "-60 minute(s)"}),
                         [](const testing::TestParamInfo<TZoneReport>& info) {
                           return info.param.Name;
                         });

}  // namespace
