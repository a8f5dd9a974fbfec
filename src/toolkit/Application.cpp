#include "toolkit/Application.h"

#include "platform/WinConst.h"
#include "toolkit/Forms.h"

namespace {
// The error icon of a message box.
constexpr int IconErrorStyle = 0x10;
// The bits of a message box's style that choose its buttons.
constexpr int mbButtonsMask = 0x0F;

int DeclinedAnswer(int flags) { return (flags & mbButtonsMask) == mbOk ? idOk : idCancel; }
}  // namespace

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::Initialize() { PlatformInitialize(); }

int TApplication::MsgBox(const std::string& text, const std::string& caption, int flags) {
  if (FSessionEnding) return DeclinedAnswer(flags);
  const int sessionEnds = FSessionEnds;
  ++FMessageBoxesOpen;
  struct TClosed {
    int& Open;
    ~TClosed() { --Open; }
  } closed{FMessageBoxesOpen};
  const int answer =
      MessageBoxHook ? MessageBoxHook(text, caption, flags) : PlatformMsgBox(text, caption, flags);
  // A box the session's end closed was not answered by the user.
  return FSessionEnds == sessionEnds ? answer : DeclinedAnswer(flags);
}

void TApplication::SetSessionEnding(bool ending) {
  if (ending && !FSessionEnding) {
    ++FSessionEnds;
    if (FMessageBoxesOpen > 0) PlatformCloseMessageBoxes();
  }
  FSessionEnding = ending;
}

void TApplication::Run() {
  FTerminated = false;
  if (FMainForm) FMainForm->Show();
  PlatformRun();
}

void TApplication::Terminate() {
  FTerminated = true;
  PlatformWake();
}

void TApplication::ShowException(const std::string& message) {
  MsgBox(message, Title, mbOk | IconErrorStyle);
}

int TApplication::ShellOpen(const std::string& verb, const std::string& file,
                            const std::string& params) {
  if (ShellOpenHook) return ShellOpenHook(verb, file, params);
  return PlatformShellOpen(verb, file, params);
}

const std::vector<std::string>& TApplication::Arguments() const {
  if (!FArguments) FArguments = PlatformArguments();
  if (FArguments->empty()) FArguments->push_back("");
  return *FArguments;
}

std::string TApplication::ParamStr(int index) const {
  const std::vector<std::string>& arguments = Arguments();
  if (index < 0 || index >= int(arguments.size())) return "";
  return arguments[index];
}

void TApplication::SetCommandLine(std::vector<std::string> args) { FArguments = std::move(args); }
