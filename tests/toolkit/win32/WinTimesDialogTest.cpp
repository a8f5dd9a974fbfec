#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "support/Win32Keys.h"
#include "toolkit/Forms.h"
#include "toolkit/Timer.h"
#include "toolkit/TimesDialog.h"
#include "toolkit/win32/WinWindow.h"

namespace {

using TStep = std::function<bool()>;

std::string OutputFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string exe = path;
  return exe.substr(0, exe.find_last_of('\\'));
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The dialog over a real form, played by the keyboard from a timer that its modal loop runs.
class WinTimesDialogTest : public testing::Test {
 protected:
  WinTimesDialogTest() {
    Application().Initialize();
    Owner.SetCaption("Owner");
    Owner.SetClientWidth(400);
    Owner.SetClientHeight(300);
    Owner.Show();
    SetForegroundWindow(WindowHandle(Owner));
    Application().ProcessMessages();
    Values.Times = {TLocalTime{2021, 1, 15, 12, 0, 0, 0}, TLocalTime{2021, 7, 15, 8, 30, 45, 0},
                    TLocalTime{1999, 12, 31, 23, 59, 59, 0}};
    Values.Sources = {2, 0, 1};
  }
  ~WinTimesDialogTest() override { ScaleOwner(96); }

  void ScaleOwner(int dpi) {
    const HWND window = WindowHandle(Owner);
    RECT place;
    GetWindowRect(window, &place);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&place));
  }
  // Runs each step once a tick until it says it is done; the last keys may close the dialog
  // before their step is over.
  bool ShowWithSteps(TTimesDialog& dialog, std::vector<TStep> steps) {
    size_t next = 0;
    TTimer timer;
    timer.SetInterval(30);
    timer.OnTimer = [&](TObject*) {
      if (next < steps.size() && steps[next]()) ++next;
    };
    timer.SetEnabled(true);
    const bool accepted = dialog.ShowModal();
    EXPECT_GE(next + 1, steps.size());
    return accepted;
  }
  TStep Found() {
    return [this] {
      Dialog = FindWindowW(L"BrevantorTimes", nullptr);
      if (!Dialog || !IsWindowVisible(Dialog)) return false;
      SetForegroundWindow(Dialog);
      return true;
    };
  }
  // Presses the keys, then types the text, then lets a few ticks pass for them.
  static TStep Keys(std::vector<std::pair<BYTE, BYTE>> keys, std::wstring text = L"") {
    return [keys, text, ticks = 0]() mutable {
      if (ticks++ == 0) {
        Press(keys);
        Type(text);
      }
      return ticks > 5;
    };
  }
  HWND Child(const wchar_t* className) const {
    return FindWindowExW(Dialog, nullptr, className, nullptr);
  }
  // Every control inside the window, none over another, and every caption whole in its font.
  TStep LaidOutAndSaved(int dpi, const std::string& name) {
    return [this, dpi, name] {
      EXPECT_TRUE(SaveWindowScreenshot(Dialog, OutputFolder() + "\\" + name));
      RECT client;
      GetClientRect(Dialog, &client);
      std::vector<std::pair<HWND, RECT>> placed;
      for (HWND child = GetWindow(Dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&box), 2);
        RECT inside;
        EXPECT_TRUE(IntersectRect(&inside, &box, &client) && EqualRect(&inside, &box))
            << dpi << " dpi: " << TextOf(child).size() << " characters of text outside";
        for (const auto& [other, otherBox] : placed)
          EXPECT_FALSE(IntersectRect(&inside, &box, &otherBox))
              << dpi << " dpi: controls overlap, one holding \"" << WideToUtf8(TextOf(child))
              << "\", the other \"" << WideToUtf8(TextOf(other)) << "\"";
        placed.push_back({child, box});
        ExpectWholeCaption(child, box, dpi);
      }
      LOGFONTW font{};
      GetObjectW(HFONT(SendMessageW(Child(L"STATIC"), WM_GETFONT, 0, 0)), sizeof font, &font);
      NONCLIENTMETRICSW metrics{};
      metrics.cbSize = sizeof metrics;
      SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
      EXPECT_EQ(font.lfHeight, MulDiv(metrics.lfMessageFont.lfHeight, dpi, 96));
      return true;
    };
  }
  static void ExpectWholeCaption(HWND control, const RECT& box, int dpi) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const std::wstring kind = className;
    if (kind != L"Static" && kind != L"Button") return;
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, HFONT(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed{};
    DrawTextW(dc, TextOf(control).c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const bool choice = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_RADIOBUTTON;
    const int room =
        box.right - box.left - (kind == L"Button" ? MulDiv(choice ? 16 : 8, dpi, 96) : 0);
    EXPECT_LE(needed.right, room) << dpi << " dpi: \"" << WideToUtf8(TextOf(control))
                                  << "\" is cut";
    EXPECT_LE(needed.bottom, box.bottom - box.top) << WideToUtf8(TextOf(control));
  }

  TForm Owner;
  TTimesValues Values;
  HWND Dialog = nullptr;
};

