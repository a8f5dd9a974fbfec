// clang-format off
// The Windows headers come first: the others depend on their types.
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/Win32OleDrag.h"
#include "support/Win32RealWindow.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinForm.h"
#include "toolkit/win32/WinProgramIcon.h"
#include "toolkit/win32/WinToolTip.h"
#include "ui/Hints.h"
#include "ui/Tmainform.h"

namespace {

RECT WorkArea() {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// The tooltip text of a tool on the window's parent; empty when it has none.
std::wstring ToolTipText(HWND window, bool parentRect) {
  wchar_t text[512] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(window);
  tool.uId = parentRect ? ~reinterpret_cast<UINT_PTR>(window) : reinterpret_cast<UINT_PTR>(window);
  tool.lpszText = text;
  SendMessageW(ToolTipWindow(window), TTM_GETTEXTW, std::size(text), LPARAM(&tool));
  return text;
}

// An icon's width and the raw bits of its colour picture.
std::pair<int, std::string> IconBits(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  std::string bits(size_t(bitmap.bmWidthBytes) * size_t(bitmap.bmHeight), '\0');
  GetBitmapBits(info.hbmColor, LONG(bits.size()), bits.data());
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bits};
}

// Drag and drop through OLE.
class MainWindowFeedbackTest : public TRealWindowTest {
 protected:
  // OLE on this thread, as the program has it, before the window registers as a drop target.
  MainWindowFeedbackTest() { Application().Initialize(); }

  POINT ScreenPoint(const TControl& control, TPoint at) const {
    const TPoint point = control.ClientToScreen(at);
    return {point.X, point.Y};
  }
  std::vector<bool> Highlights() const {
    return {Form->GetPanel.Highlighted(), Form->SetPanel.Highlighted(),
            Form->SyncPanel.Highlighted()};
  }
  void Screenshot(const std::string& name) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(SaveWindowScreenshot(*Form, OutputFolder() + "\\" + name));
  }
  void SavePosition(int left, int top) {
    std::ofstream(Tree.Path("Settings.ini"), std::ios::binary)
        << "[Settings]\r\nValues=-1,-1,0,-1,-1,-1,-1,0,-1,0,-1," << left << "," << top << ",\r\n";
  }
};

// The drops go the whole way through the system's drag loop: DoDragDrop finds the window by the
// cursor, and the window's OLE target alone hears of the drag.
TEST_F(MainWindowFeedbackTest, AnOleDragHighlightsItsTargetAndDropsAsAShellDropDoes) {
  Open();
  ASSERT_TRUE(TWinFormPeer::OfWindow(Window)->SeesDrags());
  const std::string item = Tree.AddFile("item.txt");
  EXPECT_EQ(TOleDrag::Run({item}, {{ScreenPoint(Form->GetPanel, {3, 3}), {}}}),
            DWORD(DROPEFFECT_LINK));
  WaitIdle();
  EXPECT_EQ(Form->StatusBar.SimpleText(), "1: Get - Done 1/1 item(s)");
  EXPECT_EQ(Form->GetPanel.BevelOuter(), TBevelCut::bvLowered);

  const int gap = Form->SetPanel.Top() - (Form->GetPanel.Top() + Form->GetPanel.Height());
  const std::vector<TOleDrag::TStop> stops = {
      {ScreenPoint(Form->SetPanel, {Form->SetPanel.Width() / 2, 3}),
       [&] {
         EXPECT_EQ(Highlights(), (std::vector{false, true, false}));
         EXPECT_EQ(Form->StatusBar.SimpleText(), DropHint(okSet));
         Screenshot("drag-over-set.bmp");
       }},
      {ScreenPoint(Form->SetPanel, {Form->SetPanel.Width() / 2, -gap / 2 - 1}),
       [&] {
         EXPECT_EQ(Highlights(), (std::vector{false, false, false}));
         EXPECT_EQ(Form->StatusBar.SimpleText(), DropHint(okProperties));
         Screenshot("drag-over-gap.bmp");
       }},
      {ScreenPoint(Form->SetPanel, {3, 3}), {}}};
  EXPECT_EQ(TOleDrag::Run({item}, stops), DWORD(DROPEFFECT_LINK));
  EXPECT_EQ(Highlights(), (std::vector{false, false, false}));
  WaitIdle();
  EXPECT_EQ(Form->StatusBar.SimpleText(), "2: Set - Done 1/1 item(s)");
  EXPECT_EQ(Form->SetPanel.BevelOuter(), TBevelCut::bvLowered);
}

// Many files of one folder dragged at once: each is one item, named as the shell names it, and
// one of them in other letter case is that item again.
TEST_F(MainWindowFeedbackTest, AnOleDragOfManyFilesGetsEachOnceAsTheShellNamesIt) {
  Open();
  std::vector<std::string> files;
  for (int i = 10000; i < 12000; ++i) files.push_back(Tree.AddFile("f" + std::to_string(i)));
  std::vector<std::string> dropped = files;
  dropped.push_back(Tree.Path("F10005"));
  EXPECT_EQ(TOleDrag::Run(dropped, {{ScreenPoint(Form->GetPanel, {3, 3}), {}}}),
            DWORD(DROPEFFECT_LINK));
  WaitIdle();
  EXPECT_EQ(Form->StatusBar.SimpleText(), "1: Get - Done 2,000/2,000 item(s)");
  std::vector<std::string> held;
  for (const TStamp& stamp : Form->Holder().Stamps()) held.push_back(stamp.Path);
  EXPECT_EQ(held, files);
}

