#include "platform/WinConst.h"
#include "ui/Constants.h"
#include "ui/Tmainform.h"

void TMainForm::MenuItemClick(TObject* sender) {
  if (CheckBusy(true)) return;
  const auto command = Commands.find(sender);
  if (command != Commands.end() && command->second) command->second();
}

void TMainForm::FormCloseQuery(TObject*, bool& canClose) {
  if (CheckBusy(true)) {
    canClose = false;
    return;
  }
  const bool hasData = FHolder->HasData() || FHistory->CanUndo() || FHistory->CanRedo();
  canClose = !hasData || Confirm("Quits the application.\r\n\r\nSure?");
  // Whatever began while the question was open keeps the window open too.
  if (canClose && CheckBusy(true)) canClose = false;
}

void TMainForm::FormKeyDown(TObject*, int& key, TShiftState shift) {
  if (key == vkEscape && shift == 0 && CheckBusy(false)) CancelOperation();
}

void TMainForm::StatusBarDblClick(TObject*) {
  if (PropertiesMenuItem->Enabled()) PropertiesMenuItem->Click();
}

bool TMainForm::Confirm(const std::string& question) {
  return Application().MsgBox(question, Application().Title,
                              mbOkCancel | mbIconQuestion | mbDefButton1) == idOk;
}

void TMainForm::Warn(const std::string& message) {
  FLastWarning = message;
  Application().MsgBox(message, Application().Title, mbOk | mbIconExclamation);
}

// The new window reads the settings this one has now, and stays where the system puts it.
void TMainForm::NewWindow() {
  SaveSettings();
  Application().ShellOpen("open", Application().ExeName(), DefaultPosSwitch);
}

void TMainForm::CopyErrorLog() {
  if (FErrorLog.empty())
    Warn("No operation.\r\n\r\nNo error log.");
  else
    Clipboard().SetText(FErrorLog);
}

void TMainForm::ClearUndoRedoData() {
  if (Confirm("Clears Undo/Redo data.\r\n\r\nSure?")) FHistory->Clear();
}

void TMainForm::ClearGetData() {
  if (!Confirm("Clears Get data.\r\n\r\nSure?")) return;
  FHolder->Clear();
  MarkPanel(nullptr);
}

void TMainForm::Default() {
  if (Confirm("Applys default settings.\r\n\r\nGet and Undo/Redo data will not be cleared."
              "\r\n\r\nSure?"))
    ApplyDefaults();
}

void TMainForm::OpenHelp() {
  if (!Confirm("Opens a help file in HTML format.\r\n\r\nSure?")) return;
  const std::string path = HelpPath();
  if (Application().ShellOpen("", path, "") <= 32) Warn("Failed to open the file: " + path);
}
