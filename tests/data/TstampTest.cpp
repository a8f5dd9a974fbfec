#include <gtest/gtest.h>

#include "data/Tstamp.h"
#include "support/Stamps.h"

TEST(IsValidFileTime, AcceptsExactlyTheValuesAboveZeroAndBelowTwoToThe63) {
  EXPECT_FALSE(IsValidFileTime(MakeFileTime(0)));
  EXPECT_TRUE(IsValidFileTime(MakeFileTime(1)));
  EXPECT_TRUE(IsValidFileTime(MakeFileTime(uint64_t(1) << 32)));  // high half alone
  EXPECT_TRUE(IsValidFileTime(MakeFileTime((uint64_t(1) << 63) - 1)));
  EXPECT_FALSE(IsValidFileTime(MakeFileTime(uint64_t(1) << 63)));
  EXPECT_FALSE(IsValidFileTime(MakeFileTime(~uint64_t(0))));
  TStamp empty;
  EXPECT_TRUE(empty.Path.empty());
  EXPECT_FALSE(IsValidFileTime(empty.CRTime) || IsValidFileTime(empty.LWTime) ||
               IsValidFileTime(empty.LATime));
}

TEST(ClearFileTime, ZeroesBothHalves) {
  FILETIME time = MakeFileTime(0x123456789ABCDEFull);
  ClearFileTime(time);
  EXPECT_EQ(FileTimeValue(time), 0u);
}

TEST(TStampOptions, DefaultsAndEqualityOverAllSixFlags) {
  const TStampOptions defaults;
  EXPECT_TRUE(defaults.Subdirs && defaults.Directories && !defaults.AnyAttr && defaults.CRTime &&
              defaults.LWTime && defaults.LATime);
  EXPECT_EQ(defaults, TStampOptions());
  bool TStampOptions::*const flags[] = {&TStampOptions::Subdirs, &TStampOptions::Directories,
                                        &TStampOptions::AnyAttr, &TStampOptions::CRTime,
                                        &TStampOptions::LWTime,  &TStampOptions::LATime};
  for (auto flag : flags) {
    TStampOptions changed;
    changed.*flag = !(changed.*flag);
    EXPECT_FALSE(changed == defaults);
  }
}

TEST(TStampUnit, CopiesShareNothing) {
  TStampUnit source;
  source.Stamps.push_back(MakeStamp("a", 1, 2, 3));
  TStampUnit copy = source;
  copy.Stamps[0] = MakeStamp("b", 1, 9, 3);
  copy.Stamps.push_back(MakeStamp("c", 4, 5, 6));
  copy.Options.AnyAttr = true;
  ASSERT_EQ(source.Stamps.size(), 1u);
  EXPECT_EQ(source.Stamps[0].Path, "a");
  EXPECT_EQ(FileTimeValue(source.Stamps[0].LWTime), 2u);
  EXPECT_FALSE(source.Options.AnyAttr);
  EXPECT_TRUE(TStampUnit().Stamps.empty());
}

class HolderTest : public testing::Test {
 protected:
  void SetUp() override {
    Holder.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &Holder);
      ++Events;
    };
  }
  TStampHolder Holder;
  int Events = 0;
};

TEST_F(HolderTest, NewHolderIsEmpty) {
  EXPECT_EQ(Holder.Count(), 0);
  EXPECT_EQ(Holder.DirCount(), 0);
  EXPECT_EQ(Holder.FileCount(), 0);
  EXPECT_TRUE(Holder.Average().Path.empty());
  EXPECT_EQ(FileTimeValue(Holder.Average().LWTime), 0u);
  EXPECT_EQ(Events, 0);
}

TEST_F(HolderTest, StoreReplacesTheDataWholeAndKeepsItsOwnCopy) {
  TStamps five(5, MakeStamp("x", 1, 1, 1));
  Holder.Store(five, MakeStamp("", 7, 8, 9), 2);
  TStamps three = {MakeStamp("a", 1, 2, 3), MakeStamp("b", 4, 5, 6), MakeStamp("c", 7, 8, 9)};
  Holder.Store(three, MakeStamp("avg", 4, 5, 6), 1);
  three[0].Path = "changed";
  three.pop_back();
  EXPECT_EQ(Events, 2);
  EXPECT_EQ(Holder.Count(), 3);
  EXPECT_EQ(Holder.DirCount(), 1);
  EXPECT_EQ(Holder.FileCount(), 2);
  EXPECT_EQ(Holder.Stamps()[0].Path, "a");
  EXPECT_EQ(FileTimeValue(Holder.Average().LATime), 6u);
  EXPECT_EQ(Holder.Average().Path, "avg");
}

TEST_F(HolderTest, ClearEmptiesAndFiresEvenWhenAlreadyEmpty) {
  Holder.Clear();
  EXPECT_EQ(Events, 1);
  Holder.Store({MakeStamp("a", 1, 2, 3)}, MakeStamp("", 1, 2, 3), 0);
  Holder.Clear();
  EXPECT_EQ(Events, 3);
  EXPECT_EQ(Holder.Count(), 0);
  EXPECT_EQ(FileTimeValue(Holder.Average().CRTime), 0u);
}

TEST(Holder, WorksWithoutAHandler) {
  TStampHolder holder;
  holder.Store({MakeStamp("a", 1, 2, 3)}, MakeStamp("", 1, 2, 3), 0);
  EXPECT_EQ(holder.Count(), 1);
  holder.Clear();
  EXPECT_EQ(holder.Count(), 0);
}
