#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ProgramPlace.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"
#include "support/WorkerStops.h"
#include "toolkit/Instances.h"
#include "toolkit/ShellItems.h"
#include "toolkit/Toolkit.h"
#include "ui/CommandRequest.h"
#include "ui/Constants.h"
#include "ui/Tmainform.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;
constexpr int vkReturn = 0x0D, vkSpace = 0x20, vkInsert = 0x2D;

TEST(CommandRequestTest, TheFirstSwitchTakesTheFollowingPathsAndDpStaysASwitch) {
  struct TCase {
    TStringList Params;
    std::optional<TOperationKind> Kind;
    TStringList Paths;
    bool Work;
  };
  const TCase cases[] = {
      {{"/get", "a", "b"}, okGet, {"a", "b"}, true},
      {{"/SET", "/dp", "a"}, okSet, {"a"}, true},
      {{"/dp", "/Sync", "a", "/DP"}, okSync, {"a"}, true},
      {{"x", "/properties", "a", "/get"}, okProperties, {"a", "/get"}, true},
      {{"/get"}, okGet, {}, false},
      {{"/dp"}, std::nullopt, {}, false},
      {{"/getx", "a"}, std::nullopt, {}, false},
      {{}, std::nullopt, {}, false},
  };
  for (const TCase& test : cases) {
    const TCommandRequest request = ParseCommandRequest(test.Params);
    EXPECT_EQ(request, (TCommandRequest{test.Kind, test.Paths})) << test.Params.size();
    EXPECT_EQ(HasWork(request), test.Work);
  }
  EXPECT_EQ(ParseCommandRequest({"/Preview", "/sync", "a", "/IGNOREEXT"}),
            (TCommandRequest{okSync, {"a"}, true, true}));
}

// The window on the fake file system, with the clipboard's files and the file dialog's answers
// scripted.
class MainFormTargetsTest : public testing::Test {
 protected:
  MainFormTargetsTest() {
    Application().Initialize();
    Fs.AddFile(A, faArchive, t0 + 1 * day, t0 + 2 * day, t0 + 3 * day);
    for (const std::string& target : {X, Y}) Fs.AddFile(target, faArchive, t0, t0, t0);
    ClipboardFilesHook() = [this] { return Clipboard; };
    SetForwardedParamsHandler([this](const TStringList& params, THandOverReply reply) {
      Form->QueueRequest(params, std::move(reply));
    });
    ChooseItemsHook() = [this](const std::string& title) {
      Titles.push_back(title);
      return Chosen;
    };
    Form = std::make_unique<TMainForm>();
  }
  ~MainFormTargetsTest() override {
    Gate.GoOnToTheEnd();
    WaitIdle();
    SetForwardedParamsHandler(nullptr);
    Form.reset();
    ClipboardFilesHook() = nullptr;
    ChooseItemsHook() = nullptr;
  }

  void WaitIdle() {
    PumpUntil([this] { return Form->Stamper() == nullptr; });
  }
  bool Press(TControl& focused, int key, TShiftState shift) {
    Form->SetActiveControl(&focused);
    const bool taken = Form->PressKey(key, shift);
    WaitIdle();
    return taken;
  }
  // The pop-up menu as a right click at a point of the control opens it.
  void Popup(const TControl& at) {
    Form->ContextMenuAt(Form->ScreenToClient(at.ClientToScreen({1, 1})));
  }
  std::string Status() const { return Form->StatusBar.SimpleText(); }
  uint64_t LastWrite(const std::string& path) const {
    return FileTimeValue(Fs.Entry(path).LastWriteTime);
  }

  const std::string A = "C:\\get\\a.txt", X = "C:\\put\\x.txt", Y = "C:\\put\\y.txt";
  TTempTree Tree;
  TProgramPlace Place{{Tree.Path("brevantor")}};
  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TScriptedMessageBoxes Boxes;
  TWorkerStops Gate;
  std::optional<TStringList> Clipboard;
  TStringList Chosen, Titles;
  std::unique_ptr<TMainForm> Form;
};

