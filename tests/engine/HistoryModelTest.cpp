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
constexpr int lossySeeds = 80;
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
  int Answers[2] = {};
  int InjectedFailures = 0;
  int Rounded = 0;
  int NotKept = 0;
};

// What a lossy volume does with each kind of time written: keeps it, rounds it down to the
// volume's grain (FAT's: 10 ms for creation, 2 s for the others), or drops it.
enum TPolicy { poKeep, poRound, poDrop };
const char* const timeNames[] = {"creation", "last-write", "last-access"};

uint64_t Grain(TTimeKind kind) { return kind == TTimeKind::Creation ? second / 100 : 2 * second; }

// What one write did to each kind of time, as the volume knows it.
struct TStored {
  bool Rounded = false;
  std::array<bool, 3> Dropped = {};
};

struct TStop {
  TPhase Phase = phNone;
  int AtCall = 0;
};

// One random life of a window's data: a tree of files, a folder and the files inside it, read-only
// ones among them, worked on by Get, Set, Sync, Undo and Redo with random options, Escape at random
// calls and random answers. The model is the times every item had before the first operation:
// every change must stay reachable through the history, and nothing but a write may change an item.
class THistoryModel {
 public:
  THistoryModel(unsigned seed, bool injectsFailures, TFigures& figures, bool lossy = false)
      : Random(seed), InjectsFailures(injectsFailures), Figures(figures) {
    Fs.AddFolder("C:\\m");
    Fs.AddFolder(Folder);
    // On a lossy volume every first time is one the volume can hold, as it would be there.
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
    ExpectOnlyWrittenItemsChanged(before, result);
    if (Lossy && !Stopped && kind != okGet) ExpectJudgedAsStored(kind, result);
    EXPECT_LE(Events, 1);
    ExpectShownAsHeld();
    ExpectEveryChangeUndoable();
  }

