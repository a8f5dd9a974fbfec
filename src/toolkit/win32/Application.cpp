#include "toolkit/Application.h"

#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <shellapi.h>

#include <cstdlib>

#include "platform/Thread.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinWindow.h"

int TApplication::PlatformMsgBox(const std::string& text, const std::string& caption, int flags) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), UINT(flags));
}

void TApplication::ProcessMessages() {
  MainQueueWindow();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(msg);
  MainThreadQueue().ProcessPending();
}

int TApplication::PlatformShellOpen(const std::string& verb, const std::string& file,
                                    const std::string& params) {
  const HWND owner = FMainForm ? WindowHandle(*FMainForm) : nullptr;
  const HINSTANCE result =
      ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                    params.empty() ? nullptr : params.c_str(), nullptr, SW_SHOWNORMAL);
  return int(reinterpret_cast<INT_PTR>(result));
}

std::vector<std::string> TApplication::PlatformArguments() const {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::vector<std::string> arguments{path};
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return arguments;
}

void TApplication::PlatformRun() {
  MainQueueWindow();
  MSG msg;
  while (!FTerminated && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // An exception of a handler is shown and the loop goes on, as the standard display expects.
    try {
      DispatchWindowMessage(msg);
    } catch (...) {
      ShowCaughtException();
    }
  }
}

void TApplication::PlatformWake() { PostMessageA(MainQueueWindow(), WM_NULL, 0, 0); }
