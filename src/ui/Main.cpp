#include <exception>
#include <optional>

#include "toolkit/Instances.h"
#include "toolkit/Toolkit.h"
#include "ui/CommandRequest.h"
#include "ui/Constants.h"
#include "ui/Tmainform.h"

namespace {

// Parameters that later starts hand over go to the window for as long as it exists.
class TForwardedToForm {
 public:
  explicit TForwardedToForm(TMainForm& form) {
    SetForwardedParamsHandler([&form](const TStringList& params, THandOverReply reply) {
      form.QueueRequest(params, std::move(reply));
    });
  }
  ~TForwardedToForm() { SetForwardedParamsHandler(nullptr); }
};

TStringList CommandLineParams() {
  TStringList params;
  for (int index = 1; index <= Application().ParamCount(); ++index)
    params.push_back(Application().ParamStr(index));
  return WithFullPaths(params);
}

int RunProgram() {
  try {
    Application().Initialize();
    const TStringList params = CommandLineParams();
    // Work for a window already running from this program file goes there; this start waits for
    // its answer and ends with its status.
    if (HasWork(ParseCommandRequest(params))) {
      if (const std::optional<THandOverAnswer> answer = ForwardToRunningInstance(params)) {
        TellCaller(answer->Text.ends_with('\n') ? answer->Text : answer->Text + "\r\n");
        return answer->Status;
      }
    }
    TMainForm form;
    Application().SetMainForm(&form);
    const TForwardedToForm forwarded(form);
    form.Show();
    form.StartJournal(JournalFolders());
    form.RunParams(params);
    Application().Run();
  } catch (const std::exception& error) {
    Application().ShowException(error.what());
  } catch (...) {
    Application().ShowException("");
  }
  return 0;
}

}  // namespace

// The Windows entry point, declared without the Windows headers, which stay in the platform layer.
extern "C" int __stdcall WinMain(void*, void*, char*, int) { return RunProgram(); }
