#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/WinConst.h"
#include "platform/win32/WideText.h"
#include "support/TempTree.h"

namespace {

class Win32FileSystemTest : public testing::Test {
 protected:
  TFileSystem& fs = PlatformFileSystem();
  TTempTree tree;
};

TEST_F(Win32FileSystemTest, AWildcardPathHasNoEntryEvenWhenAFileMatchesIt) {
  std::string file = tree.AddFile("a.txt");
  TFileEntry entry;
  EXPECT_TRUE(fs.FindEntry(file, entry));
  EXPECT_FALSE(fs.FindEntry(tree.Path("a*.txt"), entry));
  EXPECT_FALSE(fs.FindEntry(tree.Path("a.tx?"), entry));
  EXPECT_FALSE(fs.FindEntry(tree.Path("*"), entry));
}

TEST_F(Win32FileSystemTest, NormalizePathGivesTheShellsPathOrThePathItself) {
  std::string file = tree.AddFile("a.txt");
  std::string folder = tree.AddFolder("sub");
  EXPECT_EQ(fs.NormalizePath(file), file);
  EXPECT_EQ(fs.NormalizePath(folder), folder);
  EXPECT_EQ(fs.NormalizePath("C:\\"), "C:\\");
  std::string missing = tree.Path("missing\\nothing.txt");
  EXPECT_EQ(fs.NormalizePath(missing), missing);
  // Too long for the shell's buffer: the conversion fails and must not hand on a cut-off text.
  std::string tooLong = tree.Path(std::string(300, 'x'));
  EXPECT_EQ(fs.NormalizePath(tooLong), tooLong);
  std::string deep = tree.AddFolder(std::string(200, 'y'));
  deep = tree.AddFolder(deep.substr(tree.Root().size() + 1) + "\\" + std::string(200, 'z'));
  EXPECT_EQ(fs.NormalizePath(deep), deep) << "the long-path prefix must not come out";
}

// The engine normalises on its worker thread. COM has to be there for the call, and afterwards
// the thread must be as it was: without COM, or in the apartment it chose itself.
TEST_F(Win32FileSystemTest, NormalizePathLeavesTheThreadsComAsItWas) {
  std::string file = tree.AddFile("a.txt");
  std::string bare, withCom;
  HRESULT afterBare = E_FAIL, afterWithCom = E_FAIL;
  std::thread([&] {
    bare = fs.NormalizePath(file);
    afterBare = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterBare)) CoUninitialize();
  }).join();
  std::thread([&] {
    HRESULT own = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    withCom = fs.NormalizePath(file);
    afterWithCom = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterWithCom)) CoUninitialize();
    if (SUCCEEDED(own)) CoUninitialize();
  }).join();
  EXPECT_EQ(bare, file);
  EXPECT_EQ(withCom, file);
  EXPECT_EQ(afterBare, S_OK);
  EXPECT_EQ(afterWithCom, S_FALSE);
}

TEST_F(Win32FileSystemTest, LetterCaseIsIgnoredBeyondAsciiToo) {
  const std::pair<std::string, std::string> same[] = {
      {"C:\\Dir\\File.TXT", "c:\\dir\\file.txt"},
      {"C:\\\u00C4rger", "c:\\\u00E4RGER"},
  };
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(fs.SameItem(a, b)) << a;
    EXPECT_EQ(fs.ComparePaths(a, b), 0) << a;
  }
  TFolderId upper, lower;
  tree.AddFolder("Sub");
  ASSERT_TRUE(fs.FolderId(tree.Path("Sub"), upper));
  ASSERT_TRUE(fs.FolderId(tree.Path("sUB"), lower));
  EXPECT_EQ(upper, lower);
}

// The locale's order comes first: a soft hyphen, which it ignores, keeps a name beside the name
// without it, and only the tie break tells the two apart.
TEST_F(Win32FileSystemTest, ASoftHyphenSortsBesideTheNameWithoutIt) {
  const std::string hyphenated = "a\u00ADb";
  EXPECT_LT(fs.ComparePaths("aa", hyphenated), 0);
  EXPECT_LT(fs.ComparePaths(hyphenated, "ac"), 0);
  EXPECT_FALSE(fs.SameItem(hyphenated, "ab"));
  EXPECT_NE(fs.ComparePaths(hyphenated, "ab"), 0);
}

// A handle freed is the next one given out, so a handle that a listing left open shows as a new
// handle taking another place.
TEST_F(Win32FileSystemTest, AListingClosesItsSearchWhicheverWayItEnds) {
  tree.AddFile("a.txt");
  tree.AddFile("b.txt");
  const auto nextHandle = [] {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(event);
    return event;
  };
  const HANDLE freed = nextHandle();
  EXPECT_THROW(fs.ListFolder(tree.Root(), [](const TListedEntry&) -> bool { throw 1; }), int);
  EXPECT_EQ(nextHandle(), freed) << "left open by an exception";
  fs.ListFolder(tree.Root(), [](const TListedEntry&) { return false; });
  EXPECT_EQ(nextHandle(), freed) << "left open when the visitor stops";
  fs.ListFolder(tree.Root(), [](const TListedEntry&) { return true; });
  EXPECT_EQ(nextHandle(), freed) << "left open at the end";
}

// The item order is the locale's, exactly as CompareStringEx gives it, wherever that tells two
// paths apart.
TEST_F(Win32FileSystemTest, OrdersAsTheLocalesComparison) {
  const std::string names[] = {
      "a",   "B",  "\u00C4rger", "arger",       "\u00E9t\u00E9", "ete", "\u0394elta", "zeta",
      "a-b", "ab", "\u6F22",     "Z\u00FCrich", "zurich",        "a b", "10",         "9"};
  for (const std::string& a : names) {
    for (const std::string& b : names) {
      const std::wstring wa = Utf8ToWide(a), wb = Utf8ToWide(b);
      const int locale = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), -1,
                                         wb.c_str(), -1, nullptr, nullptr, 0);
      if (locale == CSTR_EQUAL) continue;
      EXPECT_EQ(fs.ComparePaths(a, b), locale == CSTR_LESS_THAN ? -1 : 1) << a << " : " << b;
    }
  }
}

TEST_F(Win32FileSystemTest, WritesTheCreationTimeWhereTheFileSystemKeepsOne) {
  if (!tree.KeepsCreationTime()) {
    GTEST_SKIP() << "this file system derives the creation time from the other times";
  }
  std::string file = tree.AddFile("file");
  FILETIME creation = MakeFileTime(125000000001234567);
  EXPECT_EQ(fs.WriteTimes(file, TItemKind::Unknown, &creation, nullptr, nullptr),
            TWriteTimesResult::Written);
  EXPECT_EQ(TTempTree::Times(file).Creation, FileTimeValue(creation));
}

}  // namespace
