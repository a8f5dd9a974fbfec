#include "platform/FileSystem.h"
#include "ui/Tmainform.h"

namespace {

const std::string HeldByAnotherWindowText =
    "The Undo/Redo history is kept by another window.\r\n\r\nThis window's history will not be "
    "kept.";
const std::string NoFolderText =
    "Failed to keep the Undo/Redo history.\r\n\r\nNo folder for it can be written.";

// At start the window has no history of its own yet. Taken later, once the window that kept it
// has closed, the kept history goes first: its undoable entries, then this window's whole history,
// as though this window's operations had followed them (the kept redoable part goes, as after any
// new operation), so that turning the option on never drops a way back another window kept.
TKeptHistory FollowedBy(TKeptHistory kept, const TStampHistory& own) {
  if (own.Units().empty()) return kept;
  kept.Units.resize(size_t(kept.Position));
  for (const TStampUnit* unit : own.Units()) kept.Units.push_back(*unit);
  kept.Position += own.Position();
  return kept;
}

}  // namespace

void TMainForm::SetKeepHistory(bool keep) {
  if (keep == FKeepHistory) return;
  FKeepHistory = keep;
  KeepHistoryChange(this);
}

// Once the journal has started, the choice takes effect on the disk at once: on, the history of
// this run so far is kept; off, nothing of it stays there.
void TMainForm::KeepHistoryChange(TObject*) {
  KeepHistoryMenuItem->SetChecked(FKeepHistory);
  if (FStateFolders.empty()) return;
  if (!FKeepHistory) {
    if (FHistoryStore) FHistoryStore->Remove();
    FHistoryStore.reset();
    return;
  }
  if (!FHistoryStore) OpenKeptHistory(true);
  SaveKeptHistory();
}

// The first window to take the files keeps the history; a window started while they are held
// keeps its own in memory only, so that two windows never write over each other's.
void TMainForm::OpenKeptHistory(bool asked) {
  auto store = std::make_unique<THistoryStore>();
  const bool opened = store->Open(FStateFolders, PlatformFileSystem().Separator());
  if (!FKeepHistory) {
    if (opened) store->Remove();
    return;
  }
  if (!opened) {
    if (asked) Warn(store->HeldElsewhere() ? HeldByAnotherWindowText : NoFolderText);
    return;
  }
  // Read either way, so that the next save goes after the newest snapshot there. Given the store
  // only afterwards, the history read is not written straight back.
  TKeptHistory kept = FollowedBy(store->Load(), *FHistory);
  FHistory->Assign(std::move(kept.Units), kept.Position);
  FHistoryStore = std::move(store);
}

void TMainForm::SaveKeptHistory() {
  if (FHistoryStore) FHistoryStore->Save(FHistory->Units(), FHistory->Position());
}
