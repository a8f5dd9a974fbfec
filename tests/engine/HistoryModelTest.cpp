#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;
constexpr int seeds = 280;
constexpr int stepsPerSeed = 36;
constexpr uint64_t second = 10000000;

using TTimes = std::array<uint64_t, 3>;
using TDisk = std::map<std::string, TTimes>;

enum TPhase { phNone, phExpansion, phBackupRead, phWrite, phCount };
const char* const phaseNames[phCount] = {"none", "expansion", "backup read", "write"};
// Escape is pressed at the k-th call of the phase's primitive, which no other phase of a writing
// operation calls (the entry for none is never looked at).
const TPrimitive phasePrimitives[phCount] = {TPrimitive::NormalizePath, TPrimitive::NormalizePath,
                                             TPrimitive::FindEntry, TPrimitive::WriteTimesOpen};

struct TFigures {
  int Seeds = 0;
  int Operations = 0;
  int Runs = 0;
  int Checks = 0;
  int StopsHit[phCount] = {};
  int PartialUndoRedo = 0;
  int UndoRedoWithFailures = 0;
  int Answers[2] = {};
  int InjectedFailures = 0;
  int Rounded = 0;
  int NotKept = 0;
};

// What a lossy volume does with each kind of time written (creation, last write, last access):
// keeps it, rounds it down to FAT's grain (10 ms for creation, 2 s for the others) or drops it. A
// last-access time is never dropped: FAT keeps it as a date, so a drop within the day is kept.
enum TPolicy { poKeep, poRound, poDrop };

struct TStop {
  TPhase Phase = phNone;
  int AtCall = 0;
};

// One random life of a window's data: a tree of files, a folder and the files inside it, read-only
// ones among them, worked on by Get, Set, Sync, Undo and Redo with random options, Escape at random
// calls and random answers. The model is the times every item had before the first operation:
// every change must stay reachable through the history, and nothing but a write may change an item.
// On a lossy volume every write is also judged by what it stored, and the first times are ones
// the volume holds, as they would be there.
class THistoryModel {
 public:
  THistoryModel(unsigned seed, bool injectsFailures, TFigures& figures, bool lossy)
      : Random(seed), InjectsFailures(injectsFailures), Lossy(lossy), Figures(figures) {
    Fs.AddFolder("C:\\m");
    Fs.AddFolder(Folder);
    const uint64_t apart = lossy ? 2 * second : 1000;
    for (size_t i = 0; i < Items.size(); ++i) {
      const uint64_t base = t0 + i * day;
      if (Items[i] != Folder)
        Fs.AddFile(Items[i], Chance(0.3) ? faArchive | faReadOnly : faArchive);
      Fs.SetTimes(Items[i], base, base + apart, base + 2 * apart);
    }
    if (lossy) MakeLossy();
    First = Disk();
    History.OnChange = [this](TObject*) {
      // What the window's change handler shows.
      ShownUndo = History.CanUndo();
      ShownRedo = History.CanRedo();
      ++Events;
    };
  }

  void Step() {
    if (InjectsFailures) Disturb();
    const TOperationKind kind = PickKind();
    if (Lossy && kind == okSet && Chance(0.5)) HoldTimesFromElsewhere();
    TStringList paths = PickPaths(kind);
    const bool dropped = kind == okGet || kind == okSet || kind == okSync;
    const TStop stop = PickStop(kind);
    const TDisk before = Disk();
    Events = 0;
    const TStamperResult result =
        Run(kind, dropped ? &paths : nullptr, PickOptions(), stop, Chance(0.7) ? idOk : idCancel);
    ++Figures.Operations;
    if (Stopped) {
      ++Figures.StopsHit[stop.Phase];
      EXPECT_TRUE(result.Canceled);
      if (stop.Phase != phWrite) {
        EXPECT_EQ(Disk(), before);
      }
      if (stop.Phase == phWrite && (kind == okUndo || kind == okRedo)) {
        // The split of the entry is one change.
        EXPECT_EQ(Events, 1);
        if (result.SucceededCount > 0) ++Figures.PartialUndoRedo;
      }
    }
    if ((kind == okUndo || kind == okRedo) && !result.ErrorLog.empty())
      ++Figures.UndoRedoWithFailures;
    ExpectOnlyWrittenItemsChanged(before, result);
    if (Lossy && !Stopped && kind != okGet) ExpectJudgedAsStored(kind, result);
    EXPECT_LE(Events, 1);
    ExpectShownAsHeld();
    ExpectEveryChangeUndoable();
  }

