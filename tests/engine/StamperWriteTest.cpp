#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/Thread.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/Stamps.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;

struct TTimes {
  uint64_t CR = 0, LA = 0, LW = 0;
  bool operator==(const TTimes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TTimes& times) {
  return out << "{CR " << times.CR << ", LA " << times.LA << ", LW " << times.LW << "}";
}

TTimes StampTimes(const TStamp& stamp) {
  return {FileTimeValue(stamp.CRTime), FileTimeValue(stamp.LATime), FileTimeValue(stamp.LWTime)};
}

// Times no two items share: n days after t0 for the creation time, and later for the others.
TTimes Distinct(int n) {
  return {t0 + uint64_t(n) * day, t0 + uint64_t(n) * day + 1000, t0 + uint64_t(n) * day + 2000};
}

const std::string noItemMessage = "Succeeded no item.\r\n\r\nUndo/Redo data is not registered.";

class StamperWriteTest : public testing::Test {
 protected:
  std::string Target(int i) const { return "C:\\t\\t" + std::to_string(i) + ".txt"; }

  // Targets t0.txt .. t<n-1>.txt with distinct times; the ones listed in missing do not exist.
  TStringList AddTargets(int n, std::vector<int> missing = {}) {
    TStringList paths;
    for (int i = 0; i < n; ++i) {
      paths.push_back(Target(i));
      if (std::find(missing.begin(), missing.end(), i) != missing.end()) continue;
      const TTimes times = Distinct(100 + i);
      Fs.AddFile(Target(i), faArchive, times.CR, times.LA, times.LW);
    }
    return paths;
  }

  TTimes TimesOf(const std::string& path) const {
    const TFileEntry entry = Fs.Entry(path);
    return {FileTimeValue(entry.CreationTime), FileTimeValue(entry.LastAccessTime),
            FileTimeValue(entry.LastWriteTime)};
  }

  std::vector<TTimes> TimesOf(const TStringList& paths) const {
    std::vector<TTimes> times;
    for (const std::string& path : paths) times.push_back(TimesOf(path));
    return times;
  }

  // Get data of one stamp whose times are those given: the average Set writes.
  void HoldAverage(TTimes times) {
    TStamp stamp;
    stamp.Path = "C:\\s\\source.txt";
    stamp.CRTime = MakeFileTime(times.CR);
    stamp.LATime = MakeFileTime(times.LA);
    stamp.LWTime = MakeFileTime(times.LW);
    Holder.Store({stamp}, stamp, 0);
  }

  TStamperResult Run(TOperationKind kind, const TStringList* paths = nullptr,
                     TStampOptions options = {}) {
    return RunStamper(kind, paths, Holder, History, options);
  }

