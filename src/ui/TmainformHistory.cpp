#include "platform/FileSystem.h"
#include "ui/Tmainform.h"

namespace {

const std::string HeldByAnotherWindowText =
    "The Undo/Redo history is kept by another window.\r\n\r\nThis window's history will not be "
    "kept.";
const std::string NoFolderText =
    "Failed to keep the Undo/Redo history.\r\n\r\nNo folder for it can be written.";

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
  // Read either way, so that the next save goes after the newest snapshot there; taken only at
  // start, before this window has a history of its own. Given the store only afterwards, the
  // history read is not written straight back.
  TKeptHistory kept = store->Load();
  if (!asked) FHistory->Assign(std::move(kept.Units), kept.Position);
  FHistoryStore = std::move(store);
}

void TMainForm::SaveKeptHistory() {
  if (FHistoryStore) FHistoryStore->Save(FHistory->Units(), FHistory->Position());
}
