// Built without the program's manifest, so that the process runs in the legacy code page, as on
// Windows before version 1903, which ignores the manifest's UTF-8 code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "support/TempTree.h"

namespace {

TEST(LegacyCodePage, NamesOutsideItAreListedReadAndWrittenWhole) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "this system runs every program in UTF-8";
  TTempTree tree;
  const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3.txt";  // three Greek letters
  const std::string emoji = "\xF0\x9F\x93\x81 folder.txt";   // outside the BMP as well
  TFileSystem& fs = PlatformFileSystem();
  std::set<std::string> listed;
  for (const std::string& name : {greek, emoji}) {
    const std::string path = tree.AddFile(name);
    TFileEntry entry;
    EXPECT_TRUE(fs.FindEntry(path, entry)) << name;
    EXPECT_NE(fs.GetAttributes(path), 0xFFFFFFFFu) << name;
    EXPECT_EQ(fs.NormalizePath(path), path);
    FILETIME time = MakeFileTime(130000000001234567);
    EXPECT_EQ(fs.WriteTimes(path, TItemKind::File, nullptr, nullptr, &time),
              TWriteTimesResult::Written);
    EXPECT_EQ(TTempTree::Times(path).LastWrite, FileTimeValue(time)) << name;
  }
  EXPECT_TRUE(fs.ListFolder(tree.Root(), [&](const TListedEntry& entry) {
    listed.insert(entry.Name);
    return true;
  }));
  EXPECT_TRUE(listed.count(greek) && listed.count(emoji));
  EXPECT_FALSE(fs.SameItem(tree.Path(greek), tree.Path(emoji)));
}

}  // namespace