  // Escape is pressed on the main thread while the primitive runs for the path.
  TStamperResult RunEscapingAt(TOperationKind kind, const TStringList* paths, TPrimitive primitive,
                               const std::string& path) {
    TStamperResult result = RunStamper(kind, paths, Holder, History, {}, [&](TStamper& stamper) {
      Fs.OnCall = [&stamper, primitive, path](TPrimitive called, const std::string& calledPath) {
        if (called == primitive && calledPath == path)
          MainThreadQueue().RunAndWait([&stamper] { stamper.Terminate(); });
      };
    });
    Fs.OnCall = nullptr;
    return result;
  }

  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
};

TEST_F(StamperWriteTest, SetAfterAGetOfOneFileGivesEveryTargetThatFilesTimes) {
  const TTimes source = Distinct(1);
  Fs.AddFile("C:\\s\\source.txt", faArchive, source.CR, source.LA, source.LW);
  const TStringList sourcePaths = {"C:\\s\\source.txt"};
  Run(okGet, &sourcePaths);
  const TStringList targets = AddTargets(3);
  const std::vector<TTimes> before = TimesOf(targets);

  TStamperResult result = Run(okSet, &targets);
  EXPECT_EQ(result.ItemCount, 3);
  EXPECT_EQ(result.SucceededCount, 3);
  EXPECT_FALSE(result.Canceled);
  EXPECT_TRUE(result.ErrorLog.empty());
  EXPECT_EQ(Boxes.Count(), 0u);
  EXPECT_EQ(TimesOf(targets), std::vector<TTimes>(3, source));
  ASSERT_EQ(History.Count(), 1);
  EXPECT_EQ(History.Position(), 1);
  const TStampUnit& entry = History.UndoUnit();
  ASSERT_EQ(entry.Stamps.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(entry.Stamps[i].Path, targets[i]);
    EXPECT_EQ(StampTimes(entry.Stamps[i]), before[i]);
  }
  EXPECT_EQ(entry.Options, TStampOptions());
}

TEST_F(StamperWriteTest, SyncPairsTheGetStampsWithTheSortedTargets) {
  TStringList sources;
  for (int i = 1; i <= 3; ++i) {
    sources.push_back("C:\\s\\x" + std::to_string(i) + ".txt");
    const TTimes times = Distinct(i);
    Fs.AddFile(sources.back(), faArchive, times.CR, times.LA, times.LW);
  }
  Run(okGet, &sources);
  for (const char* name : {"a", "b", "c"}) Fs.AddFile(std::string("C:\\t\\") + name);
  const TStringList targets = {"C:\\t\\c", "C:\\t\\a", "C:\\t\\b"};

  TStamperResult result = Run(okSync, &targets);
  EXPECT_EQ(result.SucceededCount, 3);
  EXPECT_EQ(TimesOf("C:\\t\\a"), Distinct(1));
  EXPECT_EQ(TimesOf("C:\\t\\b"), Distinct(2));
  EXPECT_EQ(TimesOf("C:\\t\\c"), Distinct(3));
}

TEST_F(StamperWriteTest, SyncWithUnequalCountsWritesNothing) {
  TStamp stamp;
  Holder.Store({stamp, stamp, stamp}, stamp, 0);
  const TStringList targets = AddTargets(2);
  const std::vector<TTimes> before = TimesOf(targets);

  TStamperResult result = Run(okSync, &targets);
  EXPECT_EQ(Boxes.Texts(), TStringList{"No operation.\r\n\r\nItem count of source and target "
                                       "must be same.\r\n\r\n  Source: 3 item(s)\r\n  Target: "
                                       "2 item(s)"});
  EXPECT_EQ(Boxes.Shown()[0].Flags, 48);
  EXPECT_EQ(result.ItemCount, 2);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(TimesOf(targets), before);
  EXPECT_EQ(History.Count(), 0);
}

TEST_F(StamperWriteTest, NoDataToWriteIsRefused) {
  const TStringList targets = AddTargets(2);
  const std::vector<TTimes> before = TimesOf(targets);
  for (TOperationKind kind : {okSet, okSync}) {
    TStamperResult result = Run(kind, &targets);
    EXPECT_EQ(result.ItemCount, 2);
    EXPECT_EQ(result.SucceededCount, 0);
  }
  for (TOperationKind kind : {okUndo, okRedo}) {
    TStamperResult result = Run(kind);
    EXPECT_EQ(result.ItemCount, 0);
    EXPECT_EQ(result.SucceededCount, 0);
  }
  EXPECT_EQ(Boxes.Texts(), TStringList(4, "No operation.\r\n\r\nNo data to process."));
  EXPECT_EQ(TimesOf(targets), before);
  EXPECT_EQ(History.Count(), 0);
}

TEST_F(StamperWriteTest, AnIncompleteBackupAsksFirstAndOkWritesTheReadableTargets) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(10, {3, 7});
  Boxes.Answer(idOk);

  TStamperResult result = Run(okSet, &targets);
  ASSERT_EQ(Boxes.Count(), 1u);
  EXPECT_EQ(Boxes.Shown()[0].Text,
            "Failed to backup Undo/Redo data.\r\n\r\nIf succeeded no item, Undo/Redo data is "
            "not registered.\r\n\r\n  Succeeded: 8/10 item(s)\r\n\r\nContinue?");
  EXPECT_EQ(Boxes.Shown()[0].Flags, 33);
  EXPECT_EQ(result.ItemCount, 10);
  EXPECT_EQ(result.SucceededCount, 8);
  EXPECT_FALSE(result.Canceled);
  EXPECT_EQ(result.ErrorLog,
            (TStringList{"failed to get data: " + Target(3), "failed to get data: " + Target(7)}));
  ASSERT_EQ(History.Count(), 1);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 8u);
  EXPECT_EQ(History.UndoUnit().Stamps[3].Path, Target(4));
  EXPECT_EQ(TimesOf(Target(9)), Distinct(1));
}

