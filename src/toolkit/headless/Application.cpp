#include "toolkit/Application.h"

#include <unistd.h>

#include <chrono>

#include "platform/Thread.h"
#include "platform/WinConst.h"

void TApplication::PlatformInitialize() {}

// Nobody is there to answer: the default button (OK) is taken.
int TApplication::PlatformMsgBox(const std::string&, const std::string&, int) { return idOk; }

// No box stays open here: each is answered at once.
void TApplication::PlatformCloseMessageBoxes() {}

void TApplication::ProcessMessages() { MainThreadQueue().ProcessPending(); }

// There is no shell to open anything with: the shell's "file not found".
int TApplication::PlatformShellOpen(const std::string&, const std::string&, const std::string&) {
  return 2;
}

std::vector<std::string> TApplication::PlatformArguments() const {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return {length > 0 ? std::string(path, size_t(length)) : std::string()};
}

// Without windows, the only things that arrive are the workers' steps; Terminate is called on the
// main thread, so from one of them, and the loop sees it as soon as that step has run.
void TApplication::PlatformRun() {
  while (!FTerminated) MainThreadQueue().WaitAndProcess(std::chrono::milliseconds(100));
}

void TApplication::PlatformWake() {}
