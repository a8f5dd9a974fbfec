// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/Win32RealWindow.h"
#include "toolkit/Timer.h"

namespace {

constexpr uint64_t t0 = 132000000000000000ull;
constexpr int Folders = 100, FilesPerFolder = 1000;

// Every file's last-write time, read by one listing a folder.
std::vector<uint64_t> LastWriteTimes(const std::string& root) {
  std::vector<uint64_t> times;
  for (int folder = 0; folder < Folders; ++folder) {
    WIN32_FIND_DATAA entry;
    const std::string pattern = root + "\\f" + std::to_string(folder) + "\\*.txt";
    const HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      times.push_back(uint64_t(entry.ftLastWriteTime.dwHighDateTime) << 32 |
                      entry.ftLastWriteTime.dwLowDateTime);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  return times;
}

std::string ItemText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  ListView_GetItemText(list, row, column, text, 512);
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

// The preview of a Set of 100,101 items in the real window, played by the keyboard from a timer,
// which the preview's own modal loop runs.
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
    for (int folder = 0; folder < Folders; ++folder) {
      const std::string name = "tree\\f" + std::to_string(folder);
      Tree.AddFolder(name);
      for (int file = 0; file < FilesPerFolder; ++file)
        Tree.AddFile(name + "\\" + std::to_string(file) + ".txt");
    }
  }

  // Drops the tree on Set and runs the steps one a tick, each until it says it is done.
  void SetWithSteps(std::vector<std::function<bool()>> steps) {
    size_t next = 0;
    ReadEnded = 0;
    TTimer timer;
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
      const TProgressSnapshot progress =
          Form->Stamper() ? Form->Stamper()->Progress().Snapshot() : TProgressSnapshot();
      if (!ReadEnded && progress.Phase == TStampPhase::Reading && progress.Total > 0 &&
          progress.Done == progress.Total)
        ReadEnded = GetTickCount64();
      if (next < steps.size() && steps[next]()) ++next;
    };
    timer.SetEnabled(true);
    DropOn(Form->SetPanel, {Root});
    WaitIdle();
    timer.SetEnabled(false);
    EXPECT_EQ(next, steps.size());
  }
  // Waits for the preview window; it is brought to the front for the keys that follow.
  bool Found() {
    Preview = FindWindowW(L"BrevantorPreview", nullptr);
    if (!Preview || !IsWindowVisible(Preview)) return false;
    Opened = GetTickCount64();
    List = FindWindowExW(Preview, nullptr, WC_LISTVIEWW, nullptr);
    SetForegroundWindow(Preview);
    return true;
  }
  std::function<bool()> Keys(std::vector<std::pair<BYTE, BYTE>> keys) {
    return [keys] {
      for (const auto& [modifier, key] : keys) {
        if (modifier) keybd_event(modifier, 0, 0, 0);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
      }
      return true;
    };
  }
  std::function<bool()> Wait(int ticks) {
    return [ticks, count = 0]() mutable { return ++count >= ticks; };
  }

  std::string Root;
  HWND Preview = nullptr, List = nullptr;
  ULONGLONG ReadEnded = 0, Opened = 0;
};

TEST_F(PreviewWindowTest, OpensAtOnceSortsCopiesAndWritesOnlyOnWrite) {
  const std::vector<uint64_t> before = LastWriteTimes(Root);
  ASSERT_EQ(before.size(), size_t(Folders * FilesPerFolder));
  std::string firstPath, shown, copied;
  SetWithSteps({[this] { return Found(); }, Wait(5),
                [&] {
                  EXPECT_TRUE(SaveWindowScreenshot(Preview, OutputFolder() + "\\preview.bmp"));
                  EXPECT_EQ(ListView_GetItemCount(List), 100101);
                  EXPECT_EQ(GetFocus(), List);
                  return true;
                },
                // Ctrl+1 twice: the paths in descending order.
                Keys({{VK_CONTROL, '1'}, {VK_CONTROL, '1'}}), Wait(5),
                [&] {
                  firstPath = ItemText(List, 0, 0);
                  return true;
                },
                Keys({{0, VK_HOME}, {VK_SHIFT, VK_DOWN}, {VK_CONTROL, 'C'}}), Wait(5),
                [&] {
                  copied = Clipboard().GetText();
                  shown = "Path\tCreation\tLast write\tLast access\r\n";
                  for (int row = 0; row < 2; ++row)
                    shown += ItemText(List, row, 0) + "\t" + ItemText(List, row, 1) + "\t" +
                             ItemText(List, row, 2) + "\t" + ItemText(List, row, 3) + "\r\n";
                  return true;
                },
                Keys({{0, VK_ESCAPE}})});
  std::printf("preview of 100,101 items open %llu ms after the backup read ended\n",
              Opened - ReadEnded);
  EXPECT_GT(ReadEnded, 0u);
  // By bytes "f9\\" comes after "f99\\".
  EXPECT_EQ(firstPath, Root + "\\f9\\999.txt");
  EXPECT_EQ(copied, shown);
  EXPECT_EQ(StatusText(), "2: Set - Canceled 0/100,101 item(s)");
  EXPECT_EQ(LastWriteTimes(Root), before);

  SetWithSteps({[this] { return Found(); }, Keys({{0, VK_RETURN}})});
  EXPECT_EQ(StatusText(), "3: Set - Done 100,101/100,101 item(s)");
  EXPECT_EQ(LastWriteTimes(Root), std::vector<uint64_t>(before.size(), t0));
}

}  // namespace
