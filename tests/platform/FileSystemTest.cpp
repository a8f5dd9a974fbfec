#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/WinConst.h"
#include "support/TempTree.h"

namespace {

// Times with digits down to the 100 ns unit, so that a rounding shows.
constexpr uint64_t time1 = 130000000001234567;
constexpr uint64_t time2 = 131000000007654321;
constexpr uint64_t time3 = 132000000000000001;

class FileSystemTest : public testing::Test {
 protected:
  std::string Below(const std::string& folder, const std::string& name) {
    return folder + TTempTree::Separator() + name;
  }

  std::map<std::string, uint32_t> Listing(const std::string& folder) {
    std::map<std::string, uint32_t> entries;
    EXPECT_TRUE(fs.ListFolder(folder, [&](const TListedEntry& listed) {
      entries[listed.Name] = listed.Entry.Attributes;
      return true;
    }));
    entries.erase(".");
    entries.erase("..");
    return entries;
  }

  TWriteTimesResult WriteLastWrite(const std::string& path, uint64_t value) {
    FILETIME time = MakeFileTime(value);
    return fs.WriteTimes(path, TItemKind::Unknown, nullptr, nullptr, &time);
  }

  TFileSystem& fs = PlatformFileSystem();
  TTempTree tree;
};

TEST_F(FileSystemTest, FindEntryReadsAttributesAndTimesOfFilesAndFolders) {
  std::string file = tree.AddFile("a.txt", "text");
  std::string folder = tree.AddFolder("sub");
  tree.SetTimes(file, {0, time1, time2});
  tree.SetTimes(folder, {0, time2, time3});

  TFileEntry entry;
  ASSERT_TRUE(fs.FindEntry(file, entry));
  EXPECT_EQ(entry.Attributes & faDirectory, 0u);
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), time1);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), time2);
  EXPECT_EQ(FileTimeValue(entry.CreationTime), TTempTree::Times(file).Creation);
  EXPECT_EQ(fs.GetAttributes(file), entry.Attributes);

  ASSERT_TRUE(fs.FindEntry(folder, entry));
  EXPECT_NE(entry.Attributes & faDirectory, 0u);
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), time2);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), time3);
  EXPECT_EQ(fs.GetAttributes(folder), entry.Attributes);
}

// Where a listing carries the times, they are what the lookup of the item itself gives, so that an
// item read from its listing is read exactly as it would be alone.
TEST_F(FileSystemTest, AListingWithTimesGivesWhatTheLookupGives) {
  tree.AddFile("a.txt", "text");
  tree.AddFolder("sub");
  tree.SetTimes(tree.AddFile("b.txt"), {0, time1, time2});
  int compared = 0;
  EXPECT_TRUE(fs.ListFolder(tree.Root(), [&](const TListedEntry& listed) {
    if (!listed.HasTimes || std::string(listed.Name).starts_with(".")) return true;
    TFileEntry alone;
    EXPECT_TRUE(fs.FindEntry(Below(tree.Root(), listed.Name), alone)) << listed.Name;
    EXPECT_EQ(listed.Entry.Attributes, alone.Attributes) << listed.Name;
    EXPECT_EQ(FileTimeValue(listed.Entry.CreationTime), FileTimeValue(alone.CreationTime));
    EXPECT_EQ(FileTimeValue(listed.Entry.LastAccessTime), FileTimeValue(alone.LastAccessTime));
    EXPECT_EQ(FileTimeValue(listed.Entry.LastWriteTime), FileTimeValue(alone.LastWriteTime));
    ++compared;
    return true;
  }));
  EXPECT_EQ(compared, fs.ListingHasTimes() ? 3 : 0);
}

