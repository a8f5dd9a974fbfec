#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "platform/FileSystem.h"
#include "platform/WinConst.h"
#include "support/TempTree.h"

namespace {

// 1970-01-01 in file-time units.
constexpr uint64_t unixEpoch = 116444736000000000;

class PosixFileSystemTest : public testing::Test {
 protected:
  mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
  }

  TFileSystem& fs = PlatformFileSystem();
  TTempTree tree;
};

TEST_F(PosixFileSystemTest, TimesConvertExactlyBothWays) {
  std::string file = tree.AddFile("file");
  timespec set[2] = {{0, 150}, {1, 999999999}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), set, 0), 0);
  TFileEntry entry;
  ASSERT_TRUE(fs.FindEntry(file, entry));
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), unixEpoch + 1);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), unixEpoch + 19999999);

  // One after 1970 and one before it, whose seconds are negative.
  FILETIME access = MakeFileTime(unixEpoch + 12345678901);
  FILETIME write = MakeFileTime(unixEpoch - 12345678901);
  ASSERT_EQ(fs.WriteTimes(file, TItemKind::Unknown, nullptr, &access, &write),
            TWriteTimesResult::Written);
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_atim.tv_sec, 1234);
  EXPECT_EQ(info.st_atim.tv_nsec, 567890100);
  EXPECT_EQ(info.st_mtim.tv_sec, -1235);
  EXPECT_EQ(info.st_mtim.tv_nsec, 432109900);
  ASSERT_TRUE(fs.FindEntry(file, entry));
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), FileTimeValue(access));
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), FileTimeValue(write));
}

TEST_F(PosixFileSystemTest, AttributesComeFromTheModeAndTheName) {
  std::string plain = tree.AddFile("plain");
  std::string hidden = tree.AddFile(".hidden");
  std::string readOnly = tree.AddFile("read-only");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  std::string folder = tree.AddFolder("folder");
  std::string hiddenFolder = tree.AddFolder(".folder");
  std::string fileLink = tree.AddSymlink("file-link", readOnly, false);
  std::string folderLink = tree.AddSymlink("folder-link", folder, true);
  std::string dangling = tree.AddSymlink("dangling", tree.Path("nothing"), false);

  const std::map<std::string, uint32_t> expected = {
      {plain, faNormal},
      {hidden, faHidden},
      {readOnly, faReadOnly},
      {folder, faDirectory},
      {hiddenFolder, faDirectory | faHidden},
      {fileLink, faReparsePoint},
      {folderLink, faReparsePoint | faDirectory},
      {dangling, faReparsePoint},
  };
  for (const auto& [path, attributes] : expected)
    EXPECT_EQ(fs.GetAttributes(path), attributes) << path;

  // The listing has the same bits, read-only apart.
  std::map<std::string, uint32_t> listed;
  ASSERT_TRUE(fs.ListFolder(tree.Root(), [&](const TListedEntry& entry) {
    listed[tree.Path(entry.Name)] = entry.Entry.Attributes;
    return true;
  }));
  for (const auto& [path, attributes] : expected) {
    EXPECT_EQ(listed[path], path == readOnly ? faNormal : attributes) << path;
  }
}

TEST_F(PosixFileSystemTest, WildcardCharactersAreOrdinaryNames) {
  std::string starred = tree.AddFile("a*b?");
  tree.AddFile("ab");
  TFileEntry entry;
  EXPECT_TRUE(fs.FindEntry(starred, entry));
  EXPECT_FALSE(fs.FindEntry(tree.Path("a*"), entry));
}

TEST_F(PosixFileSystemTest, SetAttributesChangesOnlyTheOwnerWriteBit) {
  std::string file = tree.AddFile("file");
  ASSERT_EQ(chmod(file.c_str(), 0664), 0);
  ASSERT_TRUE(fs.SetAttributes(file, faReadOnly | faHidden | faArchive));
  EXPECT_EQ(ModeOf(file), mode_t(0464));
  ASSERT_TRUE(fs.SetAttributes(file, faNormal));
  EXPECT_EQ(ModeOf(file), mode_t(0664));

  ASSERT_TRUE(fs.SetAttributes(file, faReadOnly));
  std::string link = tree.AddSymlink("link", file, false);
  ASSERT_TRUE(fs.SetAttributes(link, faNormal));
  EXPECT_EQ(ModeOf(file), mode_t(0464));
}

TEST_F(PosixFileSystemTest, AskingForACreationTimeWritesNothing) {
  std::string file = tree.AddFile("file");
  tree.SetTimes(file, {0, unixEpoch + 10, unixEpoch + 20});
  TItemTimes before = TTempTree::Times(file);
  FILETIME time = MakeFileTime(unixEpoch + 30);
  EXPECT_EQ(fs.WriteTimes(file, TItemKind::Unknown, &time, &time, &time),
            TWriteTimesResult::SetFailed);
  EXPECT_EQ(TTempTree::Times(file), before);
}

TEST_F(PosixFileSystemTest, AFifoGetsItsTimesWithoutBeingOpened) {
  std::string fifo = tree.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  FILETIME time = MakeFileTime(unixEpoch + 1234567);
  // Opening a FIFO without a reader would block here for ever.
  EXPECT_EQ(fs.WriteTimes(fifo, TItemKind::Unknown, nullptr, nullptr, &time),
            TWriteTimesResult::Written);
  EXPECT_EQ(TTempTree::Times(fifo).LastWrite, unixEpoch + 1234567);
}

TEST_F(PosixFileSystemTest, NormalizePathIsAbsoluteAndLexical) {
  const std::pair<std::string, std::string> cases[] = {
      {"/a/b", "/a/b"},
      {"/a//b/./c/../d/", "/a/b/d"},
      {"/", "/"},
      {"//", "/"},
      {"/..", "/"},
      {"/a/../..", "/"},
      {"/a/.hidden", "/a/.hidden"},
      {"/a/b/..", "/a"},
      {"/a/...", "/a/..."},
      {"", ""},
  };
  for (const auto& [path, normal] : cases) EXPECT_EQ(fs.NormalizePath(path), normal) << path;

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string here = cwd;
  EXPECT_EQ(fs.NormalizePath("x/./y"), (here == "/" ? "" : here) + "/x/y");
  EXPECT_EQ(fs.NormalizePath("."), here);
}

TEST_F(PosixFileSystemTest, NamesDifferingInCaseAreDifferentItems) {
  EXPECT_FALSE(fs.SameItem("/a/File", "/a/file"));
  EXPECT_TRUE(fs.SameItem("/a/file", "/a/file"));
  EXPECT_LT(fs.ComparePaths("/a/File", "/a/file"), 0);
  EXPECT_GT(fs.ComparePaths("B", "a"), 0);
}

}  // namespace
