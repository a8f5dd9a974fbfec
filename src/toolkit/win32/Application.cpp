#include "toolkit/Application.h"

#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include <string_view>

#include "platform/Thread.h"
#include "platform/win32/WideText.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinWindow.h"

// The shell's calls (opening the help page, starting a new window) need COM on the calling thread,
// and drag feedback needs OLE. A failure leaves the shell to manage on its own, as it then does,
// and drops to come by WM_DROPFILES alone.
void TApplication::PlatformInitialize() {
  static const HRESULT initialized =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  static const HRESULT oleInitialized = OleInitialize(nullptr);
  (void)initialized;
  (void)oleInitialized;
}

// Owned by the main window, so that the box never gets a taskbar button of its own and stays in
// front of a topmost window; without a main window, by nobody.
int TApplication::PlatformMsgBox(const std::string& text, const std::string& caption, int flags) {
  const HWND owner = FMainForm ? WindowHandle(*FMainForm) : nullptr;
  return MessageBoxW(owner, Utf8ToDisplayWide(text).c_str(), Utf8ToDisplayWide(caption).c_str(),
                     UINT(flags));
}

namespace {

// Every dialog of the main thread is one of its message boxes. Posted, the Cancel command ends the
// box once its loop runs again, beneath the handler that closes it.
BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  wchar_t className[16] = {};
  if (GetClassNameW(window, className, 16) && std::wstring_view(className) == L"#32770")
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return TRUE;
}

}  // namespace

void TApplication::PlatformCloseMessageBoxes() {
  EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

void TApplication::ProcessMessages() {
  MainQueueWindow();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(msg);
  MainThreadQueue().ProcessPending();
}

int TApplication::PlatformShellOpen(const std::string& verb, const std::string& file,
                                    const std::string& params) {
  const HWND owner = FMainForm ? WindowHandle(*FMainForm) : nullptr;
  const std::wstring wideVerb = Utf8ToWide(verb);
  const std::wstring wideParams = Utf8ToWide(params);
  const HINSTANCE result =
      ShellExecuteW(owner, verb.empty() ? nullptr : wideVerb.c_str(), Utf8ToWide(file).c_str(),
                    params.empty() ? nullptr : wideParams.c_str(), nullptr, SW_SHOWNORMAL);
  return int(reinterpret_cast<INT_PTR>(result));
}

namespace {

std::string ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return WideToUtf8(path);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

// The program file from the system, not from the command line, which the starter may have set to
// anything; the parameters from the wide command line, so that none passes through a code page.
std::vector<std::string> TApplication::PlatformArguments() const {
  std::vector<std::string> arguments{ModuleFileName()};
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(argv[i]));
  LocalFree(argv);
  return arguments;
}

void TApplication::PlatformRun() {
  MainQueueWindow();
  MSG msg;
  while (!FTerminated && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // An exception of a handler is shown and the loop goes on, as the standard display expects.
    try {
      DispatchWindowMessage(msg);
    } catch (...) {
      ShowCaughtException();
    }
  }
}

void TApplication::PlatformWake() { PostMessageW(MainQueueWindow(), WM_NULL, 0, 0); }
