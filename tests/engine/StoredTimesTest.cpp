#include <gtest/gtest.h>

#include "engine/StoredTimes.h"

namespace {

constexpr uint64_t ms = 10000;
constexpr uint64_t second = 1000 * ms;
constexpr uint64_t hour = 3600 * second;
// 2020-06-01 12:00:00 UTC; three hours before it is the same local date from UTC-9 to UTC+11.
constexpr uint64_t noon = 132354432000000000ull + 12 * hour;

struct TCase {
  const char* Volume;
  bool Remote;
  TTimeKind Kind;
  int64_t Shift;  // stored minus asked, in 100 ns units
  TKeeping Expected;
};

constexpr TTimeKind cr = TTimeKind::Creation, lw = TTimeKind::LastWrite,
                    la = TTimeKind::LastAccess;
constexpr TKeeping exact = TKeeping::Exact, rounded = TKeeping::Rounded,
                   lost = TKeeping::NotKept;

}  // namespace

TEST(StoredTimes, EachVolumeKeepsTimesToItsOwnPrecision) {
  const TCase cases[] = {
      {"NTFS", false, lw, 0, exact},         {"NTFS", false, lw, 1, lost},
      {"NTFS", false, cr, -1, lost},         {"NTFS", true, lw, int64_t(2 * second) - 1, rounded},
      {"NTFS", true, la, -int64_t(2 * second), lost},
      {"", false, la, int64_t(second), lost},
      {"FAT", false, lw, int64_t(2 * second), rounded},
      {"FAT", false, lw, -int64_t(2 * second) - 1, lost},
      {"fat32", false, cr, int64_t(10 * ms), rounded},
      {"FAT32", false, cr, int64_t(10 * ms) + 1, lost},
      {"exFAT", false, la, int64_t(2 * second), rounded},
      {"FAT16", false, la, -int64_t(3 * hour), rounded},
      {"FAT12", false, la, int64_t(25 * hour), lost},
      {"FAT", false, lw, int64_t(100) * 365 * 24 * int64_t(hour), lost},
      {"FATX", false, lw, int64_t(second), lost},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Volume) + (c.Remote ? " remote" : "") + " kind " +
                 std::to_string(int(c.Kind)) + " shift " + std::to_string(c.Shift));
    EXPECT_EQ(JudgeStoredTime(c.Kind, noon, uint64_t(int64_t(noon) + c.Shift), {c.Volume, c.Remote}),
              c.Expected);
  }
}
