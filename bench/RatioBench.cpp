// Get, Properties, Set, Undo and Redo of 100,000 files in 1,000 folders, each against bare loops
// of the platform's own calls in the same run, and a Sync by name against a Sync by position of
// the same tree, and a Sync by name ignoring extensions (from Get data whose files were converted
// to another format) against a Sync by name, as ratios, so that the machine's speed cancels out.
// The same program runs natively and, built for Windows, under Wine. Prints one line a figure:
// name, measured value, target, separated by tabs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Baselines.h"
#include "BenchTree.h"
#include "EngineRun.h"
#include "engine/SyncPairing.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Where the platform cannot set a creation time (Linux), the writes leave it out.
TStampOptions WriteOptions() {
  TStampOptions options;
#ifndef _WIN32
  options.CRTime = false;
#endif
  return options;
}

struct TFigures {
  std::vector<double> Get, Properties, Set, Undo, Redo, SyncByName, IgnoreExtensions, Journal,
      JournalWork, PairingSeconds, StemPairingSeconds, Rule, RuleSeconds;
  std::vector<int> Written;
  std::vector<double> ReadBack;
  std::vector<double> WalkSeconds, ReadSortSeconds, WriteLoopSeconds, ReadBackLoopSeconds,
      GetSeconds, SetSeconds, UndoSeconds, SyncSeconds, SyncByNameSeconds, JournaledSetSeconds,
      JournalWorkSeconds, IgnoreExtensionsSeconds;
  double JournalBytes = 0;
  double LongestStepMs = 0;
  int Items = 0;
};

// What the journal of a Set adds, alone: its start with every item's backup, a note for every item
// written, its end, on the disk with its flush policy. Two whole Sets of a loaded machine differ
// by more than that.
double JournalWork(const TStampUnit& backup, const std::string& folder, TFigures& figures) {
  TJournal journal;
  journal.Open({folder}, PlatformFileSystem().Separator());
  TJournalBegin begin;
  begin.Kind = okSet;
  begin.Options = backup.Options;
  begin.Backup = backup.Stamps;
  begin.Attributes.assign(backup.Stamps.size(), 0x20);
  begin.Target = {backup.Stamps.front()};
  const double seconds = Seconds([&] {
    journal.Begin(begin);
    for (size_t place = 0; place < backup.Stamps.size(); ++place)
      journal.Note(uint32_t(place), true, backup.Stamps[place]);
    journal.End();
  });
  const std::string bytes = JournalHeader() + EncodeBegin(begin);
  figures.JournalBytes = double(bytes.size() + backup.Stamps.size() * (4 + 1 + 24 + 17)) /
                         double(backup.Stamps.size());
  return journal.IsOpen() ? seconds : -1;
}

