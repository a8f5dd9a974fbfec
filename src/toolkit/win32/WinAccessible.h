#pragma once

#include <windows.h>

#include <string>

// The answer to WM_GETOBJECT for the client area of a window that acts as a button: the system's
// own object for the window, announced with the role of a push button and the given name.
// Other object ids are left to the default handling (0).
LRESULT AccessibleButtonObject(HWND window, WPARAM wParam, LPARAM objectId,
                               const std::wstring& name);
