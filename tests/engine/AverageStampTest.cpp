#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/Tstamperbase.h"
#include "support/TestStamper.h"

namespace {

constexpr uint64_t topBit = uint64_t(1) << 63;

TStamp Stamp(uint64_t creation, uint64_t lastWrite, uint64_t lastAccess) {
  TStamp stamp;
  stamp.Path = "item";
  stamp.CRTime = MakeFileTime(creation);
  stamp.LWTime = MakeFileTime(lastWrite);
  stamp.LATime = MakeFileTime(lastAccess);
  return stamp;
}

// The mean by another road: a 128-bit sum in two halves, divided one bit at a time.
uint64_t ReferenceMean(const std::vector<uint64_t>& values) {
  uint64_t high = 0;
  uint64_t low = 0;
  for (uint64_t value : values) {
    low += value;
    high += low < value ? 1 : 0;
  }
  const uint64_t count = values.size();
  uint64_t quotient = 0;
  uint64_t remainder = 0;
  for (int bit = 127; bit >= 0; --bit) {
    const uint64_t next = bit >= 64 ? high >> (bit - 64) : low >> bit;
    remainder = (remainder << 1) | (next & 1);
    if (remainder >= count) {
      remainder -= count;
      if (bit < 64) quotient |= uint64_t(1) << bit;
    }
  }
  return quotient;
}

TEST(AverageStamp, AveragesEachTimeOverTheStampsThatHaveIt) {
  TTestStamper stamper;
  const TStamp one = stamper.AverageStamp({Stamp(5, 0, topBit + 9)});
  EXPECT_EQ(FileTimeValue(one.CRTime), 5u);
  EXPECT_EQ(FileTimeValue(one.LWTime), 0u);
  EXPECT_EQ(FileTimeValue(one.LATime), 0u);
  EXPECT_TRUE(one.Path.empty());

  const TStamp mixed = stamper.AverageStamp(
      {Stamp(1, 10, 0), Stamp(2, 0, topBit), Stamp(0, 31, 0), Stamp(topBit | 4, 0, 0)});
  EXPECT_EQ(FileTimeValue(mixed.CRTime), 1u) << "(1 + 2) / 2 rounded down";
  EXPECT_EQ(FileTimeValue(mixed.LWTime), 20u) << "(10 + 31) / 2 rounded down";
  EXPECT_EQ(FileTimeValue(mixed.LATime), 0u) << "no valid time at all";

  EXPECT_EQ(FileTimeValue(stamper.AverageStamp({}).CRTime), 0u);
}

TEST(AverageStamp, IsExactForManyTimesNearTheLimit) {
  constexpr uint64_t largest = topBit - 1;
  TStamps stamps;
  std::vector<uint64_t> creation, lastWrite;
  uint64_t scramble = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 200001; ++i) {
    scramble = scramble * 6364136223846793005u + 1442695040888963407u;
    creation.push_back(largest - (scramble >> 24));
    lastWrite.push_back(i % 3 == 0 ? largest : largest - 1);
    stamps.push_back(Stamp(creation.back(), lastWrite.back(), largest));
    // Invalid times between them take no part.
    stamps.push_back(Stamp(topBit | scramble, 0, topBit));
  }
  TTestStamper stamper;
  const TStamp average = stamper.AverageStamp(stamps);
  EXPECT_EQ(FileTimeValue(average.CRTime), ReferenceMean(creation));
  EXPECT_EQ(FileTimeValue(average.LWTime), ReferenceMean(lastWrite));
  EXPECT_EQ(FileTimeValue(average.LWTime), largest - 1) << "two thirds of them are one less";
  EXPECT_EQ(FileTimeValue(average.LATime), largest);
}

TEST(AverageStamp, StoppedBeforeTheFirstStampGivesNoTimes) {
  TTestStamper stamper;
  stamper.Terminate();
  const TStamp average = stamper.AverageStamp({Stamp(5, 6, 7)});
  EXPECT_EQ(FileTimeValue(average.CRTime), 0u);
  EXPECT_EQ(FileTimeValue(average.LWTime), 0u);
  EXPECT_EQ(FileTimeValue(average.LATime), 0u);
}

}  // namespace
