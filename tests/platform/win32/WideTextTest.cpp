#include <gtest/gtest.h>

#include <string>

#include "platform/win32/WideText.h"

// Unpaired surrogates alone, in reverse order and beside a true pair come back as they were, and
// show as U+FFFD; bytes that begin no whole, shortest sequence become U+FFFD each.
TEST(WideText, EveryNameComesBackAsItWasAndShowsReadably) {
  const struct {
    std::wstring Wide;
    std::string Narrow;
    std::wstring Display;
  } cases[] = {
      {L"a\u00e9\u4e2d", "a\xC3\xA9\xE4\xB8\xAD", L"a\u00e9\u4e2d"},
      {L"x\xD800y", "x\xED\xA0\x80y", L"x\xFFFDy"},
      {L"\xDBFF\xDC00\xD800", "\xF4\x8F\xB0\x80\xED\xA0\x80", L"\xDBFF\xDC00\xFFFD"},
      {L"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80", L"\xFFFD\xFFFD"},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(WideToUtf8(row.Wide), row.Narrow);
    EXPECT_EQ(Utf8ToWide(row.Narrow), row.Wide);
    EXPECT_EQ(Utf8ToDisplayWide(row.Narrow), row.Display);
  }
  EXPECT_EQ(Utf8ToWide("a\xFF\xC0\xAF\xE4\xB8"), L"a\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD");
}
