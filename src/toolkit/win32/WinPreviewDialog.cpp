// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "toolkit/Application.h"
#include "toolkit/PreviewDialog.h"
#include "toolkit/win32/WinWindow.h"

namespace {

constexpr int ListId = 100;
const wchar_t* const ClassName = L"BrevantorPreview";
// Sizes at 96 dots per inch; the window draws them at its own.
constexpr int Margin = 11, ButtonWidth = 75, ButtonHeight = 23, Gap = 7;
constexpr int ColumnWidths[] = {380, 330, 330, 330, 380};

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The window's own DPI where the system tells one per window (Windows 10 and later), else the
// system's.
int DpiOf(HWND window) {
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpi ? getDpi(window) : 0;
  return dpi ? int(dpi) : SystemDpi();
}

// The modal window of one ShowModal: it lives on the stack, and its window procedure reaches it
// through the window's user data, bound at WM_NCCREATE.
class TPreviewWindow {
 public:
  explicit TPreviewWindow(TPreviewDialog& dialog) : Dialog(dialog) {}
  ~TPreviewWindow() {
    if (Font) DeleteObject(Font);
  }
  TPreviewWindow(const TPreviewWindow&) = delete;
  TPreviewWindow& operator=(const TPreviewWindow&) = delete;

  bool Run();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void ApplyDpi(int dpi);
  void Layout();
  int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
  LRESULT Notify(const NMHDR& header);
  void CellText(NMLVDISPINFOW& info) const;
  bool ListKey(WORD key);
  void SortBy(size_t column);
  void Copy();
  void End(bool write);

  TPreviewDialog& Dialog;
  HWND Window = nullptr, Summary = nullptr, List = nullptr, WriteButton = nullptr,
       CancelButton = nullptr;
  HFONT Font = nullptr;
  int Dpi = 96;
  bool Ended = false;
  bool Write = false;
};

void RegisterOnce() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TPreviewWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

LRESULT CALLBACK TPreviewWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TPreviewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->Window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TPreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    ShowCaughtException();
    return 0;
  }
}

// A modal loop of its own: the owner is disabled meanwhile, and the dialog keys (Tab, Enter, Esc)
// work as in any dialog box. A quit message ends it as Cancel and is passed on.
bool TPreviewWindow::Run() {
  RegisterOnce();
  const HWND owner = WindowHandle(Dialog.Owner());
  CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, ClassName,
                  Utf8ToDisplayWide(Dialog.Caption()).c_str(),
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                  CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner, nullptr, GetModuleHandleW(nullptr),
                  this);
  if (!Window) return false;
  CreateControls();
  ApplyDpi(DpiOf(Window));
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = Scaled(1000), height = Scaled(560);
  SetWindowPos(Window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(Window, SW_SHOW);
  SetFocus(List);
  MSG message;
  while (!Ended) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(int(message.wParam));
      break;
    }
    if (Application().SessionEnding()) break;
    if (IsDialogMessageW(Window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner is enabled first, so that it is the window activated when this one goes.
  if (owner) EnableWindow(owner, TRUE);
  DestroyWindow(Window);
  return Write && Ended;
}

void TPreviewWindow::CreateControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  // The line of counts comes just before the list, so that a screen reader names the list by it.
  Summary = CreateWindowExW(0, L"STATIC", Utf8ToDisplayWide(Dialog.Summary()).c_str(),
                            WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, Window,
                            nullptr, instance, nullptr);
  List = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0, 0,
      0, Window, reinterpret_cast<HMENU>(INT_PTR(ListId)), instance, nullptr);
  ListView_SetExtendedListViewStyle(List, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  WriteButton = CreateWindowExW(0, L"BUTTON", L"&Write",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                                Window, reinterpret_cast<HMENU>(INT_PTR(IDOK)), instance, nullptr);
  CancelButton = CreateWindowExW(
      0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
      Window, reinterpret_cast<HMENU>(INT_PTR(IDCANCEL)), instance, nullptr);
  const TTableRows& rows = Dialog.Rows();
  for (size_t column = 0; column < rows.ColumnCount(); ++column) {
    std::wstring name = Utf8ToDisplayWide(rows.ColumnName(column));
    LVCOLUMNW heading{};
    heading.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    heading.pszText = name.data();
    heading.iSubItem = int(column);
    SendMessageW(List, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&heading));
  }
  ListView_SetItemCountEx(List, int(rows.RowCount()), LVSICF_NOINVALIDATEALL);
  // Nothing is selected, so Ctrl+C copies every row; the focus marks where the reading starts.
  ListView_SetItemState(List, 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

// The font and every size in the window's DPI: at the start, and again when it moves onto a screen
// of another.
void TPreviewWindow::ApplyDpi(int dpi) {
  Dpi = dpi;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  const HFONT old = Font;
  Font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (const HWND control : {Summary, List, WriteButton, CancelButton})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
  if (old) DeleteObject(old);
  for (size_t column = 0; column < Dialog.Rows().ColumnCount(); ++column)
    ListView_SetColumnWidth(List, int(column), Scaled(ColumnWidths[column]));
  Layout();
}

void TPreviewWindow::Layout() {
  RECT client{};
  GetClientRect(Window, &client);
  const int margin = Scaled(Margin), gap = Scaled(Gap);
  const int buttonWidth = Scaled(ButtonWidth), buttonHeight = Scaled(ButtonHeight);
  const int lineHeight = Scaled(16);
  const int buttonsTop = client.bottom - margin - buttonHeight;
  MoveWindow(Summary, margin, margin, client.right - 2 * margin, lineHeight, TRUE);
  const int listTop = margin + lineHeight + gap;
  MoveWindow(List, margin, listTop, client.right - 2 * margin, buttonsTop - gap - listTop, TRUE);
  MoveWindow(CancelButton, client.right - margin - buttonWidth, buttonsTop, buttonWidth,
             buttonHeight, TRUE);
  MoveWindow(WriteButton, client.right - margin - 2 * buttonWidth - gap, buttonsTop, buttonWidth,
             buttonHeight, TRUE);
}

LRESULT TPreviewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) End(LOWORD(wParam) == IDOK);
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CLOSE:
      End(false);
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(LOWORD(wParam));
      return 0;
    }
    case WM_NOTIFY:
      return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    default:
      return DefWindowProcW(Window, message, wParam, lParam);
  }
}

