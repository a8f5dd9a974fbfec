#include "ui/Hints.h"
#include "ui/Tmainform.h"

void TMainForm::SetupHints() {
  const std::pair<TControl*, const std::string*> hints[] = {
      {&GetPanel, &GetTargetHint},      {&SetPanel, &SetTargetHint},
      {&SyncPanel, &SyncTargetHint},    {&CRTimeCheckBox, &CRTimeHint},
      {&LWTimeCheckBox, &LWTimeHint},   {&LATimeCheckBox, &LATimeHint},
      {&SubdirsCheckBox, &SubdirsHint}, {&DirectoriesCheckBox, &DirectoriesHint},
      {&AnyAttrCheckBox, &AnyAttrHint}};
  for (const auto& [control, hint] : hints) control->SetHint(*hint);
  OnDragOver = [this](TObject* sender, std::optional<TPoint> clientPoint) {
    FormDragOver(sender, clientPoint);
  };
}

// While items are dragged over the window, the target that would take them is highlighted and the
// status line says what a drop there starts; both go when the drag leaves or drops.
void TMainForm::FormDragOver(TObject*, std::optional<TPoint> clientPoint) {
  TPanel* target = nullptr;
  if (clientPoint) {
    const auto [panel, kind] = DropTargetAt(ClientToScreen(*clientPoint));
    target = panel;
    StatusBar.SetSimpleText(DropHint(kind));
  } else {
    StatusChange(this);
  }
  for (TPanel* panel : {&GetPanel, &SetPanel, &SyncPanel}) panel->SetHighlighted(panel == target);
}
