#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
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

// Every form a dropped name can take, dropped among others of its folder, comes out as the one
// by one normalising gives it (on Windows the shell's), and with its folder's entry of it exactly
// where the listing gave one.
TEST(DroppedPathsTest, EachFormComesOutAsItsOwnNormalisingGivesIt) {
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
  std::string lowerDrive = folder;
  lowerDrive[0] = char(std::tolower(static_cast<unsigned char>(lowerDrive[0])));
  const std::string shortFolder = TTempTree::ShortPath(folder);
  for (const std::string& form : std::vector<std::string>{
           folder + s + "A B", tree.Path("PHOTO ALBUM") + s + "1", lowerDrive + s + "2",
           folder + s + "." + s + "3", folder + s + ".." + s + "Photo Album" + s + "4",
           folder + s + ".", folder + s + "..", shortFolder + s + "5", shortFolder + s + "6",
           TTempTree::ShortPath(longName), folder + s + "trailing dot.",
           folder + s + "trailing dot", folder + s + "trailing blank ", folder + s + "nul.txt",
           folder + s + "CON", folder + ". " + s + "7", folder + s + "missing",
           folder + "/" + "8", "\\\\?\\" + names[9], "\\\\?\\" + names[10],
           "\\\\server\\share\\a", "\\\\server\\share\\b", deep + s + "x" + std::string(60, 'x'),
           deep + s + "y", deeper + s + "a", deeper + s + "b", "11", "Photo Album" + s + "12"})
    names.push_back(form);

  TFileSystem& fs = FileSystem();
  const std::vector<TDroppedPath> got = NormalizeDroppedPaths(fs, names, [] { return false; });
  ASSERT_EQ(got.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(got[i].Path, fs.NormalizePath(names[i])) << names[i];
    if (!got[i].HasTimes) continue;
    TFileEntry entry;
    EXPECT_TRUE(fs.FindEntry(got[i].Path, entry) && got[i].Entry.Attributes == entry.Attributes &&
                SameTimes(got[i].Entry, entry))
        << names[i];
  }
  // The plain names were taken from the listing wherever it gives entries whole.
  EXPECT_EQ(got[0].HasTimes, fs.ListingHasTimes());
  size_t asked = 0;
  EXPECT_LT(NormalizeDroppedPaths(fs, names, [&] { return ++asked > 3; }).size(), names.size());
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
  const std::vector<TDroppedPath> got = NormalizeDroppedPaths(fs, names, [] { return false; });
  EXPECT_EQ(calls, (std::map<TPrimitive, int>{{TPrimitive::NormalizePath, 1},
                                              {TPrimitive::ListFolder, 1}}));
  EXPECT_TRUE(got.size() == names.size() && got.back().Path == names.back() && got.back().HasTimes);
}

}  // namespace