LRESULT TPreviewWindow::Notify(const NMHDR& header) {
  if (header.hwndFrom != List) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      CellText(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return 0;
    case LVN_COLUMNCLICK:
      SortBy(size_t(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem));
      return 0;
    case LVN_KEYDOWN:
      return ListKey(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    default:
      return 0;
  }
}

// Only the rows in view are asked for, so a list of any length opens at once.
void TPreviewWindow::CellText(NMLVDISPINFOW& info) const {
  if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
  const std::wstring text =
      Utf8ToDisplayWide(Dialog.Rows().Cell(size_t(info.item.iItem), size_t(info.item.iSubItem)));
  lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

// Ctrl+1, Ctrl+2, ... sort by the first, second, ... column, as a click on its heading does;
// Ctrl+C copies; Ctrl+A selects every row.
bool TPreviewWindow::ListKey(WORD key) {
  if (!(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  if (key >= '1' && key < '1' + Dialog.Rows().ColumnCount()) {
    SortBy(size_t(key - '1'));
  } else if (key == 'C') {
    Copy();
  } else if (key == 'A') {
    ListView_SetItemState(List, -1, LVIS_SELECTED, LVIS_SELECTED);
  } else {
    return false;
  }
  return true;
}

void TPreviewWindow::SortBy(size_t column) {
  Dialog.SortBy(column);
  ListView_SetItemState(List, -1, 0, LVIS_SELECTED);
  const HWND headings = ListView_GetHeader(List);
  for (size_t at = 0; at < Dialog.Rows().ColumnCount(); ++at) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(headings, HDM_GETITEMW, at, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (at == column) item.fmt |= Dialog.SortAscending() ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(headings, HDM_SETITEMW, at, reinterpret_cast<LPARAM>(&item));
  }
  InvalidateRect(List, nullptr, FALSE);
}

void TPreviewWindow::Copy() {
  std::vector<size_t> selected;
  for (int row = ListView_GetNextItem(List, -1, LVNI_SELECTED); row != -1;
       row = ListView_GetNextItem(List, row, LVNI_SELECTED))
    selected.push_back(size_t(row));
  Dialog.SetSelection(std::move(selected));
  Dialog.Copy();
}

void TPreviewWindow::End(bool write) {
  Write = write;
  Ended = true;
}

}  // namespace

bool TPreviewDialog::PlatformShowModal() {
  if (Application().SessionEnding()) return false;
  TPreviewWindow window(*this);
  return window.Run();
}
