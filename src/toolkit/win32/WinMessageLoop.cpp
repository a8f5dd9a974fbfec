#include "toolkit/win32/WinForm.h"
#include "toolkit/win32/WinWindow.h"

namespace {

bool IsKeyDown(const MSG& message) {
  return message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
}

// The form sees its keys before its controls: key preview, then the menu's shortcuts, then the
// dialog keys (Tab, access keys, Space on a check box).
bool TakenByForm(MSG& message) {
  if (!message.hwnd) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  TWinFormPeer* form = TWinFormPeer::OfWindow(root);
  if (!form) return false;
  if (IsKeyDown(message)) {
    if (form->PreviewKey(int(message.wParam))) return true;
    const HACCEL accelerators = form->Accelerators();
    if (accelerators && TranslateAcceleratorW(root, accelerators, &message)) return true;
  }
  return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace

void DispatchWindowMessage(MSG& message) {
  if (TakenByForm(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}