  // From the newest state, undoing everything gives every item its first times back, and redoing
  // everything then gives it the newest times again. The faults are lifted first, as when a volume
  // is back and the user has made the items writable: an item that failed before must still have
  // its way back.
  void CheckEverythingReachable() {
    ++Figures.Checks;
    Fs.ClearFailures();
    for (const std::string& item : Items)
      Fs.SetAttributes(item, Fs.Entry(item).Attributes & ~uint32_t(faReadOnly));
    RedoAll();
    const TDisk newest = Disk();
    for (int guard = History.Count(); History.CanUndo() && guard >= 0; --guard) RunPlain(okUndo);
    EXPECT_FALSE(History.CanUndo());
    ExpectAsIn(First, "after undoing everything");
    RedoAll();
    ExpectAsIn(newest, "after redoing everything");
    ExpectShownAsHeld();
  }

 private:
  bool Chance(double p) { return std::bernoulli_distribution(p)(Random); }
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Random); }

  TDisk Disk() const {
    TDisk disk;
    for (const std::string& item : Items) {
      const TFileEntry entry = Fs.Entry(item);
      disk[item] = {FileTimeValue(entry.CreationTime), FileTimeValue(entry.LastAccessTime),
                    FileTimeValue(entry.LastWriteTime)};
    }
    return disk;
  }

  void MakeLossy() {
    do {
      for (TPolicy& policy : Policies) policy = TPolicy(Below(3));
    } while (Policies == std::array{poKeep, poKeep, poKeep} || Policies[2] == poDrop);
    Fs.SetVolume({"FAT", false});
    Fs.SetStoreRule([this](TTimeKind kind, uint64_t asked, uint64_t held) {
      const size_t k = size_t(kind);
      const uint64_t grain = kind == TTimeKind::Creation ? second / 100 : 2 * second;
      const uint64_t stored = Policies[k] == poDrop    ? held
                              : Policies[k] == poRound ? asked - asked % grain
                                                       : asked;
      if (stored != asked) Writes[WritingPath][Policies[k] == poDrop ? k : 2] = true;
      return stored;
    });
  }

  // Get data from a volume that keeps every time, minutes away from any other time, so that a
  // time dropped here is never so near the one asked that it passes for rounding.
  void HoldTimesFromElsewhere() {
    TStamp stamp;
    stamp.CRTime = stamp.LWTime = stamp.LATime =
        MakeFileTime(t0 - uint64_t(++Elsewhere) * 600 * second - uint64_t(Below(int(second))));
    Holder.Store(TStamps{stamp}, stamp, 0);
  }

  // An item with a time dropped is one line naming those times and is not counted; one with a
  // time rounded counts and is noted; every item written is in the entry committed.
  void ExpectJudgedAsStored(TOperationKind kind, const TStamperResult& result) {
    int notKept = 0, rounded = 0;
    std::set<std::string> written;
    const TStringList& log = result.ErrorLog;
    for (const auto& [path, what] : Writes) {
      written.insert(path);
      const char* names = what[0] && what[1] ? "creation and last-write times"
                          : what[0]          ? "creation time"
                          : what[1]          ? "last-write time"
                                             : nullptr;
      if (names) {
        EXPECT_NE(std::find(log.begin(), log.end(), names + (" not kept: " + path)), log.end());
      }
      notKept += names != nullptr;
      rounded += !names && what[2];
    }
    EXPECT_EQ(result.SucceededCount, int(written.size()) - notKept);
    EXPECT_EQ(result.RoundedCount, rounded);
    Figures.Rounded += rounded;
    Figures.NotKept += notKept;
    if (written.empty()) return;
    ASSERT_TRUE(kind == okUndo ? History.CanRedo() : History.CanUndo());
    std::set<std::string> entry;
    for (const TStamp& stamp : (kind == okUndo ? History.RedoUnit() : History.UndoUnit()).Stamps)
      entry.insert(stamp.Path);
    EXPECT_EQ(entry, written);
  }

  // A few faults on random items that last until the next full check, and read-only switched
  // behind the program's back.
  void Disturb() {
    const std::string& item = Items[size_t(Below(int(Items.size())))];
    if (FaultsLeft > 0 && Chance(0.08)) {
      const TPrimitive faults[] = {TPrimitive::FindEntry, TPrimitive::WriteTimesOpen,
                                   TPrimitive::WriteTimesSet, TPrimitive::SetAttributes,
                                   TPrimitive::GetAttributes};
      Fs.Fail(faults[Below(5)], item);
      ++Figures.InjectedFailures;
      --FaultsLeft;
    } else if (Chance(0.1) && item != Folder) {
      Fs.SetAttributes(item, Fs.Entry(item).Attributes ^ faReadOnly);
    }
  }

  // As the window offers them: Undo and Redo only while the history holds an entry for them.
  TOperationKind PickKind() {
    for (;;) {
      const int roll = Below(100);
      if (roll < 15) return okGet;
      if (roll < 40) return okSet;
      if (roll < 50) return okSync;
      if (roll < 75 && ShownUndo) return okUndo;
      if (roll >= 75 && ShownRedo) return okRedo;
    }
  }

  TStringList PickPaths(TOperationKind kind) {
    TStringList pool = Items;
    if (kind == okSync) pool.erase(std::find(pool.begin(), pool.end(), Folder));
    std::shuffle(pool.begin(), pool.end(), Random);
    // A Sync mostly has as many targets as there are Get stamps; now and then it is refused.
    const int wanted = kind == okSync && Holder.Count() > 0 && Chance(0.85)
                           ? std::min(Holder.Count(), int(pool.size()))
                           : 1 + Below(int(pool.size()));
    pool.resize(size_t(wanted));
    return pool;
  }

  TStampOptions PickOptions() {
    TStampOptions options;
    options.Subdirs = Chance(0.5);
    options.Directories = Chance(0.5);
    options.AnyAttr = Chance(0.5);
    options.CRTime = Chance(0.8);
    options.LWTime = Chance(0.8);
    options.LATime = Chance(0.8);
    return options;
  }

  TStop PickStop(TOperationKind kind) {
    if (Chance(0.5)) return {};
    const bool writes = kind != okGet;
    const bool expands = kind != okUndo && kind != okRedo;
    std::vector<TPhase> phases;
    if (expands) phases.push_back(phExpansion);
    if (writes) phases.insert(phases.end(), {phBackupRead, phWrite});
    return {phases[size_t(Below(int(phases.size())))], Below(int(Items.size()))};
  }

  TStamperResult Run(TOperationKind kind, const TStringList* paths, TStampOptions options,
                     TStop stop, int answer) {
    TScriptedMessageBoxes boxes({answer});
    Stopped = false;
    WritesReached.clear();
    Writes.clear();
    int calls = 0;
    TStamper* running = nullptr;
    Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
      if (primitive == TPrimitive::WriteTimesSet) {
        WritesReached.insert(path);
        WritingPath = path;
        Writes.try_emplace(path);
      }
      if (stop.Phase == phNone || Stopped || primitive != phasePrimitives[stop.Phase]) return;
      if (calls++ != stop.AtCall) return;
      Stopped = true;
      MainThreadQueue().RunAndWait([&] { running->Terminate(); });
    };
    const TStamperResult result = RunStamper(kind, paths, Holder, History, options,
                                             [&](TStamper& stamper) { running = &stamper; });
    Fs.OnCall = nullptr;
    ++Figures.Runs;
    for (const TShownMessageBox& box : boxes.Shown()) {
      if (box.Text.rfind("Failed to backup", 0) != 0) continue;
      ++Figures.Answers[answer == idOk ? 0 : 1];
      if (answer != idOk) {
        EXPECT_TRUE(result.Canceled);
      }
    }
    return result;
  }

  static bool Names(const std::string& line, const std::string& item) {
    const std::string tail = ": " + item;
    const size_t at = line.find(tail);
    return at != std::string::npos &&
           (at + tail.size() == line.size() || line.compare(at + tail.size(), 2, " (") == 0);
  }

  void RunPlain(TOperationKind kind) { Run(kind, nullptr, {}, {}, idOk); }

  void RedoAll() {
    for (int guard = History.Count(); History.CanRedo() && guard >= 0; --guard) RunPlain(okRedo);
    EXPECT_FALSE(History.CanRedo());
  }

  // An item that was not written, or whose write failed, keeps its times.
  void ExpectOnlyWrittenItemsChanged(const TDisk& before, const TStamperResult& result) {
    const TDisk after = Disk();
    for (const std::string& item : Items) {
      if (after.at(item) == before.at(item)) continue;
      EXPECT_TRUE(WritesReached.count(item)) << item << " changed without being written";
      for (const std::string& line : result.ErrorLog)
        EXPECT_FALSE((line.rfind("failed to set file times", 0) == 0 ||
                      line.rfind("failed write access", 0) == 0) &&
                     Names(line, item))
            << item << " changed by a failed write";
    }
  }

  void ExpectShownAsHeld() const {
    EXPECT_EQ(ShownUndo, History.CanUndo());
    EXPECT_EQ(ShownRedo, History.CanRedo());
  }

  // Nothing is lost between two steps, failures or not: an item away from its first times can be
  // undone.
  void ExpectEveryChangeUndoable() const {
    const TDisk now = Disk();
    for (const std::string& item : Items)
      if (now.at(item) != First.at(item)) {
        EXPECT_TRUE(History.CanUndo()) << item << " changed and cannot be undone";
      }
  }

  void ExpectAsIn(const TDisk& expected, const char* when) const {
    const TDisk now = Disk();
    for (const std::string& item : Items)
      EXPECT_EQ(now.at(item), expected.at(item)) << item << " " << when;
  }

  const std::string Folder = "C:\\m\\d";
  const TStringList Items = {"C:\\m\\f0", "C:\\m\\f1", "C:\\m\\f2",    "C:\\m\\f3",   "C:\\m\\f4",
                             "C:\\m\\f5", Folder,      "C:\\m\\d\\g0", "C:\\m\\d\\g1"};
  std::mt19937 Random;
  const bool InjectsFailures;
  const bool Lossy;
  TFigures& Figures;
  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TDisk First;
  int FaultsLeft = 3;
  std::array<TPolicy, 3> Policies = {};
  int Elsewhere = 0;
  std::string WritingPath;
  // Of each item written: its creation time dropped, its last-write time dropped, a time rounded.
  std::map<std::string, std::array<bool, 3>> Writes;
  std::set<std::string> WritesReached;
  bool Stopped = false;
  bool ShownUndo = false;
  bool ShownRedo = false;
  int Events = 0;
};

}  // namespace

