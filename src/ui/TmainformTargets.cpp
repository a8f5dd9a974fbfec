#include "toolkit/SendTo.h"
#include "toolkit/ShellItems.h"
#include "ui/CommandRequest.h"
#include "ui/Constants.h"
#include "ui/Tmainform.h"

// The ways to hand the window items without a drag: the keyboard on a focused target, Paste,
// the system's file dialog, the command line and the shell's Send To menu. Each ends in what a
// drop on the target does, so a disabled target shows the Properties of the items.

namespace {

constexpr int vkReturn = 0x0D;
constexpr int vkSpace = 0x20;
constexpr int vkInsert = 0x2D;

// A target's name is its label's caption.
std::string TargetName(const TPanel& target) {
  for (const TControl* child : target.Controls())
    if (const auto* label = dynamic_cast<const TLabel*>(child)) return label->Caption();
  return "";
}

std::vector<TSendToShortcut> SendToShortcuts() {
  return {{AppName + " Get", GetSwitch},
          {AppName + " Set", SetSwitch},
          {AppName + " Sync", SyncSwitch}};
}

}  // namespace

void TMainForm::ConnectTargets() {
  for (TPanel* panel : {&GetPanel, &SetPanel, &SyncPanel}) {
    panel->SetTabStop(true);
    panel->SetAccessibleName(TargetName(*panel) + ": drop, paste or press Enter to choose items");
    panel->OnKeyDown = [this](TObject* sender, int& key, TShiftState shift) {
      TargetKeyDown(sender, key, shift);
    };
  }
  FormPopupMenu.OnPopup = [this](TObject* sender) { FormPopupMenuPopup(sender); };
  FormPopupMenuPopup(this);
  ShowSendToState();
}

void TMainForm::TargetKeyDown(TObject* sender, int& key, TShiftState shift) {
  TPanel* target = nullptr;
  for (TPanel* panel : {&GetPanel, &SetPanel, &SyncPanel})
    if (sender == panel) target = panel;
  if (!target) return;
  const TShortCut pressed = MakeShortCut(key, shift);
  if (pressed == vkReturn || pressed == vkSpace)
    ChooseFor(*target);
  else if (pressed == (scCtrl | 'V') || pressed == (scShift | vkInsert))
    PasteTo(target);
  else
    return;
  key = 0;
}

TPanel* TMainForm::TargetAt(TPoint screenPoint) {
  for (TPanel* panel : {&GetPanel, &SetPanel, &SyncPanel}) {
    const TPoint point = panel->ScreenToClient(screenPoint);
    if (point.X >= 0 && point.X < panel->Width() && point.Y >= 0 && point.Y < panel->Height())
      return panel;
  }
  return nullptr;
}

// Paste is offered for the target under the menu, else for the focused one, and only then.
void TMainForm::FormPopupMenuPopup(TObject*) {
  PopupTarget = TargetAt(ClientToScreen(PopupPoint()));
  if (!PopupTarget) {
    for (TPanel* panel : {&GetPanel, &SetPanel, &SyncPanel})
      if (ActiveControl() == panel) PopupTarget = panel;
  }
  const int index = FormPopupMenu.Items().Count() - 1;
  PastePMenuItem->SetVisible(PopupTarget != nullptr);
  FormPopupMenu.Items().Items(index - 1).SetVisible(PopupTarget != nullptr);
  PastePMenuItem->SetEnabled(PopupTarget && ClipboardHasFiles());
}

void TMainForm::PasteTo(TPanel* target) {
  if (CheckBusy(true) || !target) return;
  const std::optional<TStringList> files = ClipboardFiles();
  if (!files) return Warn(MalformedDropText);
  if (!files->empty()) DropToPanel(*files, target->ClientToScreen({0, 0}));
}

void TMainForm::ChooseFor(TPanel& target) {
  if (CheckBusy(true)) return;
  const TStringList items = ChooseItems(*this, TargetName(target) + ": choose items");
  if (!items.empty()) DropToPanel(items, target.ClientToScreen({0, 0}));
}

bool TMainForm::RunParams(const TStringList& params, bool handedOver) {
  const TCommandRequest request = ParseCommandRequest(params);
  if (!HasWork(request)) return false;
  BringToFront();
  FRequested = {request.Preview, request.IgnoreExtensions, handedOver};
  if (!request.TimeSwitches.empty() && !HoldRequestedTimes(request)) {
    FRequested = {};
    return false;
  }
  const bool started = [&] {
    const std::pair<TPanel*, TOperationKind> targets[] = {
        {&GetPanel, okGet}, {&SetPanel, okSet}, {&SyncPanel, okSync}};
    for (const auto& [panel, kind] : targets)
      if (request.Kind == kind) return DropToPanel(request.Paths, panel->ClientToScreen({0, 0}));
    return StartOperation(okProperties, &request.Paths);
  }();
  FRequested = {};
  return started;
}

void TMainForm::ToggleSendTo() {
  if (SendToMenuItem->Checked())
    RemoveSendToShortcuts(SendToShortcuts());
  else
    AddSendToShortcuts(SendToShortcuts());
  ShowSendToState();
}

void TMainForm::ShowSendToState() {
  SendToMenuItem->SetChecked(SendToShortcutsExist(SendToShortcuts()));
}
