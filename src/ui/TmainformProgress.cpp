#include <string>

#include "ui/Tmainform.h"

namespace {

// How often the running operation's progress is looked at, and after how many looks it is shown:
// a run that ends within half a second keeps its plain status text.
constexpr int ProgressInterval = 250;
constexpr int QuietTicks = 2;

std::string PhaseName(TStampPhase phase) {
  return phase == TStampPhase::Reading ? "Reading " : "Writing ";
}

}  // namespace

void TMainForm::SetupProgress() {
  ProgressTimer.SetInterval(ProgressInterval);
  ProgressTimer.OnTimer = [this](TObject* sender) { ProgressTimerTimer(sender); };
}

// The timer runs only while an operation runs; the taskbar button shows no progress when idle.
void TMainForm::ProgressChange() {
  ProgressTicks = 0;
  ProgressTimer.SetEnabled(FStamper != nullptr);
  if (!FStamper) TaskbarProgress.Clear();
}

// Counts are read, not waited for: the worker only stores them as it goes.
void TMainForm::ProgressTimerTimer(TObject*) {
  if (!FStamper || ++ProgressTicks < QuietTicks) return;
  const TProgressSnapshot progress = FStamper->Progress().Snapshot();
  const bool collecting = progress.Phase == TStampPhase::Collecting;
  if (collecting || progress.Phase == TStampPhase::None || progress.Total <= 0)
    TaskbarProgress.Show(TTaskbarState::Busy, 0, 0);
  else
    TaskbarProgress.Show(progress.Failed ? TTaskbarState::Error : TTaskbarState::Normal,
                         progress.Done, progress.Total);
  // After Escape the status line says that the run is being cancelled, until it ends.
  if (FStamper->Terminated()) return;
  const std::string done = GroupDigits(std::to_string(progress.Done));
  std::string step;
  if (collecting)
    step = "Collecting " + done + " items";
  else if (progress.Phase != TStampPhase::None && progress.Total > 0)
    step = PhaseName(progress.Phase) + done + "/" + GroupDigits(std::to_string(progress.Total));
  else
    return;
  SetStatus(FStatusNumber,
            OperationName(FStamper->Kind()) + " - " + step + " - Press [Esc] to cancel");
}
