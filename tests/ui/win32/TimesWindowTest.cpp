#include <functional>
#include <string>
#include <vector>

#include "support/Win32Keys.h"
#include "support/Win32RealWindow.h"
#include "toolkit/Timer.h"

namespace {

constexpr uint64_t t0 = 132000000000000000ull;
constexpr uint64_t hour = 36000000000ull;

class TimesWindowTest : public TRealWindowTest {};

// Ctrl+T in the real window opens the dialog; keys choose each item's own times with the last
// write an hour on, Enter takes them; a command-line request on Set then writes exactly that onto
// a real file, and Undo puts the file's own times back.
TEST_F(TimesWindowTest, TheShortcutsChoiceIsWrittenByARequestOnSet) {
  Application().Initialize();
  Open();
  Form->CRTimeCheckBox.Click();  // Wine on ext4 keeps no creation time
  const std::string file = Tree.AddFile("photo.jpg");
  TTempTree::SetTimes(file, {t0, t0 + 7, t0 + 3});
  HWND dialog = nullptr;
  const std::vector<std::function<void()>> steps = {[] {
                                                      Press({{VK_CONTROL, 'T'}});
                                                    },
                                                    [&] {
                                                      dialog =
                                                          FindWindowW(L"BrevantorTimes", nullptr);
                                                      if (dialog) SetForegroundWindow(dialog);
                                                    },
                                                    [] {
                                                      Press({{VK_MENU, 'E'}});
                                                    },
                                                    [] {
                                                      Press({{VK_MENU, 'I'}, {0, VK_TAB}});
                                                      Type(L"+1h");
                                                    },
                                                    [] {
                                                      Press({{0, VK_RETURN}});
                                                    }};
  size_t next = 0;
  int ticks = 0;
  TTimer timer;
  timer.SetInterval(30);
  timer.OnTimer = [&](TObject*) {
    if (next < steps.size() && ++ticks % 6 == 0) steps[next++]();
  };
  timer.SetEnabled(true);
  const ULONGLONG deadline = GetTickCount64() + 20000;
  while ((next < steps.size() || IsWindow(dialog)) && GetTickCount64() < deadline) Pump(50);
  timer.SetEnabled(false);
  ASSERT_TRUE(dialog) << "Ctrl+T opened no dialog";
  ASSERT_FALSE(IsWindow(dialog)) << "Enter did not close it";
  ASSERT_TRUE(Form->Holder().Choice() && Form->Holder().Choice()->IsRule());
  EXPECT_EQ(
      StatusText().rfind("Times - A rule held: CR Time = CR Time +0s, LW Time = LW Time +1h", 0),
      0u)
      << StatusText();

  ASSERT_TRUE(Form->RunParams({"/set", file}));
  WaitIdle();
  EXPECT_EQ(TTempTree::Times(file).LastWrite, t0 + 3 + hour);
  EXPECT_EQ(TTempTree::Times(file).LastAccess, t0 + 7);
  Form->UndoMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(TTempTree::Times(file).LastWrite, t0 + 3);
}

}  // namespace
