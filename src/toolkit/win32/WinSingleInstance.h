#pragma once

#include <windows.h>

#include <string>

// The hand-over runs through a named pipe of the window's process, not through window messages:
// the pipe tells the window which process connected, so that the sender's token can be judged
// (MayHandOver), and it carries the answer back to the waiting start.

// The pipe of the window of a process.
std::wstring HandOverPipeName(DWORD processId);
