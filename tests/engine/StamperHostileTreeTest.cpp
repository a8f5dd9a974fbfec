#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// Whole operations, on the last-write time, after a Get of a file of day 9, on trees that ctest's
// host_trees made from the Linux side (make_host_trees.sh): Wine folds letter case when it creates
// a name, and takes minutes over a deep chain. Wine shows the Linux root as Z:.
class HostileTrees : public testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("BREVANTOR_HOST_TREES");
    if (!root) GTEST_SKIP() << "the trees are made by ctest's host_trees";
    Root = root;
    Options.CRTime = Options.LATime = false;
    const TStringList source{Tree.AddFile("source.txt")};
    SetLastWrite(source[0], 9);
    Run(okGet, &source);
  }

  int Run(TOperationKind kind, const TStringList* paths = nullptr) {
    const TStamperResult result = RunStamper(kind, paths, Holder, History, Options);
    EXPECT_EQ(result.ErrorLog, TStringList{}) << OperationName(kind);
    EXPECT_EQ(result.SucceededCount, result.ItemCount) << OperationName(kind);
    return result.ItemCount;
  }

  std::string Path(const std::string& relative) const {
    std::string path = (TTempTree::Separator() == '\\' ? "Z:" : "") + Root + "/" + relative;
    std::replace(path.begin(), path.end(), '/', TTempTree::Separator());
    return path;
  }

  std::string Root;
  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
};

// A recursion per folder level ended the worker at about 1,900 levels under Wine.
TEST_F(HostileTrees, GetAndSetOfAChainOf2000Folders) {
  const TStringList chain{Path("chain")};
  EXPECT_EQ(Run(okGet, &chain), 2002);
  const uint64_t average = FileTimeValue(Holder.Average().LWTime);
  std::string relative = "chain";
  for (int level = 0; level < 2000; ++level) relative += "/a";
  const std::string file = Path(relative + "/x.txt");
  SetLastWrite(file, 1);
  Options.Directories = false;  // every folder walked again, the file alone written
  EXPECT_EQ(Run(okSet, &chain), 1);
  EXPECT_EQ(LastWrite(file), average);
}

// The Set's backup reads A.txt and b.txt by one listing of their folder, beside a.txt.
TEST_F(HostileTrees, ASetOfOneCaseTwinAndItsUndoLeaveTheOtherAlone) {
  const auto path = [&](const std::string& name) { return Path("twins/" + name); };
  SetLastWrite(path("a.txt"), 1);
  SetLastWrite(path("A.txt"), 2);
  const TStringList targets{path("A.txt"), path("b.txt")};
  Run(okSet, &targets);
  EXPECT_EQ(LastWrite(path("A.txt")), Day(9));
  Run(okUndo);
  EXPECT_EQ(LastWrite(path("A.txt")), Day(2));
  EXPECT_EQ(LastWrite(path("a.txt")), Day(1));
}

// The walk gives each twin as an item of its own: each gets the times and its own backup.
TEST_F(HostileTrees, ASetOfTheTwinsFolderWritesEachTwinAndItsUndoPutsEachBack) {
  const TStringList names{"a.txt", "A.txt", "b.txt"};
  const auto path = [&](size_t i) { return Path("twins/" + names[i]); };
  for (size_t i = 0; i < names.size(); ++i) SetLastWrite(path(i), int(i) + 1);
  const TStringList folder{Path("twins")};
  Options.Directories = false;
  EXPECT_EQ(Run(okSet, &folder), 3);
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(LastWrite(path(i)), Day(9)) << names[i];
  Run(okUndo);
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(LastWrite(path(i)), Day(int(i) + 1)) << names[i];
}

// A link swapped in for the walked folder after the walk sends the write nowhere else. Wine
// moves a link's target, not the link, so there the folder it leads to takes the walked one's
// place: either way another f.txt has the path when it is written.
TEST_F(HostileTrees, AFolderSwappedForALinkAfterTheWalkIsNotWrittenThrough) {
  SetLastWrite(Path("swap/inside/f.txt"), 1);
  SetLastWrite(Path("swap/outside/f.txt"), 2);
  THookedFileSystem fs;
  const TFileSystemOverride guard(fs);
  fs.SwapBeforeFirstWrite(Path("swap/inside"), Path("swap/link"), Path("swap/gone"));
  const TStringList folder{Path("swap/inside")};
  Options.Directories = false;
  const TStamperResult set = RunStamper(okSet, &folder, Holder, History, Options);
  EXPECT_EQ(set.ErrorLog, TStringList{"item replaced since: " + Path("swap/inside/f.txt")});
  EXPECT_EQ(LastWrite(Path("swap/inside/f.txt")), Day(2));
  EXPECT_EQ(LastWrite(Path("swap/gone/f.txt")), Day(1));
}

}  // namespace
