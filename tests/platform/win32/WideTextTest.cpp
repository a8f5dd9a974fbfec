#include <gtest/gtest.h>

#include <string>

#include "platform/win32/WideText.h"

namespace {

struct TWideCase {
  std::wstring Wide;
  std::string Narrow;
  std::wstring Display;
};

// Unpaired surrogates, alone, at either end, in reverse order, beside a true pair.
const TWideCase wideCases[] = {
    {L"plain.txt", "plain.txt", L"plain.txt"},
    {L"\u00e9\u4e2d", "\xC3\xA9\xE4\xB8\xAD", L"\u00e9\u4e2d"},
    {L"\xD83D\xDE00", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
    {L"x\xD800y", "x\xED\xA0\x80y", L"x\xFFFDy"},
    {L"x\xDC00", "x\xED\xB0\x80", L"x\xFFFD"},
    {L"\xDBFF", "\xED\xAF\xBF", L"\xFFFD"},
    {L"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80", L"\xFFFD\xFFFD"},
    {L"\xD800\xD83D\xDE00", "\xED\xA0\x80\xF0\x9F\x98\x80", L"\xFFFD\xD83D\xDE00"},
};

TEST(WideText, EveryNameComesBackAsItWasAndShowsReadably) {
  for (const TWideCase& row : wideCases) {
    SCOPED_TRACE(testing::PrintToString(row.Narrow));
    EXPECT_EQ(WideToUtf8(row.Wide), row.Narrow);
    EXPECT_EQ(WideToUtf8(row.Wide.c_str()), row.Narrow);
    EXPECT_EQ(Utf8ToWide(row.Narrow), row.Wide);
    EXPECT_EQ(Utf8ToDisplayWide(row.Narrow), row.Display);
  }
}

// Bytes that begin no whole, shortest sequence each show as U+FFFD; the text goes on after them.
TEST(WideText, BytesThatAreNoSequenceBecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\xFFFD" L"b");
  EXPECT_EQ(Utf8ToWide("a\xC0\xAF"), L"a\xFFFD\xFFFD");
  EXPECT_EQ(Utf8ToWide("\xE4\xB8"), L"\xFFFD\xFFFD");
  EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), L"\xFFFD\xFFFD\xFFFD\xFFFD");
  EXPECT_EQ(Utf8ToWide(""), L"");
}

}  // namespace
