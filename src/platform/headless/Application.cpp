#include "platform/Application.h"

#include "platform/Thread.h"
#include "platform/WinConst.h"

// Nobody is there to answer: the default button (OK) is taken.
int TApplication::PlatformMsgBox(const std::string&, const std::string&, int) { return idOk; }

void TApplication::ProcessMessages() { MainThreadQueue().ProcessPending(); }
