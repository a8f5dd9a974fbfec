#pragma once

#include <windows.h>

#include <string>

// Gives a child window a tooltip, or changes it; an empty text shows none. The tip shows also
// while the window is disabled, when the mouse messages go to its parent instead.
void SetToolTip(HWND window, const std::string& text);
// The window's tooltip follows its new place in its parent.
void MoveToolTip(HWND window);
// A status bar's tooltip: its whole text while the bar, drawn with its own font, cuts it.
void SetCutTextToolTip(HWND window, const std::string& text);
// The tooltip window of the window's top-level window, made on first use.
HWND ToolTipWindow(HWND window);
// The top-level window goes, and its tooltip window with it.
void DestroyToolTip(HWND window);
