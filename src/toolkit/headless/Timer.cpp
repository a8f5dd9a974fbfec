#include "toolkit/Timer.h"

#include "toolkit/Taskbar.h"

// Headless there is no clock behind a timer and no taskbar: tests tick and read them.
void TTimer::PlatformStart() {}
void TTimer::PlatformStop() {}

TTaskbarProgress::~TTaskbarProgress() = default;
void TTaskbarProgress::Mirror() {}
