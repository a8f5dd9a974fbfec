#pragma once

#include <functional>
#include <string>

// The application object: its title, its message boxes and the main-thread queue's pump.
// The toolkit (Toolkit.h) adds the run loop and the main window.
using TMessageBoxHook =
    std::function<int(const std::string& text, const std::string& caption, int flags)>;

class TApplication {
 public:
  std::string Title;

  // Shows a message box and gives the button pressed (idOk, idCancel, ...). When a hook is set,
  // the hook answers instead of the platform: that is how tests script the user's answers.
  int MsgBox(const std::string& text, const std::string& caption, int flags);
  TMessageBoxHook MessageBoxHook;

  // Runs the steps that workers have queued for the main thread (and, on Windows, the window
  // messages that are waiting).
  void ProcessMessages();

 private:
  int PlatformMsgBox(const std::string& text, const std::string& caption, int flags);
};

TApplication& Application();