TEST_F(StamperWriteTest, AnIncompleteBackupAnsweredCancelWritesNothing) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(10, {3, 7});
  const std::vector<TTimes> before = TimesOf(targets);
  Boxes.Answer(idCancel);

  TStamperResult result = Run(okSet, &targets);
  EXPECT_EQ(Boxes.Count(), 1u);
  EXPECT_TRUE(result.Canceled);
  EXPECT_EQ(result.ItemCount, 10);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(result.ErrorLog.size(), 2u);
  EXPECT_EQ(TimesOf(targets), before);
  EXPECT_EQ(History.Count(), 0);
}

TEST_F(StamperWriteTest, NoReadableTargetRegistersNothing) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});

  TStamperResult result = Run(okSet, &targets);
  ASSERT_EQ(Boxes.Count(), 2u);
  EXPECT_NE(Boxes.Shown()[0].Text.find("  Succeeded: 0/10 item(s)"), std::string::npos);
  EXPECT_EQ(Boxes.Shown()[1].Text, noItemMessage);
  EXPECT_EQ(Boxes.Shown()[1].Flags, 48);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(History.Count(), 0);
}

TEST_F(StamperWriteTest, ASetOfTheLastWriteTimeAloneIsUndoneForThatTimeAlone) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(2);
  const std::vector<TTimes> before = TimesOf(targets);
  TStampOptions lastWrite;
  lastWrite.CRTime = lastWrite.LATime = false;

  Run(okSet, &targets, lastWrite);
  for (size_t i = 0; i < 2; ++i)
    EXPECT_EQ(TimesOf(targets[i]), (TTimes{before[i].CR, before[i].LA, Distinct(1).LW}));
  ASSERT_EQ(History.Count(), 1);
  EXPECT_EQ(History.UndoUnit().Options, lastWrite);
  EXPECT_EQ(StampTimes(History.UndoUnit().Stamps[0]), before[0]);

  // Times changed behind the program's back, other than the last write, stay after the Undo.
  const TTimes moved = Distinct(50);
  Fs.SetTimes(targets[0], moved.CR, moved.LA, Distinct(1).LW);
  Run(okUndo);
  EXPECT_EQ(TimesOf(targets[0]), (TTimes{moved.CR, moved.LA, before[0].LW}));
  EXPECT_EQ(TimesOf(targets[1]), before[1]);
}

TEST_F(StamperWriteTest, AnUndoWhoseEveryWriteFailsKeepsItsEntryForTheNextTry) {
  HoldAverage(Distinct(1));
  const TStringList first = {AddTargets(1)[0]};
  const TTimes before = TimesOf(first[0]);
  const TStringList second = {"C:\\t\\other.txt"};
  Fs.AddFile(second[0]);
  Run(okSet, &first);
  Run(okSet, &second);
  Run(okUndo);
  ASSERT_EQ(History.Position(), 1);
  Fs.Fail(TPrimitive::WriteTimesSet, first[0]);

  TStamperResult result = Run(okUndo);
  EXPECT_EQ(Boxes.Texts(), TStringList{noItemMessage});
  EXPECT_EQ(result.ItemCount, 1);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(result.ErrorLog, TStringList{"failed to set file times: " + first[0]});
  ASSERT_EQ(History.Position(), 1);
  EXPECT_EQ(History.Count(), 2);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 1u);
  EXPECT_EQ(StampTimes(History.UndoUnit().Stamps[0]), before);

  Fs.ClearFailures();
  Run(okUndo);
  EXPECT_EQ(TimesOf(first[0]), before);
  EXPECT_EQ(History.Position(), 0);
}