// Alt+E chooses each item's own times; Tab, Tab reaches the first offset past its source, whose
// text typing replaces; a label's mnemonic reaches the control after it. Enter is OK. The dates
// shown come back as they were given.
TEST_F(WinTimesDialogTest, IsFilledByKeysAndAnsweredByEnter) {
  TTimesDialog dialog(Owner, Values, "Central European Standard Time");
  int validated = 0;
  dialog.OnValidate = [&](const TTimesValues&) {
    ++validated;
    return std::string();
  };
  const bool accepted = ShowWithSteps(
      dialog, {Found(), LaidOutAndSaved(96, "times-96.bmp"),
               [this] {
                 EXPECT_EQ(TextOf(Dialog), L"Times");
                 EXPECT_TRUE(FindWindowExW(Dialog, nullptr, L"STATIC",
                                           L"Times are local: Central European Standard Time"));
                 return true;
               },
               Keys({{VK_MENU, 'E'}}), Keys({{0, VK_TAB}, {0, VK_TAB}}, L"+1h"),
               Keys({{VK_MENU, 'I'}, {0, VK_DOWN}, {0, VK_TAB}}, L"-1d"), Keys({{0, VK_RETURN}})});
  EXPECT_TRUE(accepted);
  EXPECT_EQ(validated, 1);
  const TTimesValues& chosen = dialog.Values();
  EXPECT_TRUE(chosen.OwnTimes);
  EXPECT_EQ(chosen.Shifts, (std::array<std::string, 3>{"+1h", "-1d", "+0s"}));
  EXPECT_EQ(chosen.Sources, (std::array<int, 3>{2, 1, 1}));
  for (size_t row = 0; row < 3; ++row) {
    EXPECT_EQ(chosen.Times[row].Year, Values.Times[row].Year) << row;
    EXPECT_EQ(chosen.Times[row].Hour, Values.Times[row].Hour) << row;
    EXPECT_EQ(chosen.Times[row].Second, Values.Times[row].Second) << row;
  }
}

// Now fills the three times with the present second; a refusal is shown over the dialog, which
// stays open with the focus on the first offset; Esc then leaves every value as it was.
TEST_F(WinTimesDialogTest, StaysOpenOnARefusalAndCancelsOnEsc) {
  TTimesDialog dialog(Owner, Values, "UTC");
  TTimesValues seen;
  dialog.OnValidate = [&](const TTimesValues& values) {
    seen = values;
    return std::string("Not an offset: +0s");
  };
  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  HWND box = nullptr;
  const bool accepted =
      ShowWithSteps(dialog, {Found(), Keys({{VK_MENU, 'N'}, {VK_MENU, 'E'}, {0, VK_RETURN}}),
                             [&] {
                               box = FindWindowW(L"#32770", nullptr);
                               return box && IsWindowVisible(box);
                             },
                             [&] {
                               EXPECT_EQ(GetWindow(box, GW_OWNER), Dialog);
                               EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), L"Not an offset: +0s");
                               return true;
                             },
                             Keys({{0, VK_RETURN}}),
                             [&] {
                               EXPECT_TRUE(IsWindowVisible(Dialog));
                               EXPECT_FALSE(IsWindowEnabled(WindowHandle(Owner)));
                               EXPECT_EQ(GetFocus(), Child(L"Edit"));
                               return true;
                             },
                             Keys({{0, VK_ESCAPE}})});
  EXPECT_FALSE(accepted);
  EXPECT_TRUE(seen.OwnTimes);
  FILETIME now{};
  ASSERT_TRUE(FromLocalTime(seen.Times[0], now));
  const uint64_t second = 10000000;
  EXPECT_LE(FileTimeValue(before) / second * second, FileTimeValue(now));
  EXPECT_LE(FileTimeValue(now), FileTimeValue(before) + 10 * second);
  for (const TLocalTime& time : seen.Times) {
    EXPECT_EQ(time.Milliseconds, 0);
    EXPECT_EQ(time.Second, seen.Times[0].Second);
    EXPECT_EQ(time.Day, seen.Times[0].Day);
  }
  EXPECT_FALSE(dialog.Values().OwnTimes);
  EXPECT_EQ(dialog.Values().Times[0].Year, 2021);
  EXPECT_TRUE(IsWindowEnabled(WindowHandle(Owner)));
}

// Opened over a form at 200 %, the dialog is drawn at the form's resolution; moved to a monitor at
// 100 %, at that one.
TEST_F(WinTimesDialogTest, IsDrawnAtTheOwnersResolutionAndFollowsAMove) {
  ScaleOwner(192);
  TTimesDialog dialog(Owner, Values, "Eastern Daylight Time");
  const bool accepted = ShowWithSteps(
      dialog, {Found(), LaidOutAndSaved(192, "times-192.bmp"),
               [this] {
                 RECT place;
                 GetWindowRect(Dialog, &place);
                 SendMessageW(Dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), LPARAM(&place));
                 return true;
               },
               LaidOutAndSaved(96, "times-moved-96.bmp"), Keys({{0, VK_ESCAPE}})});
  EXPECT_FALSE(accepted);
}

}  // namespace
