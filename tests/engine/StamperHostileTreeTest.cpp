#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/Tstamper.h"
#include "support/HostTrees.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

constexpr uint64_t day = 864000000000ull;

TItemTimes Times(int n) {
  const uint64_t base = 131000000000000000ull + uint64_t(n) * day;
  return {base, base + 3000, base + 7000};
}

// Real trees that break a naive walk or read, each run through whole operations. Under Wine the
// trees that Wine cannot make come from the host (HostTree); elsewhere each test makes its own.
class HostileTrees : public testing::Test {
 protected:
  // The last-write time alone: every system here keeps and sets it.
  TStamperResult Run(TOperationKind kind, const TStringList* paths = nullptr) {
    TStamperResult result = RunStamper(kind, paths, Holder, History, Options);
    EXPECT_TRUE(result.ErrorLog.empty()) << OperationName(kind) << ": " << result.ErrorLog[0];
    EXPECT_EQ(result.SucceededCount, result.ItemCount) << OperationName(kind);
    return result;
  }

  // The item's own last-write time, as a Times(n) value tells it.
  static uint64_t LastWrite(const std::string& path) { return TTempTree::Times(path).LastWrite; }

  void SetLastWrite(const std::string& path, int n) {
    TTempTree::SetTimes(path, {0, 0, Times(n).LastWrite});
  }

  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options = LastWriteOnly();

 private:
  static TStampOptions LastWriteOnly() {
    TStampOptions options;
    options.CRTime = options.LATime = false;
    return options;
  }
};

// A recursion per folder level would end the worker long before paths do.
TEST_F(HostileTrees, GetAndSetOfAChainOf2000Folders) {
  std::string top = HostTree("chain");
  if (top.empty()) {
    if (TTempTree::Separator() == '\\') GTEST_SKIP() << "the chain is made by ctest's host_trees";
    top = Tree.AddFolder("chain");
    std::string relative = "chain";
    for (int level = 0; level < hostChainDepth; ++level) Tree.AddFolder(relative += "/a");
    Tree.AddFile(relative + "/x.txt");
  }
  std::string bottom = top;
  for (int level = 0; level < hostChainDepth; ++level) (bottom += TTempTree::Separator()) += "a";
  const std::string file = bottom + TTempTree::Separator() + "x.txt";
  SetLastWrite(file, 5);
  SetLastWrite(bottom, 5);
  const TStringList dropped{top};
  EXPECT_EQ(Run(okGet, &dropped).ItemCount, hostChainDepth + 2);
  ASSERT_EQ(Holder.DirCount(), hostChainDepth + 1);
  const uint64_t average = FileTimeValue(Holder.Average().LWTime);
  // Every folder down to the file is walked again, and the file written.
  Options.Directories = false;
  EXPECT_EQ(Run(okSet, &dropped).ItemCount, 1);
  EXPECT_EQ(LastWrite(file), average);
  Run(okUndo);
  EXPECT_EQ(LastWrite(file), Times(5).LastWrite);
  EXPECT_EQ(LastWrite(bottom), Times(5).LastWrite);
}

// Names that differ only in letter case are two items in a case-sensitive folder: a Set of one,
// read by folder beside another item, and its Undo leave the other as it was.
TEST_F(HostileTrees, ASetOfOneCaseTwinAndItsUndoLeaveTheOtherAlone) {
  std::string folder = HostTree("twins");
  if (folder.empty()) {
    if (TTempTree::Separator() == '\\') GTEST_SKIP() << "the twins are made by ctest's host_trees";
    folder = Tree.AddFolder("twins");
    for (const char* name : {"twins/a.txt", "twins/A.txt", "twins/b.txt"}) Tree.AddFile(name);
  }
  const auto path = [&](const char* name) { return folder + TTempTree::Separator() + name; };
  SetLastWrite(path("a.txt"), 1);
  SetLastWrite(path("A.txt"), 2);
  SetLastWrite(path("b.txt"), 3);
  ASSERT_EQ(LastWrite(path("A.txt")), Times(2).LastWrite) << "the twins are one file here";
  const TStringList source{Tree.AddFile("source.txt")};
  SetLastWrite(source[0], 9);
  Run(okGet, &source);
  const TStringList targets{path("A.txt"), path("b.txt")};
  Run(okSet, &targets);
  EXPECT_EQ(LastWrite(path("A.txt")), Times(9).LastWrite);
  EXPECT_EQ(LastWrite(path("a.txt")), Times(1).LastWrite);
  Run(okUndo);
  EXPECT_EQ(LastWrite(path("A.txt")), Times(2).LastWrite);
  EXPECT_EQ(LastWrite(path("a.txt")), Times(1).LastWrite);
  EXPECT_EQ(LastWrite(path("b.txt")), Times(3).LastWrite);
}

// A Windows name may hold a surrogate without its pair ("\xED\xA0\x80" is U+D800 alone); it is read,
// written and undone as itself, and the name that differs only in that surrogate stays apart.
TEST_F(HostileTrees, ANameWithAnUnpairedSurrogateIsItsOwnItem) {
  std::string own, other;
  try {
    own = Tree.AddFile("x\xED\xA0\x80y.txt");
    other = Tree.AddFile("x\xED\xA0\x81y.txt");
  } catch (const std::runtime_error& refused) {
    GTEST_SKIP() << "this system keeps no such name: " << refused.what();
  }
  SetLastWrite(own, 1);
  SetLastWrite(other, 2);
  const TStringList source{Tree.AddFile("source.txt")};
  SetLastWrite(source[0], 9);
  Run(okGet, &source);
  const TStringList targets{own};
  Run(okSet, &targets);
  EXPECT_EQ(LastWrite(own), Times(9).LastWrite);
  EXPECT_EQ(LastWrite(other), Times(2).LastWrite);
  Run(okUndo);
  EXPECT_EQ(LastWrite(own), Times(1).LastWrite);
  const TStringList folder{Tree.Root()};
  Run(okGet, &folder);
  EXPECT_EQ(Holder.Stamps().size(), 4u);  // the folder, the two names, the source
}

}  // namespace
