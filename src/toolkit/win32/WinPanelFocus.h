#pragma once

#include <windows.h>

#include "toolkit/Toolkit.h"

// The keyboard side of a panel with a tab stop. Its native window is a tab stop of its own (not
// a container the dialog keys search), stays enabled while the panel is disabled so that it still
// takes the focus, takes the focus on a click, draws a focus rectangle, hands its keys to the
// panel, and tells assistive technology that it is a button with the panel's accessible name.
class TWinPanelFocus {
 public:
  TWinPanelFocus(TPanel& panel, HWND& window) : Panel(panel), Window(window) {}

  // Brings the native window up to date; true when nothing else is left to do.
  bool Mirror(TMirror what);
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DrawFocus(HDC dc, RECT area) const;

 private:
  void ApplyTabStop();

  TPanel& Panel;
  HWND& Window;
};