  // From the newest state, undoing everything gives every item its first times back, and redoing
  // everything then gives it the newest times again.
  void CheckEverythingReachable() {
    ++Figures.Checks;
    RedoAll();
    const TDisk newest = Disk();
    for (int guard = History.Count(); History.CanUndo() && guard >= 0; --guard) RunPlain(okUndo);
    EXPECT_FALSE(History.CanUndo());
    ExpectEligibleAsIn(First, "after undoing everything");
    RedoAll();
    ExpectEligibleAsIn(newest, "after redoing everything");
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

  // Only where something was made to fail may an item's history be cut short.
  bool Eligible(const std::string& item) const { return !InjectsFailures || !Tainted.count(item); }

  // Each kind of time is kept, rounded or dropped, the same way for the whole life; at least one
  // is not kept as asked. A last-access time is not dropped: FAT keeps it as a date, and a drop
  // within the same day would count as kept.
  void MakeLossy() {
    Lossy = true;
    do {
      for (TPolicy& policy : Policies) policy = TPolicy(Below(3));
    } while (Policies == std::array{poKeep, poKeep, poKeep} || Policies[2] == poDrop);
    Fs.SetVolume({"FAT", false});
    Fs.SetStoreRule([this](TTimeKind kind, uint64_t asked, uint64_t held) {
      const size_t index = size_t(kind);
      const uint64_t stored = Policies[index] == poDrop    ? held
                              : Policies[index] == poRound ? asked - asked % Grain(kind)
                                                           : asked;
      TStored& write = Writes[WritingPath];
      if (stored != asked) (Policies[index] == poDrop ? write.Dropped[index] : write.Rounded) = true;
      return stored;
    });
  }

  // Every written item with a time dropped is logged, naming exactly those times, and is not
  // counted; one with times rounded counts, and is noted; every written item stays undoable.
  void ExpectJudgedAsStored(TOperationKind kind, const TStamperResult& result) {
    int succeeded = 0, rounded = 0;
    std::set<std::string> written;
    for (const auto& [path, write] : Writes) {
      written.insert(path);
      std::vector<const char*> dropped;
      for (size_t i = 0; i < 3; ++i)
        if (write.Dropped[i]) dropped.push_back(timeNames[i]);
      const std::string line = NotKeptLine(dropped, path);
      const bool logged =
          std::find(result.ErrorLog.begin(), result.ErrorLog.end(), line) != result.ErrorLog.end();
      EXPECT_EQ(logged, !dropped.empty()) << line;
      Figures.NotKept += !dropped.empty();
      succeeded += dropped.empty();
      rounded += dropped.empty() && write.Rounded;
    }
    EXPECT_EQ(result.SucceededCount, succeeded);
    EXPECT_EQ(result.RoundedCount, rounded);
    Figures.Rounded += rounded;
    if (written.empty()) return;
    const bool toRedo = kind == okUndo;
    ASSERT_TRUE(toRedo ? History.CanRedo() : History.CanUndo());
    std::set<std::string> entry;
    for (const TStamp& stamp : (toRedo ? History.RedoUnit() : History.UndoUnit()).Stamps)
      entry.insert(stamp.Path);
    EXPECT_EQ(entry, written);
  }

  // Get data from a volume that keeps every time, which this one may have to round. Each comes
  // minutes away from every other time, so that a time this volume drops is never near the one
  // asked for, where it would pass for rounding.
  void HoldTimesFromElsewhere() {
    const uint64_t slot = t0 - uint64_t(++Elsewhere) * 600 * second;
    const auto time = [&] { return MakeFileTime(slot - uint64_t(Below(int(second)))); };
    TStamp stamp;
    stamp.CRTime = time();
    stamp.LWTime = time();
    stamp.LATime = time();
    Holder.Store(TStamps{stamp}, stamp, 0);
  }

  static std::string NotKeptLine(const std::vector<const char*>& names, const std::string& path) {
    std::string line;
    for (size_t i = 0; i < names.size(); ++i)
      line += std::string(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return line + (names.size() > 1 ? " times" : " time") + " not kept: " + path;
  }

  // A few permanent faults on random items, and read-only switched behind the program's back.
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
    for (const std::string& line : result.ErrorLog)
      for (const std::string& item : Items)
        if (Names(line, item)) Tainted.insert(item);
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

  // Nothing is lost between two steps: an item away from its first times can be undone.
  void ExpectEveryChangeUndoable() const {
    const TDisk now = Disk();
    for (const std::string& item : Items)
      if (Eligible(item) && now.at(item) != First.at(item)) {
        EXPECT_TRUE(History.CanUndo()) << item << " changed and cannot be undone";
      }
  }

  void ExpectEligibleAsIn(const TDisk& expected, const char* when) const {
    const TDisk now = Disk();
    for (const std::string& item : Items)
      if (Eligible(item)) {
        EXPECT_EQ(now.at(item), expected.at(item)) << item << " " << when;
      }
  }

  const std::string Folder = "C:\\m\\d";
  const TStringList Items = {"C:\\m\\f0", "C:\\m\\f1", "C:\\m\\f2",    "C:\\m\\f3",   "C:\\m\\f4",
                             "C:\\m\\f5", Folder,      "C:\\m\\d\\g0", "C:\\m\\d\\g1"};
  std::mt19937 Random;
  const bool InjectsFailures;
  TFigures& Figures;
  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TDisk First;
  std::set<std::string> Tainted;
  int FaultsLeft = 3;
  bool Lossy = false;
  int Elsewhere = 0;
  std::array<TPolicy, 3> Policies = {};
  std::string WritingPath;
  std::map<std::string, TStored> Writes;
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
    // Every other seed injects faults; the rest must bring back every single item.
    const bool injectsFailures = seed % 2 == 0;
    SCOPED_TRACE("seed " + std::to_string(seed) + (injectsFailures ? " (faults)" : ""));
    THistoryModel model(seed, injectsFailures, figures);
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
      "question answered OK %d, Cancel %d; %d faults injected\n",
      figures.Seeds, figures.Operations, figures.Checks, figures.Runs,
      figures.StopsHit[phExpansion], phaseNames[phExpansion], figures.StopsHit[phBackupRead],
      phaseNames[phBackupRead], figures.StopsHit[phWrite], phaseNames[phWrite],
      figures.PartialUndoRedo, figures.Answers[0], figures.Answers[1], figures.InjectedFailures);
  EXPECT_GE(figures.Operations, 10000);
  EXPECT_GT(figures.PartialUndoRedo, 100);
}

// A volume that rounds or drops times: every write is judged by what it stored, and the history
// still brings every item back, since the times it restores are ones the volume holds.
TEST(HistoryModel, ReadBackJudgesEveryWriteOnALossyVolume) {
  TFigures figures;
  for (unsigned seed = 1; seed <= lossySeeds && !testing::Test::HasFailure(); ++seed) {
    SCOPED_TRACE("lossy seed " + std::to_string(seed));
    THistoryModel model(seed, false, figures, true);
    for (int step = 0; step < stepsPerSeed && !testing::Test::HasFailure(); ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      model.Step();
    }
    model.CheckEverythingReachable();
  }
  std::printf("lossy volume model: %d operations, %d items rounded, %d items not kept\n",
              figures.Operations, figures.Rounded, figures.NotKept);
  EXPECT_GT(figures.Rounded, 100);
  EXPECT_GT(figures.NotKept, 100);
}
