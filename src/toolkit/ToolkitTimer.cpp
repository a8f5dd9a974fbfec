#include "toolkit/Timer.h"

TTimer::~TTimer() { PlatformStop(); }

void TTimer::SetInterval(int milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  if (!FEnabled) return;
  PlatformStop();
  PlatformStart();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (enabled)
    PlatformStart();
  else
    PlatformStop();
}

void TTimer::Tick() {
  if (FEnabled && OnTimer) OnTimer(this);
}
