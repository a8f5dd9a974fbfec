#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/Tstamper.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

std::ostream& operator<<(std::ostream& out, const TItemTimes& times) {
  return out << "{CR " << times.Creation << ", LA " << times.LastAccess << ", LW "
             << times.LastWrite << "}";
}

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 131000000000000000ull;

TItemTimes Times(int n) {
  return {t0 + uint64_t(n) * day, t0 + uint64_t(n) * day + 3000, t0 + uint64_t(n) * day + 7000};
}

// Operations on real files, checked on disk. Where the platform cannot set a creation time
// (Linux), the runs leave it out and so do the checks.
class StamperRealTreeTest : public testing::Test {
 protected:
  StamperRealTreeTest() {
    const std::string probe = Tree.AddFile("probe");
    TTempTree::SetTimes(probe, Times(1));
    Options.CRTime = TTempTree::Times(probe).Creation == Times(1).Creation;
  }

  std::string AddFile(const std::string& name, const TItemTimes& times) {
    const std::string path = Tree.AddFile(name, "contents");
    TTempTree::SetTimes(path, times);
    return path;
  }

  TItemTimes Writable(TItemTimes times) const {
    if (!Options.CRTime) times.Creation = 0;
    return times;
  }

  TItemTimes OnDisk(const std::string& path) const { return Writable(TTempTree::Times(path)); }

  void Run(TOperationKind kind, const TStringList* paths = nullptr) {
    TStamperResult result = RunStamper(kind, paths, Holder, History, Options);
    EXPECT_TRUE(result.ErrorLog.empty()) << OperationName(kind) << ": " << result.ErrorLog[0];
    EXPECT_EQ(result.SucceededCount, result.ItemCount) << OperationName(kind);
  }

  void ExpectTargets(const TItemTimes& a, const TItemTimes& b, int position, int count) {
    EXPECT_EQ(OnDisk(A), Writable(a));
    EXPECT_EQ(OnDisk(B), Writable(b));
    EXPECT_EQ(History.Position(), position);
    EXPECT_EQ(History.Count(), count);
  }

  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
  std::string A = AddFile("a.txt", Times(10));
  std::string B = AddFile("b.txt", Times(20));
};

TEST_F(StamperRealTreeTest, SetSyncUndoRedoWalkTheHistoryBackAndForth) {
  const TStringList source = {AddFile("s.txt", Times(30))};
  const TStringList pair = {AddFile("g2.txt", Times(50)), AddFile("g1.txt", Times(40))};
  const TStringList targets = {B, A};

  Run(okGet, &source);
  Run(okSet, &targets);
  ExpectTargets(Times(30), Times(30), 1, 1);

  Run(okGet, &pair);
  Run(okSync, &targets);
  ExpectTargets(Times(40), Times(50), 2, 2);

  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);
  Run(okRedo);
  ExpectTargets(Times(40), Times(50), 2, 2);
  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);

  Run(okSet, &targets);
  ExpectTargets(Times(45), Times(45), 2, 2);
  EXPECT_FALSE(History.CanRedo());

  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);
  Run(okUndo);
  ExpectTargets(Times(10), Times(20), 0, 2);
  EXPECT_EQ(Boxes.Count(), 0u);
}

// The target turned read-only after the Set, without "Any Attr": its Undo fails, and its way back
// stays in the entry until it can be written.
TEST_F(StamperRealTreeTest, AnUndoRefusedForOneItemKeepsItUndoablePermission) {
  const TStringList source = {AddFile("s.txt", Times(30))};
  const TStringList targets = {A, B};
  Run(okGet, &source);
  Run(okSet, &targets);
  TTempTree::SetReadOnly(B, true);

  const TStamperResult refused = RunStamper(okUndo, nullptr, Holder, History, Options);
  EXPECT_EQ(refused.ErrorLog, TStringList{"failed write access: " + B});
  ExpectTargets(Times(10), Times(30), 1, 2);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 1u);
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, B);

  TTempTree::SetReadOnly(B, false);
  Run(okUndo);
  ExpectTargets(Times(10), Times(20), 0, 2);
}

}  // namespace
