#include <optional>
#include <string>
#include <utility>

#include "engine/Tstamper.h"
#include "platform/WinConst.h"

namespace {

// Keeps the stamps whose flag is set, in their order. Unlike RemoveFailedUnits it does not give up
// on a stop: after a stopped write the units that are committed must still hold exactly the
// items they describe.
void Keep(TStamps& stamps, const TFlags& keep) {
  size_t kept = 0;
  for (size_t i = 0; i < stamps.size(); ++i) {
    if (!keep[i]) continue;
    if (kept != i) stamps[kept] = std::move(stamps[i]);
    ++kept;
  }
  stamps.erase(stamps.begin() + std::ptrdiff_t(kept), stamps.end());
}

// The items a stopped write never reached: still good, and their times not written.
TFlags NotReached(const TFlags& flags, const TFlags& timesWritten) {
  TFlags notReached(flags.size());
  for (size_t i = 0; i < flags.size(); ++i) notReached[i] = flags[i] && !timesWritten[i];
  return notReached;
}

}  // namespace

void TStamper::WriteOperation() {
  const bool toTargets = FKind == okSet || FKind == okSync;
  FItemCount = PathCount();
  TStampUnit unit = FetchUnit();
  // Paired by name, the targets keep their count: those without a partner are not written.
  const bool byName = FKind == okSync && FSyncByName;
  if (byName && !unit.Stamps.empty()) PairTargetsByName(unit.Stamps);
  if (unit.Stamps.empty()) {
    Refuse("No data to process.");
    return;
  }
  if (!byName) {
    if (!CountsMatch(unit)) return;
    if (toTargets) TakePaths(unit.Stamps);
    FItemCount = int(unit.Stamps.size());
  }
  const int total = int(unit.Stamps.size());

  TStampUnit backup = unit;
  TFlags flags(unit.Stamps.size(), 1);
  int ignoredFolderCount = 0;
  TItemKinds kinds;
  const int read = ReadStamps(FErrorLog, backup.Stamps, ignoredFolderCount, flags, &kinds);
  if (Terminated()) return;
  if (read < total && !ConfirmIncompleteBackup(read, total)) {
    Terminate();
    return;
  }

  TFlags timesWritten;
  FSucceededCount = WriteStamps(FErrorLog, unit.Stamps, unit.Options, FKind != okUndo, flags,
                                &timesWritten, &kinds);
  const bool stopped = Terminated();
  // Every item whose times changed stays undoable, also when its attributes could not be put back
  // or when a stop cut the write short.
  Keep(backup.Stamps, timesWritten);
  if (stopped && !toTargets) {
    // An item that failed before the stop drops out of both sides, as after a complete run.
    Keep(unit.Stamps, NotReached(flags, timesWritten));
    CommitStopped(std::move(backup), std::move(unit));
    return;
  }
  if (backup.Stamps.empty() && !stopped)
    ShowMessageBox("Succeeded no item.\r\n\r\nUndo/Redo data is not registered.",
                   mbOk | mbIconExclamation);
  CommitHistory(std::move(backup));
}

TStampUnit TStamper::FetchUnit() {
  TStampUnit unit;
  unit.Options = FOptions;
  if (FKind == okSet) {
    // Only the average crosses to the main thread; its copies are made here. Without Get data
    // there is nothing to write: zero times must never reach the targets.
    std::optional<TStamp> average;
    Synchronize([&] {
      if (FHolder->Count() > 0) average = FHolder->Average();
    });
    if (average) unit.Stamps.assign(size_t(PathCount()), *average);
  } else if (FKind == okSync) {
    Synchronize([&] { unit.Stamps = FHolder->Stamps(); });
  } else if (FKind == okUndo) {
    Synchronize([&] {
      if (FHistory->CanUndo()) unit = FHistory->UndoUnit();
    });
  } else {
    Synchronize([&] {
      if (FHistory->CanRedo()) unit = FHistory->RedoUnit();
    });
  }
  return unit;
}

bool TStamper::CountsMatch(const TStampUnit& unit) {
  if (FKind != okSync || int(unit.Stamps.size()) == PathCount()) return true;
  Refuse("Item count of source and target must be same.\r\n\r\n  Source: " +
         std::to_string(unit.Stamps.size()) +
         " item(s)\r\n  Target: " + std::to_string(PathCount()) + " item(s)");
  return false;
}

bool TStamper::ConfirmIncompleteBackup(int read, int total) {
  const std::string question =
      "Failed to backup Undo/Redo data.\r\n\r\nIf succeeded no item, Undo/Redo data is not "
      "registered.\r\n\r\n  Succeeded: " +
      std::to_string(read) + "/" + std::to_string(total) + " item(s)\r\n\r\nContinue?";
  return ShowMessageBox(question, mbOkCancel | mbIconQuestion) == idOk;
}

void TStamper::CommitHistory(TStampUnit&& backup) {
  const bool changed = !backup.Stamps.empty();
  if (!changed && (FKind == okSet || FKind == okSync)) return;
  Synchronize([&] {
    if (FKind == okUndo)
      changed ? FHistory->CommitUndo(std::move(backup)) : FHistory->DiscardUndo();
    else if (FKind == okRedo)
      changed ? FHistory->CommitRedo(std::move(backup)) : FHistory->DiscardRedo();
    else
      FHistory->Add(std::move(backup));
  });
}

// The entry is split rather than kept or replaced: the items written have left its side, and
// their times from just before must stay reachable from the other.
void TStamper::CommitStopped(TStampUnit&& written, TStampUnit&& rest) {
  Synchronize([&] {
    if (FKind == okUndo)
      FHistory->SplitUndo(std::move(written), std::move(rest));
    else
      FHistory->SplitRedo(std::move(written), std::move(rest));
  });
}