TEST_F(StamperWriteTest, AnUndoWritesBackwardAndKeepsOnlyTheItemsItWrote) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(5);
  const std::vector<TTimes> before = TimesOf(targets);
  Run(okSet, &targets);
  Fs.Fail(TPrimitive::WriteTimesOpen, targets[2]);
  TStringList order;
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::WriteTimesOpen) order.push_back(path);
  };

  TStamperResult result = Run(okUndo);
  Fs.OnCall = nullptr;
  EXPECT_EQ(order, (TStringList{targets[4], targets[3], targets[2], targets[1], targets[0]}));
  EXPECT_EQ(result.ItemCount, 5);
  EXPECT_EQ(result.SucceededCount, 4);
  EXPECT_EQ(result.ErrorLog, TStringList{"failed write access: " + targets[2]});
  EXPECT_EQ(TimesOf(targets[0]), before[0]);
  EXPECT_EQ(TimesOf(targets[2]), Distinct(1));
  // The item that failed is still to be undone; the four written are to be redone.
  ASSERT_EQ(History.Position(), 1);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 1u);
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, targets[2]);
  EXPECT_EQ(StampTimes(History.UndoUnit().Stamps[0]), before[2]);
  const TStamps& redo = History.RedoUnit().Stamps;
  ASSERT_EQ(redo.size(), 4u);
  EXPECT_EQ(redo[2].Path, targets[3]);
  EXPECT_EQ(StampTimes(redo[2]), Distinct(1));
}

// An editor's save by rename and replace leaves another file at the path: an Undo does not give it
// the times of the file that was there, and keeps the entry, should that file come back.
TEST_F(StamperWriteTest, AnUndoLeavesAnItemReplacedSinceTheWriteAlone) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(2);
  const std::vector<TTimes> before = TimesOf(targets);
  Run(okSet, &targets);
  Fs.Replace(targets[1]);

  TStamperResult result = Run(okUndo);
  EXPECT_EQ(result.ErrorLog, TStringList{"item replaced since: " + targets[1]});
  EXPECT_EQ(TimesOf(targets[0]), before[0]);
  EXPECT_EQ(TimesOf(targets[1]), Distinct(1));
  ASSERT_EQ(History.Position(), 1);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 1u);
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, targets[1]);
}

TEST_F(StamperWriteTest, EscapeDuringASetCommitsTheItemsWrittenSoFar) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(5);
  const std::vector<TTimes> before = TimesOf(targets);

  TStamperResult result = RunEscapingAt(okSet, &targets, TPrimitive::WriteTimesSet, targets[1]);
  EXPECT_TRUE(result.Canceled);
  EXPECT_EQ(result.ItemCount, 5);
  TStringList changed;
  for (size_t i = 0; i < targets.size(); ++i)
    if (TimesOf(targets[i]) != before[i]) changed.push_back(targets[i]);
  ASSERT_FALSE(changed.empty());
  ASSERT_LT(changed.size(), targets.size());
  EXPECT_EQ(result.SucceededCount, int(changed.size()));
  EXPECT_EQ(Boxes.Count(), 0u);
  ASSERT_EQ(History.Count(), 1);
  TStringList recorded;
  for (const TStamp& stamp : History.UndoUnit().Stamps) recorded.push_back(stamp.Path);
  EXPECT_EQ(recorded, changed);

  Run(okUndo);
  EXPECT_EQ(TimesOf(targets), before);
}

TEST_F(StamperWriteTest, EscapeDuringAnUndoSplitsItsEntryAndRepeatingItCompletes) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(5);
  const std::vector<TTimes> before = TimesOf(targets);
  Run(okSet, &targets);
  int events = 0;
  History.OnChange = [&](TObject*) { ++events; };

  TStamperResult result = RunEscapingAt(okUndo, nullptr, TPrimitive::WriteTimesSet, targets[3]);
  EXPECT_TRUE(result.Canceled);
  EXPECT_EQ(result.SucceededCount, 2);
  EXPECT_EQ(events, 1);
  ASSERT_EQ(History.Count(), 2);
  ASSERT_EQ(History.Position(), 1);
  const TStamps& rest = History.UndoUnit().Stamps;
  ASSERT_EQ(rest.size(), 3u);
  for (size_t i = 0; i < rest.size(); ++i) EXPECT_EQ(StampTimes(rest[i]), before[i]);
  const TStamps& written = History.RedoUnit().Stamps;
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0].Path, targets[3]);
  EXPECT_EQ(StampTimes(written[1]), Distinct(1));

  Run(okUndo);
  EXPECT_EQ(TimesOf(targets), before);
  EXPECT_EQ(History.Position(), 0);
}

