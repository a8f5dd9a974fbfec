#include <optional>
#include <string>
#include <utility>

#include "engine/Tstamper.h"
#include "platform/WinConst.h"

namespace {

// Keeps the stamps of the items whose times were written, in their order. Unlike
// RemoveFailedUnits it does not give up on a stop: after a stopped write the backup that is
// committed must still hold exactly the changed items.
void KeepWritten(TStamps& stamps, const TFlags& timesWritten) {
  size_t kept = 0;
  for (size_t i = 0; i < stamps.size(); ++i) {
    if (!timesWritten[i]) continue;
    if (kept != i) stamps[kept] = std::move(stamps[i]);
    ++kept;
  }
  stamps.erase(stamps.begin() + std::ptrdiff_t(kept), stamps.end());
}

}  // namespace

void TStamper::WriteOperation() {
  const bool toTargets = FKind == okSet || FKind == okSync;
  FItemCount = PathCount();
  TStampUnit unit = FetchUnit();
  if (unit.Stamps.empty()) {
    Refuse("No data to process.");
    return;
  }
  if (!CountsMatch(unit)) return;
  if (toTargets) TakePaths(unit.Stamps);
  FItemCount = int(unit.Stamps.size());

  TStampUnit backup = unit;
  TFlags flags(unit.Stamps.size(), 1);
  int ignoredFolderCount = 0;
  const int read = ReadStamps(FErrorLog, backup.Stamps, ignoredFolderCount, flags);
  if (Terminated()) return;
  if (read < FItemCount && !ConfirmIncompleteBackup(read)) {
    Terminate();
    return;
  }

  TFlags timesWritten;
  FSucceededCount =
      WriteStamps(FErrorLog, unit.Stamps, unit.Options, FKind != okUndo, flags, &timesWritten);
  const bool stopped = Terminated();
  // A stopped Undo or Redo keeps its entry as it was: repeating the command completes it.
  if (stopped && !toTargets) return;
  // Every item whose times changed stays undoable, also when its attributes could not be put back
  // or when a stop cut the write short.
  KeepWritten(backup.Stamps, timesWritten);
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

bool TStamper::ConfirmIncompleteBackup(int read) {
  const std::string question =
      "Failed to backup Undo/Redo data.\r\n\r\nIf succeeded no item, Undo/Redo data is not "
      "registered.\r\n\r\n  Succeeded: " +
      std::to_string(read) + "/" + std::to_string(FItemCount) + " item(s)\r\n\r\nContinue?";
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
