#pragma once

#include <cstdint>

#include "platform/Object.h"

// Raises OnTimer on the main thread every Interval milliseconds while it is enabled, also while a
// message box or menu is open. Headless nothing raises it on its own: tests call Tick.
class TTimer : public TObject {
 public:
  TTimer() = default;
  ~TTimer() override;
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  int Interval() const { return FInterval; }
  void SetInterval(int milliseconds);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TNotifyEvent OnTimer;

  // The interval has passed: raises OnTimer when enabled.
  void Tick();

 private:
  void PlatformStart();
  void PlatformStop();

  int FInterval = 1000;
  bool FEnabled = false;
  uintptr_t Id = 0;
};