// Whatever follows a stopped Undo or Redo, undoing everything brings back every item's own times
// and redoing everything the Set's.
class StamperStoppedSwapTest : public StamperWriteTest {
 protected:
  void SetOnFive() {
    HoldAverage(Distinct(1));
    Targets = AddTargets(5);
    Before = TimesOf(Targets);
    Run(okSet, &Targets);
  }
  void Stop(TOperationKind kind, int atItem) {
    const TStamperResult result =
        RunEscapingAt(kind, nullptr, TPrimitive::WriteTimesSet, Targets[size_t(atItem)]);
    EXPECT_TRUE(result.Canceled);
    EXPECT_EQ(result.SucceededCount, 2);
  }
  void ExpectEveryTimeReachable() {
    while (History.CanUndo()) Run(okUndo);
    EXPECT_EQ(TimesOf(Targets), Before);
    while (History.CanRedo()) Run(okRedo);
    EXPECT_EQ(TimesOf(Targets), std::vector<TTimes>(5, Distinct(1)));
  }

  TStringList Targets;
  std::vector<TTimes> Before;
};

TEST_F(StamperStoppedSwapTest, ARedoStoppedAfterTwoItemsThenRedoAndUndo) {
  SetOnFive();
  Run(okUndo);
  Stop(okRedo, 1);
  Run(okRedo);
  Run(okUndo);
  ExpectEveryTimeReachable();
}

TEST_F(StamperStoppedSwapTest, AnUndoStoppedAfterTheLastTwoItemsThenUndoAndRedo) {
  SetOnFive();
  Stop(okUndo, 3);
  Run(okUndo);
  Run(okRedo);
  ExpectEveryTimeReachable();
}

TEST_F(StamperWriteTest, AStopDuringTheBackupReadWritesNothing) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(5);
  const std::vector<TTimes> before = TimesOf(targets);

  TStamperResult result = RunEscapingAt(okSet, &targets, TPrimitive::FindEntry, targets[1]);
  EXPECT_EQ(Boxes.Count(), 0u);
  EXPECT_TRUE(result.Canceled);
  EXPECT_EQ(result.ItemCount, 5);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(TimesOf(targets), before);
  EXPECT_EQ(History.Count(), 0);
}

// Restoring the read-only attribute fails once the times of the item are written.
class StamperRestoreFailureTest : public StamperWriteTest {
 protected:
  TStringList ReadOnlyTargets(int n) {
    TStringList targets = AddTargets(n);
    for (const std::string& path : targets) Fs.SetAttributes(path, faArchive | faReadOnly);
    return targets;
  }

  TStamperResult SetFailingToRestore(const TStringList& targets, const TStringList& failing) {
    Fs.OnCall = [=, this](TPrimitive primitive, const std::string& path) {
      if (primitive != TPrimitive::WriteTimesSet) return;
      if (std::find(failing.begin(), failing.end(), path) != failing.end())
        Fs.Fail(TPrimitive::SetAttributes, path);
    };
    TStampOptions anyAttr;
    anyAttr.AnyAttr = true;
    TStamperResult result = Run(okSet, &targets, anyAttr);
    Fs.OnCall = nullptr;
    return result;
  }
};

TEST_F(StamperRestoreFailureTest, AnItemWrittenButNotRestoredStaysUndoable) {
  HoldAverage(Distinct(1));
  const TStringList targets = ReadOnlyTargets(3);
  const std::vector<TTimes> before = TimesOf(targets);

  TStamperResult result = SetFailingToRestore(targets, {targets[1]});
  EXPECT_EQ(result.SucceededCount, 2);
  EXPECT_EQ(result.ErrorLog,
            TStringList{"failed to restore file attributes: " + targets[1] + " (+A-D-H-N+R-S-T)"});
  ASSERT_EQ(History.Count(), 1);
  EXPECT_EQ(History.UndoUnit().Stamps.size(), 3u);

  Run(okUndo);
  EXPECT_EQ(TimesOf(targets), before);
}

