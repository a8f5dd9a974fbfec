#include "ui/Tmainform.h"

void TMainForm::SetSyncByName(bool byName) {
  if (byName == FSyncByName) return;
  FSyncByName = byName;
  SyncByNameChange(this);
}

void TMainForm::SyncByNameChange(TObject*) { SyncByNameMenuItem->SetChecked(FSyncByName); }
