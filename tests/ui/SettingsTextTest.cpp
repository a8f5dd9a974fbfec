#include <gtest/gtest.h>

#include "ui/SettingsText.h"

TEST(SettingsValues, DefaultsFormatWithTheEmptyFieldBeforeSyncByName) {
  TSettingsValues values;
  values.Left = 370;
  values.Top = 248;
  EXPECT_EQ(FormatSettingsValues(values), "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,,0");
}

// Older versions read fields 0 to 12 and write 14 fields, the last one empty.
TEST(SettingsValues, SyncByNameRoundTripsWithTheValuesOfOlderVersions) {
  TSettingsValues values;
  values.SyncByName = true;
  const std::string older = "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,0,0,";
  EXPECT_EQ(FormatSettingsValues(values), older + ",-1");
  for (const auto& [text, syncByName] : {std::pair{older + ",-1", true},
                                         {older, false},
                                         {older + ",true,more", true},
                                         {older + ",x", false}}) {
    TSettingsValues read;
    ASSERT_TRUE(ParseSettingsValues(text, read)) << text;
    EXPECT_EQ(read.SyncByName, syncByName) << text;
  }
}

TEST(SettingsValues, EachFieldLandsInItsPlace) {
  TSettingsValues read;
  ASSERT_TRUE(ParseSettingsValues("0,-1,1,0,0,0,0,-1,0,-1,-1,-10,20", read));
  EXPECT_FALSE(read.Stamp.Subdirs);
  EXPECT_TRUE(read.Stamp.Directories);
  EXPECT_TRUE(read.Stamp.AnyAttr);
  EXPECT_FALSE(read.Stamp.CRTime || read.Stamp.LWTime || read.Stamp.LATime);
  EXPECT_FALSE(read.View[0]);
  EXPECT_TRUE(read.View[1]);
  EXPECT_FALSE(read.View[2]);
  EXPECT_TRUE(read.View[3] && read.View[4]);
  EXPECT_EQ(read.Left, -10);
  EXPECT_EQ(read.Top, 20);
  EXPECT_EQ(FormatSettingsValues(read), "0,-1,-1,0,0,0,0,-1,0,-1,-1,-10,20,,0");
}

TEST(SettingsValues, ShortOrBadListsFailAndLeaveTheValuesAlone) {
  TSettingsValues read;
  read.Left = 7;
  const char* bad[] = {
      "",
      "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370",         // 12 fields
      "-1,-1,0,-1,-1,-1,-1,0,-1,0,yes,370,248,",  // a bool that does not parse
      "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,24.8,",   // a position that is no integer
      "0,0,0,0,0,0,0,0,0,0,0,370,9999999999,",    // out of range
  };
  for (const char* text : bad) {
    EXPECT_FALSE(ParseSettingsValues(text, read)) << text;
    EXPECT_TRUE(read.Stamp.Subdirs && read.View[0] && read.Left == 7) << text;
  }
}

TEST(SettingsValues, FieldsAfterTheTopEdgeButSyncByNameAreIgnored) {
  TSettingsValues read;
  ASSERT_TRUE(ParseSettingsValues("0,0,0,0,0,0,0,0,0,0,0,1,2,,junk,\"x y\"", read));
  EXPECT_EQ(FormatSettingsValues(read), "0,0,0,0,0,0,0,0,0,0,0,1,2,,0");
}

TEST(SettingsText, BoolSpellings) {
  const std::pair<const char*, bool> valid[] = {
      {"1", true},   {"-1", true},   {"2", true},      {"true", true},   {"TRUE", true},
      {"1.5", true}, {"0.01", true}, {"+3", true},     {"0", false},     {"0.0", false},
      {"-0", false}, {".0", false},  {"FALSE", false}, {"fAlSe", false},
  };
  for (const auto& [text, expected] : valid) {
    bool value = !expected;
    EXPECT_TRUE(ParseSettingsBool(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text : {"yes", "", "-", ".", "1.2.3", "1e", " 1", "truex", "on"}) {
    bool value = false;
    EXPECT_FALSE(ParseSettingsBool(text, value)) << text;
  }
  EXPECT_EQ(SettingsBoolText(true), "-1");
  EXPECT_EQ(SettingsBoolText(false), "0");
}

TEST(SettingsText, StrictIntegers) {
  const std::pair<const char*, int> valid[] = {
      {"0", 0},
      {"-0", 0},
      {"+5", 5},
      {"-370", -370},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"007", 7},
  };
  for (const auto& [text, expected] : valid) {
    int value = 1;
    EXPECT_TRUE(ParseSettingsInt(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text :
       {"", "+", "-", "+-5", "--5", " 5", "5 ", "5x", "1.0", "0x10", "2147483648", "-2147483649"}) {
    int value = 42;
    EXPECT_FALSE(ParseSettingsInt(text, value)) << text;
    EXPECT_EQ(value, 42) << text;
  }
}

TEST(SettingsText, CommaTextQuotesAndBlanks) {
  const std::pair<const char*, TStringList> cases[] = {
      {"", {}},
      {"  \t ", {}},
      {"a,b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",", {"", ""}},
      {" a  b ,\tc\r\n", {"a", "b", "c"}},
      {"\"a, b\",c", {"a, b", "c"}},
      {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
      {"\"\",1", {"", "1"}},
      {"\"open, to the end", {"open, to the end"}},
      {"ab\"cd", {"ab\"cd"}},
      {"\xC3\xA9t\xC3\xA9,\x01z", {"\xC3\xA9t\xC3\xA9", "z"}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(SplitCommaText(text), expected) << text;
}

TEST(SettingsText, FindParamComparesWholeParametersAfterTheProgram) {
  const TStringList params = {"/dp", "/dpx", "other", "/DP", "/dp"};
  EXPECT_EQ(FindParam(params, "/dp", false), 3);
  EXPECT_EQ(FindParam(params, "/dp", true), 4);
  EXPECT_EQ(FindParam(params, "/DP", true), 3);
  EXPECT_EQ(FindParam(params, "/d", false), -1);
  EXPECT_EQ(FindParam({"/dp"}, "/dp", false), -1);
  EXPECT_EQ(FindParam({}, "/dp", false), -1);
}

// Two windows save one after the other: each keeps what the other changed and it did not.
TEST(SettingsValues, MergeTakesOnlyThisWindowsChangesOverTheFile) {
  const std::string base = "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0";
  const struct {
    std::string mine, inFile, merged;
  } cases[] = {
      {base, "-1,-1,-1,-1,-1,-1,-1,0,-1,0,0,10,20,,0", "-1,-1,-1,-1,-1,-1,-1,0,-1,0,0,10,20,,0"},
      {"0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0", "-1,-1,-1,-1,-1,-1,-1,0,-1,0,0,30,40,,-1",
       "0,-1,-1,-1,-1,-1,-1,0,-1,0,0,30,40,,-1"},
      {"-1,-1,0,-1,-1,-1,-1,0,-1,0,0,11,20,,0", "1,true,0,1,1,1,1,0,1,0,0,10,20,",
       "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,11,20,,0"},
      {"0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0", "garbage", "0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0"},
      {"0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0", "", "0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,,0"},
  };
  for (const auto& c : cases) EXPECT_EQ(MergeSettingsValues(base, c.mine, c.inFile), c.merged) << c.inFile;
}
