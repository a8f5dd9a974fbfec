#include <unordered_map>

#include "toolkit/Timer.h"
#include "toolkit/win32/WinWindow.h"

namespace {

std::unordered_map<UINT_PTR, TTimer*>& Timers() {
  static std::unordered_map<UINT_PTR, TTimer*> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  const auto found = Timers().find(id);
  if (found == Timers().end()) return;
  try {
    found->second->Tick();
  } catch (...) {
    ShowCaughtException();
  }
}

}  // namespace

// A thread timer: the main thread's message loops, the modal ones too, run it.
void TTimer::PlatformStart() {
  Id = SetTimer(nullptr, 0, UINT(Interval()), TimerProc);
  if (Id) Timers()[Id] = this;
}

void TTimer::PlatformStop() {
  if (!Id) return;
  KillTimer(nullptr, Id);
  Timers().erase(Id);
  Id = 0;
}