TEST_F(FileSystemTest, EveryPrimitiveFailsOnAPathThatNamesNothing) {
  std::string missing = tree.Path("missing");
  std::string file = tree.AddFile("file");
  TFileEntry entry;
  TFolderId id;
  auto visit = [](const TListedEntry&) { return true; };

  EXPECT_FALSE(fs.FindEntry(missing, entry));
  EXPECT_FALSE(fs.FindEntry(Below(missing, "child"), entry));
  EXPECT_EQ(fs.GetAttributes(missing), faInvalid);
  EXPECT_FALSE(fs.SetAttributes(missing, faNormal));
  EXPECT_FALSE(fs.ListFolder(missing, visit));
  EXPECT_FALSE(fs.ListFolder(file, visit));
  EXPECT_FALSE(fs.FolderId(missing, id));
  EXPECT_EQ(WriteLastWrite(missing, time1), TWriteTimesResult::NoWriteAccess);
}

TEST_F(FileSystemTest, ListFolderGivesOneLevelWithTheDirectoryBitUntilTheVisitorStops) {
  tree.AddFile("a.txt");
  std::string sub = tree.AddFolder("sub");
  tree.AddFile(Below("sub", "inner.txt"));

  std::map<std::string, uint32_t> entries = Listing(tree.Root());
  ASSERT_EQ(entries.size(), 2u);
  ASSERT_TRUE(entries.count("a.txt") && entries.count("sub"));
  EXPECT_EQ(entries["a.txt"] & faDirectory, 0u);
  EXPECT_NE(entries["sub"] & faDirectory, 0u);
  EXPECT_EQ(Listing(sub).size(), 1u);

  int visits = 0;
  EXPECT_TRUE(fs.ListFolder(tree.Root(), [&](const TListedEntry&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);
}

TEST_F(FileSystemTest, WritingOneTimeLeavesTheOtherTwo) {
  bool keepsCreation = tree.KeepsCreationTime();
  for (bool isFolder : {false, true}) {
    SCOPED_TRACE(isFolder ? "folder" : "file");
    std::string path = isFolder ? tree.AddFolder("folder") : tree.AddFile("file");
    tree.SetTimes(path, {0, time1, time2});
    uint64_t creation = TTempTree::Times(path).Creation;

    EXPECT_EQ(WriteLastWrite(path, time3), TWriteTimesResult::Written);
    TItemTimes after = TTempTree::Times(path);
    EXPECT_EQ(after.LastAccess, time1);
    EXPECT_EQ(after.LastWrite, time3);
    if (keepsCreation) {
      EXPECT_EQ(after.Creation, creation);
    }

    FILETIME access = MakeFileTime(time2);
    EXPECT_EQ(fs.WriteTimes(path, TItemKind::Unknown, nullptr, &access, nullptr),
              TWriteTimesResult::Written);
    after = TTempTree::Times(path);
    EXPECT_EQ(after.LastAccess, time2);
    EXPECT_EQ(after.LastWrite, time3);
    if (keepsCreation) {
      EXPECT_EQ(after.Creation, creation);
    }
  }
}

TEST_F(FileSystemTest, ALinkIsReadAndWrittenAsItself) {
  std::string target = tree.AddFile("target");
  std::string link = tree.AddSymlink("link", target, false);
  if (link.empty()) GTEST_SKIP() << "this system does not let this user make symbolic links";
  tree.SetTimes(target, {0, time1, time1});
  tree.SetTimes(link, {0, time2, time2});

  TFileEntry entry;
  ASSERT_TRUE(fs.FindEntry(link, entry));
  EXPECT_NE(entry.Attributes & faReparsePoint, 0u);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), time2);

  TItemTimes targetBefore = TTempTree::Times(target);
  EXPECT_EQ(WriteLastWrite(link, time3), TWriteTimesResult::Written);
  EXPECT_EQ(TTempTree::Times(link).LastWrite, time3);
  EXPECT_EQ(TTempTree::Times(target), targetBefore);
}

TEST_F(FileSystemTest, ALinkedFolderIsAFolderWithTheTargetsIdentity) {
  std::string target = tree.AddFolder("target");
  std::string other = tree.AddFolder("other");
  std::string link = tree.AddSymlink("link", target, true);
  if (link.empty()) GTEST_SKIP() << "this system does not let this user make symbolic links";

  EXPECT_EQ(fs.GetAttributes(link) & (faDirectory | faReparsePoint), faDirectory | faReparsePoint);
  TFolderId targetId, otherId, linkId;
  ASSERT_TRUE(fs.FolderId(target, targetId));
  ASSERT_TRUE(fs.FolderId(other, otherId));
  ASSERT_TRUE(fs.FolderId(link, linkId));
  EXPECT_EQ(linkId, targetId);
  EXPECT_NE(otherId, targetId);
}

