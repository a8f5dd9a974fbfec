#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "data/PackedStamps.h"
#include "engine/Tstamper.h"
#include "engine/WritePreview.h"
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

// The stamps of the items whose times were not written, whether they failed, were left out or
// were not reached.
TStamps NotWritten(const TStamps& stamps, const TFlags& timesWritten) {
  TStamps notWritten;
  for (size_t i = 0; i < stamps.size(); ++i)
    if (!timesWritten[i]) notWritten.push_back(stamps[i]);
  return notWritten;
}

}  // namespace

void TStamper::WriteOperation() {
  const bool toTargets = FKind == okSet || FKind == okSync;
  FItemCount = PathCount();
  // A Set, Sync or Restore makes its own unit and changes it on the way; an Undo or Redo writes
  // its history entry where the history holds it.
  TStampUnit own = FetchUnit();
  const TSharedUnit entry = FetchEntry();
  const TStampUnit& unit = entry ? *entry : std::as_const(own);
  // Paired by name, the targets keep their count: those without a partner are not written.
  const bool byName = FKind == okSync && FSyncByName;
  if (byName && !own.Stamps.empty()) PairTargetsByName(own.Stamps);
  if (!FSyncRefusal.empty()) {
    Refuse(FSyncRefusal);
    return;
  }
  if (unit.Stamps.empty()) {
    Refuse("No data to process.");
    return;
  }
  if (!byName) {
    if (!CountsMatch(unit)) return;
    if (FKind == okSync) KeepSources(own.Stamps);
    if (toTargets) TakePaths(own.Stamps);
    FItemCount = int(unit.Stamps.size());
  }
  const int total = int(unit.Stamps.size());

  TStampUnit backup = unit;
  TFlags flags(unit.Stamps.size(), 1);
  int ignoredFolderCount = 0;
  std::vector<uint32_t> attributes;
  const int read = ReadStamps(FErrorLog, backup.Stamps, ignoredFolderCount, flags, &attributes);
  if (Terminated()) return;
  if ((read < total && !ConfirmIncompleteBackup(read, total)) || !ApplyRule(own, backup, flags) ||
      !ConfirmPreview(unit, backup, flags) || !JournalBegin(unit, backup, flags, attributes)) {
    Terminate();
    return;
  }

  TFlags timesWritten;
  FSucceededCount = WriteStamps(FErrorLog, unit.Stamps, unit.Options, FKind != okUndo, flags,
                                &timesWritten, &attributes, &backup.Stamps);
  const bool stopped = Terminated();
  if (FKind == okRestore) PutBackAttributes(unit.Stamps, timesWritten);
  Commit(std::move(backup), unit, timesWritten, stopped);
  if (FJournal) FJournal->End();
}

void TStamper::Commit(TStampUnit&& backup, const TStampUnit& unit, const TFlags& timesWritten,
                      bool stopped) {
  // Every item whose times changed stays undoable, also when its attributes could not be put back
  // or when a stop cut the write short.
  Keep(backup.Stamps, timesWritten);
  if (backup.Stamps.empty() && !stopped)
    ShowMessageBox("Succeeded no item.\r\n\r\nUndo/Redo data is not registered.",
                   mbOk | mbIconExclamation);
  if (FKind != okUndo && FKind != okRedo) {
    CommitHistory(std::move(backup));
    return;
  }
  // An item not written keeps its way back in the entry it came from, so that the next Undo or
  // Redo tries it again; only the items written move to the other side.
  TStampUnit rest;
  rest.Options = unit.Options;
  rest.Stamps = NotWritten(unit.Stamps, timesWritten);
  CommitSplit(std::move(backup), std::move(rest));
}

TStampUnit TStamper::FetchUnit() {
  TStampUnit unit;
  unit.Options = FOptions;
  if (FKind == okSet) {
    // Only the average crosses to the main thread; its copies are made here. Without Get data
    // there is nothing to write: zero times must never reach the targets. A rule's times are
    // made per item once its own times are read.
    std::optional<TStamp> average;
    Synchronize([&] {
      if (FHolder->HasData()) average = FHolder->Average();
      if (FHolder->Choice() && FHolder->Choice()->IsRule()) FRule = FHolder->Choice();
    });
    if (average) unit.Stamps.assign(size_t(PathCount()), *average);
  } else if (FKind == okSync) {
    std::shared_ptr<const TPackedStamps> sources;
    Synchronize([&] {
      sources = FHolder->Packed();
      FSyncRefusal = FHolder->Choice() ? ChoiceSyncRefusal(*FHolder->Choice()) : "";
    });
    if (sources) unit.Stamps = sources->Unpacked();
  } else if (FKind == okRestore) {
    FRestore = RestoreWork(FStoppedRun);
    unit = FRestore.Unit;
  }
  return unit;
}

