#pragma once

// Windows tests only: the real window under Wine, with its program file (and so its settings) in
// a temporary folder of the test's own.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/ProgramPlace.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempTree.h"
#include "support/Win32DropBlock.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinWindow.h"
#include "ui/Tmainform.h"

class TRealWindowTest : public testing::Test {
 protected:
  ~TRealWindowTest() override { Close(); }

  void Open() {
    Form = std::make_unique<TMainForm>();
    Form->Show();
    Window = WindowHandle(*Form);
    SetForegroundWindow(Window);
    Application().ProcessMessages();
  }
  void Close() {
    WaitIdle();
    Form.reset();
    Window = nullptr;
  }
  // Pumps the window's messages and the workers' steps for a while.
  void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      Application().ProcessMessages();
    }
  }
  // ... until the operation has ended; one that never ends stops the test program. An OLE drop
  // waiting to be delivered is delivered first.
  void WaitIdle() {
    Application().ProcessMessages();
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (Form && Form->Stamper()) {
      if (GetTickCount64() > deadline) {
        std::fprintf(stderr, "the operation did not end within a minute\n");
        std::abort();
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      Application().ProcessMessages();
    }
  }
  // Files dropped from the shell onto a target; the operation starts and runs on.
  void DropOn(const TControl& target, const std::vector<std::string>& names) {
    const TPoint point = Form->ScreenToClient(target.ClientToScreen({2, 2}));
    SendMessageW(Window, WM_DROPFILES, WPARAM(DropBlock(names, {point.X, point.Y})), 0);
  }
  // In simple mode the one text area answers as part 0.
  std::string StatusText() const {
    char text[256] = {};
    SendMessageA(WindowHandle(Form->StatusBar), SB_GETTEXTA, 0, LPARAM(text));
    return text;
  }
  HMENU Functions() const { return GetSubMenu(GetMenu(Window), 0); }
  HMENU Options() const { return GetSubMenu(Functions(), 8); }
  // Where the test program lies: screenshots for a person to look at go there.
  static std::string OutputFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe = path;
    return exe.substr(0, exe.find_last_of('\\'));
  }

  TTempTree Tree;
  TProgramPlace Place{{Tree.Path("brevantor.exe")}};
  TScriptedMessageBoxes Boxes;
  std::unique_ptr<TMainForm> Form;
  HWND Window = nullptr;
};
