#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/TempTree.h"
#include "support/TestStamper.h"

namespace {

constexpr uint64_t year2010 = 129067776000000000;
constexpr uint64_t june2011 = 129513600000000000;
constexpr uint64_t march2012 = 129753111670000000;

TStampOptions Walk(bool subdirs, bool directories) {
  TStampOptions options;
  options.Subdirs = subdirs;
  options.Directories = directories;
  return options;
}

// The paths below root, with '/' between names whatever the platform's separator.
TStringList Relative(const TStringList& paths, const std::string& root, char separator) {
  TStringList relative;
  for (std::string path : paths) {
    path.erase(0, root.size());
    std::replace(path.begin(), path.end(), separator, '/');
    relative.push_back(path);
  }
  return relative;
}

TStringList Expand(const TStringList& dropped, TStampOptions options) {
  TTestStamper stamper;
  TStringList items = dropped;
  stamper.ExpandItems(items, options);
  return items;
}

// The platform's file system must walk a real tree exactly as the engine's tests assume the fake
// walks its own.
TEST(StamperBaseRealTree, ExpandsAsOnTheFake) {
  TTempTree tree;
  tree.AddFile("a.txt");
  tree.AddFile("B.txt");
  tree.AddFile(".hidden");
  tree.AddFolder("sub");
  tree.AddFile("sub" + std::string(1, TTempTree::Separator()) + "c.txt");
  const std::string root = tree.Root();
  const TStringList realDrop{tree.Path("sub"), tree.Path("a.txt"), root};

  TFakeFileSystem fake;
  fake.AddFile("C:\\root\\a.txt");
  fake.AddFile("C:\\root\\B.txt");
  fake.AddFile("C:\\root\\.hidden", faHidden);
  fake.AddFile("C:\\root\\sub\\c.txt");
  const TStringList fakeDrop{"C:\\root\\sub", "C:\\root\\a.txt", "C:\\root"};

  for (const TStampOptions& options : {Walk(true, true), Walk(true, false), Walk(false, true)}) {
    const TStringList onDisk = Relative(Expand(realDrop, options), root, TTempTree::Separator());
    TFileSystemOverride guard(fake);
    EXPECT_EQ(onDisk, Relative(Expand(fakeDrop, options), "C:\\root", '\\'));
  }
  EXPECT_EQ(Relative(Expand(realDrop, Walk(true, true)), root, TTempTree::Separator()),
            (TStringList{"", "/.hidden", "/a.txt", "/B.txt", "/sub", "/sub/c.txt"}));
}

TEST(StamperBaseRealTree, TakesALinkBackToAnAncestorWithoutWalkingIt) {
  TTempTree tree;
  tree.AddFolder("sub");
  const std::string sep(1, TTempTree::Separator());
  tree.AddFile("sub" + sep + "f.txt");
  const std::string link = tree.AddSymlink("sub" + sep + "up", tree.Root(), true);
  if (link.empty()) GTEST_SKIP() << "this system allows no symbolic link here";
  EXPECT_EQ(Relative(Expand({tree.Root()}, Walk(true, true)), tree.Root(), TTempTree::Separator()),
            (TStringList{"", "/sub", "/sub/f.txt", "/sub/up"}));
}

// Creation times cannot be set everywhere (Linux), nor read back everywhere (Wine on a file system
// without birth times derives them from the last write), so these writes leave them out.
TStampOptions WithoutCreation(bool anyAttr) {
  TStampOptions options;
  options.CRTime = false;
  options.AnyAttr = anyAttr;
  return options;
}

TStamp Stamp(const std::string& path, uint64_t lastWrite, uint64_t lastAccess) {
  TStamp stamp;
  stamp.Path = path;
  stamp.LWTime = MakeFileTime(lastWrite);
  stamp.LATime = MakeFileTime(lastAccess);
  return stamp;
}

TEST(StamperBaseRealTree, WritesTheLastWriteTimeAloneBackwards) {
  TTempTree tree;
  const std::string first = tree.AddFile("first");
  const std::string second = tree.AddFile("second");
  TTempTree::SetTimes(first, {0, year2010, year2010});
  TTempTree::SetTimes(second, {0, year2010, year2010});
  TStampOptions options = WithoutCreation(false);
  options.LATime = false;
  TStamps stamps{Stamp(first, june2011, march2012), Stamp(second, march2012, june2011)};
  TFlags flags{1, 1};
  TStringList log;
  TTestStamper stamper;
  EXPECT_EQ(stamper.WriteStamps(log, stamps, options, false, flags), 2);
  EXPECT_TRUE(log.empty()) << log.front();
  EXPECT_EQ(flags, (TFlags{1, 1}));
  EXPECT_EQ(TTempTree::Times(first).LastWrite, june2011);
  EXPECT_EQ(TTempTree::Times(second).LastWrite, march2012);
  EXPECT_EQ(TTempTree::Times(second).LastAccess, year2010);
}

bool FolderHolds(const std::string& folder, const std::string& name) {
  const auto utf8 = [](const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  };
  for (const auto& entry : std::filesystem::directory_iterator(utf8(folder))) {
    if (entry.path().filename() == utf8(name)) return true;
  }
  return false;
}

// 86 CJK characters and ".txt": 262 bytes in UTF-8, past the 259 that fixed 260-byte buffers hold.
// A file system that keeps names of at most 255 bytes (a Linux one, also under Wine, which cuts
// the name short) gets the longest such name it takes.
std::string AddLongCjkFile(TTempTree& tree) {
  std::string cjk;
  for (int i = 0; i < 86; ++i) cjk += "\u6F22";
  try {
    const std::string path = tree.AddFile(cjk + ".txt");
    if (FolderHolds(tree.Root(), cjk + ".txt")) return path;
    std::filesystem::remove(std::filesystem::path(std::u8string(path.begin(), path.end())));
  } catch (const std::runtime_error&) {
  }
  return tree.AddFile(cjk.substr(0, 83 * 3) + ".txt");
}

// Folders of 50 characters, one in the other, until the path below the root passes 400.
std::string AddDeepFile(TTempTree& tree) {
  const std::string sep(1, TTempTree::Separator());
  std::string relative;
  while (relative.size() < 400) {
    relative += (relative.empty() ? "" : sep) + "d" + std::to_string(relative.size() + 1000) +
                std::string(45, 'x');
    tree.AddFolder(relative);
  }
  return tree.AddFile(relative + sep + "deep.txt");
}

TEST(StamperBaseRealTree, ListsReadsAndWritesLongNamesAndDeepPathsWhole) {
  TTempTree tree;
  const std::string longName = AddLongCjkFile(tree);
  const std::string deep = AddDeepFile(tree);
  const std::string plain = tree.AddFile("a.txt");
  TStringList items = Expand({tree.Root()}, Walk(true, true));
  EXPECT_NE(std::find(items.begin(), items.end(), longName), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), deep), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), plain), items.end());

  TStamps stamps;
  for (const std::string& item : items) stamps.push_back(Stamp(item, june2011, march2012));
  TTestStamper stamper;
  TStringList log;
  int folders = 0;
  EXPECT_EQ(stamper.GetStamps(log, stamps, folders), int(items.size()));
  EXPECT_TRUE(log.empty()) << log.front();
  for (TStamp& stamp : stamps) stamp.LWTime = MakeFileTime(june2011);
  TFlags flags(stamps.size(), 1);
  TStampOptions lastWrite = WithoutCreation(false);
  lastWrite.LATime = false;
  EXPECT_EQ(stamper.WriteStamps(log, stamps, lastWrite, true, flags), int(items.size()));
  EXPECT_TRUE(log.empty()) << log.front();
  for (const std::string& path : {longName, deep, plain})
    EXPECT_EQ(TTempTree::Times(path).LastWrite, june2011) << path;
}

