#include "toolkit/win32/WinProgramIcon.h"

constexpr int ProgramIconId = 1;

HICON ProgramIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ProgramIconId),
                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
