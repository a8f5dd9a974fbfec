#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/DroppedPaths.h"
#include "support/FakeFileSystem.h"
#include "support/TempTree.h"

namespace {

bool SameTimes(const TFileEntry& a, const TFileEntry& b) {
  return std::memcmp(&a.CreationTime, &b.CreationTime, sizeof a.CreationTime) == 0 &&
         std::memcmp(&a.LastWriteTime, &b.LastWriteTime, sizeof a.LastWriteTime) == 0 &&
         std::memcmp(&a.LastAccessTime, &b.LastAccessTime, sizeof a.LastAccessTime) == 0;
}

// Names the system may refuse to make (a trailing dot, a device's name) are left out then.
void AddIfAllowed(TTempTree& tree, const std::string& relative) {
  try {
    tree.AddFile(relative);
  } catch (const std::runtime_error&) {
  }
}

// Of every form a dropped name can take, dropped among others of its folder, only those that the
// one by one normalising (on Windows the shell's) gives back byte for byte are taken as normal,
// each with its folder's entry of it exactly.
TEST(DroppedPathsTest, OnlyNamesTheirOwnNormalisingKeepsAreTakenAsNormal) {
  TTempTree tree;
  const std::string s(1, TTempTree::Separator());
  const std::string folder = tree.AddFolder("Photo Album");
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back(tree.AddFile("Photo Album" + s + std::to_string(i)));
  for (const char* odd : {"trailing dot.", "trailing blank ", "nul.txt", "CON", "A b"})
    AddIfAllowed(tree, "Photo Album" + s + odd);
  const std::string longName = tree.AddFile("Photo Album" + s + "A long file name.text");
  // Past MAX_PATH in the folder and in the names of a folder short of it.
  const std::string deep = tree.AddFolder(std::string(200, 'd'));
  const std::string deeper = tree.AddFolder(std::string(200, 'd') + s + std::string(150, 'e'));
  for (const std::string& name :
       {deep + s + std::string(60, 'x'), deeper + s + "a", deeper + s + "b"})
    tree.AddFile(name.substr(tree.Root().size() + 1));
  std::string lowerDrive = folder;
  lowerDrive[0] = char(std::tolower(static_cast<unsigned char>(lowerDrive[0])));
  const std::string shortFolder = TTempTree::ShortPath(folder);
  const auto add = [&names](std::initializer_list<std::string> forms) {
    names.insert(names.end(), forms);
  };
  add({folder + s + "A B", tree.Path("PHOTO ALBUM") + s + "1", lowerDrive + s + "2"});
  add({folder + s + "." + s + "3", folder + s + ".." + s + "Photo Album" + s + "4",
       folder + s + ".", folder + s + ".."});
  add({shortFolder + s + "5", shortFolder + s + "6", TTempTree::ShortPath(longName)});
  add({folder + s + "trailing dot.", folder + s + "trailing dot", folder + s + "trailing blank ",
       folder + ". " + s + "7"});
  add({folder + s + "nul.txt", folder + s + "CON", folder + s + "missing", folder + "/" + "8"});
  add({"\\\\?\\" + names[9], "\\\\?\\" + names[10], "\\\\server\\share\\a",
       "\\\\server\\share\\b"});
  add({deep + s + std::string(60, 'x'), deep + s + "y", deeper + s + "a", deeper + s + "b"});
  add({"11", "Photo Album" + s + "12"});

  TFileSystem& fs = FileSystem();
  const std::vector<TDroppedEntry> got = ListDroppedNames(fs, names, [] { return false; });
  ASSERT_EQ(got.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    if (got[i].Normal) {
      EXPECT_EQ(fs.NormalizePath(names[i]), names[i]);
    }
    if (!got[i].HasTimes) continue;
    TFileEntry entry;
    EXPECT_TRUE(fs.FindEntry(names[i], entry) && got[i].Entry.Attributes == entry.Attributes &&
                SameTimes(got[i].Entry, entry))
        << names[i];
  }
  // The plain names were taken from the listing, with their entries where it gives them whole.
  EXPECT_TRUE(got[0].Normal && got[39].Normal);
  EXPECT_EQ(got[0].HasTimes, fs.ListingHasTimes());
  EXPECT_FALSE(ListDroppedNames(fs, names, [] { return true; })[0].Normal);
}

// However many names a folder holds, it is normalised and listed once, and nothing more is asked.
TEST(DroppedPathsTest, NamesOfOneFolderCostOneNormalisingAndOneListing) {
  TFakeFileSystem fs;
  fs.SetListingHasTimes(true);
  TStringList names;
  for (int i = 0; i < 1000; ++i) {
    names.push_back("C:\\d\\" + std::to_string(i));
    fs.AddFile(names.back());
  }
  std::map<TPrimitive, int> calls;
  fs.OnCall = [&](TPrimitive primitive, const std::string&) { ++calls[primitive]; };
  const std::vector<TDroppedEntry> got = ListDroppedNames(fs, names, [] { return false; });
  EXPECT_EQ(calls, (std::map<TPrimitive, int>{{TPrimitive::NormalizePath, 1},
                                              {TPrimitive::ListFolder, 1}}));
  EXPECT_TRUE(got.size() == names.size() && got.back().Normal && got.back().HasTimes);
}

}  // namespace
