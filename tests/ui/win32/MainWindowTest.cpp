// clang-format off
// The Windows headers come first: the others depend on their types.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "data/Common.h"
#include "platform/Thread.h"
#include "support/FakeFileSystem.h"
#include "support/Win32RealWindow.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;

int S(int designValue) { return Screen().Scale(designValue); }

std::string MenuText(HMENU menu, UINT position) {
  char text[256] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

bool HasImage(HMENU menu, UINT position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  GetMenuItemInfoA(menu, position, TRUE, &info);
  return info.hbmpItem != nullptr;
}

std::string WindowText(const TControl& control) {
  char text[256] = {};
  GetWindowTextA(WindowHandle(control), text, sizeof text);
  return text;
}

class MainWindowTest : public TRealWindowTest {
 protected:
  MainWindowTest() { Open(); }

  void Drop(const TControl& target, const std::vector<std::string>& names) {
    DropOn(target, names);
    WaitIdle();
  }
  void Command(HMENU menu, UINT position) {
    SendMessageA(Window, WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, int(position)), 0), 0);
    Application().ProcessMessages();
  }
  RECT Frame() const {
    RECT frame;
    GetWindowRect(Window, &frame);
    return frame;
  }
  int LeftInParent(const TControl& control) const {
    const HWND window = WindowHandle(control);
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect.left;
  }
};