// Enter and Space choose, Ctrl+V and Shift+Insert paste; each acts as a drop on the focused
// target, so the disabled Set shows the Properties of the items and keeps the marking.
TEST_F(MainFormTargetsTest, KeysOnAFocusedTargetChooseOrPasteAsADropWould) {
  Clipboard = TStringList{A};
  EXPECT_TRUE(Press(Form->SetPanel, 'V', ssCtrl));
  EXPECT_EQ(Status(), "1: Properties - Done 1/1 item(s)");
  EXPECT_EQ(Form->GetPanel.BevelOuter(), TBevelCut::bvRaised);

  Chosen = {A};
  EXPECT_TRUE(Press(Form->GetPanel, vkReturn, 0));
  EXPECT_EQ(Status(), "2: Get - Done 1/1 item(s)");
  EXPECT_EQ(Form->GetPanel.BevelOuter(), TBevelCut::bvLowered);
  Clipboard = TStringList{X};
  EXPECT_TRUE(Press(Form->SetPanel, vkInsert, ssShift));
  EXPECT_EQ(Status(), "3: Set - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0 + 3 * day);
  Chosen = {Y};
  EXPECT_TRUE(Press(Form->SyncPanel, vkSpace, 0));
  EXPECT_EQ(Status(), "4: Sync - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(Y), t0 + 3 * day);
  EXPECT_EQ(Titles, (TStringList{"Get: choose items", "Sync: choose items"}));

  // Other keys, a focused check box, an empty clipboard or a cancelled dialog start nothing.
  EXPECT_FALSE(Press(Form->GetPanel, vkReturn, ssAlt));
  EXPECT_FALSE(Press(Form->GetPanel, 'V', ssCtrl | ssShift));
  EXPECT_FALSE(Press(Form->SubdirsCheckBox, 'V', ssCtrl));
  Clipboard->clear();
  Chosen.clear();
  EXPECT_TRUE(Press(Form->GetPanel, 'V', ssCtrl));
  EXPECT_TRUE(Press(Form->GetPanel, vkReturn, 0));
  EXPECT_EQ(Status(), "4: Sync - Done 1/1 item(s)");
  EXPECT_EQ(Boxes.Count(), 1u);
}

TEST_F(MainFormTargetsTest, PopupPasteGoesToTheTargetUnderTheMenuElseToTheFocusedOne) {
  Clipboard = TStringList{A};
  Popup(Form->SubdirsCheckBox);
  EXPECT_FALSE(Form->PastePMenuItem->Visible());
  Popup(Form->GetPanel);
  EXPECT_TRUE(Form->PastePMenuItem->Visible() && Form->PastePMenuItem->Enabled());
  Form->PastePMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "1: Get - Done 1/1 item(s)");

  Form->SetActiveControl(&Form->SetPanel);
  Clipboard = TStringList{X};
  Popup(Form->SubdirsCheckBox);
  Form->PastePMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "2: Set - Done 1/1 item(s)");
  Clipboard->clear();
  Popup(Form->SyncPanel);
  EXPECT_TRUE(Form->PastePMenuItem->Visible());
  EXPECT_FALSE(Form->PastePMenuItem->Enabled());
  EXPECT_EQ(Boxes.Count(), 0u);
}

// A request handed over by a later start: what the window answered it, once it has.
struct TAnswered {
  std::optional<THandOverAnswer> Answer;
  THandOverReply Reply() {
    return [this](const THandOverAnswer& answer) {
      EXPECT_FALSE(Answer) << "answered twice";
      Answer = answer;
    };
  }
};

// Parameters of this start or handed over by a later one run as a drop. A request runs once the
// window is free, and its start is answered with the status of its end.
TEST_F(MainFormTargetsTest, HandedOverRequestsRunAsADropAndAreAnsweredWithTheirStatus) {
  EXPECT_TRUE(Form->RunParams({"/dp", "/set", X}));
  WaitIdle();
  EXPECT_EQ(Status(), "1: Properties - Done 1/1 item(s)");
  Fs.Fail(TPrimitive::WriteTimesOpen, Y);
  const std::string missing = "C:\\missing.txt";
  struct TCase {
    TStringList Params;
    int Status;
    std::string Text;
  };
  const TCase cases[] = {
      {{"/GET", A, "/dp"}, hsDone, "2: Get - Done 1/1 item(s)\r\n"},
      {{"/set", X}, hsDone, "3: Set - Done 1/1 item(s)\r\n"},
      {{"/set", X, Y},
       hsItemsFailed,
       "4: Set - Done 1/2 item(s)\r\nfailed write access: " + Y + "\r\n"},
      {{"/properties", missing},
       hsNoOperation,
       "5: Properties - Done 0/1 item(s)\r\nNo operation.\r\n\r\nFailed to get properties.\r\n"
       "failed to get data: " +
           missing + "\r\n"},
      {{"/sync", " "}, hsNoOperation, NamelessItemText},
  };
  for (const TCase& test : cases) {
    TAnswered answered;
    ReceiveForwardedParams(test.Params, answered.Reply());
    EXPECT_FALSE(answered.Answer) << "answered before it ran";
    Form->RequestTimer.Tick();
    WaitIdle();
    ASSERT_TRUE(answered.Answer) << test.Params[0];
    EXPECT_EQ(answered.Answer->Status, test.Status) << test.Params[0];
    EXPECT_EQ(answered.Answer->Text, test.Text) << test.Params[0];
  }
  EXPECT_EQ(LastWrite(X), t0 + 3 * day);

  // A request that the user cancels; one that comes once the window is gone.
  Gate.Hold(Fs, {{std::nullopt, X}});
  TAnswered canceled, late;
  ReceiveForwardedParams({"/set", X}, canceled.Reply());
  Form->RequestTimer.Tick();
  Gate.WaitHeld();
  Form->PressKey(0x1B, 0);
  Gate.GoOnToTheEnd();
  WaitIdle();
  ASSERT_TRUE(canceled.Answer);
  EXPECT_EQ(canceled.Answer->Status, hsCanceled);
  SetForwardedParamsHandler(nullptr);
  ReceiveForwardedParams({"/set", X}, late.Reply());
  ASSERT_TRUE(late.Answer);
  EXPECT_EQ(late.Answer->Status, hsBusy);
}

