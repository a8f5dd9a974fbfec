#include "toolkit/win32/WinWindow.h"

#include <exception>
#include <map>
#include <unordered_map>

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinToolTip.h"

namespace {

std::unordered_map<HWND, TWinPeer*>& Peers() {
  static std::unordered_map<HWND, TWinPeer*> peers;
  return peers;
}

}  // namespace

TWinPeer* PeerOf(HWND window) {
  const auto found = Peers().find(window);
  return found == Peers().end() ? nullptr : found->second;
}

HWND WindowHandle(const TControl& control) {
  const auto* peer = dynamic_cast<const TWinPeer*>(control.Peer());
  return peer ? peer->Handle() : nullptr;
}

TWinPeer::~TWinPeer() {
  if (!Window) return;
  // Messages of the window's last moments go to the default handling, not to a peer half gone.
  Peers().erase(Window);
  SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
  DestroyWindow(Window);
}

void TWinPeer::Register() {
  if (Window) Peers()[Window] = this;
}

LRESULT CALLBACK TWinPeer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<TWinPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    peer->Window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  }
  auto* peer = reinterpret_cast<TWinPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!peer) return DefWindowProcW(window, message, wParam, lParam);
  // Nothing may escape into the system's call: a failed handler is shown, and the message then
  // gets the default handling.
  try {
    return peer->HandleMessage(message, wParam, lParam);
  } catch (...) {
    ShowCaughtException();
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

void ShowCaughtException() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      Application().ShowException(error.what());
    } catch (...) {
      Application().ShowException("");
    }
  } catch (...) {
  }
}

LRESULT TWinPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(Window, message, wParam, lParam);
}

LRESULT TWinPeer::Notified(UINT, WPARAM, LPARAM) { return 0; }

const wchar_t* TWinPeer::RegisterClassOnce(const wchar_t* className, UINT classStyle) {
  static std::map<std::wstring, ATOM> registered;
  if (registered.count(className)) return className;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  registered[className] = RegisterClassExW(&windowClass);
  return className;
}

void TWinPeer::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle,
                           const std::string& text) {
  const HWND parent = Control.Parent() ? WindowHandle(*Control.Parent()) : nullptr;
  if (!parent) return;
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (Control.Visible()) style |= WS_VISIBLE;
  if (!Control.Enabled()) style |= WS_DISABLED;
  const HWND window = CreateWindowExW(
      exStyle, className, Utf8ToWide(text).c_str(), style, Control.Left(), Control.Top(),
      Control.Width(), Control.Height(), parent, nullptr, GetModuleHandleW(nullptr), this);
  Window = window;
  if (!window) return;
  Register();
  // Creation order is the tab order: each new window goes below its elder siblings.
  SetWindowPos(Window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(Window, WM_SETFONT, WPARAM(FontHandle(Control.Font())), FALSE);
  if (!Control.Hint().empty()) SetToolTip(Window, Control.Hint());
}

void TWinPeer::Mirror(TMirror what) {
  if (!Window) return;
  switch (what) {
    case TMirror::Bounds:
      MoveWindow(Window, Control.Left(), Control.Top(), Control.Width(), Control.Height(), TRUE);
      MoveToolTip(Window);
      break;
    case TMirror::Hint:
      SetToolTip(Window, Control.Hint());
      break;
    case TMirror::Visible:
      ShowWindow(Window, Control.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case TMirror::Enabled:
      EnableWindow(Window, Control.Enabled());
      InvalidateRect(Window, nullptr, TRUE);
      break;
    case TMirror::Font:
      SendMessageW(Window, WM_SETFONT, WPARAM(FontHandle(Control.Font())), TRUE);
      break;
    case TMirror::Order:
      MirrorOrder();
      break;
    default:
      InvalidateRect(Window, nullptr, TRUE);
      break;
  }
}

// The first child is the top of its siblings' order, which is the order Tab goes through them.
void TWinPeer::MirrorOrder() {
  HWND after = HWND_TOP;
  for (const TControl* sibling : Control.Parent()->Controls()) {
    if (sibling == &Control) break;
    if (const HWND window = WindowHandle(*sibling)) after = window;
  }
  SetWindowPos(Window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TWinPeer::HandleContainerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(lParam))) {
        result = child->Notified(message, wParam, lParam);
        return true;
      }
      return false;
    case WM_NOTIFY:
      if (TWinPeer* child = PeerOf(reinterpret_cast<NMHDR*>(lParam)->hwndFrom)) {
        result = child->Notified(message, wParam, lParam);
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    default:
      return false;
  }
}

void TWinPeer::PaintParentBackground(HDC dc) const {
  const HWND parent = GetParent(Window);
  POINT origin{0, 0};
  MapWindowPoints(Window, parent, &origin, 1);
  POINT previous;
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
  SendMessageW(parent, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

HFONT FontHandle(const TFont& font) {
  static std::map<std::pair<std::string, int>, HFONT> fonts;
  HFONT& handle = fonts[{font.Name, font.Height}];
  if (!handle) {
    LOGFONTW description{};
    description.lfHeight = font.Height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(description.lfFaceName, Utf8ToWide(font.Name).c_str(), LF_FACESIZE);
    handle = CreateFontIndirectW(&description);
  }
  return handle;
}

TShiftState ShiftStateNow() {
  struct TKeyFlag {
    int Key;
    TShiftState Flag;
  };
  static constexpr TKeyFlag flags[] = {{VK_SHIFT, ssShift},   {VK_CONTROL, ssCtrl},
                                       {VK_MENU, ssAlt},      {VK_LBUTTON, ssLeft},
                                       {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle}};
  TShiftState shift = 0;
  for (const TKeyFlag& flag : flags)
    if (GetKeyState(flag.Key) < 0) shift |= flag.Flag;
  return shift;
}

LRESULT TWinSurfacePeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Window, &paint);
      PaintOn(dc);
      EndPaint(Window, &paint);
      return 0;
    }
  }
  return TWinPeer::HandleMessage(message, wParam, lParam);
}
