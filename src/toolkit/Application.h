#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TForm;

// The application object: its title, its message boxes, the main-thread queue's pump, the run loop
// of the main form, the command line and the shell.
using TMessageBoxHook =
    std::function<int(const std::string& text, const std::string& caption, int flags)>;
using TShellOpenHook =
    std::function<int(const std::string& verb, const std::string& file, const std::string& params)>;

class TApplication {
 public:
  std::string Title;

  // Readies the main thread for the system's shell (COM, single-threaded) for the program's life.
  // Called once by the entry routine before the first window.
  void Initialize();

  // Shows a message box and gives the button pressed (idOk, idCancel, ...). When a hook is set,
  // the hook answers instead of the platform: that is how tests script the user's answers.
  int MsgBox(const std::string& text, const std::string& caption, int flags);
  TMessageBoxHook MessageBoxHook;

  // While the user's session ends (logoff, shutdown), nobody is there to answer: MsgBox shows
  // nothing and answers as if the box were declined, Cancel where it has one, else OK. The boxes
  // open when the session starts ending close and answer the same way.
  bool SessionEnding() const { return FSessionEnding; }
  // How many message boxes are open now, one inside another's loop counted too.
  int MessageBoxesOpen() const { return FMessageBoxesOpen; }
  void SetSessionEnding(bool ending);

  // Runs the steps that workers have queued for the main thread (and, on Windows, the window
  // messages that are waiting).
  void ProcessMessages();

  // The main form: Run shows it and runs the message loop until Terminate is called during the
  // run; closing the main form calls it.
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* form) { FMainForm = form; }
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }

  // The standard display of an exception that reached the program's entry: a message box with
  // the text, the title as caption and the error icon.
  void ShowException(const std::string& message);

  // Opens a file or starts a program through the shell (an empty verb is the file's default
  // action, an empty file name a failure) and gives the shell's result: above 32 is success.
  // When a hook is set, the hook answers instead, as with message boxes.
  int ShellOpen(const std::string& verb, const std::string& file, const std::string& params);
  TShellOpenHook ShellOpenHook;

  // The program file's full path.
  std::string ExeName() const { return Arguments().front(); }
  // The command-line parameters after the program's own path; ParamStr(0) is the program file,
  // an index out of range gives an empty text.
  int ParamCount() const { return int(Arguments().size()) - 1; }
  std::string ParamStr(int index) const;
  // Replaces the program path and parameters that the platform reports (args[0] is the program
  // file): how tests place the program in a folder of their own.
  void SetCommandLine(std::vector<std::string> args);

 private:
  const std::vector<std::string>& Arguments() const;
  int PlatformMsgBox(const std::string& text, const std::string& caption, int flags);
  // Closes every message box open now; each gives its answer once its own loop runs again.
  void PlatformCloseMessageBoxes();
  int PlatformShellOpen(const std::string& verb, const std::string& file,
                        const std::string& params);
  std::vector<std::string> PlatformArguments() const;
  void PlatformInitialize();
  void PlatformRun();
  void PlatformWake();

  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FSessionEnding = false;
  // Counts the session ends begun, so that a box tells whether one began while it was open.
  int FSessionEnds = 0;
  int FMessageBoxesOpen = 0;
  mutable std::optional<std::vector<std::string>> FArguments;
};

TApplication& Application();
