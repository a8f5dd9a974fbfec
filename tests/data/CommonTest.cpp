#include <gtest/gtest.h>

#include "data/Common.h"

TEST(GroupDigits, GroupsFromTheRightAndSkipsALeadingMinus) {
  const std::pair<const char*, const char*> cases[] = {
      {"1234567", "1,234,567"}, {"123456", "123,456"}, {"1234", "1,234"}, {"123", "123"},
      {"", ""},                 {"-123", "-123"},      {"-1234", "-1,234"}, {"-540", "-540"},
      {"-123456", "-123,456"},  {"1000", "1,000"},     {"-", "-"},          {"12", "12"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(GroupDigits(input), expected) << input;
}

TEST(GroupDigits, CountsEveryCharacterWithoutTestingForDigits) {
  EXPECT_EQ(GroupDigits("abcdefg"), "a,bcd,efg");
}