TEST_F(MainWindowTest, ShowsItsFaceAndAppliesTheViewOptions) {
  RECT client;
  GetClientRect(Window, &client);
  EXPECT_EQ(client.right, S(289));
  EXPECT_EQ(client.bottom, S(153) + S(15) + 12);
  char caption[64] = {};
  GetWindowTextA(Window, caption, sizeof caption);
  EXPECT_STREQ(caption, "Brevantor");
  EXPECT_EQ(WindowText(Form->LATimeCheckBox), "L&A Time");
  EXPECT_EQ(SendMessageA(WindowHandle(Form->SubdirsCheckBox), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(WindowHandle(Form->AnyAttrCheckBox), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(StatusText(), "Ready");
  // For a person to look at: the window as it opens, Set and Sync grey without Get data.
  Application().ProcessMessages();
  EXPECT_TRUE(SaveWindowScreenshot(*Form, OutputFolder() + "\\main-window-ready.bmp"));

  EXPECT_EQ(MenuText(GetMenu(Window), 1), "&Help");
  EXPECT_EQ(MenuText(Functions(), 0), "&New Window\tCtrl+N");
  EXPECT_EQ(MenuText(Functions(), 3), "&Redo\tCtrl+Shift+Z");
  EXPECT_EQ(MenuText(Functions(), 5), "&Properties...\tF2");
  EXPECT_EQ(MenuText(Functions(), 6), "&Times...\tCtrl+T");
  EXPECT_EQ(MenuText(Options(), 1), "Clea&r Get Data...\tF6");
  EXPECT_EQ(MenuText(GetSubMenu(GetMenu(Window), 1), 0), "&Help\tF1");
  EXPECT_TRUE(HasImage(Functions(), 0));
  EXPECT_FALSE(HasImage(Functions(), 4));
  Command(Options(), 3);
  EXPECT_FALSE(HasImage(Functions(), 0));
  Command(Options(), 3);
  EXPECT_TRUE(HasImage(Functions(), 0));

  Command(Options(), 4);
  EXPECT_EQ(LeftInParent(Form->LeftPanel), S(144));
  EXPECT_EQ(LeftInParent(Form->RightPanel), 0);
  Command(Options(), 4);
  EXPECT_EQ(LeftInParent(Form->LeftPanel), 0);
  EXPECT_EQ(LeftInParent(Form->RightPanel), S(144));

  const RECT before = Frame();
  Command(Options(), 5);
  EXPECT_EQ(Frame().bottom - Frame().top, before.bottom - before.top - Form->StatusBar.Height());
  EXPECT_FALSE(IsWindowVisible(WindowHandle(Form->StatusBar)));
  Command(Options(), 5);
  EXPECT_EQ(Frame().bottom - Frame().top, before.bottom - before.top);

  Command(Options(), 6);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Command(Options(), 6);
  EXPECT_FALSE(GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(Frame().left, before.left);
  EXPECT_EQ(Frame().top, before.top);
  EXPECT_EQ(Boxes.Count(), 0u);
}

TEST_F(MainWindowTest, RealDropsAndMenuCommandsChangeTheTimesOnDisk) {
  const std::string source = Tree.AddFile("source.txt", "source");
  const std::string target = Tree.AddFile("target.txt", "target");
  const TItemTimes sourceTimes{t0 + 1 * day, t0 + 2 * day, t0 + 3 * day};
  const TItemTimes targetTimes{t0 + 5 * day, t0 + 6 * day, t0 + 7 * day};
  TTempTree::SetTimes(source, sourceTimes);
  TTempTree::SetTimes(target, targetTimes);
  // Wine on a Linux file system keeps no creation time of its own; then only the others count.
  const bool keepsCreation = TTempTree::Times(source).Creation == sourceTimes.Creation;
  const auto onDisk = [&] {
    TItemTimes times = TTempTree::Times(target);
    if (!keepsCreation) times.Creation = 0;
    return times;
  };
  const auto expected = [&](TItemTimes times) {
    if (!keepsCreation) times.Creation = 0;
    return times;
  };

  Drop(Form->GetPanel, {source});
  EXPECT_EQ(StatusText(), "1: Get - Done 1/1 item(s)");
  Drop(Form->SetPanel, {target});
  EXPECT_EQ(StatusText(), "2: Set - Done 1/1 item(s)");
  EXPECT_EQ(onDisk(), expected(sourceTimes));
  Command(Functions(), 2);
  WaitIdle();
  EXPECT_EQ(StatusText(), "3: Undo - Done 1/1 item(s)");
  EXPECT_EQ(onDisk(), expected(targetTimes));
  Command(Functions(), 3);
  WaitIdle();
  EXPECT_EQ(StatusText(), "4: Redo - Done 1/1 item(s)");
  EXPECT_EQ(onDisk(), expected(sourceTimes));

  // A name one character longer than the old path limit is taken whole, never read as the item
  // its first 259 characters name.
  const std::string cut = Tree.AddFile(std::string(259 - Tree.Root().size() - 1, 'c'), "cut");
  Drop(Form->GetPanel, {cut + "c", source});
  EXPECT_EQ(StatusText(), "5: Get - Done 1/2 item(s)");
  EXPECT_EQ(Form->ErrorLog(), "failed to get data: " + cut + "c\r\n");
  EXPECT_EQ(Form->Holder().Count(), 1);
  EXPECT_EQ(Boxes.Count(), 0u);

  Application().ProcessMessages();
  const std::string shot = OutputFolder() + "\\main-window.bmp";
  ASSERT_TRUE(SaveWindowScreenshot(*Form, shot));
  std::ifstream file(shot, std::ios::binary);
  char magic[2] = {};
  file.read(magic, 2);
  EXPECT_EQ(std::string(magic, 2), "BM");
}

// Logoff while a Set under "A&ny Attr" holds a read-only item with its attribute cleared, and the
// window's own box is open: the window agrees only once that item has its new times and its
// attribute back and the operation has stopped. No box is shown meanwhile, and the settings are
// saved although the window never closes.
TEST_F(MainWindowTest, ASessionEndStopsTheOperationAfterItsCurrentItemAndSavesTheSettings) {
  TFakeFileSystem files;
  const TFileSystemOverride fake(files);
  files.AddFile("C:\\source", faArchive, t0 + day, t0 + 2 * day, t0 + 3 * day);
  for (const char* target : {"C:\\put\\a", "C:\\put\\b"})
    files.AddFile(target, faReadOnly, t0, t0, t0);
  const TStamper* stamper = nullptr;
  bool held = false;
  files.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive != TPrimitive::WriteTimesOpen || path != "C:\\put\\a") return;
    MainThreadQueue().RunAndWait([&] { held = true; });
    while (!stamper->Terminated()) Sleep(1);
  };
  SendMessageW(WindowHandle(Form->AnyAttrCheckBox), BM_CLICK, 0, 0);
  Drop(Form->GetPanel, {"C:\\source"});
  DropOn(Form->SetPanel, {"C:\\put\\a", "C:\\put\\b"});
  stamper = Form->Stamper();
  while (!held) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    Application().ProcessMessages();
  }
  EXPECT_EQ(files.Entry("C:\\put\\a").Attributes, faNormal);

  std::vector<LRESULT> agreedIdle;
  Boxes.WhileOpen = [&](const TShownMessageBox&) {
    Boxes.WhileOpen = nullptr;
    agreedIdle = {SendMessageW(Window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF),
                  Form->Stamper() == nullptr};
    SendMessageW(Window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  };
  SendMessageW(Window, WM_CLOSE, 0, 0);
  EXPECT_EQ(agreedIdle, (std::vector<LRESULT>{TRUE, TRUE}));
  for (const char* target : {"C:\\put\\a", "C:\\put\\b"})
    EXPECT_EQ(files.Entry(target).Attributes, faReadOnly) << target;
  EXPECT_EQ(FileTimeValue(files.Entry("C:\\put\\a").LastWriteTime), t0 + 3 * day);
  EXPECT_EQ(FileTimeValue(files.Entry("C:\\put\\b").LastWriteTime), t0);
  EXPECT_EQ(StatusText(), "2: Set - Canceled 1/2 item(s)");
  std::ifstream settings(Tree.Path("Settings.ini"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("[Settings]\r\nValues=-1,-1,-1,-1,-1,-1,-1,0,-1,0,0,", 0), 0u) << text;
  EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{"Can't do it while processing."});
}

// On a monitor at twice the resolution the window keeps its design proportions: targets, check
// boxes, fonts and the drop-target icons double, the icons still centred in their boxes. For a
// person to look at, a screenshot of the doubled window is kept.
TEST_F(MainWindowTest, AMonitorOfOtherScalingKeepsTheDesignProportions) {
  const int dpi = Screen().PixelsPerInch();
  const int targetWidth = S(129), labelHeight = S(18), boxWidth = S(25);
  RECT frame = Frame();
  RECT client;
  GetClientRect(Window, &client);
  SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), LPARAM(&frame));
  RECT doubled;
  GetClientRect(Window, &doubled);
  EXPECT_EQ(doubled.right, 2 * client.right);
  EXPECT_EQ(doubled.bottom, 2 * client.bottom);
  RECT target;
  GetClientRect(WindowHandle(Form->SetPanel), &target);
  EXPECT_EQ(target.right, 2 * targetWidth);
  EXPECT_EQ(Form->SyncLabel.Font().Height, -2 * labelHeight);
  TRecordingCanvas canvas;
  Form->GetPaintBox.PaintTo(canvas);
  ASSERT_EQ(canvas.Drawings.size(), 1u);
  const int icon = TImageList::Size * std::max(1, 2 * dpi / 96);
  EXPECT_EQ(Form->MenuImages.Width(), icon);
  EXPECT_EQ(canvas.Drawings[0].X, (2 * boxWidth - icon) / 2);
  Application().ProcessMessages();
  EXPECT_TRUE(SaveWindowScreenshot(*Form, OutputFolder() + "\\main-window-doubled.bmp"));
  SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&frame));
  EXPECT_EQ(Screen().PixelsPerInch(), dpi);
}

}  // namespace
