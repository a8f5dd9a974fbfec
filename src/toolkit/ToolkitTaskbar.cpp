#include "toolkit/Taskbar.h"

void TTaskbarProgress::Show(TTaskbarState state, int done, int total) {
  if (state == FState && done == FDone && total == FTotal) return;
  FState = state;
  FDone = done;
  FTotal = total;
  Mirror();
}