TEST_F(StamperRestoreFailureTest, WhenNoItemCouldBeRestoredTheChangedItemsAreStillCommitted) {
  HoldAverage(Distinct(1));
  const TStringList targets = ReadOnlyTargets(2);

  TStamperResult result = SetFailingToRestore(targets, targets);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(Boxes.Count(), 0u);
  ASSERT_EQ(History.Count(), 1);
  EXPECT_EQ(History.UndoUnit().Stamps.size(), 2u);
}

TEST_F(StamperWriteTest, AThousandTargetsShowPlainNumbersInMessages) {
  HoldAverage(Distinct(1));
  const TStringList targets = AddTargets(1000, {500});

  TStamperResult result = Run(okSet, &targets);
  ASSERT_EQ(Boxes.Count(), 1u);
  EXPECT_NE(Boxes.Shown()[0].Text.find("  Succeeded: 999/1000 item(s)"), std::string::npos);
  EXPECT_EQ(result.ItemCount, 1000);
  EXPECT_EQ(result.SucceededCount, 999);
  EXPECT_EQ(History.UndoUnit().Stamps.size(), 999u);

  TStamp stamp;
  Holder.Store(TStamps(1000, stamp), stamp, 0);
  const TStringList fewer(targets.begin(), targets.end() - 1);
  Run(okSync, &fewer);
  EXPECT_NE(Boxes.Texts().back().find("Source: 1000 item(s)\r\n  Target: 999 item(s)"),
            std::string::npos);
}

}  // namespace

// Chosen times through Set, Undo and Redo: each write is what the choice says of each item, the
// Undo gives every item its own times back and the Redo the same results again.
TEST_F(StamperWriteTest, ChosenTimesAreSetUndoneAndRedoneExactly) {
  TTimeShifts shifts = IdentityShifts();
  shifts[0] = {TTimeSource::LastWrite, -int64_t(day)};
  shifts[1] = {TTimeSource::LastWrite, 3600 * TicksPerSecond};
  const struct {
    TTimeChoice choice;
    std::vector<int> refused;  // targets the choice cannot give times
  } cases[] = {
      {TTimeChoice::Typed(MakeFileTime(t0 + 1), MakeFileTime(t0 + 2), MakeFileTime(t0 + 3)), {}},
      {TTimeChoice::Rule(shifts), {}},
      {TTimeChoice::Rule(
           {TTimeShift{TTimeSource::Creation, -int64_t(t0 + 101 * day)}, shifts[1], shifts[2]}),
       {0, 1}},
  };
  for (const auto& c : cases) {
    const TStringList targets = AddTargets(3);
    const std::vector<TTimes> before = TimesOf(targets);
    std::vector<TTimes> expected;
    for (size_t i = 0; i < targets.size(); ++i) {
      TStamp made = MakeStamp("", before[i].CR, before[i].LW, before[i].LA);
      if (!c.choice.IsRule())
        made = MakeStamp("", t0 + 1, t0 + 2, t0 + 3);
      else if (c.choice.Apply(made, {}, made) != "")
        made = MakeStamp("", before[i].CR, before[i].LW, before[i].LA);
      expected.push_back(StampTimes(made));
    }
    Holder.Store(c.choice);
    History.Clear();

    TStamperResult set = Run(okSet, &targets);
    EXPECT_EQ(TimesOf(targets), expected);
    EXPECT_EQ(set.SucceededCount, int(3 - c.refused.size()));
    TStringList log;
    for (int i : c.refused) log.push_back("time out of range: " + Target(i));
    EXPECT_EQ(set.ErrorLog, log);
    Run(okUndo);
    EXPECT_EQ(TimesOf(targets), before);
    Run(okRedo);
    EXPECT_EQ(TimesOf(targets), expected);

    Run(okSync, &targets);
    EXPECT_EQ(TimesOf(targets), expected) << "a Sync has no items to copy from";
    EXPECT_EQ(Boxes.Texts().back(), "No operation.\r\n\r\n" + ChoiceSyncRefusal(c.choice));
  }
}
