#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/Tstamper.h"
#include "support/HookedFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

uint64_t Day(int n) { return 131000000000000000ull + uint64_t(n) * 864000000000ull; }
uint64_t LastWrite(const std::string& path) { return TTempTree::Times(path).LastWrite; }
void SetLastWrite(const std::string& path, int day) { TTempTree::SetTimes(path, {0, 0, Day(day)}); }
std::string In(const std::string& folder, const std::string& name) {
  return folder + TTempTree::Separator() + name;
}

// Whole operations on real files, the last-write time alone, through the platform's file system
// with a hook before each write.
class StamperIdentity : public testing::Test {
 protected:
  StamperIdentity() { Options.CRTime = Options.LATime = Options.Directories = false; }

  std::string File(const std::string& name, int day) {
    const std::string path = Tree.AddFile(name, "contents");
    SetLastWrite(path, day);
    return path;
  }

  // Get data of one file of each day given, in that order.
  void Get(std::initializer_list<int> days) {
    TStringList sources;
    for (int day : days) sources.push_back(File("source" + std::to_string(day), day));
    Run(okGet, &sources);
  }

  TStamperResult Run(TOperationKind kind, const TStringList* paths = nullptr) {
    return RunStamper(kind, paths, Holder, History, Options);
  }

  TTempTree Tree;
  THookedFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
};

// The second path of one file takes the first one's verdict where it asks for the same times,
// and is logged where it asks for others; either way the file is written once.
TEST_F(StamperIdentity, OneFileUnderTwoPathsIsWrittenOnce) {
  Tree.AddFolder("t");
  const std::string first = File(In("t", "a"), 1);
  const std::string second = Tree.Path(In("t", "b"));
  std::filesystem::create_hard_link(first, second);
  const std::string other = File(In("t", "c"), 2);
  const TStringList folder{Tree.Path("t")};
  int writes = 0;
  Fs.BeforeWrite = [&](const std::string&) { ++writes; };

  Get({9});
  const TStamperResult set = Run(okSet, &folder);
  EXPECT_EQ(set.ErrorLog, TStringList{});
  EXPECT_EQ(set.SucceededCount, 3);
  EXPECT_EQ(writes, 3) << "the second path is opened, seen to be the first, and not written";
  EXPECT_EQ(LastWrite(second), Day(9));
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 2u);
  Run(okUndo);
  EXPECT_EQ(LastWrite(second), Day(1));
  EXPECT_EQ(LastWrite(other), Day(2));

  Get({7, 8, 9});
  const TStamperResult sync = Run(okSync, &folder);
  EXPECT_EQ(sync.ErrorLog, TStringList{"one item under several paths: " + second});
  EXPECT_EQ(sync.SucceededCount, 2);
  EXPECT_EQ(LastWrite(first), Day(7));
  EXPECT_EQ(LastWrite(other), Day(9));
}

// Between the walk and the write, the folder walked is moved away and a link to another folder
// put in its place: the write reaches another file under the same path and leaves it alone.
// Where no link can be made (Wine), the host trees' HostileTrees test does the same.
TEST_F(StamperIdentity, AFolderSwappedForALinkAfterTheWalkIsNotWrittenThrough) {
  Tree.AddFolder("inside");
  Tree.AddFolder("outside");
  const std::string file = File(In("inside", "f"), 1);
  const std::string outside = File(In("outside", "f"), 2);
  const std::string link = Tree.AddSymlink("link", Tree.Path("outside"), true);
  if (link.empty()) GTEST_SKIP() << "no symbolic link can be made here";
  Fs.SwapBeforeFirstWrite(Tree.Path("inside"), link, Tree.Path("gone"));
  Get({9});
  const TStringList folder{Tree.Path("inside")};
  const TStamperResult set = Run(okSet, &folder);
  EXPECT_EQ(set.ErrorLog, TStringList{"item replaced since: " + file});
  EXPECT_EQ(set.SucceededCount, 0);
  EXPECT_EQ(LastWrite(outside), Day(2));
  EXPECT_EQ(LastWrite(Tree.Path(In("gone", "f"))), Day(1));
}

}  // namespace
