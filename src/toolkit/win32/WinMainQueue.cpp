#include "platform/Thread.h"
#include "toolkit/win32/WinWindow.h"

namespace {

constexpr UINT WakeMessage = WM_APP;

LRESULT CALLBACK QueueWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WakeMessage) return DefWindowProcA(window, message, wParam, lParam);
  // The steps catch their own exceptions; this guards the system's call all the same.
  try {
    MainThreadQueue().ProcessPending();
  } catch (...) {
    ShowCaughtException();
  }
  return 0;
}

HWND CreateQueueWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = QueueWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "BrevantorMainQueue";
  RegisterClassExA(&windowClass);
  const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, windowClass.hInstance, nullptr);
  // Every waiting step posts a wake-up, which also runs inside modal loops (message boxes, menus),
  // so a worker's steps run while the user answers a question.
  MainThreadQueue().SetWakeUp([window] { PostMessageA(window, WakeMessage, 0, 0); });
  return window;
}

}  // namespace

HWND MainQueueWindow() {
  static const HWND window = CreateQueueWindow();
  return window;
}
