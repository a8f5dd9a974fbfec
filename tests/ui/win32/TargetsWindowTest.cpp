// The keyboard, paste, the file dialog, accessibility and Send To on the real window under Wine.
// clang-format off
// The Windows headers come first: the others depend on their types.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>
// clang-format on
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/Win32ClipboardFiles.h"
#include "support/Win32RealWindow.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(),
                                         int(wide.size()))));
  return wide;
}

std::wstring SendToLink(const std::string& name) {
  wchar_t* folder = nullptr;
  SHGetKnownFolderPath(FOLDERID_SendTo, 0, nullptr, &folder);
  const std::wstring path = std::wstring(folder) + L"\\" + Wide(name) + L".lnk";
  CoTaskMemFree(folder);
  return path;
}

// The program path and arguments a shortcut file holds, read back through the shell.
std::pair<std::wstring, std::wstring> LinkTarget(const std::wstring& path) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {}, arguments[MAX_PATH] = {};
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      link->GetPath(target, MAX_PATH, nullptr, 0);
      link->GetArguments(arguments, MAX_PATH);
    }
    if (file) file->Release();
    link->Release();
  }
  return {target, arguments};
}

// The visible dialog a window owns, once it shows.
HWND WaitForOwnedDialog(HWND owner) {
  struct TSearch {
    HWND Owner, Found = nullptr;
  } search{owner};
  for (int attempt = 0; attempt < 200 && !search.Found; ++attempt) {
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
          auto& search = *reinterpret_cast<TSearch*>(data);
          if (GetWindow(window, GW_OWNER) != search.Owner || !IsWindowVisible(window))
            return TRUE;
          search.Found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.Found) Sleep(50);
  }
  return search.Found;
}

