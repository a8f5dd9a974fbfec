// The Windows side of what other programs hand the window: the drop blocks in global memory, read
// by our own parser, and the tokens by which a sender of requests is judged.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Win32DropBlock.h"
#include "toolkit/win32/WinDropHandle.h"
#include "toolkit/win32/WinTokens.h"

namespace {

// An ANSI block: the names in the program's code page (UTF-8, by its manifest).
std::vector<unsigned char> AnsiBlock(const std::string& names) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  std::string block(reinterpret_cast<const char*>(&header), sizeof header);
  block += names;
  return {block.begin(), block.end()};
}

TEST(WinHandOverTest, DropBlocksInGlobalMemoryAreReadWholeOrRefused) {
  const std::vector<std::string> names{"C:\\\xCE\xB1", std::string(300, 'x'), " "};
  const HGLOBAL wide = DropBlock(names, {3, 4});
  const TDropBlockNames read = ReadDropBlock(wide);
  GlobalFree(wide);
  EXPECT_FALSE(read.Malformed);
  EXPECT_EQ(read.Names, names);
  EXPECT_EQ(read.Point, (TPoint{3, 4}));

  const HGLOBAL ansi = RawBlock(AnsiBlock(std::string("C:\\\xCE\xB2\0D:\\e\0\0", 12)));
  EXPECT_EQ(ReadDropBlock(ansi).Names, (std::vector<std::string>{"C:\\\xCE\xB2", "D:\\e"}));
  GlobalFree(ansi);

  const HGLOBAL misplaced = MisplacedNamesBlock(names);
  const HGLOBAL unended = RawBlock(AnsiBlock("C:\\a"));
  const HGLOBAL shortBlock = RawBlock({1, 2, 3});
  for (HGLOBAL block : {misplaced, unended, shortBlock, HGLOBAL(nullptr)}) {
    const TDropBlockNames refused = ReadDropBlock(block);
    EXPECT_TRUE(refused.Malformed);
    EXPECT_TRUE(refused.Names.empty());
    if (block) GlobalFree(block);
  }
}

// Wine gives every process one integrity level, so a sender of a lower one cannot be started
// here: the check is shown on the values the token of this process gives, lowered or changed as
// another sender's would be.
TEST(WinHandOverTest, OnlyTheSameUserAtTheSameOrAHigherIntegrityLevelHandsOver) {
  const TTokenFacts own = TokenFactsOfProcess(GetCurrentProcessId());
  ASSERT_TRUE(own.Known);
  EXPECT_EQ(own.User.rfind("S-1-5-", 0), 0u) << own.User;
  EXPECT_EQ(own.Integrity, IntegrityOf(GetCurrentProcess()));
  EXPECT_GE(own.Integrity, DWORD(SECURITY_MANDATORY_LOW_RID));
  TTokenFacts lower = own, higher = own, otherUser = own;
  const TTokenFacts unknown;
  lower.Integrity = own.Integrity - 0x1000;
  higher.Integrity = own.Integrity + 0x1000;
  otherUser.User += "1";
  const struct {
    TTokenFacts Window, Sender;
    bool Hands;
  } cases[] = {
      {own, own, true}, {own, higher, true}, {own, lower, false},  {own, otherUser, false},
      {own, {}, false}, {{}, own, false},    {higher, own, false},
  };
  for (const auto& test : cases)
    EXPECT_EQ(MayHandOver(test.Window, test.Sender), test.Hands)
        << test.Window.User << "/" << test.Window.Integrity << " <- " << test.Sender.User << "/"
        << test.Sender.Integrity;
  // A process that is gone has no token to judge.
  EXPECT_FALSE(TokenFactsOfProcess(0xFFFFFFF0u).Known);
}

}  // namespace
