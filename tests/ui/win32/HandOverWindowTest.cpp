// What other programs hand the real window under Wine: names that name nothing and lists that
// cannot be read, from each source, and a flood of requests while it is busy.
// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/Win32ClipboardFiles.h"
#include "support/Win32OleDrag.h"
#include "support/Win32RealWindow.h"
#include "support/WorkerStops.h"
#include "ui/Constants.h"

namespace {

constexpr uint64_t t0 = 132000000000000000ull;

class HandOverWindowTest : public TRealWindowTest {
 protected:
  HandOverWindowTest() {
    // OLE on this thread, as the program has it, for drags and the clipboard.
    Application().Initialize();
    Open();
    Pump(200);
  }
  POINT ScreenPoint(const TControl& control) const {
    const TPoint point = control.ClientToScreen({3, 3});
    return {point.X, point.Y};
  }
  void Key(BYTE key, BYTE modifier) {
    keybd_event(modifier, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
    Pump(300);
  }
};

// A blank name or a malformed list from the shell's drop, an OLE drag or the clipboard: one box
// that says so, and nothing runs; the window stays as the Get left it.
TEST_F(HandOverWindowTest, NamesThatNameNothingAndMalformedListsAreRefusedFromEachSource) {
  const std::string source = Tree.AddFile("source.txt");
  const std::string target = Tree.AddFile("target.txt");
  TTempTree::SetTimes(target, {t0, t0, t0});
  DropOn(Form->GetPanel, {source});
  WaitIdle();
  ASSERT_EQ(StatusText(), "1: Get - Done 1/1 item(s)");
  TClipboardFilesSource& shell = SharedClipboardFilesSource();
  const std::vector<std::pair<std::function<void()>, std::string>> sources = {
      {[&] {
         DropOn(Form->SetPanel, {target, "  "});
       },
       NamelessItemText},
      {[&] { SendMessageW(Window, WM_DROPFILES, WPARAM(MisplacedNamesBlock({target})), 0); },
       MalformedDropText},
      {[&] {
         SendMessageW(Window, WM_DROPFILES, WPARAM(RawBlock({20, 0, 0, 0, 1})), 0);
       },
       MalformedDropText},
      {[&] {
         TOleDrag::Run({" ", target}, {{ScreenPoint(Form->SetPanel), {}}});
       },
       NamelessItemText},
      {[&] {
         ASSERT_TRUE(shell.Place({target, "\t"}, DROPEFFECT_COPY));
         SetFocus(WindowHandle(Form->SetPanel));
         Key('V', VK_CONTROL);
       },
       NamelessItemText},
      {[&] {
         ASSERT_TRUE(shell.PlaceBlock([&] { return MisplacedNamesBlock({target}); }));
         SetFocus(WindowHandle(Form->SetPanel));
         Key('V', VK_CONTROL);
       },
       MalformedDropText},
  };
  for (const auto& [deliver, refusal] : sources) {
    const size_t before = Boxes.Count();
    deliver();
    Pump(100);
    WaitIdle();
    ASSERT_EQ(Boxes.Count(), before + 1) << refusal;
    EXPECT_EQ(Boxes.Texts().back(), refusal);
  }
  EXPECT_EQ(StatusText(), "1: Get - Done 1/1 item(s)");
  EXPECT_EQ(TTempTree::Times(target).LastWrite, t0);
}

// A hundred requests while a Set runs: as many as the queue holds wait and then run one after
// another, each answered with its status; the others are refused at once. No box opens inside
// another, though each finished request's window could have shown one.
TEST_F(HandOverWindowTest, AFloodOfRequestsWhileBusyIsEachAnsweredWithoutANestedBox) {
  TFakeFileSystem files;
  const TFileSystemOverride fake(files);
  files.AddFile("C:\\source", faArchive, t0, t0, t0);
  files.AddFile("C:\\target", faArchive, t0, t0, t0);
  TWorkerStops gate;
  int deepest = 0;
  Boxes.WhileOpen = [&](const TShownMessageBox&) {
    deepest = std::max(deepest, Application().MessageBoxesOpen());
    Pump(50);
  };
  SetForwardedParamsHandler([this](const TStringList& params, THandOverReply reply) {
    Form->QueueRequest(params, std::move(reply));
  });
  DropOn(Form->GetPanel, {"C:\\source"});
  WaitIdle();
  gate.Hold(files, {{std::nullopt, "C:\\target"}});
  DropOn(Form->SetPanel, {"C:\\target"});
  gate.WaitHeld();
  std::vector<std::optional<THandOverAnswer>> answers(100);
  for (size_t i = 0; i < answers.size(); ++i) {
    // Every other request names nothing, so that its refusal would be a box of its own.
    const std::string path = i % 2 ? "C:\\target" : " ";
    ReceiveForwardedParams({"/set", path},
                           [&answers, i](const THandOverAnswer& answer) { answers[i] = answer; });
  }
  Pump(300);
  EXPECT_EQ(Form->WaitingRequests(), TMainForm::RequestQueueBound);
  gate.GoOnToTheEnd();
  const ULONGLONG deadline = GetTickCount64() + 60000;
  while (Form->WaitingRequests() > 0 && GetTickCount64() < deadline) Pump(50);
  WaitIdle();
  SetForwardedParamsHandler(nullptr);
  for (size_t i = 0; i < answers.size(); ++i) {
    ASSERT_TRUE(answers[i]) << i;
    const int expected = i >= TMainForm::RequestQueueBound ? hsBusy
                         : i % 2                           ? hsDone
                                                           : hsNoOperation;
    EXPECT_EQ(answers[i]->Status, expected) << i << ": " << answers[i]->Text;
  }
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(Boxes.Count(), TMainForm::RequestQueueBound / 2);
}

}  // namespace
