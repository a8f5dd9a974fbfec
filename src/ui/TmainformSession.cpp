#include <chrono>

#include "platform/Thread.h"
#include "ui/Tmainform.h"

namespace {

const std::string FinishingItemReason = "Finishing the item being written, then stopping.";

}  // namespace

// At logoff or shutdown the process is ended without closing the window. A running operation is
// stopped first and its current item finished, so that no item keeps its attributes cleared; no
// question is asked, since nobody may be there to answer, and the boxes open now close. However
// long the item takes (a share that does not answer), the logoff waits, and the system is told
// why, so that the user sees it and may end the program from there.
void TMainForm::FormQueryEndSession(TObject*, bool& canEnd) {
  CancelOperation();
  if (FStamper) SetShutdownBlockReason(FinishingItemReason);
  WaitForOperationEnd();
  SetShutdownBlockReason("");
  canEnd = true;
}

// The destructor, which saves the settings otherwise, does not run when the session ends.
void TMainForm::FormEndSession(TObject*, bool ending) {
  if (ending) SaveSettings();
}

// The worker finishes through steps on this thread, so they are run here while waiting; its boxes
// are answered as declined without being shown. A step of the worker running beneath this call (a
// box of its own, open when the session began to end) holds it between items until this call has
// returned: the wait stops there, and the box, closed, stops the operation afterwards.
void TMainForm::WaitForOperationEnd() {
  while (FStamper && !MainThreadQueue().StepRunning())
    MainThreadQueue().WaitAndProcess(std::chrono::milliseconds(50));
}