TEST_F(MainWindowFeedbackTest, ASavedPlaceOffEveryMonitorOpensOnTheNearestOne) {
  const RECT work = WorkArea();
  for (const POINT saved : {POINT{3000, 3000}, POINT{-2000, -2000}}) {
    SavePosition(saved.x, saved.y);
    Open();
    RECT frame;
    GetWindowRect(Window, &frame);
    EXPECT_GE(frame.left, work.left) << saved.x;
    EXPECT_GE(frame.top, work.top) << saved.x;
    EXPECT_LE(frame.right, work.right) << saved.x;
    EXPECT_LE(frame.bottom, work.bottom) << saved.x;
    Close();
  }
  std::vector<POINT> kept = {{work.left + 200, work.top + 150}, {work.left - 40, work.top + 10}};
  // A second monitor, where the display has one, keeps a place on it too.
  if (GetSystemMetrics(SM_CMONITORS) > 1)
    kept.push_back(
        {GetSystemMetrics(SM_XVIRTUALSCREEN) == work.left ? work.right + 100 : work.left - 500,
         work.top + 100});
  for (const POINT saved : kept) {
    SavePosition(saved.x, saved.y);
    Open();
    EXPECT_EQ(Form->Left(), saved.x);
    EXPECT_EQ(Form->Top(), saved.y);
    Close();
  }
}

TEST_F(MainWindowFeedbackTest, TheStatusBarSpansTheWindowAndShowsACutTextWhole) {
  Open();
  const HWND bar = WindowHandle(Form->StatusBar);
  RECT client, barRect;
  GetClientRect(Window, &client);
  GetClientRect(bar, &barRect);
  EXPECT_EQ(barRect.right, client.right);
  EXPECT_FALSE(GetWindowLongW(bar, GWL_STYLE) & SBARS_SIZEGRIP);

  EXPECT_EQ(ToolTipText(bar, false), L"");
  const std::string cut = "Set - Canceled 18,563/200,011 item(s) and more words to be cut";
  Form->SetStatus(7, cut);
  EXPECT_EQ(ToolTipText(bar, false), L"7: " + std::wstring(cut.begin(), cut.end()));
  Form->SetStatus(7, "Ready");
  EXPECT_EQ(ToolTipText(bar, false), L"");

  // Set is greyed without Get data: its tip is on its place in the panel too.
  const std::wstring setHint(SetTargetHint.begin(), SetTargetHint.end());
  EXPECT_EQ(ToolTipText(WindowHandle(Form->SetPanel), true), setHint);
  EXPECT_EQ(ToolTipText(WindowHandle(Form->SetPanel), false), setHint);
}

// The test program carries the program's icon, so its window shows it as the program's does.
TEST_F(MainWindowFeedbackTest, TheWindowShowsTheProgramIconAtTheSizesTheSystemAsksFor) {
  Open();
  const auto expectIcons = [&](int dpi) {
    for (const auto& [which, metric] :
         {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
      const int size = MulDiv(GetSystemMetrics(metric), dpi, 96);
      const auto shown = IconBits(HICON(SendMessageW(Window, WM_GETICON, which, 0)));
      EXPECT_EQ(shown.first, size) << dpi;
      const HICON own = ProgramIcon(size);
      EXPECT_EQ(shown, IconBits(own)) << dpi;
      DestroyIcon(own);
    }
  };
  const int systemDpi = Screen().PixelsPerInch();
  ASSERT_EQ(systemDpi, 96) << "the display of the tests is at 96 dpi";
  expectIcons(96);
  // Moved to a monitor at 150 % and back.
  for (const int dpi : {144, 96}) {
    RECT place;
    GetWindowRect(Window, &place);
    SendMessageW(Window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&place));
    expectIcons(dpi);
  }
}

// The real timer of the real window shows the count: a Set of 5,000 items that takes some
// seconds, each write held for a millisecond, is looked at twice a second through the status bar.
TEST_F(MainWindowFeedbackTest, ALongSetShowsAChangingCountThroughTheWindowsOwnTimer) {
  TFakeFileSystem fs;
  TFileSystemOverride guard(fs);
  fs.AddFile("C:\\get\\a.txt", faArchive, 1, 2, 3);
  std::vector<std::string> targets;
  for (int index = 0; index < 5000; ++index) {
    targets.push_back("C:\\put\\t" + std::to_string(100000 + index));
    fs.AddFile(targets.back());
  }
  fs.OnCall = [](TPrimitive primitive, const std::string&) {
    if (primitive == TPrimitive::WriteTimesOpen) Sleep(1);
  };
  Open();
  DropOn(Form->GetPanel, {"C:\\get\\a.txt"});
  WaitIdle();
  DropOn(Form->SetPanel, targets);
  std::set<std::string> counts;
  int shot = 0;
  while (Form->Stamper()) {
    const ULONGLONG until = GetTickCount64() + 500;
    while (Form->Stamper() && GetTickCount64() < until) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Application().ProcessMessages();
    }
    const std::string text = Form->StatusBar.SimpleText();
    if (text.find(" - Writing ") == std::string::npos) continue;
    counts.insert(text);
    if (shot < 2) Screenshot("progress-" + std::to_string(++shot) + ".bmp");
  }
  EXPECT_GE(counts.size(), 2u) << "the count changed while the Set ran";
  EXPECT_EQ(Form->StatusBar.SimpleText(), "2: Set - Done 5,000/5,000 item(s)");
  fs.OnCall = nullptr;
}

}  // namespace
