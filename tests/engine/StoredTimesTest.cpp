#include <gtest/gtest.h>

#include "engine/StoredTimes.h"

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
  const TVolumeInfo ntfs{"NTFS"}, share{"NTFS", true};
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
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Volume.FileSystemName + (c.Volume.Remote ? " remote" : "") + ", kind " +
                 std::to_string(int(c.Kind)) + ", shift " + std::to_string(c.Shift));
    EXPECT_EQ(JudgeStoredTime(c.Kind, noon, uint64_t(int64_t(noon) + c.Shift), c.Volume),
              c.Expected);
  }
}
