#include <chrono>

#include "platform/Thread.h"
#include "ui/Tmainform.h"

// At logoff or shutdown the process is ended without closing the window. A running operation is
// stopped first and its current item finished, so that no item keeps its attributes cleared; no
// question is asked, since nobody may be there to answer.
void TMainForm::FormQueryEndSession(TObject*, bool& canEnd) {
  CancelOperation();
  WaitForOperationEnd();
  canEnd = true;
}

// The destructor, which saves the settings otherwise, does not run when the session ends.
void TMainForm::FormEndSession(TObject*, bool ending) {
  if (ending) SaveSettings();
}

// The worker finishes through steps on this thread, so they are run here while waiting. A message
// box open beneath this call holds the worker between items, waiting for its answer, and it
// cannot be answered from here: the operation then stops where it stands.
void TMainForm::WaitForOperationEnd() {
  while (FStamper && !Application().MessageBoxOpen())
    MainThreadQueue().WaitAndProcess(std::chrono::milliseconds(50));
}