TEST(HistoryModel, EveryChangeStaysReachableOverRandomSequences) {
  TFigures figures;
  for (unsigned seed = 1; seed <= seeds && !testing::Test::HasFailure(); ++seed) {
    // Every other seed injects faults; the rest must bring back every single item, half of them
    // on a volume that rounds or drops times.
    const bool injectsFailures = seed % 2 == 0;
    const bool lossy = seed % 4 == 1;
    SCOPED_TRACE("seed " + std::to_string(seed) + (injectsFailures ? " (faults)" : "") +
                 (lossy ? " (lossy)" : ""));
    THistoryModel model(seed, injectsFailures, figures, lossy);
    // Every fourth seed also goes all the way back and forth halfway through.
    const int checkAt = seed % 4 == 0 ? int(seed % stepsPerSeed) : -1;
    for (int step = 0; step < stepsPerSeed && !testing::Test::HasFailure(); ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      model.Step();
      if (step == checkAt) model.CheckEverythingReachable();
    }
    model.CheckEverythingReachable();
    ++figures.Seeds;
  }
  std::printf(
      "history model: %d seeds, %d operations, %d undo-all/redo-all checks, %d runs in all; "
      "stops hit: %d in %s, %d in %s, %d in %s (%d Undo/Redo stopped after writing some items); "
      "backup "
      "question answered OK %d, Cancel %d; %d faults injected; on lossy volumes %d items rounded, "
      "%d not kept; %d Undo/Redo runs with failed items\n",
      figures.Seeds, figures.Operations, figures.Checks, figures.Runs,
      figures.StopsHit[phExpansion], phaseNames[phExpansion], figures.StopsHit[phBackupRead],
      phaseNames[phBackupRead], figures.StopsHit[phWrite], phaseNames[phWrite],
      figures.PartialUndoRedo, figures.Answers[0], figures.Answers[1], figures.InjectedFailures,
      figures.Rounded, figures.NotKept, figures.UndoRedoWithFailures);
  EXPECT_GE(figures.Operations, 10000);
  EXPECT_GT(figures.PartialUndoRedo, 100);
  EXPECT_GT(figures.UndoRedoWithFailures, 100);
  EXPECT_GT(figures.Rounded, 100);
  EXPECT_GT(figures.NotKept, 100);
}
