#include <utility>

#include "toolkit/Forms.h"
#include "toolkit/Reachable.h"
#include "toolkit/win32/WinWindow.h"

namespace {

TRect RectOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The title bar as the system draws it; where it cannot tell, the frame above the client area.
TRect TitleBar(HWND window, const RECT& frame) {
  TITLEBARINFO info{};
  info.cbSize = sizeof info;
  if (GetTitleBarInfo(window, &info) && !IsRectEmpty(&info.rcTitleBar))
    return RectOf(info.rcTitleBar);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  return {frame.left, frame.top, frame.right, client.y};
}

BOOL CALLBACK FindMeetingWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& [titleBar, met] = *reinterpret_cast<std::pair<TRect, bool>*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info) && Meets(titleBar, RectOf(info.rcWork))) met = true;
  return !met;
}

}  // namespace

void KeepOnScreen(TForm& form) {
  const HWND window = WindowHandle(form);
  if (!window) return;
  RECT frame;
  GetWindowRect(window, &frame);
  std::pair<TRect, bool> search{TitleBar(window, frame), false};
  EnumDisplayMonitors(nullptr, nullptr, FindMeetingWorkArea, reinterpret_cast<LPARAM>(&search));
  if (search.second) return;
  MONITORINFO nearest{};
  nearest.cbSize = sizeof nearest;
  if (!GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &nearest)) return;
  const TPoint place = MovedInside(RectOf(frame), RectOf(nearest.rcWork));
  form.SetBounds(place.X, place.Y, form.Width(), form.Height());
}
