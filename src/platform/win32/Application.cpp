#include "platform/Application.h"

#include <windows.h>

#include "platform/Thread.h"

int TApplication::PlatformMsgBox(const std::string& text, const std::string& caption, int flags) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), UINT(flags));
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  MainThreadQueue().ProcessPending();
}
