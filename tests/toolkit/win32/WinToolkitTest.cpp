#include <gtest/gtest.h>
#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/Thread.h"
#include "support/Win32DropBlock.h"
#include "support/Win32WithoutUtf8CodePage.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinForm.h"
#include "toolkit/win32/WinMenu.h"
#include "toolkit/win32/WinTokens.h"
#include "toolkit/win32/WinWindow.h"

namespace {

int S(int designValue) { return Screen().Scale(designValue); }

TImageList::TPixels FilledImage(uint32_t argb) {
  TImageList::TPixels pixels;
  pixels.fill(argb);
  return pixels;
}

std::string MenuText(HMENU menu, UINT position) {
  char text[256] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

// A real window under Wine: a menu bar, a pop-up menu, a target panel with icon and label, two
// check boxes and a status bar, laid out at the design size scaled to the running DPI.
class WinToolkitTest : public testing::Test {
 protected:
  void SetUp() override {
    Images.Add(FilledImage(0xFFCC2020));
    Images.Add(FilledImage(0xFF2020CC));
    BuildMenus();
    Form.SetCaption("Toolkit test");
    Form.SetClientWidth(S(289));
    Form.SetClientHeight(S(180));
    ClientPanel.SetParent(&Form);
    ClientPanel.SetBevelOuter(TBevelCut::bvNone);
    ClientPanel.SetBounds(0, 0, S(289), S(180));
    ClientPanel.SetAlign(TAlign::alTop);
    BasePanel.SetParent(&ClientPanel);
    BasePanel.SetBevelOuter(TBevelCut::bvNone);
    BasePanel.SetBounds(0, 0, S(289), S(153));
    BasePanel.SetAlign(TAlign::alTop);
    GetPanel.SetParent(&BasePanel);
    GetPanel.SetBounds(S(8), S(8), S(129), S(41));
    GetPaintBox.SetParent(&GetPanel);
    GetPaintBox.SetBounds(S(8), S(8), S(25), S(25));
    GetPaintBox.OnPaint = [this](TObject*) {
      Images.Draw(GetPaintBox.Canvas(), S(4), S(4), 0, GetPaintBox.Enabled());
    };
    GetLabel.SetParent(&GetPanel);
    GetLabel.SetBounds(S(40), S(8), S(81), S(25));
    GetLabel.SetFont({"Courier New", -S(18)});
    GetLabel.SetTransparent(true);
    GetLabel.SetLayout(TTextLayout::tlCenter);
    GetLabel.SetCaption("Get");
    FirstBox.SetParent(&BasePanel);
    FirstBox.SetBounds(S(152), S(8), S(129), S(25));
    FirstBox.SetCaption("&CR Time");
    SecondBox.SetParent(&BasePanel);
    SecondBox.SetBounds(S(152), S(32), S(129), S(25));
    SecondBox.SetCaption("L&W Time");
    StatusBar.SetParent(&ClientPanel);
    StatusBar.SetBounds(0, S(153), S(289), S(27));
    StatusBar.SetAlign(TAlign::alTop);
    StatusBar.SetSimpleText("Ready");
    ClientPanel.SetAutoSize(true);
    Form.SetAutoSize(true);
    Form.SetMenu(&MainMenu);
    Form.SetPopupMenu(&PopupMenu);
    Form.Show();
    Pump();
    Window = WindowHandle(Form);
    ASSERT_NE(Window, nullptr);
  }

  void BuildMenus() {
    TMenuItem& functions = MainMenu.Items().Add("FunctionsMenuItem", "&Functions");
    NewItem = &functions.Add("NewWindowMenuItem", "&New Window", scCtrl | 'N', 0);
    functions.AddSeparator();
    RedoItem = &functions.Add("RedoMenuItem", "&Redo", scCtrl | scShift | 'Z', 1);
    PropertiesItem = &functions.Add("PropertiesMenuItem", "&Properties...", vkF2);
    for (TMenuItem* item : {NewItem, RedoItem, PropertiesItem})
      item->OnClick = [this](TObject* sender) {
        Clicked.push_back(static_cast<TMenuItem*>(sender));
      };
    MainMenu.SetImages(&Images);
    PopupMenu.Items().Add("NewWindowPMenuItem", "&New Window", 0, 0);
    PopupMenu.Items().AddSeparator();
    PopupMenu.Items().Add("UndoPMenuItem", "&Undo", 0, 1);
    PopupMenu.SetImages(&Images);
  }

  static void Pump() { Application().ProcessMessages(); }

  // Posts a key press to the focused control with the modifier keys seen as held.
  void PressKey(HWND target, int key, std::initializer_list<int> held) {
    BYTE state[256];
    GetKeyboardState(state);
    BYTE pressed[256];
    std::memcpy(pressed, state, sizeof pressed);
    for (int modifier : held) pressed[modifier] = 0x80;
    SetKeyboardState(pressed);
    PostMessageA(target, WM_KEYDOWN, WPARAM(key), 1);
    Pump();
    SetKeyboardState(state);
  }

  TImageList Images;
  TMainMenu MainMenu;
  TPopupMenu PopupMenu;
  TMenuItem* NewItem = nullptr;
  TMenuItem* RedoItem = nullptr;
  TMenuItem* PropertiesItem = nullptr;
  std::vector<TMenuItem*> Clicked;
  TForm Form;
  TPanel ClientPanel;
  TPanel BasePanel;
  TPanel GetPanel;
  TPaintBox GetPaintBox;
  TLabel GetLabel;
  TCheckBox FirstBox;
  TCheckBox SecondBox;
  TStatusBar StatusBar;
  HWND Window = nullptr;
};

RECT ClientRect(HWND window) {
  RECT area;
  GetClientRect(window, &area);
  return area;
}

TEST_F(WinToolkitTest, TheClientAreaFitsTheContentsAndFollowsTheStatusBar) {
  EXPECT_EQ(ClientRect(Window).right, S(289));
  EXPECT_EQ(ClientRect(Window).bottom, S(180));
  const int barHeight = S(27);
  StatusBar.SetVisible(false);
  EXPECT_EQ(ClientRect(Window).bottom, S(180) - barHeight);
  EXPECT_FALSE(IsWindowVisible(WindowHandle(StatusBar)));
  StatusBar.SetVisible(true);
  EXPECT_EQ(ClientRect(Window).bottom, S(180));
  RECT bar;
  GetWindowRect(WindowHandle(StatusBar), &bar);
  EXPECT_EQ(bar.bottom - bar.top, barHeight);
  const DWORD style = DWORD(GetWindowLongA(Window, GWL_STYLE));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST_F(WinToolkitTest, MenuItemsShowTheirShortcutsStatesAndImages) {
  const HMENU functions = GetSubMenu(GetMenu(Window), 0);
  ASSERT_NE(functions, nullptr);
  EXPECT_EQ(MenuText(GetMenu(Window), 0), "&Functions");
  EXPECT_EQ(MenuText(functions, 0), "&New Window\tCtrl+N");
  EXPECT_EQ(MenuText(functions, 2), "&Redo\tCtrl+Shift+Z");
  EXPECT_EQ(MenuText(functions, 3), "&Properties...\tF2");
  EXPECT_TRUE(GetMenuState(functions, 1, MF_BYPOSITION) & MF_SEPARATOR);

  PropertiesItem->SetEnabled(false);
  RedoItem->SetChecked(true);
  EXPECT_TRUE(GetMenuState(functions, 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(functions, 2, MF_BYPOSITION) & MF_CHECKED);

  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  GetMenuItemInfoA(functions, 0, TRUE, &info);
  EXPECT_NE(info.hbmpItem, nullptr);
  MainMenu.SetImages(nullptr);
  const HMENU rebuilt = GetSubMenu(GetMenu(Window), 0);
  GetMenuItemInfoA(rebuilt, 0, TRUE, &info);
  EXPECT_EQ(info.hbmpItem, nullptr);
  EXPECT_TRUE(GetMenuState(rebuilt, 3, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(WinToolkitTest, ShortcutsGoThroughTheAcceleratorsToEnabledItemsOnly) {
  const HWND focus = WindowHandle(FirstBox);
  SetFocus(focus);
  PressKey(focus, 'N', {VK_CONTROL});
  PressKey(focus, 'Z', {VK_CONTROL, VK_SHIFT});
  PropertiesItem->SetEnabled(false);
  PressKey(focus, VK_F2, {});
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{NewItem, RedoItem}));
}

TEST_F(WinToolkitTest, TheFormPreviewsKeysBeforeItsControls) {
  std::vector<std::pair<int, TShiftState>> previewed;
  Form.KeyPreview = true;
  Form.OnKeyDown = [&](TObject*, int& key, TShiftState shift) {
    previewed.emplace_back(key, shift);
    key = 0;
  };
  const HWND focus = WindowHandle(SecondBox);
  SetFocus(focus);
  PressKey(focus, VK_ESCAPE, {});
  PressKey(focus, 'N', {VK_CONTROL});
  EXPECT_EQ(previewed, (std::vector<std::pair<int, TShiftState>>{{VK_ESCAPE, 0}, {'N', ssCtrl}}));
  // The consumed Ctrl+N reached no menu item.
  EXPECT_TRUE(Clicked.empty());
}

TEST_F(WinToolkitTest, CheckBoxesAndTheStatusBarFeedTheirEventsBack) {
  int clicks = 0;
  FirstBox.OnClick = [&](TObject*) { ++clicks; };
  const HWND box = WindowHandle(FirstBox);
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(FirstBox.Checked());
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  FirstBox.SetChecked(false);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 2);

  int doubleClicks = 0;
  StatusBar.OnDblClick = [&](TObject*) { ++doubleClicks; };
  StatusBar.SetSimpleText("1: Get - Done 3/3 item(s)");
  const HWND bar = WindowHandle(StatusBar);
  char text[64] = {};
  // In simple mode the bar reads its one text area back as part 0.
  EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
  SendMessageA(bar, SB_GETTEXTA, 0, LPARAM(text));
  EXPECT_STREQ(text, "1: Get - Done 3/3 item(s)");
  SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ClientPanel.SetEnabled(false);
  SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(WinToolkitTest, TabOrderAndFocusFollowTheControls) {
  EXPECT_EQ(GetNextDlgTabItem(Window, WindowHandle(FirstBox), FALSE), WindowHandle(SecondBox));
  SetFocus(WindowHandle(SecondBox));
  EXPECT_EQ(Form.ActiveControl(), &SecondBox);
  Form.SetActiveControl(&FirstBox);
  EXPECT_EQ(GetFocus(), WindowHandle(FirstBox));
}

// The shell hands names over in UTF-16: each arrives whole, however long, whatever its script.
TEST_F(WinToolkitTest, ARealDropReachesTheFormWithItsNamesAndPoint) {
  std::string cjk = "C:\\";
  for (int i = 0; i < 86; ++i) cjk += "\xE6\xBC\xA2";  // 86 CJK characters, 258 bytes
  cjk += ".txt";
  const std::vector<std::string> dropped{"C:\\windows\\win.ini", cjk,
                                         "C:\\" + std::string(297, 'a'),
                                         "C:\\\xCE\xB1\xCE\xB2\xF0\x9F\x93\x81.txt"};
  std::vector<std::string> names;
  TPoint point;
  Form.OnDropFiles = [&](TObject*, TDropHandle& drop) {
    for (int i = 0; i < drop.Count(); ++i) names.push_back(drop.Name(i));
    point = drop.Point();
    drop.Finish();
  };
  Form.AcceptFiles(true);
  EXPECT_TRUE(GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  SendMessageW(Window, WM_DROPFILES, WPARAM(DropBlock(dropped, {S(20), S(70)})), 0);
  EXPECT_EQ(names, dropped);
  EXPECT_EQ(point, (TPoint{S(20), S(70)}));

  Form.AcceptFiles(false);
  EXPECT_FALSE(GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(WinToolkitTest, TopmostMovesTheWindowBetweenBandsWithoutMovingIt) {
  RECT before;
  GetWindowRect(Window, &before);
  Form.SetTopmost(true);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Form.SetTopmost(false);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT after;
  GetWindowRect(Window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(WinToolkitTest, ThePositionIsTheWindowsOwnAndSettable) {
  Form.SetLeft(37);
  Form.SetTop(41);
  RECT frame;
  GetWindowRect(Window, &frame);
  EXPECT_EQ(frame.left, 37);
  EXPECT_EQ(frame.top, 41);
  SetWindowPos(Window, nullptr, 60, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Form.Left(), 60);
  EXPECT_EQ(Form.Top(), 70);
  POINT origin{0, 0};
  ClientToScreen(WindowHandle(GetPanel), &origin);
  EXPECT_EQ(GetPanel.ClientToScreen({0, 0}), (TPoint{origin.x, origin.y}));
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}

TEST_F(WinToolkitTest, ARightClickInTheClientAreaShowsThePopupMenu) {
  int popups = 0;
  PopupMenu.OnPopup = [&](TObject*) {
    ++popups;
    SetTimer(nullptr, 0, 50, CloseMenu);
  };
  POINT inside{S(200), S(100)};
  ClientToScreen(Window, &inside);
  SendMessageA(WindowHandle(FirstBox), WM_CONTEXTMENU, WPARAM(WindowHandle(FirstBox)),
               MAKELPARAM(inside.x, inside.y));
  EXPECT_EQ(popups, 1);

  const HMENU popup = MenuPeer(PopupMenu, false).Handle();
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(MenuText(popup, 0), "&New Window");
  EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(MenuText(popup, 2), "&Undo");
}

TEST_F(WinToolkitTest, TheIconIsMadeFromAnImage) {
  EXPECT_EQ(SendMessageA(Window, WM_GETICON, ICON_SMALL, 0), 0);
  Form.SetIcon(Images, 0);
  EXPECT_NE(SendMessageA(Window, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_NE(SendMessageA(Window, WM_GETICON, ICON_BIG, 0), 0);
}

// The box belongs to the main window, never to whatever happens to be active, so that it gets no
// taskbar button of its own and stays in front of a topmost main window.
TEST_F(WinToolkitTest, WorkerStepsRunWhileAMessageBoxOfTheMainWindowIsOpen) {
  Application().SetMainForm(&Form);
  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  HWND owner = nullptr;
  std::thread worker([&] {
    MainThreadQueue().RunAndWait([&] {
      // The step answers the box it ran under, so the test needs nobody at the keyboard.
      if (const HWND box = FindWindowW(L"#32770", L"Modal probe")) {
        owner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    });
  });
  const int answer = Application().MsgBox("Waiting for a worker step.", "Modal probe", MB_OKCANCEL);
  worker.join();
  Application().SetMainForm(nullptr);
  DestroyWindow(other);
  EXPECT_EQ(owner, Window);
  EXPECT_EQ(answer, IDOK);
}

// The build folder that CTest names, or else the folder of the test program, which lies inside it.
std::string OutputFolder() {
  if (const char* buildDir = std::getenv("BREVANTOR_BUILD_DIR")) return buildDir;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

TEST_F(WinToolkitTest, AScreenshotOfTheWindowIsSaved) {
  GetPanel.SetBevelOuter(TBevelCut::bvLowered);
  Pump();
  const std::string path = OutputFolder() + "\\toolkit-window.bmp";
  ASSERT_TRUE(SaveWindowScreenshot(Form, path));
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  file.read(magic, 2);
  EXPECT_EQ(std::string(magic, 2), "BM");
  RECT frame;
  GetWindowRect(Window, &frame);
  file.seekg(0, std::ios::end);
  const int stride = ((frame.right - frame.left) * 3 + 3) / 4 * 4;
  EXPECT_EQ(int(file.tellg()), 54 + stride * (frame.bottom - frame.top));
}

}  // namespace

namespace {

std::wstring WideWindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

}  // namespace

// Texts reach the system in UTF-16 whatever the code page: Greek and an emoji come back intact.
// Labels carry their captions as window text, for screen readers and UI Automation; the form lets
// the shell's drops through from a lower integrity level.
TEST_F(WinToolkitTest, TextsReachTheSystemWholeAndLabelsNameTheirTargets) {
  Form.SetCaption("\xCE\xB1\xCE\xB2 \xF0\x9F\x93\x81");
  FirstBox.SetCaption("&\xCE\xB3");
  EXPECT_EQ(WideWindowText(Window), L"\u03B1\u03B2 \U0001F4C1");
  EXPECT_EQ(WideWindowText(WindowHandle(FirstBox)), L"&\u03B3");
  EXPECT_EQ(WideWindowText(WindowHandle(GetLabel)), L"Get");
  GetLabel.SetCaption("\xCE\xB4");
  EXPECT_EQ(WideWindowText(WindowHandle(GetLabel)), L"\u03B4");
  NewItem->SetCaption("&\xCE\xB5");
  wchar_t item[64] = {};
  GetMenuStringW(GetSubMenu(GetMenu(Window), 0), 0, item, 64, MF_BYPOSITION);
  EXPECT_STREQ(item, L"&\u03B5\tCtrl+N");
  const std::string clipped = "\xCE\xB6 \xF0\x9F\x93\x81\r\n";
  ASSERT_TRUE(Clipboard().SetText(clipped));
  EXPECT_EQ(Clipboard().GetText(), clipped);
  EXPECT_EQ(TWinFormPeer::OfWindow(Window)->LetsDropsThrough(), RunsElevated());
}

// Logoff: from the query on, no box is shown and each is answered as declined, until the outcome
// has been handled, whichever it is: the process may live on after either.
TEST_F(WinToolkitTest, WhileTheSessionEndsNoMessageBoxIsShown) {
  std::vector<std::string> shown;
  Application().MessageBoxHook = [&](const std::string& text, const std::string&, int) {
    shown.push_back(text);
    return IDOK;
  };
  bool asked = false;
  Form.OnQueryEndSession = [&](TObject*, bool& canEnd) {
    asked = true;
    EXPECT_EQ(Application().MsgBox("Sure?", "", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(Application().MsgBox("Note", "", MB_OK), IDOK);
    canEnd = true;
  };
  std::vector<bool> ended;
  Form.OnEndSession = [&](TObject*, bool ending) { ended.push_back(ending); };
  // The Restart Manager asks a program to close with a session said to end.
  for (BOOL ending : {FALSE, TRUE}) {
    EXPECT_EQ(SendMessageW(Window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(Window, WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
    EXPECT_EQ(Application().MsgBox("Back. Sure?", "", MB_OKCANCEL), IDOK);
  }
  EXPECT_TRUE(asked);
  Application().MessageBoxHook = nullptr;
  EXPECT_EQ(ended, (std::vector<bool>{false, true}));
  EXPECT_EQ(shown, (std::vector<std::string>{"Back. Sure?", "Back. Sure?"}));
}

void CALLBACK EndTheSession(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

// A real box open when the session begins to end closes as declined: Cancel where it has one, else
// OK.
TEST_F(WinToolkitTest, ABoxOpenWhenTheSessionEndsClosesAsDeclined) {
  std::vector<int> answers;
  for (int flags : {MB_OKCANCEL, MB_OK}) {
    SetTimer(Window, 1, 20, EndTheSession);
    answers.push_back(Application().MsgBox("Waiting for the session's end.", "", flags));
  }
  EXPECT_EQ(answers, (std::vector<int>{IDCANCEL, IDOK}));
}

// The shell's calls need COM on the main thread; it is there, single-threaded, for the program's
// life.
TEST(WinApplicationTest, InitializeReadiesComOnTheMainThread) {
  Application().Initialize();
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  CoUninitialize();
}

// Set by the test below for the copy of this program it runs without a manifest.
constexpr char LegacyCodePageVariable[] = "BREVANTOR_LEGACY_CODE_PAGE";

// The texts of the tests above, run again in a copy of this program whose manifest does not make
// UTF-8 its code page: in the legacy code page, Greek and emoji texts and names still reach the
// system whole.
TEST(WinLegacyCodePageTest, TextsSurviveTheLegacyCodePage) {
  if (std::getenv(LegacyCodePageVariable)) {
    EXPECT_NE(GetACP(), UINT(CP_UTF8));
    return;
  }
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string copy = std::string(self) + ".legacy.exe";
  ASSERT_TRUE(CopyWithoutUtf8CodePage(self, copy));
  SetEnvironmentVariableA(LegacyCodePageVariable, "1");
  std::string command =
      "\"" + copy +
      "\" --gtest_filter=WinLegacyCodePageTest.*:*TextsReachTheSystem*:*ARealDropReaches*";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const bool started = CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &info);
  SetEnvironmentVariableA(LegacyCodePageVariable, nullptr);
  ASSERT_TRUE(started);
  // Pumped meanwhile: the copy's clipboard calls wait for this process, the clipboard's last
  // owner, to let go of it. The bound is generous, for a loaded machine.
  const ULONGLONG deadline = GetTickCount64() + 300000;
  while (MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0 &&
         GetTickCount64() < deadline)
    Application().ProcessMessages();
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  DeleteFileA(copy.c_str());
  EXPECT_EQ(code, 0u) << "a test failed in the legacy code page";
}

namespace {

int BitmapWidth(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  return info.bmWidth;
}

HBITMAP MenuBitmap(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return info.hbmpItem;
}

// The awareness the manifest gives the process, asked where the system can tell (Windows 10 1607).
int DpiAwareness() {
  using TContextOfThread = HANDLE(WINAPI*)();
  using TAwarenessOf = int(WINAPI*)(HANDLE);
  const HMODULE user = GetModuleHandleW(L"user32.dll");
  const auto contextOfThread = reinterpret_cast<TContextOfThread>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
  const auto awarenessOf = reinterpret_cast<TAwarenessOf>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
  return contextOfThread && awarenessOf ? awarenessOf(contextOfThread()) : -1;
}

}  // namespace

// Moved to a monitor at twice the resolution, the window doubles: client area, fonts, menu
// pictures and icons, and it takes the place the system suggests. Moved back, every size returns
// exactly.
TEST_F(WinToolkitTest, AMonitorOfOtherScalingScalesTheWholeWindow) {
  constexpr int PerMonitorAware = 2;
  EXPECT_EQ(DpiAwareness(), PerMonitorAware);
  const int dpi = Screen().PixelsPerInch();
  const RECT client = ClientRect(Window);
  const TFont labelFont = GetLabel.Font();
  const int formFont = Form.Font().Height;
  RECT frame;
  GetWindowRect(Window, &frame);
  const HMENU functions = GetSubMenu(GetMenu(Window), 0);
  ASSERT_EQ(BitmapWidth(MenuBitmap(functions, 0)), Images.Width());

  RECT suggested{frame.left + 10, frame.top + 20, frame.right + 10, frame.bottom + 20};
  SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), LPARAM(&suggested));
  EXPECT_EQ(ClientRect(Window).right, 2 * client.right);
  EXPECT_EQ(ClientRect(Window).bottom, 2 * client.bottom);
  EXPECT_EQ(GetLabel.Font().Height, 2 * labelFont.Height);
  EXPECT_EQ(Form.Font().Height, 2 * formFont);
  EXPECT_EQ(Images.Width(), TImageList::Size * std::max(1, 2 * dpi / 96));
  EXPECT_EQ(BitmapWidth(MenuBitmap(GetSubMenu(GetMenu(Window), 0), 0)), Images.Width());
  RECT moved;
  GetWindowRect(Window, &moved);
  EXPECT_EQ(moved.left, suggested.left);
  EXPECT_EQ(moved.top, suggested.top);

  SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&frame));
  EXPECT_EQ(Screen().PixelsPerInch(), dpi);
  const RECT back = ClientRect(Window);
  EXPECT_TRUE(EqualRect(&back, &client));
  EXPECT_EQ(GetLabel.Font(), labelFont);
  EXPECT_EQ(GetPaintBox.Width(), S(25));
}
