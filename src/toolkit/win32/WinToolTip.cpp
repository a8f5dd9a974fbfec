#include "toolkit/win32/WinToolTip.h"

// After windows.h, whose types it builds on.
#include <commctrl.h>

#include <unordered_map>

#include "platform/win32/WideText.h"
#include "toolkit/Forms.h"

namespace {

// Two tools per window: the window itself, and its rectangle in its parent, which gets the mouse
// messages while the window is disabled.
TOOLINFOW OwnTool(HWND window) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(window);
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  return tool;
}

TOOLINFOW ParentTool(HWND window) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = GetParent(window);
  tool.uId = ~reinterpret_cast<UINT_PTR>(window);
  GetWindowRect(window, &tool.rect);
  MapWindowPoints(nullptr, tool.hwnd, reinterpret_cast<POINT*>(&tool.rect), 2);
  return tool;
}

// Asked without a text buffer, which the answer would fill.
bool HasTool(HWND tip, TOOLINFOW tool) {
  tool.lpszText = nullptr;
  return SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void SetToolText(HWND tip, TOOLINFOW tool, std::wstring& text) {
  const bool known = HasTool(tip, tool);
  tool.lpszText = text.data();
  SendMessageW(tip, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int TextWidth(HWND window, const std::wstring& text) {
  const HDC dc = GetDC(window);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

// What a status bar's text has of its width: its borders and an edge on either side.
int TextRoom(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  int borders[3] = {0, 0, 0};
  SendMessageW(window, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  return client.right - 2 * (borders[0] + borders[2] + GetSystemMetrics(SM_CXEDGE));
}

}  // namespace

namespace {

std::unordered_map<HWND, HWND>& ToolTips() {
  static std::unordered_map<HWND, HWND> tips;
  return tips;
}

HWND ExistingToolTip(HWND window) {
  const auto found = ToolTips().find(GetAncestor(window, GA_ROOT));
  return found != ToolTips().end() && IsWindow(found->second) ? found->second : nullptr;
}

}  // namespace

HWND ToolTipWindow(HWND window) {
  if (const HWND tip = ExistingToolTip(window)) return tip;
  const HWND root = GetAncestor(window, GA_ROOT);
  // Owned by nobody: Wine keeps a window that owns a popup out of the topmost band. It raises
  // itself when it shows, and goes with its window (DestroyToolTip).
  const HWND tip =
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
  // Long texts wrap at about three times the width of a target.
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, MulDiv(360, Screen().PixelsPerInch(), 96));
  ToolTips()[root] = tip;
  return tip;
}

void SetToolTip(HWND window, const std::string& text) {
  if (!window || !GetParent(window) || (text.empty() && !ExistingToolTip(window))) return;
  const HWND tip = ToolTipWindow(window);
  if (!tip) return;
  std::wstring wide = Utf8ToWide(text);
  SetToolText(tip, OwnTool(window), wide);
  SetToolText(tip, ParentTool(window), wide);
}

void MoveToolTip(HWND window) {
  const HWND tip = window && GetParent(window) ? ExistingToolTip(window) : nullptr;
  if (!tip) return;
  const TOOLINFOW tool = ParentTool(window);
  if (HasTool(tip, tool)) SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetCutTextToolTip(HWND window, const std::string& text) {
  if (!window) return;
  const std::wstring wide = Utf8ToWide(text);
  SetToolTip(window, TextWidth(window, wide) > TextRoom(window) ? text : "");
}

void DestroyToolTip(HWND window) {
  const auto found = ToolTips().find(window);
  if (found == ToolTips().end()) return;
  DestroyWindow(found->second);
  ToolTips().erase(found);
}