// The first edit box of the dialog: the file name.
HWND FirstEdit(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (lstrcmpiW(name, L"Edit") != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class TargetsWindowTest : public TRealWindowTest {
 protected:
  TargetsWindowTest() {
    // OLE on this thread, as the program has it, for the clipboard and the file dialog.
    Application().Initialize();
    Open();
    Pump(200);
  }

  // A key as the user presses it: through the system's input into the focused window.
  void Key(BYTE key, BYTE modifier = 0) {
    if (modifier) keybd_event(modifier, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
    Pump(150);
  }
  HWND Handle(const TControl& control) const { return WindowHandle(control); }
};

// Tab and Shift+Tab go through the targets, Set and Sync too while they are disabled, and the
// check boxes, in the order the window shows them; with the panels swapped the check boxes come
// first.
TEST_F(TargetsWindowTest, TabReachesEachTargetInTheOrderTheWindowShows) {
  const std::vector<const TControl*> order{
      &Form->GetPanel,         &Form->SetPanel,        &Form->SyncPanel,
      &Form->CRTimeCheckBox,   &Form->LWTimeCheckBox,  &Form->LATimeCheckBox,
      &Form->SubdirsCheckBox,  &Form->DirectoriesCheckBox, &Form->AnyAttrCheckBox};
  const auto walk = [&](size_t first) {
    SetFocus(Handle(*order[first]));
    for (size_t step = 1; step <= order.size(); ++step) {
      Key(VK_TAB);
      const TControl* expected = order[(first + step) % order.size()];
      EXPECT_EQ(GetFocus(), Handle(*expected)) << expected->Name;
      EXPECT_EQ(Form->ActiveControl(), expected);
    }
  };
  walk(0);
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Handle(Form->AnyAttrCheckBox));
  SendMessageW(Window, WM_COMMAND, GetMenuItemID(Options(), 4), 0);  // Swap Panels
  SetFocus(Handle(Form->AnyAttrCheckBox));
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), Handle(Form->GetPanel));
  Key(VK_TAB, VK_SHIFT);
  Key(VK_TAB, VK_SHIFT);
  EXPECT_EQ(GetFocus(), Handle(Form->DirectoriesCheckBox));

  // A click gives a target the focus, as it does a button.
  const HWND sync = Handle(Form->SyncPanel);
  SendMessageW(sync, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(sync, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(GetFocus(), sync);
  EXPECT_EQ(Boxes.Count(), 0u);
}

// Enter opens the system's file dialog; the file typed there goes to Get as a drop.
TEST_F(TargetsWindowTest, EnterOpensTheFileDialogAndItsChoiceIsDroppedOnTheTarget) {
  const std::string file = Tree.AddFile("chosen.txt");
  std::wstring title;
  std::atomic<bool> typed{false};
  std::thread user([&] {
    const HWND dialog = WaitForOwnedDialog(Window);
    if (!dialog) return;
    wchar_t text[128] = {};
    GetWindowTextW(dialog, text, 128);
    title = text;
    if (const HWND edit = FirstEdit(dialog)) {
      SendMessageW(edit, WM_SETTEXT, 0, LPARAM(Wide(file).c_str()));
      typed = true;
    }
    PostMessageW(dialog, WM_COMMAND, typed ? IDOK : IDCANCEL, 0);
  });
  SetFocus(Handle(Form->GetPanel));
  Key(VK_RETURN);
  user.join();
  WaitIdle();
  EXPECT_EQ(title, L"Get: choose items");
  ASSERT_TRUE(typed) << "no file name box in the dialog";
  EXPECT_EQ(StatusText(), "1: Get - Done 1/1 item(s)");
  ASSERT_EQ(Form->Holder().Count(), 1);
  EXPECT_EQ(Form->Holder().Stamps()[0].Path, file);
}

// Files cut in the shell and pasted onto Set after a Get take the Get data's times, and are
// still there: the paste never tells the source that it moved them.
TEST_F(TargetsWindowTest, APasteOnSetWritesTheTimesAndACutLeavesTheFilesInPlace) {
  const std::string source = Tree.AddFile("source.txt");
  TTempTree::SetTimes(source, {t0 + day, t0 + 2 * day, t0 + 3 * day});
  const std::string longName = Tree.AddFile(std::string(250, 'x') + ".txt");
  const std::string target = Tree.AddFile("target.txt");
  for (const std::string& path : {longName, target}) TTempTree::SetTimes(path, {t0, t0, t0});
  TClipboardFilesSource& shell = SharedClipboardFilesSource();
  ASSERT_TRUE(shell.Place({source}, DROPEFFECT_COPY));
  SetFocus(Handle(Form->GetPanel));
  Key('V', VK_CONTROL);
  WaitIdle();
  EXPECT_EQ(StatusText(), "1: Get - Done 1/1 item(s)");
  ASSERT_TRUE(shell.Place({target, longName}, DROPEFFECT_MOVE));
  Form->ContextMenuAt(Form->ScreenToClient(Form->SetPanel.ClientToScreen({1, 1})));
  EXPECT_TRUE(Form->PastePMenuItem->Visible() && Form->PastePMenuItem->Enabled());
  SetFocus(Handle(Form->SetPanel));
  Key(VK_INSERT, VK_SHIFT);
  WaitIdle();
  EXPECT_EQ(StatusText(), "2: Set - Done 2/2 item(s)");
  for (const std::string& path : {target, longName}) {
    EXPECT_EQ(TTempTree::Times(path).LastWrite, t0 + 3 * day) << path;
    EXPECT_NE(GetFileAttributesW((L"\\\\?\\" + Wide(path)).c_str()), INVALID_FILE_ATTRIBUTES)
        << path;
  }
  Pump(100);
  EXPECT_EQ(shell.SetDataCalls(), 0);
  EXPECT_EQ(Boxes.Count(), 0u);
}

// Each target is a push button with its name to assistive technology.
TEST_F(TargetsWindowTest, TargetsTellTheirNameAndRoleToAssistiveTechnology) {
  const std::pair<const TPanel*, std::wstring> targets[] = {
      {&Form->GetPanel, L"Get"}, {&Form->SetPanel, L"Set"}, {&Form->SyncPanel, L"Sync"}};
  for (const auto& [panel, target] : targets) {
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Handle(*panel), DWORD(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    VARIANT role{};
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""),
              target + L": drop, paste or press Enter to choose items");
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    SysFreeString(name);
    object->Release();
  }
}

// The shortcuts point at this program file with their switch; the check mark follows them.
TEST_F(TargetsWindowTest, SendToMenuCreatesAndRemovesTheShortcutsOnDisk) {
  const std::pair<std::string, std::wstring> shortcuts[] = {
      {"Brevantor Get", L"/get"}, {"Brevantor Set", L"/set"}, {"Brevantor Sync", L"/sync"}};
  for (const auto& [name, params] : shortcuts) DeleteFileW(SendToLink(name).c_str());
  Tree.AddFile("brevantor.exe");
  Form = std::make_unique<TMainForm>();
  Window = WindowHandle(*Form);
  const int item = 8;
  char caption[64] = {};
  GetMenuStringA(Options(), item, caption, sizeof caption, MF_BYPOSITION);
  ASSERT_STREQ(caption, "Send To Menu");
  EXPECT_FALSE(GetMenuState(Options(), item, MF_BYPOSITION) & MF_CHECKED);
  SendMessageW(Window, WM_COMMAND, GetMenuItemID(Options(), item), 0);
  EXPECT_TRUE(GetMenuState(Options(), item, MF_BYPOSITION) & MF_CHECKED);
  for (const auto& [name, params] : shortcuts) {
    const auto [target, arguments] = LinkTarget(SendToLink(name));
    EXPECT_EQ(target, Wide(Tree.Path("brevantor.exe"))) << name;
    EXPECT_EQ(arguments, params);
  }
  SendMessageW(Window, WM_COMMAND, GetMenuItemID(Options(), item), 0);
  EXPECT_FALSE(GetMenuState(Options(), item, MF_BYPOSITION) & MF_CHECKED);
  for (const auto& [name, params] : shortcuts)
    EXPECT_EQ(GetFileAttributesW(SendToLink(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
}

}  // namespace