void Measure(TBenchTree& tree, TFigures& figures, long long stamp) {
  const TStringList dropped{tree.Root()};
  std::vector<std::string> paths;
  TEngineRun run;
  TStampHolder holder;
  TStampHistory history;
  const auto engine = [&](TOperationKind kind, const TStringList* list, TStampOptions options,
                          bool byName = false, TJournal* journal = nullptr,
                          bool ignoreExtensions = false) {
    const double seconds = Seconds([&] {
      run = RunOperation(kind, list, holder, history, options, byName, journal, ignoreExtensions);
    });
    figures.LongestStepMs = std::max(figures.LongestStepMs, run.LongestStepMs);
    return seconds;
  };

  const double walk = Seconds([&] { BareWalk(tree.Root()); });
  const double readSort = Seconds([&] { paths = BareReadAndSort(tree.Root()); });
  const double get = engine(okGet, &dropped, TStampOptions());
  figures.Items = run.SucceededCount;
  const double properties = engine(okProperties, &dropped, TStampOptions());
  const double writeLoop = Seconds([&] { BareWriteLoop(paths, stamp); });
  const double readBackLoop = Seconds([&] { BareReadBackLoop(paths); });

  const TStringList reference{tree.Reference()};
  engine(okGet, &reference, TStampOptions());
  const double set = engine(okSet, &dropped, WriteOptions());
  figures.Written.push_back(run.SucceededCount);
  const double undo = engine(okUndo, nullptr, WriteOptions());
  figures.Written.push_back(run.SucceededCount);
  const double redo = engine(okRedo, nullptr, WriteOptions());
  figures.Written.push_back(run.SucceededCount);

  // The same Set again, with and without its journal beside the tree, in the order ABBA.
  const char separator = PlatformFileSystem().Separator();
  TJournal journal;
  journal.Open({tree.Root().substr(0, tree.Root().find_last_of(separator))}, separator);
  double plain = 0, journaled = 0;
  for (const bool withJournal : {true, false, false, true}) {
    (withJournal ? journaled : plain) +=
        engine(okSet, &dropped, WriteOptions(), false, withJournal ? &journal : nullptr) / 2;
    figures.Written.push_back(run.SucceededCount);
  }
  figures.Journal.push_back(journal.IsOpen() ? (journaled - plain) / plain : -1);
  figures.JournaledSetSeconds.push_back(journaled);
  const double journalWork = JournalWork(
      history.UndoUnit(), tree.Root().substr(0, tree.Root().find_last_of(separator)), figures);
  figures.JournalWork.push_back(journalWork / plain);
  figures.JournalWorkSeconds.push_back(journalWork);

  // A Set with a rule against the Set of the average, in the order ABBA: the rule makes each
  // item's times from the backup that every Set reads anyway.
  const TStamps held = holder.Stamps();
  const TStamp heldAverage = holder.Average();
  const int heldDirs = holder.DirCount();
  TTimeShifts shifts = IdentityShifts();
  for (TTimeShift& shift : shifts) shift.Offset = TicksPerSecond;
  // Each Set moves every time, the average's as the rule's: a write of the times an item holds
  // already costs the file system less.
  double averaged = 0, ruled = 0;
  TStamp average = heldAverage;
  for (const bool rule : {true, false, false, true}) {
    if (rule) {
      holder.Store(TTimeChoice::Rule(shifts));
    } else {
      for (FILETIME* time : {&average.CRTime, &average.LWTime, &average.LATime})
        *time = MakeFileTime(FileTimeValue(*time) + TicksPerSecond);
      holder.Store(held, average, heldDirs);
    }
    (rule ? ruled : averaged) += engine(okSet, &dropped, WriteOptions()) / 2;
    figures.Written.push_back(run.SucceededCount);
  }
  figures.Rule.push_back(ruled / averaged);
  figures.RuleSeconds.push_back(ruled);

  // The tree's own times back onto it, paired both ways, twice each in the order ABBA, so that
  // neither way gains from going first or from a drift of the machine's load.
  engine(okGet, &dropped, TStampOptions());
  double sync = 0, syncByName = 0;
  for (const bool byName : {true, false, false, true}) {
    (byName ? syncByName : sync) += engine(okSync, &dropped, WriteOptions(), byName) / 2;
    figures.Written.push_back(run.SucceededCount);
  }

  // The same Sync by name from Get data held as if each file had been converted (".jpg" held as
  // ".CR2"), so that every file pairs by its stem alone, against that Sync of the tree's own data.
  const TStamps own = holder.Stamps();
  const TDroppedItems ownDropped = holder.Dropped();
  TStamps converted = own;
  for (TStamp& stamp : converted) {
    const std::string path = stamp.Path;
    if (path.ends_with(".jpg")) stamp.Path = std::string(path.substr(0, path.size() - 3)) + "CR2";
  }
  double byName = 0, ignoringExtensions = 0;
  for (const bool ignore : {true, false, false, true}) {
    holder.Store(ignore ? converted : own, holder.Average(), holder.DirCount(), ownDropped);
    (ignore ? ignoringExtensions : byName) +=
        engine(okSync, &dropped, WriteOptions(), true, nullptr, ignore) / 2;
    figures.Written.push_back(run.SucceededCount);
  }

  // The pairing alone, where the two Syncs differ, without the file system's scatter.
  TStringList targets;
  for (const TStamp& stamp : own) targets.push_back(stamp.Path);
  const auto pairing = [&](const TStamps& sources, bool ignore) {
    return Seconds([&] { PairByName(sources, ownDropped, targets, ownDropped, ignore); });
  };
  figures.PairingSeconds.push_back(pairing(own, false));
  figures.StemPairingSeconds.push_back(pairing(converted, true));

  figures.Get.push_back(get / readSort);
  figures.Properties.push_back(properties / readSort);
  figures.Set.push_back(set / (walk + writeLoop));
  figures.Undo.push_back(undo / writeLoop);
  figures.Redo.push_back(redo / writeLoop);
  figures.ReadBack.push_back(readBackLoop / writeLoop);
  figures.WalkSeconds.push_back(walk);
  figures.ReadSortSeconds.push_back(readSort);
  figures.WriteLoopSeconds.push_back(writeLoop);
  figures.ReadBackLoopSeconds.push_back(readBackLoop);
  figures.GetSeconds.push_back(get);
  figures.SetSeconds.push_back(set);
  figures.UndoSeconds.push_back(undo);
  figures.SyncByName.push_back(syncByName / sync);
  figures.SyncSeconds.push_back(sync);
  figures.SyncByNameSeconds.push_back(syncByName);
  figures.IgnoreExtensions.push_back(ignoringExtensions / byName);
  figures.IgnoreExtensionsSeconds.push_back(ignoringExtensions);
}

