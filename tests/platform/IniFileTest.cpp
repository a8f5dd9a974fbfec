#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/IniFile.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    do {
      Folder = fs::temp_directory_path() / ("ini-test-" + std::to_string(random()));
    } while (!fs::create_directory(Folder));
    Path = (Folder / "Settings.ini").string();
  }
  void TearDown() override { fs::remove_all(Folder); }

  void Put(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
  }
  std::string Get(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder))
      names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path Folder;
  std::string Path;
};

const char kOther[] =
    "; written by hand\r\n"
    "loose=before any section\r\n"
    "[First]\r\n"
    "a=1\r\n"
    "\r\n"
    "[Settings]\r\n"
    "Before=x\r\n"
    "Values = old value \r\n"
    ";Values=commented out\r\n"
    "After=y\r\n"
    "\r\n"
    "[Last]\r\n"
    "z=\r\n";

}  // namespace

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherLineByteForByte) {
  Put(Path, kOther);
  TIniFile ini(Path);
  EXPECT_FALSE(ini.ReadFailed());
  EXPECT_EQ(ini.ReadString("Settings", "Values", "none"), "old value");
  ini.WriteString("SETTINGS", "values", "-1,0,");
  ASSERT_TRUE(ini.UpdateFile());
  std::string expected = kOther;
  expected.replace(expected.find("Values = old value "), 19, "Values =-1,0,");
  EXPECT_EQ(Get(Path), expected);
  EXPECT_EQ(Names(), std::vector<std::string>{"Settings.ini"});
}

TEST_F(IniFileTest, NamesIgnoreCaseAndOnlyKeysOfTheSectionCount) {
  Put(Path, kOther);
  const TIniFile ini(Path);
  EXPECT_EQ(ini.ReadString("first", "A", "none"), "1");
  EXPECT_EQ(ini.ReadString("Last", "z", "none"), "");
  EXPECT_EQ(ini.ReadString("First", "Before", "none"), "none");
  EXPECT_EQ(ini.ReadString("", "loose", "none"), "none");
  EXPECT_EQ(ini.ReadString("Settings", ";Values", "none"), "none");
  EXPECT_EQ(ini.ReadString("Missing", "a", "none"), "none");
}

TEST_F(IniFileTest, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEnd) {
  Put(Path, "[A]\nk=1\n\n[B]\nm=2");
  TIniFile ini(Path);
  ini.WriteString("a", "New", "v");
  ini.WriteString("Settings", "Values", "1,2,");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Get(Path),
            "[A]\r\nk=1\r\nNew=v\r\n\r\n[B]\r\nm=2\r\n\r\n[Settings]\r\nValues=1,2,\r\n");
  EXPECT_EQ(TIniFile(Path).ReadString("Settings", "Values", ""), "1,2,");
}

TEST_F(IniFileTest, AMissingFileReadsAsEmptyAndIsCreated) {
  TIniFile ini(Path);
  EXPECT_FALSE(ini.ReadFailed());
  EXPECT_EQ(ini.ReadString("Settings", "Values", "default"), "default");
  ini.WriteString("Settings", "Values", "x");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Get(Path), "[Settings]\r\nValues=x\r\n");
}

TEST_F(IniFileTest, AnUnwritablePlaceGivesFalseAndChangesNothing) {
  TIniFile nowhere((Folder / "no such folder" / "Settings.ini").string());
  nowhere.WriteString("Settings", "Values", "x");
  EXPECT_FALSE(nowhere.UpdateFile());

  // A folder where the file should be can be neither read nor replaced.
  fs::create_directory(Path);
  TIniFile blocked(Path);
  EXPECT_TRUE(blocked.ReadFailed());
  blocked.WriteString("Settings", "Values", "x");
  EXPECT_FALSE(blocked.UpdateFile());
  EXPECT_FALSE(ReplaceIniFileContents(Path, "[Settings]\r\n"));
  EXPECT_TRUE(fs::is_directory(Path));
  EXPECT_EQ(Names(), std::vector<std::string>{"Settings.ini"});
}

TEST_F(IniFileTest, AWriteFailingHalfwayLeavesTheOldFileIntact) {
  Put(Path, kOther);
  TIniFile ini(Path);
  ini.WriteString("Settings", "Values", "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,");
  {
    TIniWriteLimit halfway(sizeof kOther / 2);
    EXPECT_FALSE(ini.UpdateFile());
  }
  EXPECT_EQ(Get(Path), kOther);
  EXPECT_EQ(Names(), std::vector<std::string>{"Settings.ini"});

  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(TIniFile(Path).ReadString("Settings", "Values", ""),
            "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,");
}

TEST_F(IniFileTest, AWriteFailingAtAnyByteLeavesTheOldFileAndNoOtherFile) {
  Put(Path, kOther);
  TIniFile ini(Path);
  ini.WriteString("Settings", "Values", "-1,-1,0,");
  size_t limit = 0;
  for (;; ++limit) {
    TIniWriteLimit cut(limit);
    if (ini.UpdateFile()) break;
    ASSERT_EQ(Get(Path), kOther) << limit;
    ASSERT_EQ(Names(), std::vector<std::string>{"Settings.ini"}) << limit;
  }
  EXPECT_GT(limit, 100u);
  EXPECT_EQ(TIniFile(Path).ReadString("Settings", "Values", ""), "-1,-1,0,");
}

// The file a link leads to is replaced, and the link stays; so do the file's permissions.
TEST_F(IniFileTest, AReplacementKeepsALinkToTheFileAndItsPermissions) {
  const std::string target = (Folder / "real.ini").string();
  Put(target, kOther);
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, perms);
  const fs::perms before = fs::status(target).permissions();
  std::error_code error;
  fs::create_symlink(target, Path, error);
  if (error) GTEST_SKIP() << "no symbolic link here: " << error.message();
  TIniFile ini(Path);
  ini.WriteString("Settings", "Values", "x");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_TRUE(fs::is_symlink(Path));
  EXPECT_EQ(TIniFile(target).ReadString("Settings", "Values", ""), "x");
  EXPECT_EQ(fs::status(target).permissions(), before);
  EXPECT_EQ(Names().size(), 2u);
}

// A second holder waits a moment, then goes on without it; the lock leaves no file behind.
TEST_F(IniFileTest, ALockKeepsOutASecondHolderUntilItGoes) {
  {
    TIniFileLock first(Path);
    ASSERT_TRUE(first.Held());
    EXPECT_FALSE(TIniFileLock(Path).Held());
  }
  EXPECT_TRUE(TIniFileLock(Path).Held());
  EXPECT_TRUE(Names().empty());
}

// An editor's UTF-8 byte-order mark is no part of the first section's name, and stays on writing;
// the file's folder may have any name.
TEST_F(IniFileTest, AByteOrderMarkIsReadPastAndKeptInAFolderOfAnyName) {
  const fs::path folder = Folder / fs::path(u8"\u0395\u03BB\U0001F4C1");
  ASSERT_TRUE(fs::create_directory(folder));
  const std::u8string wide = (folder / "Settings.ini").u8string();
  const std::string path(wide.begin(), wide.end());
  Put((folder / "Settings.ini").string(), "\xEF\xBB\xBF[Settings]\r\nValues=0,-1,\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Settings", "Values", "none"), "0,-1,");
  ini.WriteString("Settings", "Values", "-1,0,");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Get((folder / "Settings.ini").string()), "\xEF\xBB\xBF[Settings]\r\nValues=-1,0,\r\n");
}
