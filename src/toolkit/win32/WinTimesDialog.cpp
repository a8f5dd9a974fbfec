// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/win32/SystemTime.h"
#include "platform/win32/WideText.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/TimesDialog.h"
#include "toolkit/win32/WinWindow.h"

namespace {

constexpr int TheseTimesId = 101, OwnTimesId = 102, NowId = 103;
const wchar_t* const ClassName = L"BrevantorTimes";
const wchar_t* const PickerFormat = L"yyyy'-'MM'-'dd HH':'mm':'ss";
// Sizes at 96 dots per inch; the window draws them at its own.
constexpr int Margin = 11, Gap = 7, Indent = 18, RowHeight = 23, RowSpace = 6, ButtonWidth = 75,
              DropHeight = 120, CheckWidth = 24, FieldPadding = 40, NoteSpace = 14;

// Each row is one time: 0 creation, 1 last write, 2 last access. The two modes' rows take
// different mnemonics, so that every label is reached by its own key.
constexpr std::array<const wchar_t*, 3> TimeLabels{L"&Creation:", L"Last &write:",
                                                   L"Last &access:"};
constexpr std::array<const wchar_t*, 3> ShiftLabels{L"C&reation:", L"Last wr&ite:",
                                                    L"Last acce&ss:"};
constexpr std::array<const wchar_t*, 3> SourceNames{L"Creation time", L"Last write time",
                                                    L"Last access time"};
const wchar_t* const OffsetLabel = L"offset";
const wchar_t* const Note = L"Offset: +1h, -1d2h30m or -1.02:30:00";

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::wstring WindowText(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

// The modal window of one ShowModal: it lives on the stack, and its window procedure reaches it
// through the window's user data, bound at WM_NCCREATE.
class TTimesWindow {
 public:
  explicit TTimesWindow(TTimesDialog& dialog) : Dialog(dialog), Original(dialog.Values()) {}
  ~TTimesWindow() {
    if (Font) DeleteObject(Font);
  }
  TTimesWindow(const TTimesWindow&) = delete;
  TTimesWindow& operator=(const TTimesWindow&) = delete;

  bool Run();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, int id = 0,
             DWORD exStyle = 0);
  HWND Label(const wchar_t* text, DWORD style = 0) { return Child(L"STATIC", text, style); }
  void CreateControls();
  void ShowValues();
  void ShowTimes();
  void ReadValues();
  void ChooseMode(bool ownTimes);
  void ApplyDpi(int dpi);
  // Where the next row goes while the window is laid out, and how wide it has grown.
  struct TFlow {
    int Top = 0;
    int Right = 0;
    void Grow(int right) { Right = std::max(Right, right); }
  };
  struct TColumns {
    int Margin = 0, Gap = 0, Line = 0, Row = 0, Pitch = 0, Labels = 0, Controls = 0;
  };
  TColumns Measure() const;
  void PlaceLabel(HWND label, int left, int top, const TColumns& columns) const;
  void PlaceChoice(HWND choice, const TColumns& columns, TFlow& flow) const;
  void PlaceTimeRows(const TColumns& columns, TFlow& flow) const;
  void PlaceShiftRows(const TColumns& columns, TFlow& flow) const;
  SIZE Layout();
  void FitClient(SIZE client);
  void PlaceOverOwner(HWND owner);
  int Scaled(int pixels) const { return MulDiv(pixels, Dpi, 96); }
  int TextWidth(const wchar_t* text, UINT format = 0) const;
  int LineHeight() const;
  void Command(WORD id, WORD code);
  void MoveFocus(WPARAM which, bool toWindow);
  void TryAccept();
  void End(bool accepted);

  TTimesDialog& Dialog;
  const TTimesValues Original;
  HWND Window = nullptr, TheseTimes = nullptr, OwnTimes = nullptr, NowButton = nullptr,
       NoteLabel = nullptr, ZoneLabel = nullptr, OkButton = nullptr, CancelButton = nullptr;
  std::array<HWND, 3> TimeLabel{}, Picker{}, ShiftLabel{}, Source{}, OffsetLabels{}, Offset{};
  std::vector<HWND> Controls;
  HWND Focused = nullptr;
  HFONT Font = nullptr;
  int Dpi = 96;
  bool Ended = false;
  bool Accepted = false;
};

void RegisterOnce() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TTimesWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

LRESULT CALLBACK TTimesWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TTimesWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->Window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TTimesWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    ShowCaughtException();
    return 0;
  }
}

