#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ProgramPlace.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"
#include "toolkit/Instances.h"
#include "toolkit/ShellItems.h"
#include "toolkit/Toolkit.h"
#include "ui/CommandRequest.h"
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
    ChooseItemsHook() = [this](const std::string& title) {
      Titles.push_back(title);
      return Chosen;
    };
    Form = std::make_unique<TMainForm>();
  }
  ~MainFormTargetsTest() override {
    WaitIdle();
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
  TStringList Clipboard, Chosen, Titles;
  std::unique_ptr<TMainForm> Form;
};

// Enter and Space choose, Ctrl+V and Shift+Insert paste; each acts as a drop on the focused
// target, so the disabled Set shows the Properties of the items and keeps the marking.
TEST_F(MainFormTargetsTest, KeysOnAFocusedTargetChooseOrPasteAsADropWould) {
  Clipboard = {A};
  EXPECT_TRUE(Press(Form->SetPanel, 'V', ssCtrl));
  EXPECT_EQ(Status(), "1: Properties - Done 1/1 item(s)");
  EXPECT_EQ(Form->GetPanel.BevelOuter(), TBevelCut::bvRaised);

  Chosen = {A};
  EXPECT_TRUE(Press(Form->GetPanel, vkReturn, 0));
  EXPECT_EQ(Status(), "2: Get - Done 1/1 item(s)");
  EXPECT_EQ(Form->GetPanel.BevelOuter(), TBevelCut::bvLowered);
  Clipboard = {X};
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
  Clipboard.clear();
  Chosen.clear();
  EXPECT_TRUE(Press(Form->GetPanel, 'V', ssCtrl));
  EXPECT_TRUE(Press(Form->GetPanel, vkReturn, 0));
  EXPECT_EQ(Status(), "4: Sync - Done 1/1 item(s)");
  EXPECT_EQ(Boxes.Count(), 1u);
}

TEST_F(MainFormTargetsTest, PopupPasteGoesToTheTargetUnderTheMenuElseToTheFocusedOne) {
  Clipboard = {A};
  Popup(Form->SubdirsCheckBox);
  EXPECT_FALSE(Form->PastePMenuItem->Visible());
  Popup(Form->GetPanel);
  EXPECT_TRUE(Form->PastePMenuItem->Visible() && Form->PastePMenuItem->Enabled());
  Form->PastePMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "1: Get - Done 1/1 item(s)");

  Form->SetActiveControl(&Form->SetPanel);
  Clipboard = {X};
  Popup(Form->SubdirsCheckBox);
  Form->PastePMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "2: Set - Done 1/1 item(s)");
  Clipboard.clear();
  Popup(Form->SyncPanel);
  EXPECT_TRUE(Form->PastePMenuItem->Visible());
  EXPECT_FALSE(Form->PastePMenuItem->Enabled());
  EXPECT_EQ(Boxes.Count(), 0u);
}

// Parameters of this start or handed over by a later one run as a drop; a busy window refuses
// them as it refuses a drop.
TEST_F(MainFormTargetsTest, CommandLinesRunAsADropAndABusyWindowRefusesThem) {
  SetForwardedParamsHandler([this](const TStringList& params) { Form->RunParams(params); });
  Form->RunParams({"/dp", "/set", X});
  WaitIdle();
  EXPECT_EQ(Status(), "1: Properties - Done 1/1 item(s)");
  ReceiveForwardedParams({"/GET", A, "/dp"});
  ReceiveForwardedParams({"/set", X});
  WaitIdle();
  EXPECT_EQ(Status(), "2: Get - Done 1/1 item(s)");
  EXPECT_EQ(Boxes.Texts().back(), "Can't do it while processing.");
  ReceiveForwardedParams({"/set", X});
  WaitIdle();
  EXPECT_EQ(Status(), "3: Set - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0 + 3 * day);
  ReceiveForwardedParams({"/sync"});
  ReceiveForwardedParams({"/properties", A, X});
  WaitIdle();
  EXPECT_EQ(Status(), "4: Properties - Done 2/2 item(s)");
  SetForwardedParamsHandler(nullptr);
}

}  // namespace
