#include "toolkit/win32/WinForm.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <iterator>

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinDropHandle.h"
#include "toolkit/win32/WinImages.h"
#include "toolkit/win32/WinProgramIcon.h"
#include "toolkit/win32/WinTokens.h"
#include "toolkit/win32/WinToolTip.h"

namespace {

// A single fixed border with a system menu and a minimise button: the window is never resized by
// the user.
constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;

// The resolution the system metrics are given in.
int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace

std::unique_ptr<TControlPeer> TForm::MakePeer() { return std::make_unique<TWinFormPeer>(*this); }

TWinFormPeer::TWinFormPeer(TForm& form) : TWinPeer(form), Form(form) {
  InitCommonControlsOnce();
  MainQueueWindow();
  const wchar_t* windowClass = RegisterClassOnce(FormClass, CS_DBLCLKS);
  RECT frame{0, 0, form.Width(), form.Height()};
  AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
  CreateWindowExW(FormExStyle, windowClass, Utf8ToWide(form.Caption()).c_str(), FormStyle,
                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
  Register();
  if (!Window) return;
  FeedPosition();
  LetDropsThrough();
  OleDrop = std::make_unique<TOleDropRegistration>(Window, form);
}

TWinFormPeer::~TWinFormPeer() {
  DetachBar();
  // The window would destroy an attached menu with itself, but the menu's peer owns it.
  if (Window) ::SetMenu(Window, nullptr);
  DestroyToolTip(Window);
  if (SmallIcon) DestroyIcon(SmallIcon);
  if (BigIcon) DestroyIcon(BigIcon);
}

TWinFormPeer* TWinFormPeer::OfWindow(HWND window) {
  wchar_t className[std::size(FormClass) + 1];
  if (!GetClassNameW(window, className, int(std::size(className)))) return nullptr;
  if (lstrcmpW(className, FormClass) != 0) return nullptr;
  return static_cast<TWinFormPeer*>(PeerOf(window));
}

void TWinFormPeer::Mirror(TMirror what) {
  if (!Window) return;
  switch (what) {
    case TMirror::Bounds:
      return MirrorBounds();
    case TMirror::Visible:
      return MirrorVisible();
    case TMirror::Enabled:
      EnableWindow(Window, Form.Enabled());
      return;
    case TMirror::Text:
      SetWindowTextW(Window, Utf8ToWide(Form.Caption()).c_str());
      return;
    case TMirror::Focus:
      return MirrorFocus();
    case TMirror::Topmost:
      SetWindowPos(Window, Form.Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
      return;
    case TMirror::AcceptFiles:
      DragAcceptFiles(Window, Form.AcceptsFiles());
      return;
    case TMirror::Menu:
      return MirrorMenu();
    case TMirror::Icon:
      return MirrorIcon();
    case TMirror::Foreground:
      SetForegroundWindow(Window);
      return;
    case TMirror::Look:
    case TMirror::Font:
    case TMirror::Hint:
    case TMirror::Order:
      return;
  }
}

void TWinFormPeer::MirrorBounds() {
  RECT frame{0, 0, Form.Width(), Form.Height()};
  AdjustWindowRectEx(&frame, FormStyle, GetMenu(Window) != nullptr, FormExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(Window, nullptr, Form.Left(), Form.Top(), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (IsIconic(Window)) return;
  // A menu bar that wraps onto a second line, or a frame at a monitor's other scaling, takes
  // other room than the frame calculation knows.
  RECT client;
  GetClientRect(Window, &client);
  if (client.right != Form.Width() || client.bottom != Form.Height())
    SetWindowPos(Window, nullptr, 0, 0, width + Form.Width() - client.right,
                 height + Form.Height() - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinFormPeer::MirrorVisible() {
  if (!Form.Visible()) {
    ShowWindow(Window, SW_HIDE);
    return;
  }
  ShowWindow(Window, SW_SHOW);
  if (Form.ActiveControl()) return MirrorFocus();
  if (const HWND first = GetNextDlgTabItem(Window, nullptr, FALSE)) SetFocus(first);
}

void TWinFormPeer::MirrorFocus() {
  TControl* control = Form.ActiveControl();
  if (!IsWindowVisible(Window) || !control || !control->Focusable()) return;
  if (const HWND window = WindowHandle(*control)) SetFocus(window);
}

void TWinFormPeer::DetachBar() {
  if (!Bar) return;
  Bar->BarChanged = nullptr;
  Bar->Gone = nullptr;
  Bar = nullptr;
}

void TWinFormPeer::MirrorMenu() {
  DetachBar();
  if (TMainMenu* menu = Form.Menu()) {
    Bar = &MenuPeer(*menu, true);
    Bar->BarChanged = [this] {
      ::SetMenu(Window, Bar->Handle());
      DrawMenuBar(Window);
      MirrorBounds();
    };
    Bar->Gone = [this] {
      ::SetMenu(Window, nullptr);
      Bar = nullptr;
    };
  }
  ::SetMenu(Window, Bar ? Bar->Handle() : nullptr);
  MirrorBounds();
}

// The program's own icon where it has one, else the form's image.
void TWinFormPeer::MirrorIcon() {
  const TImageList* images = Form.IconImages();
  const TImageList::TPixels* pixels = images ? images->Image(Form.IconIndex()) : nullptr;
  const auto iconOfSize = [pixels](int size) {
    const HICON own = ProgramIcon(size);
    return own || !pixels ? own : IconFromImage(*pixels, size);
  };
  // The system's icon sizes at the window's own resolution.
  const int pixelsPerInch = Screen().PixelsPerInch();
  const HICON small = iconOfSize(MulDiv(GetSystemMetrics(SM_CXSMICON), pixelsPerInch, SystemDpi()));
  const HICON big = iconOfSize(MulDiv(GetSystemMetrics(SM_CXICON), pixelsPerInch, SystemDpi()));
  SendMessageW(Window, WM_SETICON, ICON_SMALL, LPARAM(small));
  SendMessageW(Window, WM_SETICON, ICON_BIG, LPARAM(big));
  if (SmallIcon) DestroyIcon(SmallIcon);
  if (BigIcon) DestroyIcon(BigIcon);
  SmallIcon = small;
  BigIcon = big;
}

void TWinFormPeer::FeedPosition() {
  // A minimised window stands far off the screen; that is not a position to keep.
  if (IsIconic(Window)) return;
  RECT frame;
  GetWindowRect(Window, &frame);
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  Form.NativeMoved({frame.left, frame.top}, {origin.x, origin.y});
}

// On a monitor of other scaling the window keeps its design proportions: controls, fonts, menu
// pictures and icons are scaled, and the window takes the place the system suggests.
LRESULT TWinFormPeer::ChangeDpi(int pixelsPerInch, const RECT& suggested) {
  Form.ChangeScale(pixelsPerInch);
  if (Bar) Bar->LayoutChanged();
  if (TPopupMenu* popup = Form.PopupMenu()) MenuPeer(*popup, false).LayoutChanged();
  MirrorIcon();
  SetWindowPos(Window, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The controls moved and grew one by one; painted while in between, parts of their old faces
  // would stay.
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return 0;
}

// Run as administrator, the window sits above the shell's integrity level, and the system would
// drop the shell's drop messages silently; these two carry a drop. Nothing else gets through from
// below: not run elevated, the filter stays as the system made it.
void TWinFormPeer::LetDropsThrough() {
  constexpr UINT WmCopyGlobalData = 0x0049;
  if (!RunsElevated()) return;
  DropsLetThrough = true;
  for (UINT message : {UINT(WM_DROPFILES), WmCopyGlobalData})
    DropsLetThrough =
        ChangeWindowMessageFilterEx(Window, message, MSGFLT_ALLOW, nullptr) && DropsLetThrough;
}

void PlatformBlockShutdown(const TForm& form, const std::string& reason) {
  const HWND window = WindowHandle(form);
  if (!window) return;
  if (reason.empty())
    ShutdownBlockReasonDestroy(window);
  else
    ShutdownBlockReasonCreate(window, Utf8ToDisplayWide(reason).c_str());
}

bool TWinFormPeer::PreviewKey(int key) { return Form.PreviewKeyDown(key, ShiftStateNow()); }

LRESULT TWinFormPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleContainerMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_COMMAND:
      if (MenuCommand(wParam)) return 0;
      break;
    case WM_MOVE:
      FeedPosition();
      break;
    case WM_CLOSE:
      Form.Close();
      return 0;
    case WM_DPICHANGED:
      return ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case WM_QUERYENDSESSION:
      return Form.QueryEndSession();
    case WM_ENDSESSION:
      Form.EndSession(wParam != FALSE);
      return 0;
    case WM_DROPFILES:
      return DropFiles(reinterpret_cast<HDROP>(wParam));
    case TOleDropRegistration::DeliverMessage:
      if (OleDrop) OleDrop->DeliverWaitingDrops();
      return 0;
    case WM_CONTEXTMENU:
      if (ShowContextMenu(lParam)) return 0;
      break;
    case WM_SETCURSOR:
      if (Screen().Cursor() == TCursor::crHourGlass) {
        ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (ActivateFocus(wParam)) return 0;
      break;
  }
  return DefWindowProcW(Window, message, wParam, lParam);
}

bool TWinFormPeer::MenuCommand(WPARAM wParam) {
  // Menus send 0 in the high word, accelerators 1.
  return HIWORD(wParam) <= 1 && Bar && Bar->Command(LOWORD(wParam));
}

bool TWinFormPeer::ShowContextMenu(LPARAM screenPoint) {
  POINT screen{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  // From the keyboard (the menu key, Shift+F10) the point is -1, -1: the menu opens at the corner.
  if (screen.x == -1 && screen.y == -1) {
    screen = {0, 0};
    ClientToScreen(Window, &screen);
  }
  POINT client = screen;
  ScreenToClient(Window, &client);
  TPopupMenu* popup = Form.ContextMenuAt({client.x, client.y});
  if (!popup) return false;
  TWinMenuPeer& peer = MenuPeer(*popup, false);
  const UINT command = UINT(TrackPopupMenu(peer.Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                           screen.y, 0, Window, nullptr));
  if (command) peer.Command(command);
  return true;
}

bool TWinFormPeer::ActivateFocus(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    // The control that had the focus gets it back when the window is active again.
    if (TWinPeer* focused = PeerOf(GetFocus()); focused && focused != this)
      Form.NativeFocused(&focused->Owner());
    return false;
  }
  TControl* control = Form.ActiveControl();
  if (!control || !control->Focusable()) return false;
  const HWND window = WindowHandle(*control);
  if (!window) return false;
  SetFocus(window);
  return true;
}

LRESULT TWinFormPeer::DropFiles(HDROP drop) {
  THDropHandle handle(drop);
  Form.DropFiles(handle);
  return 0;
}