TEST_F(FileSystemTest, SetAttributesSetsAndClearsReadOnly) {
  std::string file = tree.AddFile("file");
  ASSERT_TRUE(fs.SetAttributes(file, faReadOnly));
  EXPECT_NE(fs.GetAttributes(file) & faReadOnly, 0u);
  ASSERT_TRUE(fs.SetAttributes(file, faNormal));
  EXPECT_EQ(fs.GetAttributes(file) & faReadOnly, 0u);
  EXPECT_EQ(WriteLastWrite(file, time1), TWriteTimesResult::Written);
}

// Whether a read-only file may be opened for its times is the platform's call: Windows grants an
// opening for attributes, Linux lets the owner set times, Wine refuses a user other than root.
// Either way it is all or nothing, and the read-only attribute stays (the engine decides whether a
// read-only item may be written at all).
TEST_F(FileSystemTest, ReadOnlyFileHasItsTimesWrittenWholeOrRefusedWholePermission) {
  std::string file = tree.AddFile("file");
  tree.SetTimes(file, {0, time1, time2});
  TTempTree::SetReadOnly(file, true);
  const TWriteTimesResult result = WriteLastWrite(file, time3);
  ASSERT_TRUE(result == TWriteTimesResult::Written || result == TWriteTimesResult::NoWriteAccess);
  EXPECT_EQ(TTempTree::Times(file).LastWrite, result == TWriteTimesResult::Written ? time3 : time2);
  EXPECT_NE(fs.GetAttributes(file) & faReadOnly, 0u);
}

// The keys made once per path (whole, or without their tie-break and the item keys deciding
// ties) and the comparison of two paths give one order and one sameness, whichever the engine
// sorts with.
TEST_F(FileSystemTest, PathOrderIgnoresCaseFirstIsConsistentAndZeroExactlyForOneItem) {
  std::vector<std::string> paths = {"ab", "a\u00ADb", "AB",  "abc",  "ABD", "a",      "B", "b",
                                    "",   "a b",      "a_b", "a\\b", "a/b", "\u00E4", "z"};
  for (const std::string& a : paths) {
    for (const std::string& b : paths) {
      SCOPED_TRACE("\"" + a + "\" against \"" + b + "\"");
      int order = fs.ComparePaths(a, b);
      EXPECT_EQ(order, -fs.ComparePaths(b, a));
      EXPECT_EQ(order == 0, fs.SameItem(a, b));
      const int keyOrder = fs.OrderKey(a).compare(fs.OrderKey(b));
      EXPECT_EQ(order, (keyOrder > 0) - (keyOrder < 0));
      std::string localeA, localeB;
      fs.LocaleOrderKey(a, localeA);
      fs.LocaleOrderKey(b, localeB);
      const int tiedOrder =
          localeA != localeB ? localeA.compare(localeB) : fs.ItemKey(a).compare(fs.ItemKey(b));
      EXPECT_EQ(order, (tiedOrder > 0) - (tiedOrder < 0));
      EXPECT_EQ(fs.ItemKey(a) == fs.ItemKey(b), fs.SameItem(a, b));
    }
  }
  std::sort(paths.begin(), paths.end(),
            [&](const std::string& a, const std::string& b) { return fs.ComparePaths(a, b) < 0; });
  for (size_t i = 0; i < paths.size(); ++i) {
    for (size_t j = i + 1; j < paths.size(); ++j) {
      EXPECT_LE(fs.ComparePaths(paths[i], paths[j]), 0) << paths[i] << " before " << paths[j];
    }
  }
  EXPECT_LT(fs.ComparePaths("a", "B"), 0);
  EXPECT_LT(fs.ComparePaths("abc", "ABD"), 0);
  EXPECT_GT(fs.ComparePaths("Zeta", "alpha"), 0);
  EXPECT_FALSE(fs.SameItem("a\u00ADb", "ab"));
}

}  // namespace
