#include <gtest/gtest.h>

#include "engine/StoredTimes.h"
#include "platform/LocalTime.h"
#include "support/Zone.h"

namespace {

constexpr int64_t ms = 10000, second = 1000 * ms, hour = 3600 * second;
// 2020-06-01 12:00:00 UTC; three hours before it is the same local date from UTC-9 to UTC+11.
constexpr uint64_t noon = 132354864000000000ull;
constexpr TTimeKind cr = TTimeKind::Creation, lw = TTimeKind::LastWrite, la = TTimeKind::LastAccess;
constexpr TKeeping exact = TKeeping::Exact, rounded = TKeeping::Rounded, lost = TKeeping::NotKept;

struct TCase {
  TVolumeInfo Volume;
  TTimeKind Kind;
  int64_t Shift;  // stored minus asked
  TKeeping Expected;
};

}  // namespace

TEST(StoredTimes, EachVolumeKeepsTimesToItsOwnPrecision) {
  const TVolumeInfo ntfs{"NTFS"}, share{"NTFS", true}, unknown{"", false, false};
  const TCase cases[] = {
      {ntfs, lw, 0, exact},
      {ntfs, lw, 1, lost},
      {share, lw, 2 * second - 1, rounded},
      {share, la, -2 * second, lost},
      {{"FAT"}, lw, -2 * second - 1, lost},
      {{"fat32"}, cr, 10 * ms, rounded},
      {{"FAT32"}, cr, 10 * ms + 1, lost},
      {{"exFAT"}, la, 2 * second, rounded},
      {{"FAT16"}, la, -3 * hour, rounded},
      {{"FAT12"}, la, 25 * hour, lost},
      {{"FATX"}, lw, second, lost},
      {unknown, lw, 2 * second - 1, rounded},
      {unknown, cr, -second, rounded},
      {unknown, la, -3 * hour, rounded},
      {unknown, cr, -hour, lost},
      {unknown, la, 25 * hour, lost},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Volume.FileSystemName + (c.Volume.Remote ? " remote" : "") + ", kind " +
                 std::to_string(int(c.Kind)) + ", shift " + std::to_string(c.Shift));
    EXPECT_EQ(JudgeStoredTime(c.Kind, noon, uint64_t(int64_t(noon) + c.Shift), c.Volume),
              c.Expected);
  }
}

// FAT's driver on Windows makes a last-access date with the offset in force today, and gives back
// that date's midnight: near midnight in the other daylight-saving season the date differs from
// the one the time's own offset gives, and the time is still kept.
TEST(FatLastAccess, ADateMadeWithTodaysOffsetIsKept) {
  TZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  if (!zone.Pinned) GTEST_SKIP() << zone.Why();
  // 2020-01-15 23:30 UTC and 2020-07-15 22:30 UTC: each 00:30 local on the 16th.
  const uint64_t winter = 132236046000000000ull, summer = 132393258000000000ull;
  int otherSeason = 0;
  for (uint64_t asked : {winter, summer}) {
    TLocalTime own, present;
    ASSERT_TRUE(ToLocalTime(MakeFileTime(asked), own));
    ASSERT_TRUE(ToLocalTimeAtPresentOffset(MakeFileTime(asked), present));
    EXPECT_EQ(own.Day, 16);
    if (present.Hour == own.Hour) continue;  // today's season
    ++otherSeason;
    const uint64_t stored =
        asked - uint64_t((present.Hour * 60 + present.Minute) * 60) * uint64_t(second);
    EXPECT_EQ(JudgeStoredTime(la, asked, stored, {"FAT"}), rounded);
  }
  EXPECT_EQ(otherSeason, 1);
}
