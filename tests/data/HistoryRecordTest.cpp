#include <gtest/gtest.h>

#include <random>
#include <string>

#include "data/HistoryRecord.h"

namespace {

TStampUnits SampleUnits(std::mt19937& random, size_t count) {
  TStampUnits units(count);
  for (TStampUnit& unit : units) {
    unit.Options.AnyAttr = random() % 2;
    unit.Options.CRTime = random() % 2;
    unit.Stamps.resize(1 + random() % 6);
    for (TStamp& stamp : unit.Stamps) {
      std::string path;
      for (size_t c = 1 + random() % 20; c > 0; --c) path += char(random() % 256);
      stamp.Path = path;
      stamp.CRTime = MakeFileTime(random());
      stamp.LWTime = MakeFileTime(uint64_t(random()) << 20);
      stamp.LATime = MakeFileTime(random());
      stamp.Id = {random(), random(), random() % 2 == 0};
    }
  }
  return units;
}

bool Same(const TStampUnits& a, const TStampUnits& b) {
  if (a.size() != b.size()) return false;
  for (size_t u = 0; u < a.size(); ++u) {
    if (!(a[u].Options == b[u].Options) || a[u].Stamps.size() != b[u].Stamps.size()) return false;
    for (size_t i = 0; i < a[u].Stamps.size(); ++i) {
      const TStamp &x = a[u].Stamps[i], &y = b[u].Stamps[i];
      if (x.Path != y.Path || !(x.Id == y.Id) ||
          FileTimeValue(x.CRTime) != FileTimeValue(y.CRTime) ||
          FileTimeValue(x.LWTime) != FileTimeValue(y.LWTime) ||
          FileTimeValue(x.LATime) != FileTimeValue(y.LATime))
        return false;
    }
  }
  return true;
}

// A snapshot reads back whole, or, torn anywhere or with flipped bits, not at all: a part of a
// history would put its position among the wrong entries. The bound leaves out the oldest
// entries, and the position follows them.
TEST(HistoryRecord, ReadsBackWholeOrNotAtAllAndDropsTheOldestPastItsBound) {
  std::mt19937 random(11);
  const TStampUnits units = SampleUnits(random, 7);
  const std::string bytes = EncodeHistory(units, 5, 42, SIZE_MAX);
  TKeptHistory read;
  ASSERT_TRUE(ParseHistory(bytes, read));
  EXPECT_TRUE(Same(read.Units, units));
  EXPECT_EQ(read.Position, 5);
  EXPECT_EQ(read.Sequence, 42u);
  ASSERT_TRUE(ParseHistory(bytes + "trailing garbage", read));
  EXPECT_TRUE(Same(read.Units, units));
  for (size_t size = 0; size < bytes.size(); ++size)
    ASSERT_FALSE(ParseHistory(bytes.substr(0, size), read)) << "torn at " << size;
  for (int i = 0; i < 2000; ++i) {
    std::string corrupt = bytes;
    corrupt[random() % corrupt.size()] ^= char(1 << (random() % 8));
    ASSERT_FALSE(ParseHistory(corrupt, read)) << "flip " << i;
  }

  const TStampUnits newest(units.end() - 3, units.end());
  const size_t bound = EncodeHistory(newest, 5, 1, SIZE_MAX).size();
  ASSERT_TRUE(ParseHistory(EncodeHistory(units, 5, 1, bound), read));
  EXPECT_TRUE(Same(read.Units, newest));
  EXPECT_EQ(read.Position, 1);
  ASSERT_TRUE(ParseHistory(EncodeHistory(units, 5, 1, bound - 1), read));
  EXPECT_EQ(read.Units.size(), 2u) << "a byte short of three entries";
  ASSERT_TRUE(ParseHistory(EncodeHistory(units, 2, 1, bound), read));
  EXPECT_EQ(read.Position, 0) << "only entries to redo are left";
  ASSERT_TRUE(ParseHistory(EncodeHistory(units, 2, 1, 0), read));
  EXPECT_TRUE(read.Units.empty());
}

}  // namespace
