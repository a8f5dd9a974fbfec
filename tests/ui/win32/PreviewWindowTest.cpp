// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "support/Win32RealWindow.h"
#include "toolkit/Timer.h"

namespace {

constexpr uint64_t t0 = 132000000000000000ull;

std::string ItemText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
  return WideToUtf8(text);
}

// The preview of a Set of 100,101 items (100 folders of 1,000 files) in the real window, played
// by the keyboard from a timer, which the preview's own modal loop runs.
class PreviewWindowTest : public TRealWindowTest {
 protected:
  PreviewWindowTest() {
    Application().Initialize();
    Open();
    Form->SetPreviewWrites(true);
    Form->CRTimeCheckBox.Click();  // Wine on ext4 keeps no creation time
    const std::string source = Tree.AddFile("source.txt");
    TTempTree::SetTimes(source, {t0, t0, t0});
    DropOn(Form->GetPanel, {source});
    WaitIdle();
    Root = Tree.AddFolder("tree");
    for (int folder = 0; folder < 100; ++folder) {
      const std::string name = "tree\\f" + std::to_string(folder);
      Tree.AddFolder(name);
      for (int file = 0; file < 1000; ++file)
        Files.push_back(Tree.AddFile(name + "\\" + std::to_string(file) + ".txt"));
    }
  }

  std::vector<uint64_t> LastWriteTimes() const {
    std::vector<uint64_t> times;
    for (const std::string& file : Files) times.push_back(TTempTree::Times(file).LastWrite);
    return times;
  }

  // Drops the tree on Set and runs the steps one a tick, each until it says it is done; notes
  // when the backup read was last seen running and when the preview was there.
  void SetWithSteps(std::vector<std::function<bool()>> steps) {
    size_t next = 0;
    TTimer timer;
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
      const TProgressSnapshot progress =
          Form->Stamper() ? Form->Stamper()->Progress().Snapshot() : TProgressSnapshot();
      // The backup read is often over within a tick, so the walk before it counts too: the
      // bound is then the larger.
      if (progress.Phase == TStampPhase::Collecting ||
          (progress.Phase == TStampPhase::Reading && progress.Done < progress.Total))
        StillReading = GetTickCount64();
      if (next < steps.size() && steps[next]()) ++next;
    };
    timer.SetEnabled(true);
    DropOn(Form->SetPanel, {Root});
    WaitIdle();
    // The last step's keys may end the run, and with it the ticks, before the step is done.
    EXPECT_GE(next + 1, steps.size());
  }
  bool Found() {
    Preview = FindWindowW(L"BrevantorPreview", nullptr);
    if (!Preview || !IsWindowVisible(Preview)) return false;
    Opened = GetTickCount64();
    List = FindWindowExW(Preview, nullptr, WC_LISTVIEWW, nullptr);
    SetForegroundWindow(Preview);
    return true;
  }
  // Presses each key with its modifier (0 for none), then lets a few ticks pass for them.
  static std::function<bool()> Keys(std::vector<std::pair<BYTE, BYTE>> keys) {
    return [keys, ticks = 0]() mutable {
      if (ticks++ == 0)
        for (const auto& [modifier, key] : keys) {
          if (modifier) keybd_event(modifier, 0, 0, 0);
          keybd_event(key, 0, 0, 0);
          keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
          if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
        }
      return ticks > 5;
    };
  }

  std::string Root;
  std::vector<std::string> Files;
  HWND Preview = nullptr, List = nullptr;
  ULONGLONG StillReading = 0, Opened = 0;
};

TEST_F(PreviewWindowTest, OpensAtOnceSortsCopiesAndWritesOnlyOnWrite) {
  const std::vector<uint64_t> before = LastWriteTimes();
  std::string firstPath, shown;
  SetWithSteps({[this] { return Found(); },
                [&] {
                  EXPECT_TRUE(SaveWindowScreenshot(Preview, OutputFolder() + "\\preview.bmp"));
                  EXPECT_EQ(ListView_GetItemCount(List), 100101);
                  EXPECT_EQ(GetFocus(), List);
                  return true;
                },
                // Ctrl+1 twice: the paths in descending order, where "f9\" comes after "f99\".
                Keys({{VK_CONTROL, '1'}, {VK_CONTROL, '1'}}),
                [&] { return !(firstPath = ItemText(List, 0, 0)).empty(); },
                Keys({{0, VK_HOME}, {VK_SHIFT, VK_DOWN}, {VK_CONTROL, 'C'}}),
                [&] {
                  shown = "Path\tCreation\tLast write\tLast access\r\n";
                  for (int row = 0; row < 2; ++row)
                    for (int column = 0; column < 4; ++column)
                      shown += ItemText(List, row, column) + (column < 3 ? "\t" : "\r\n");
                  return true;
                },
                Keys({{0, VK_ESCAPE}})});
  std::printf("preview of 100,101 items open at most %llu ms after the backup read ended\n",
              Opened - StillReading);
  EXPECT_GT(StillReading, 0u);
  EXPECT_EQ(firstPath, Root + "\\f9\\999.txt");
  EXPECT_EQ(Clipboard().GetText(), shown);
  EXPECT_EQ(StatusText(), "2: Set - Canceled 0/100,101 item(s)");
  EXPECT_EQ(LastWriteTimes(), before);

  SetWithSteps({[this] { return Found(); }, Keys({{0, VK_RETURN}})});
  EXPECT_EQ(StatusText(), "3: Set - Done 100,101/100,101 item(s)");
  EXPECT_EQ(LastWriteTimes(), std::vector<uint64_t>(before.size(), t0));
}

}  // namespace
