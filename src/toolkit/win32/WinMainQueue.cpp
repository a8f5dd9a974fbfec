#include "platform/Thread.h"
#include "toolkit/win32/WinWindow.h"

namespace {

constexpr UINT WakeMessage = WM_APP;

LRESULT CALLBACK QueueWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WakeMessage) return DefWindowProcW(window, message, wParam, lParam);
  // The steps catch their own exceptions; this guards the system's call all the same.
  try {
    MainThreadQueue().ProcessPending();
  } catch (...) {
    ShowCaughtException();
  }
  return 0;
}

HWND CreateQueueWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = QueueWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"BrevantorMainQueue";
  RegisterClassExW(&windowClass);
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0,
                                      HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  // Every waiting step posts a wake-up, which also runs inside modal loops (message boxes, menus),
  // so a worker's steps run while the user answers a question.
  MainThreadQueue().SetWakeUp([window] { PostMessageW(window, WakeMessage, 0, 0); });
  return window;
}

}  // namespace

HWND MainQueueWindow() {
  static const HWND window = CreateQueueWindow();
  return window;
}
