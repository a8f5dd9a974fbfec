#include <algorithm>
#include <memory>
#include <string>
#include <system_error>

#include "ui/CommandRequest.h"
#include "ui/Constants.h"
#include "ui/Hints.h"
#include "ui/TimesChoice.h"
#include "ui/Tmainform.h"

namespace {

// Said only when the file system rounded some times, so that every other status text stays as it
// was.
std::string RoundingNote(int rounded) {
  if (rounded <= 0) return {};
  return ", " + GroupDigits(std::to_string(rounded)) + " rounded by the file system";
}

}  // namespace

void TMainForm::SetErrorLog(const std::string& errorLog) {
  FErrorLog = errorLog;
  ErrorLogChange(this);
}

void TMainForm::SetStampOptions(const TStampOptions& options) {
  if (options == FStampOptions) return;
  FStampOptions = options;
  StampOptionsChange(this);
}

void TMainForm::SetStamper(TStamper* stamper) {
  if (stamper == FStamper) return;
  FStamper = stamper;
  ThreadChange(this);
}

void TMainForm::SetStatus(int number, const std::string& text) {
  FStatusNumber = number;
  FStatusText = text;
  StatusChange(this);
}

void TMainForm::WMDropFiles(TDropHandle& drop) {
  // The handle is released on every way out.
  struct TFinish {
    TDropHandle& Drop;
    ~TFinish() { Drop.Finish(); }
  } finish{drop};
  BringToFront();
  if (drop.Malformed()) return Warn(MalformedDropText);
  const int count = drop.Count();
  if (count <= 0) return;
  TStringList items;
  for (int index = 0; index < count; ++index) {
    // The platform gives every name whole; one it cannot give comes back empty.
    std::string name = drop.Name(index);
    if (!name.empty()) items.push_back(std::move(name));
  }
  DropToPanel(items, ClientToScreen(drop.Point()));
}

bool TMainForm::HitsPanel(const TPanel& panel, TPoint screenPoint) const {
  const TPoint point = panel.ScreenToClient(screenPoint);
  return point.X >= 0 && point.X < panel.Width() && point.Y >= 0 && point.Y < panel.Height() &&
         panel.Enabled();
}

std::pair<TPanel*, TOperationKind> TMainForm::DropTargetAt(TPoint screenPoint) {
  const std::pair<TPanel*, TOperationKind> targets[] = {
      {&GetPanel, okGet}, {&SetPanel, okSet}, {&SyncPanel, okSync}};
  for (const auto& target : targets)
    if (HitsPanel(*target.first, screenPoint)) return target;
  return {nullptr, okProperties};
}

bool TMainForm::DropToPanel(const TStringList& items, TPoint screenPoint) {
  if (CheckBusy(true)) return false;
  const auto [panel, kind] = DropTargetAt(screenPoint);
  // Marked once it runs: a drop that starts nothing leaves the window as it was.
  if (!StartOperation(kind, &items)) return false;
  if (panel) MarkPanel(panel);
  return true;
}

bool TMainForm::StartOperation(TOperationKind kind, const TStringList* items,
                               const TJournalState* stoppedRun) {
  if (CheckBusy(true)) return false;
  // From any source: a drop, a paste, the dialog or a command line.
  if (items && std::any_of(items->begin(), items->end(), NamesNothing)) {
    Warn(NamelessItemText);
    return false;
  }
  const int number = FStatusNumber;
  const std::string text = FStatusText;
  SetStatus(FStatusNumber + 1, OperationName(kind) + " - Press [Esc] to cancel");
  TStampOptions options = FStampOptions;
  options.CRTime = options.CRTime && FRequested.Times[0];
  options.LWTime = options.LWTime && FRequested.Times[1];
  options.LATime = options.LATime && FRequested.Times[2];
  auto stamper = std::make_unique<TStamper>(kind, items, FHolder.get(), FHistory.get(), options);
  stamper->SetSyncByName(FSyncByName || FRequested.IgnoreExtensions);
  stamper->SetIgnoreExtensions(FIgnoreExtensions || FRequested.IgnoreExtensions);
  if (FRequested.Preview && FRequested.HandedOver)
    stamper->SetPreview([this](TWritePreview& preview) { return ReplyWithPreview(preview); });
  else if (FPreviewWrites || FRequested.Preview)
    stamper->SetPreview([this](TWritePreview& preview) { return ShowWritePreview(preview); });
  stamper->SetJournal(FJournal.get());
  if (stoppedRun) stamper->SetStoppedRun(*stoppedRun);
  SetStamper(stamper.get());
  stamper->OnTerminate = [this](TObject* sender) { StamperTerminate(sender); };
  try {
    stamper->Start();
  } catch (const std::system_error&) {
    // No thread, so nothing ran: the window goes back to where it was.
    SetStamper(nullptr);
    SetStatus(number, text);
    return false;
  }
  // The running thread frees it.
  stamper.release();
  return true;
}