class StamperBaseReadOnlyFile : public testing::Test {
 protected:
  StamperBaseReadOnlyFile() : Path(Tree.AddFile("locked", "contents")) {
    TTempTree::SetTimes(Path, {0, year2010, year2010});
    TTempTree::SetReadOnly(Path, true);
  }

  int Write(bool anyAttr) {
    TStamps stamps{Stamp(Path, june2011, march2012)};
    TFlags flags{1};
    return Stamper.WriteStamps(Log, stamps, WithoutCreation(anyAttr), true, flags);
  }

  TTempTree Tree;
  const std::string Path;
  TTestStamper Stamper;
  TStringList Log;
};

// Refused by its attributes, so also where the process could open it for writing (root, or
// Windows, which grants an opening for attributes alone).
TEST_F(StamperBaseReadOnlyFile, PermissionRefusedWithoutAnyAttr) {
  EXPECT_EQ(Write(false), 0);
  EXPECT_EQ(Log, TStringList{"failed write access: " + Path});
  EXPECT_EQ(TTempTree::Times(Path).LastWrite, year2010);
}

TEST_F(StamperBaseReadOnlyFile, PermissionTakenAwayAndPutBackWithAnyAttr) {
  EXPECT_EQ(Write(true), 1);
  EXPECT_TRUE(Log.empty()) << Log.front();
  EXPECT_EQ(TTempTree::Times(Path).LastWrite, june2011);
  EXPECT_EQ(TTempTree::Times(Path).LastAccess, march2012);
  EXPECT_TRUE(FileSystem().GetAttributes(Path) & faReadOnly) << "the attribute is put back";
}

}  // namespace