// A preview asked for by a request handed over is printed where that start's output goes; nothing
// is written, and the run ends as canceled.
TEST_F(MainFormTargetsTest, AHandedOverPreviewIsAnsweredWithTheListAndWritesNothing) {
  for (const TStringList& params : {TStringList{"/get", A}, TStringList{"/preview", "/set", X}}) {
    TAnswered answered;
    ReceiveForwardedParams(params, answered.Reply());
    Form->RequestTimer.Tick();
    WaitIdle();
    ASSERT_TRUE(answered.Answer);
    EXPECT_EQ(answered.Answer->Status, params[0] == "/get" ? hsDone : hsCanceled);
    if (params[0] == "/get") continue;
    EXPECT_TRUE(answered.Answer->Text.starts_with(
        "1 item(s) to write: 1 change, 0 stay as they are\r\nPath\tCreation\tLast write\tLast "
        "access\r\n" +
        X + "\t"))
        << answered.Answer->Text;
    EXPECT_TRUE(answered.Answer->Text.ends_with("\r\n2: Set - Canceled 0/1 item(s)\r\n"))
        << answered.Answer->Text;
  }
  EXPECT_EQ(LastWrite(X), t0);
}

// While any box is open, a waiting request stays waiting: it runs after the box has closed, never
// inside its loop. Closing asks again once its question is answered: what began meanwhile keeps
// the window open.
TEST_F(MainFormTargetsTest, RequestsWaitWhileABoxIsOpenAndClosingLooksAgainAfterItsQuestion) {
  Form->RunParams({"/get", A});
  WaitIdle();
  TAnswered answered;
  bool ranInside = false;
  bool asked = false;
  Boxes.WhileOpen = [&](const TShownMessageBox&) {
    if (std::exchange(asked, true)) return;
    ReceiveForwardedParams({"/set", X}, answered.Reply());
    Form->RequestTimer.Tick();
    ranInside = Form->Stamper() != nullptr;
    TNamesDropHandle drop({A}, Form->ScreenToClient(Form->GetPanel.ClientToScreen({1, 1})));
    Form->DropFiles(drop);
  };
  EXPECT_FALSE(Form->CloseQuery());
  EXPECT_FALSE(ranInside);
  EXPECT_EQ(Boxes.Texts(), (std::vector<std::string>{"Quits the application.\r\n\r\nSure?",
                                                     "Can't do it while processing."}));
  WaitIdle();
  EXPECT_EQ(Form->WaitingRequests(), 1u);
  Form->RequestTimer.Tick();
  WaitIdle();
  ASSERT_TRUE(answered.Answer);
  EXPECT_EQ(answered.Answer->Text, "3: Set - Done 1/1 item(s)\r\n");
}

// A name that names nothing, empty or of blanks, is refused from the file dialog and the command
// line with one box that says so; nothing of that request runs, its other names neither. (Drops
// and the clipboard are shown on the real window.)
TEST_F(MainFormTargetsTest, NamesThatNameNothingAreRefusedFromTheDialogAndTheCommandLine) {
  Form->RunParams({"/get", A});
  WaitIdle();
  const std::function<void(const TStringList&)> sources[] = {
      [&](const TStringList& names) {
        Chosen = names;
        Press(Form->SetPanel, vkReturn, 0);
      },
      [&](const TStringList& names) {
        TStringList params{"/set"};
        params.insert(params.end(), names.begin(), names.end());
        Form->RunParams(WithFullPaths(params));
      },
  };
  for (const auto& source : sources) {
    for (const TStringList& names : {TStringList{X, ""}, TStringList{"  "}, TStringList{"\t", X}}) {
      const size_t before = Boxes.Count();
      source(names);
      WaitIdle();
      ASSERT_EQ(Boxes.Count(), before + 1);
      EXPECT_EQ(Boxes.Texts().back(), NamelessItemText);
    }
  }
  EXPECT_EQ(Status(), "1: Get - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0);
}

}  // namespace
