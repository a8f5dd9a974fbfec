#pragma once

#include <windows.h>

// The program file's own icon (its first icon resource, number 1) at the size in pixels, taken
// from the picture drawn nearest to it; none when the program has no icon.
HICON ProgramIcon(int size);
