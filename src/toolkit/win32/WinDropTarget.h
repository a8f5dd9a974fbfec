#pragma once

#include <windows.h>
// After windows.h, whose types it builds on.
#include <ole2.h>

#include <deque>
#include <memory>

#include "toolkit/Forms.h"

// The form's window as an OLE drop target, for as long as this object lives: the form learns
// where dragged files are (TForm::DragOver) and gets the drop as it gets WM_DROPFILES, with the
// same names and point. Where OLE is refused, the window keeps WM_DROPFILES alone: without OLE on
// the thread, and when run above the shell's integrity level (as administrator), since the shell
// cannot reach an OLE target there but can still send WM_DROPFILES, which the form lets through.
// A drop is delivered after OLE's Drop has returned, so that the dragging program (the shell)
// waits only for the names to be read, never for what the drop starts or a box it shows.
class TOleDropRegistration {
 public:
  // Posted to the window once a drop waits to be delivered.
  static constexpr UINT DeliverMessage = WM_APP + 2;

  TOleDropRegistration(HWND window, TForm& form);
  ~TOleDropRegistration();
  TOleDropRegistration(const TOleDropRegistration&) = delete;
  TOleDropRegistration& operator=(const TOleDropRegistration&) = delete;

  bool Registered() const { return Target != nullptr; }
  // Hands the waiting drops to the form, in the order they came.
  void DeliverWaitingDrops();

 private:
  HWND Window;
  TForm& Form;
  IDropTarget* Target = nullptr;
  std::deque<std::unique_ptr<TNamesDropHandle>> Waiting;
};
