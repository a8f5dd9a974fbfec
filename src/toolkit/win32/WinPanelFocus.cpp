#include "toolkit/win32/WinPanelFocus.h"

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinAccessible.h"
#include "toolkit/win32/WinWindow.h"

bool TWinPanelFocus::Mirror(TMirror what) {
  if (!Window) return false;
  switch (what) {
    case TMirror::Look:
      ApplyTabStop();
      return false;
    case TMirror::Text:
      SetWindowTextW(Window, Utf8ToWide(Panel.AccessibleName()).c_str());
      return true;
    case TMirror::Enabled:
      if (!Panel.TabStop()) return false;
      InvalidateRect(Window, nullptr, TRUE);
      return true;
    default:
      return false;
  }
}

void TWinPanelFocus::ApplyTabStop() {
  const LONG_PTR style = GetWindowLongPtrW(Window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(Window, GWL_EXSTYLE);
  const bool tabStop = Panel.TabStop();
  SetWindowLongPtrW(Window, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~LONG_PTR(WS_TABSTOP));
  SetWindowLongPtrW(Window, GWL_EXSTYLE,
                    tabStop ? exStyle & ~LONG_PTR(WS_EX_CONTROLPARENT)
                            : exStyle | WS_EX_CONTROLPARENT);
  EnableWindow(Window, tabStop || Panel.Enabled());
}

bool TWinPanelFocus::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!Panel.TabStop()) return false;
  result = 0;
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter would otherwise be the dialog keys' default button; the target chooses with it.
      // The characters of the keys it takes stay its own too: by the time they arrive the
      // window may be busy, with the target's panel disabled, and a search for an access key
      // that starts inside a disabled panel never ends on some systems.
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
      const bool character = key && key->message == WM_CHAR;
      result = enter ? DLGC_WANTALLKEYS : character ? DLGC_WANTCHARS : 0;
      return true;
    }
    case WM_KEYDOWN:
      return Panel.KeyDown(int(wParam), ShiftStateNow());
    case WM_LBUTTONDOWN:
      if (Panel.Focusable()) SetFocus(Window);
      return true;
    case WM_SETFOCUS:
      if (TForm* form = Panel.Form()) form->NativeFocused(&Panel);
      InvalidateRect(Window, nullptr, TRUE);
      return true;
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      InvalidateRect(Window, nullptr, TRUE);
      return false;
    case WM_GETOBJECT:
      result = AccessibleButtonObject(Window, wParam, lParam, Utf8ToWide(Panel.AccessibleName()));
      return result != 0;
  }
  return false;
}

// The rectangle follows the system's keyboard cues: hidden until the keyboard is used, where the
// user chose so.
void TWinPanelFocus::DrawFocus(HDC dc, RECT area) const {
  if (!Panel.TabStop() || GetFocus() != Window) return;
  if (SendMessageW(Window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
  InflateRect(&area, -3, -3);
  DrawFocusRect(dc, &area);
}