// Shared, not copied: a copy would be some fifty bytes an item. The history's later changes give
// it new entries and leave this one as it is.
TSharedUnit TStamper::FetchEntry() {
  TSharedUnit entry;
  if (FKind == okUndo)
    Synchronize([&] {
      if (FHistory->CanUndo()) entry = FHistory->SharedUndoUnit();
    });
  else if (FKind == okRedo)
    Synchronize([&] {
      if (FHistory->CanRedo()) entry = FHistory->SharedRedoUnit();
    });
  return entry;
}

std::string ChoiceSyncRefusal(const TTimeChoice& choice) {
  return std::string("Sync needs items whose times it copies.\r\n\r\nThe Get data holds ") +
         (choice.IsRule() ? "a rule" : "typed times") + ", not items: use Set, or Get items.";
}

// Each item's times from its own, as read for the backup; an item whose times the rule cannot
// make is one line in the log and is not written. False only for a stop.
bool TStamper::ApplyRule(TStampUnit& unit, const TStampUnit& backup, TFlags& flags) {
  if (!FRule) return true;
  for (size_t i = 0; i < unit.Stamps.size(); ++i) {
    if (Terminated()) return false;
    if (!flags[i]) continue;
    const std::string failure = FRule->Apply(backup.Stamps[i], unit.Options, unit.Stamps[i]);
    if (failure.empty()) continue;
    FErrorLog.push_back(failure + unit.Stamps[i].Path);
    flags[i] = 0;
  }
  return true;
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

// The run waits for the answer, the one question it asks the main thread before writing.
bool TStamper::ConfirmPreview(const TStampUnit& unit, const TStampUnit& backup,
                              const TFlags& flags) {
  if (!FPreview || FKind == okRestore) return true;
  TWritePreview preview(unit, backup, flags, FKind == okSync ? &FSources : nullptr);
  bool write = false;
  Synchronize([&] { write = FPreview(preview); });
  return write;
}

void TStamper::KeepSources(const TStamps& sources) {
  if (!FPreview) return;
  FSources.clear();
  FSources.reserve(sources.size());
  for (const TStamp& source : sources) FSources.push_back(source.Path);
}

bool TStamper::JournalBegin(const TStampUnit& unit, const TStampUnit& backup, const TFlags& flags,
                            std::vector<uint32_t> attributes) {
  if (!FJournal) return true;
  TJournalBegin begin;
  begin.Kind = FKind;
  begin.Options = unit.Options;
  begin.Started = FileTimeValue(NowFileTime());
  begin.Forward = FKind != okUndo;
  // An item that is not to be written is marked so: a restore never touches it.
  for (size_t i = 0; i < flags.size(); ++i)
    if (!flags[i]) attributes[i] = faInvalid;
  begin.Attributes = std::move(attributes);
  // The lists are written where they are held, not copied into the record: for a million items
  // a copy would be some fifty megabytes each.
  const bool oneTarget = FKind == okSet && !FRule;
  const TStamps first = oneTarget ? TStamps{unit.Stamps.front()} : TStamps();
  const bool begun = FJournal->Begin(begin, backup.Stamps, oneTarget ? first : unit.Stamps);
  if (begun || FJournal->GoesOnWithout()) return true;
  const std::string question =
      "Failed to write the journal.\r\n\r\nIf the program ends before the operation does, the "
      "items written cannot be put back.\r\n\r\nContinue?";
  if (ShowMessageBox(question, mbOkCancel | mbIconQuestion) != idOk) return false;
  FJournal->SetGoesOnWithout();
  return true;
}

// A run cut short while it had an item's attributes taken away leaves them so; the restore gives
// each item written the attributes the journal holds.
void TStamper::PutBackAttributes(const TStamps& stamps, const TFlags& timesWritten) {
  if (!FRestore.Unit.Options.AnyAttr) return;
  TFileSystem& fs = FileSystem();
  for (size_t i = 0; i < stamps.size() && i < FRestore.Attributes.size(); ++i) {
    const uint32_t wanted = FRestore.Attributes[i];
    if (!timesWritten[i] || wanted == faInvalid || fs.GetAttributes(stamps[i].Path) == wanted)
      continue;
    if (!fs.SetAttributes(stamps[i].Path, wanted))
      FErrorLog.push_back("failed to restore file attributes: " + stamps[i].Path + " (" +
                          AttributeText(wanted) + ")");
  }
}

void TStamper::CommitHistory(TStampUnit&& backup) {
  if (backup.Stamps.empty()) return;
  Synchronize([&] { FHistory->Add(std::move(backup)); });
}

// The entry is split rather than kept or replaced: the items written have left its side, and
// their times from just before must stay reachable from the other.
void TStamper::CommitSplit(TStampUnit&& written, TStampUnit&& rest) {
  Synchronize([&] {
    if (FKind == okUndo)
      FHistory->SplitUndo(std::move(written), std::move(rest));
    else
      FHistory->SplitRedo(std::move(written), std::move(rest));
  });
}