void Print(const char* name, double value, const char* target) {
  std::printf("%s\t%.2f\t%s\n", name, value, target);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  TBenchTree tree(1000, 100);
  TFigures figures;
  for (int round = 0; round < rounds; ++round) Measure(tree, figures, 1600000000 + round);
  Print("Get / (walk + sort)", Median(figures.Get), "<= 1.5");
  Print("Properties / (walk + sort)", Median(figures.Properties), "<= 1.5");
  Print("Set / (walk + write loop)", Median(figures.Set), "<= 1.5");
  Print("Undo / write loop", Median(figures.Undo), "<= 1.5");
  Print("Redo / write loop", Median(figures.Redo), "<= 1.5");
  Print("read-back loop / write loop", Median(figures.ReadBack), "");
  Print("Sync by Name / Sync by position", Median(figures.SyncByName), "<= 1.1");
  Print("Ignore Extensions / Sync by Name", Median(figures.IgnoreExtensions), "<= 1.1");
  Print("(journaled Set - Set) / Set", Median(figures.Journal), "<= 0.1");
  Print("journal work alone / Set", Median(figures.JournalWork), "<= 0.1");
  Print("Set with a rule / Set of the average", Median(figures.Rule), "<= 1.05");
  Print("journal bytes an item", figures.JournalBytes, "");
  Print("longest main-thread step, ms", figures.LongestStepMs, "< 50");
  Print("items read", figures.Items, "101001");
  Print("fewest items written", *std::min_element(figures.Written.begin(), figures.Written.end()),
        "101001");
  Print("bare walk, s", Median(figures.WalkSeconds), "");
  Print("bare walk + sort, s", Median(figures.ReadSortSeconds), "");
  Print("bare write loop, s", Median(figures.WriteLoopSeconds), "");
  Print("bare read-back loop, s", Median(figures.ReadBackLoopSeconds), "");
  Print("Get, s", Median(figures.GetSeconds), "");
  Print("Set, s", Median(figures.SetSeconds), "");
  Print("journaled Set, s", Median(figures.JournaledSetSeconds), "");
  Print("journal work alone, s", Median(figures.JournalWorkSeconds), "");
  Print("Set with a rule, s", Median(figures.RuleSeconds), "");
  Print("Undo, s", Median(figures.UndoSeconds), "");
  Print("Sync, s", Median(figures.SyncSeconds), "");
  Print("Sync by Name, s", Median(figures.SyncByNameSeconds), "");
  Print("Sync by Name ignoring extensions, s", Median(figures.IgnoreExtensionsSeconds), "");
  Print("pairing by name, s", Median(figures.PairingSeconds), "");
  Print("pairing by name ignoring extensions, s", Median(figures.StemPairingSeconds), "");
  const bool whole = figures.Items == tree.ItemCount() &&
                     std::all_of(figures.Written.begin(), figures.Written.end(),
                                 [&](int written) { return written == tree.ItemCount(); });
  return whole ? 0 : 1;
}
