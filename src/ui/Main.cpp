#include <exception>

#include "toolkit/Toolkit.h"
#include "ui/Tmainform.h"

namespace {

int RunProgram() {
  try {
    Application().Initialize();
    TMainForm form;
    Application().SetMainForm(&form);
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