void TMainForm::StamperTerminate(TObject* sender) {
  const auto* stamper = dynamic_cast<const TStamper*>(sender);
  if (!stamper) return;
  std::string errorLog;
  for (const std::string& line : stamper->ErrorLog()) errorLog += line + "\r\n";
  SetErrorLog(errorLog);
  SetStatus(FStatusNumber, OperationName(stamper->Kind()) + " - " +
                               (stamper->Canceled() ? "Canceled " : "Done ") +
                               GroupDigits(std::to_string(stamper->SucceededCount())) + "/" +
                               GroupDigits(std::to_string(stamper->ItemCount())) + " item(s)" +
                               RoundingNote(stamper->RoundedCount()));
  if (stamper->Kind() == okRestore) EndRestore(stamper->Canceled());
  AnswerRunningRequest(*stamper, errorLog);
  SetStamper(nullptr);
}

std::string TMainForm::StatusLine() const {
  return FStatusNumber > 0 ? std::to_string(FStatusNumber) + ": " + FStatusText : FStatusText;
}

void TMainForm::StatusChange(TObject*) { StatusBar.SetSimpleText(StatusLine()); }

bool TMainForm::CheckBusy(bool warn) {
  if (!FStamper) return false;
  if (warn) Warn("Can't do it while processing.");
  return true;
}

void TMainForm::CancelOperation() {
  if (!CheckBusy(false)) return;
  SetStatus(FStatusNumber, "Canceling...");
  FStamper->Terminate();
}

void TMainForm::ThreadChange(TObject*) {
  if (!ThreadChangeSeen) {
    ThreadChangeSeen = true;
    RememberedControl = ActiveControl();
  }
  ProgressChange();
  if (FStamper) {
    RememberedControl = ActiveControl();
    Screen().SetCursor(TCursor::crHourGlass);
    ClientPanel.SetEnabled(false);
    AcceptFiles(false);
    return;
  }
  Screen().SetCursor(TCursor::crDefault);
  ClientPanel.SetEnabled(true);
  AcceptFiles(true);
  if (RememberedControl) SetActiveControl(RememberedControl);
}

void TMainForm::HolderChange(TObject*) {
  const bool hasData = FHolder->HasData();
  PropertiesMenuItem->SetEnabled(hasData);
  ClearGetDataMenuItem->SetEnabled(hasData);
  PropertiesPMenuItem->SetEnabled(hasData);
  GetPanel.SetHint(FHolder->Choice()
                       ? ChoiceSummary(*FHolder->Choice()) + ". " + GetTargetHint + " instead"
                       : GetTargetHint);
  SetControlEnabled(GetPanel, true);
  SetControlEnabled(SetPanel, hasData);
  SetControlEnabled(SyncPanel, SetPanel.Enabled());
  for (TPaintBox* box : {&GetPaintBox, &SetPaintBox, &SyncPaintBox}) box->Invalidate();
}

void TMainForm::HistoryChange(TObject*) {
  UndoMenuItem->SetEnabled(FHistory->CanUndo());
  RedoMenuItem->SetEnabled(FHistory->CanRedo());
  ClearUndoRedoDataMenuItem->SetEnabled(UndoMenuItem->Enabled() || RedoMenuItem->Enabled());
  UndoPMenuItem->SetEnabled(UndoMenuItem->Enabled());
  RedoPMenuItem->SetEnabled(RedoMenuItem->Enabled());
  SaveKeptHistory();
}

void TMainForm::ErrorLogChange(TObject*) {
  CopyErrorLogMenuItem->SetEnabled(!FErrorLog.empty());
  CopyErrorLogPMenuItem->SetEnabled(!FErrorLog.empty());
}

void TMainForm::StampOptionsChange(TObject*) {
  // Each box raises CheckBoxClick again, which finds the options equal and changes nothing.
  for (const auto& [box, field] : OptionBoxes()) box->SetChecked(FStampOptions.*field);
}

void TMainForm::CheckBoxClick(TObject* sender) {
  for (const auto& [box, field] : OptionBoxes()) {
    if (sender != box) continue;
    TStampOptions options = FStampOptions;
    options.*field = box->Checked();
    SetStampOptions(options);
  }
}

void TMainForm::MarkPanel(const TPanel* panel) {
  for (TPanel* target : {&GetPanel, &SetPanel, &SyncPanel})
    target->SetBevelOuter(target == panel ? TBevelCut::bvLowered : TBevelCut::bvRaised);
}

void TMainForm::SetControlEnabled(TControl& control, bool enabled) {
  control.SetEnabled(enabled);
  if (!control.IsContainer()) return;
  for (TControl* child : control.Controls()) SetControlEnabled(*child, enabled);
}