// A modal loop of its own: the owner is disabled meanwhile, and the dialog keys (Tab, Enter, Esc,
// the mnemonics) work as in any dialog box. A quit message ends it as Cancel and is passed on.
bool TTimesWindow::Run() {
  RegisterOnce();
  const HWND owner = WindowHandle(Dialog.Owner());
  CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, ClassName, L"Times",
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT,
                  CW_USEDEFAULT, 0, 0, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (!Window) return false;
  CreateControls();
  ShowValues();
  // The owner's resolution: the dialog opens over it, on its monitor.
  ApplyDpi(Screen().PixelsPerInch());
  PlaceOverOwner(owner);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(Window, SW_SHOW);
  Focused = Dialog.Values().OwnTimes ? OwnTimes : TheseTimes;
  SetFocus(Focused);
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
  if (!(Accepted && Ended)) Dialog.Values() = Original;
  return Accepted && Ended;
}

HWND TTimesWindow::Child(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                         DWORD exStyle) {
  const HWND control =
      CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Window,
                      reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  Controls.push_back(control);
  return control;
}

// Made in the order of Tab, top to bottom, and each label just before its control, so that a
// screen reader names the control by it. Each choice starts a group of its own, with its rows.
void TTimesWindow::CreateControls() {
  TheseTimes =
      Child(L"BUTTON", L"&These times", BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, TheseTimesId);
  for (size_t row = 0; row < 3; ++row) {
    TimeLabel[row] = Label(TimeLabels[row]);
    Picker[row] = Child(DATETIMEPICK_CLASSW, L"", WS_TABSTOP);
    SendMessageW(Picker[row], DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(PickerFormat));
  }
  NowButton = Child(L"BUTTON", L"&Now", BS_PUSHBUTTON | WS_TABSTOP, NowId);
  OwnTimes = Child(L"BUTTON", L"&Each item's own times, changed",
                   BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, OwnTimesId);
  for (size_t row = 0; row < 3; ++row) {
    ShiftLabel[row] = Label(ShiftLabels[row]);
    Source[row] = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
    for (const wchar_t* name : SourceNames)
      SendMessageW(Source[row], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    OffsetLabels[row] = Label(OffsetLabel);
    Offset[row] = Child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, 0, WS_EX_CLIENTEDGE);
  }
  NoteLabel = Label(Note, SS_NOPREFIX | WS_GROUP);
  const std::wstring zone = L"Times are local: " + Utf8ToDisplayWide(Dialog.ZoneName());
  ZoneLabel = Label(zone.c_str(), SS_NOPREFIX);
  OkButton = Child(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK);
  CancelButton = Child(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
}

void TTimesWindow::ShowValues() {
  const TTimesValues& values = Dialog.Values();
  ShowTimes();
  for (size_t row = 0; row < 3; ++row) {
    SendMessageW(Source[row], CB_SETCURSEL, WPARAM(std::clamp(values.Sources[row], 0, 2)), 0);
    SetWindowTextW(Offset[row], Utf8ToDisplayWide(values.Shifts[row]).c_str());
  }
  ChooseMode(values.OwnTimes);
}

// A time outside the picker's calendar leaves the picker at its own start, today.
void TTimesWindow::ShowTimes() {
  for (size_t row = 0; row < 3; ++row) {
    SYSTEMTIME shown = SystemTimeOf(Dialog.Values().Times[row]);
    SendMessageW(Picker[row], DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
  }
}

void TTimesWindow::ReadValues() {
  TTimesValues& values = Dialog.Values();
  values.OwnTimes = SendMessageW(OwnTimes, BM_GETCHECK, 0, 0) == BST_CHECKED;
  for (size_t row = 0; row < 3; ++row) {
    SYSTEMTIME shown{};
    if (SendMessageW(Picker[row], DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) ==
        GDT_VALID)
      values.Times[row] = LocalTimeOf(shown);
    values.Sources[row] = int(SendMessageW(Source[row], CB_GETCURSEL, 0, 0));
    values.Shifts[row] = WideToUtf8(WindowText(Offset[row]));
  }
}

// The rows of the choice not taken are greyed and out of the Tab order.
void TTimesWindow::ChooseMode(bool ownTimes) {
  SendMessageW(TheseTimes, BM_SETCHECK, ownTimes ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageW(OwnTimes, BM_SETCHECK, ownTimes ? BST_CHECKED : BST_UNCHECKED, 0);
  EnableWindow(NowButton, !ownTimes);
  for (size_t row = 0; row < 3; ++row) {
    for (const HWND control : {TimeLabel[row], Picker[row]}) EnableWindow(control, !ownTimes);
    for (const HWND control : {ShiftLabel[row], Source[row], OffsetLabels[row], Offset[row]})
      EnableWindow(control, ownTimes);
  }
  EnableWindow(NoteLabel, ownTimes);
}

// The font and every size in the window's DPI: at the start, and again when it moves onto a screen
// of another.
void TTimesWindow::ApplyDpi(int dpi) {
  Dpi = dpi;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  const HFONT old = Font;
  Font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (const HWND control : Controls)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
  if (old) DeleteObject(old);
  FitClient(Layout());
}

int TTimesWindow::TextWidth(const wchar_t* text, UINT format) const {
  const HDC dc = GetDC(Window);
  const HGDIOBJ old = SelectObject(dc, Font);
  RECT box{};
  DrawTextW(dc, text, -1, &box, DT_CALCRECT | DT_SINGLELINE | format);
  SelectObject(dc, old);
  ReleaseDC(Window, dc);
  return box.right - box.left;
}

int TTimesWindow::LineHeight() const {
  const HDC dc = GetDC(Window);
  const HGDIOBJ old = SelectObject(dc, Font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(Window, dc);
  return metrics.tmHeight;
}

// The sizes of one layout, in the font and DPI of the moment.
TTimesWindow::TColumns TTimesWindow::Measure() const {
  TColumns columns;
  columns.Margin = Scaled(Margin);
  columns.Gap = Scaled(Gap);
  columns.Line = LineHeight();
  columns.Row = std::max(Scaled(RowHeight), columns.Line + Scaled(8));
  columns.Pitch = columns.Row + Scaled(RowSpace);
  int labelWidth = 0;
  for (size_t at = 0; at < 3; ++at)
    labelWidth = std::max({labelWidth, TextWidth(TimeLabels[at]), TextWidth(ShiftLabels[at])});
  columns.Labels = columns.Margin + Scaled(CheckWidth);
  columns.Controls = columns.Labels + labelWidth + columns.Gap;
  return columns;
}

void TTimesWindow::PlaceLabel(HWND label, int left, int top, const TColumns& columns) const {
  MoveWindow(label, left, top + (columns.Row - columns.Line) / 2,
             TextWidth(WindowText(label).c_str()), columns.Line, TRUE);
}

void TTimesWindow::PlaceChoice(HWND choice, const TColumns& columns, TFlow& flow) const {
  const int width = Scaled(CheckWidth) + TextWidth(WindowText(choice).c_str());
  MoveWindow(choice, columns.Margin, flow.Top, width, columns.Row, TRUE);
  flow.Grow(columns.Margin + width);
  flow.Top += columns.Pitch;
}

void TTimesWindow::PlaceTimeRows(const TColumns& columns, TFlow& flow) const {
  const int pickerWidth = TextWidth(L"0000-00-00 00:00:00") + Scaled(FieldPadding);
  for (size_t at = 0; at < 3; ++at, flow.Top += columns.Pitch) {
    PlaceLabel(TimeLabel[at], columns.Labels, flow.Top, columns);
    MoveWindow(Picker[at], columns.Controls, flow.Top, pickerWidth, columns.Row, TRUE);
  }
  const int nowLeft = columns.Controls + pickerWidth + columns.Gap;
  MoveWindow(NowButton, nowLeft, flow.Top - columns.Pitch, Scaled(ButtonWidth), columns.Row, TRUE);
  flow.Grow(nowLeft + Scaled(ButtonWidth));
}

// A drop-down list is as high as its font makes it: it is centred on the row.
void TTimesWindow::PlaceShiftRows(const TColumns& columns, TFlow& flow) const {
  const int sourceWidth = TextWidth(SourceNames[2]) + Scaled(FieldPadding);
  const int offsetLabelLeft = columns.Controls + sourceWidth + columns.Gap;
  const int offsetLeft = offsetLabelLeft + TextWidth(OffsetLabel) + columns.Gap;
  const int offsetWidth = TextWidth(L"-10d23h59m59s") + Scaled(FieldPadding);
  for (size_t at = 0; at < 3; ++at, flow.Top += columns.Pitch) {
    PlaceLabel(ShiftLabel[at], columns.Labels, flow.Top, columns);
    MoveWindow(Source[at], columns.Controls, flow.Top, sourceWidth, Scaled(DropHeight), TRUE);
    RECT field{};
    GetWindowRect(Source[at], &field);
    SetWindowPos(Source[at], nullptr, columns.Controls,
                 flow.Top + (columns.Row - (field.bottom - field.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceLabel(OffsetLabels[at], offsetLabelLeft, flow.Top, columns);
    MoveWindow(Offset[at], offsetLeft, flow.Top, offsetWidth, columns.Row, TRUE);
  }
  flow.Grow(offsetLeft + offsetWidth);
}

// Every label as wide as its text in the font of the moment, so that no font or DPI cuts one
// short. Returns the client size the controls need.
SIZE TTimesWindow::Layout() {
  const TColumns columns = Measure();
  TFlow flow{columns.Margin, 0};
  PlaceChoice(TheseTimes, columns, flow);
  PlaceTimeRows(columns, flow);
  flow.Top += Scaled(RowSpace);
  PlaceChoice(OwnTimes, columns, flow);
  PlaceShiftRows(columns, flow);
  const int noteWidth = TextWidth(Note, DT_NOPREFIX);
  MoveWindow(NoteLabel, columns.Controls, flow.Top - Scaled(RowSpace) + Scaled(NoteSpace) / 4,
             noteWidth, columns.Line, TRUE);
  flow.Grow(columns.Controls + noteWidth);
  flow.Top += columns.Line + Scaled(NoteSpace);
  const int zoneWidth = TextWidth(WindowText(ZoneLabel).c_str(), DT_NOPREFIX);
  MoveWindow(ZoneLabel, columns.Margin, flow.Top, zoneWidth, columns.Line, TRUE);
  flow.Top += columns.Line + columns.Margin;
  const int buttonWidth = Scaled(ButtonWidth);
  flow.Grow(columns.Margin + zoneWidth);
  const int width = std::max(flow.Right, 2 * buttonWidth + columns.Gap) + columns.Margin;
  MoveWindow(CancelButton, width - columns.Margin - buttonWidth, flow.Top, buttonWidth, columns.Row,
             TRUE);
  MoveWindow(OkButton, width - columns.Margin - 2 * buttonWidth - columns.Gap, flow.Top,
             buttonWidth, columns.Row, TRUE);
  return {width, flow.Top + columns.Row + columns.Margin};
}

// The frame is whatever the system draws at this DPI: measured on the window, not assumed. A
// window smaller than its frame has no client area to measure by, so it is first given the size.
void TTimesWindow::FitClient(SIZE client) {
  for (int pass = 0; pass < 2; ++pass) {
    RECT frame{}, inside{};
    GetWindowRect(Window, &frame);
    GetClientRect(Window, &inside);
    const int width = pass ? client.cx + (frame.right - frame.left) - inside.right : client.cx;
    const int height = pass ? client.cy + (frame.bottom - frame.top) - inside.bottom : client.cy;
    SetWindowPos(Window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Centred over the owner, kept inside the work area of the owner's monitor.
void TTimesWindow::PlaceOverOwner(HWND owner) {
  RECT frame{}, over{};
  GetWindowRect(Window, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : Window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  if (!owner || !GetWindowRect(owner, &over)) over = area;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::clamp(int((over.left + over.right - width) / 2), int(area.left),
                           std::max(int(area.left), int(area.right) - width));
  const int y = std::clamp(int((over.top + over.bottom - height) / 2), int(area.top),
                           std::max(int(area.top), int(area.bottom) - height));
  SetWindowPos(Window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TTimesWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    // The dialog manager moves the focus through this message, as for a label's mnemonic.
    case WM_NEXTDLGCTL:
      MoveFocus(wParam, LOWORD(lParam) != 0);
      return 0;
    // The focus comes back where it was when the user returns to the window, or a message box
    // over it closes.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Window, focus)) Focused = focus;
      } else if (Focused) {
        SetFocus(Focused);
      }
      return 0;
    case WM_CLOSE:
      End(false);
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Window, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(LOWORD(wParam));
      return 0;
    }
    default:
      return DefWindowProcW(Window, message, wParam, lParam);
  }
}

void TTimesWindow::Command(WORD id, WORD code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case TheseTimesId:
    case OwnTimesId:
      ChooseMode(id == OwnTimesId);
      return;
    case NowId:
      Dialog.SetNow();
      ShowTimes();
      return;
    case IDOK:
      TryAccept();
      return;
    case IDCANCEL:
      End(false);
      return;
    default:
      return;
  }
}

// To the control named (toWindow), else to the next or, for a non-zero which, the previous tab
// stop; a text field's text is selected, as Tab selects it.
void TTimesWindow::MoveFocus(WPARAM which, bool toWindow) {
  const HWND next =
      toWindow ? reinterpret_cast<HWND>(which) : GetNextDlgTabItem(Window, GetFocus(), which != 0);
  if (!next) return;
  SetFocus(next);
  if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageW(next, EM_SETSEL, 0, -1);
}

// A refusal is shown over the dialog, which stays open; for offsets, on the first offset.
void TTimesWindow::TryAccept() {
  ReadValues();
  std::string refusal;
  if (Dialog.Accept(refusal)) {
    End(true);
    return;
  }
  MessageBoxW(Window, Utf8ToDisplayWide(refusal).c_str(),
              Utf8ToDisplayWide(Application().Title).c_str(), MB_OK | MB_ICONEXCLAMATION);
  if (Dialog.Values().OwnTimes) MoveFocus(WPARAM(Offset[0]), true);
}

void TTimesWindow::End(bool accepted) {
  Accepted = accepted;
  Ended = true;
}

}  // namespace

bool TTimesDialog::PlatformShowModal() {
  if (Application().SessionEnding()) return false;
  TTimesWindow window(*this);
  return window.Run();
}
