#include "ui/Tmainform.h"

void TMainForm::SetSyncByName(bool byName) {
  if (byName == FSyncByName) return;
  FSyncByName = byName;
  SyncByNameChange(this);
}

// Ignore Extensions steers only a pairing by name, so it is offered only while that is on.
void TMainForm::SyncByNameChange(TObject*) {
  SyncByNameMenuItem->SetChecked(FSyncByName);
  IgnoreExtensionsMenuItem->SetEnabled(FSyncByName);
}

void TMainForm::SetIgnoreExtensions(bool ignore) {
  if (ignore == FIgnoreExtensions) return;
  FIgnoreExtensions = ignore;
  IgnoreExtensionsChange(this);
}

void TMainForm::IgnoreExtensionsChange(TObject*) {
  IgnoreExtensionsMenuItem->SetChecked(FIgnoreExtensions);
}
