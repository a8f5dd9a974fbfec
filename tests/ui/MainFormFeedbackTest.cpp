#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
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
#include "toolkit/Toolkit.h"
#include "ui/Hints.h"
#include "ui/Tmainform.h"

namespace {

// The window on the fake file system, with Get data from one file.
class MainFormFeedbackTest : public testing::Test {
 protected:
  MainFormFeedbackTest() {
    Fs.AddFile(Source, faArchive, 1, 2, 3);
    Form = std::make_unique<TMainForm>();
  }
  ~MainFormFeedbackTest() override {
    Stops.GoOnToTheEnd();
    PumpUntil([this] { return Form->Stamper() == nullptr; });
  }

  TPoint On(const TControl& target, TPoint at = {1, 1}) const {
    return Form->ScreenToClient(target.ClientToScreen(at));
  }
  void Drop(const TControl& target, const TStringList& names) {
    TNamesDropHandle drop(names, On(target));
    Form->DropFiles(drop);
  }
  void GetSource() {
    Drop(Form->GetPanel, {Source});
    PumpUntil([this] { return Form->Stamper() == nullptr; });
  }
  std::vector<bool> Highlights() const {
    return {Form->GetPanel.Highlighted(), Form->SetPanel.Highlighted(),
            Form->SyncPanel.Highlighted()};
  }
  std::string Status() const { return Form->StatusBar.SimpleText(); }

  const std::string Source = "C:\\get\\a.txt";
  TTempTree Tree;
  TProgramPlace Place{{Tree.Path("brevantor")}};
  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TScriptedMessageBoxes Boxes;
  TWorkerStops Stops;
  std::unique_ptr<TMainForm> Form;
};

// Zero-padded, so that the sorted order is the order of the numbers.
std::string Target(int index) {
  const std::string number = std::to_string(index);
  return "C:\\put\\t" + std::string(3 - number.size(), '0') + number;
}

TEST_F(MainFormFeedbackTest, ALongRunCountsItsItemsInTheStatusLineAndOnTheTaskbar) {
  GetSource();
  TStringList targets;
  for (int index = 0; index < 1000; ++index) {
    targets.push_back(Target(index));
    Fs.AddFile(targets.back());
  }
  Fs.Fail(TPrimitive::WriteTimesSet, Target(10));
  Stops.Hold(Fs, {{TPrimitive::GetAttributes, Target(600)},
                  {TPrimitive::FindEntry, Target(500)},
                  {TPrimitive::WriteTimesOpen, Target(700)}});
  Drop(Form->SetPanel, targets);
  Stops.WaitHeld();
  const TTaskbarProgress& taskbar = Form->TaskbarProgress;
  // Half a second passes before a run shows its progress.
  Form->ProgressTimer.Tick();
  EXPECT_EQ(Status(), "2: Set - Press [Esc] to cancel");
  EXPECT_EQ(taskbar.State(), TTaskbarState::None);
  Form->ProgressTimer.Tick();
  EXPECT_EQ(Status(), "2: Set - Collecting 600 items - Press [Esc] to cancel");
  EXPECT_EQ(taskbar.State(), TTaskbarState::Busy);

  Stops.GoOn();
  Stops.WaitHeld();
  Form->ProgressTimer.Tick();
  EXPECT_EQ(Status(), "2: Set - Reading 500/1,000 - Press [Esc] to cancel");
  EXPECT_EQ(taskbar.State(), TTaskbarState::Normal);
  EXPECT_EQ(taskbar.Done(), 500);

  Stops.GoOn();
  Stops.WaitHeld();
  Form->ProgressTimer.Tick();
  EXPECT_EQ(Status(), "2: Set - Writing 700/1,000 - Press [Esc] to cancel");
  EXPECT_EQ(taskbar.State(), TTaskbarState::Error);
  EXPECT_EQ(taskbar.Total(), 1000);

  Form->PressKey(vkEscape, 0);
  Form->ProgressTimer.Tick();
  EXPECT_EQ(Status(), "2: Canceling...");
  Stops.GoOn();
  PumpUntil([this] { return Form->Stamper() == nullptr; });
  EXPECT_EQ(Status(), "2: Set - Canceled 700/1,000 item(s)");
  EXPECT_EQ(taskbar.State(), TTaskbarState::None);
  EXPECT_FALSE(Form->ProgressTimer.Enabled());
}

TEST_F(MainFormFeedbackTest, ADragHighlightsTheTargetThatWouldTakeItAndNamesWhatADropDoes) {
  const int gap = Form->SetPanel.Top() - (Form->GetPanel.Top() + Form->GetPanel.Height());
  ASSERT_GT(gap, 0);
  const TPoint gapPoint = On(Form->GetPanel, {1, Form->GetPanel.Height() + gap / 2});
  struct TCase {
    const char* Name;
    std::function<TPoint()> Point;
    std::vector<bool> Highlights;
    TOperationKind Kind;
  };
  const std::vector<TCase> withoutGetData = {
      {"Get", [&] { return On(Form->GetPanel); }, {true, false, false}, okGet},
      {"greyed Set", [&] { return On(Form->SetPanel); }, {false, false, false}, okProperties},
      {"gap", [&] { return gapPoint; }, {false, false, false}, okProperties},
      {"check box", [&] { return On(Form->CRTimeCheckBox); }, {false, false, false}, okProperties}};
  const std::vector<TCase> withGetData = {
      {"Set", [&] { return On(Form->SetPanel); }, {false, true, false}, okSet},
      {"Sync", [&] { return On(Form->SyncPanel); }, {false, false, true}, okSync},
      {"gap", [&] { return gapPoint; }, {false, false, false}, okProperties}};
  for (const auto* cases : {&withoutGetData, &withGetData}) {
    if (cases == &withGetData) GetSource();
    const std::string idle = Status();
    for (const TCase& c : *cases) {
      EXPECT_TRUE(Form->DragOver(c.Point())) << c.Name;
      EXPECT_EQ(Highlights(), c.Highlights) << c.Name;
      EXPECT_EQ(Status(), DropHint(c.Kind)) << c.Name;
    }
    Form->DragOver(std::nullopt);
    EXPECT_EQ(Highlights(), (std::vector{false, false, false}));
    EXPECT_EQ(Status(), idle);
  }
  EXPECT_NE(DropHint(okProperties), DropHint(okGet));
  Form->AcceptFiles(false);
  EXPECT_FALSE(Form->DragOver(On(Form->SetPanel)));
  EXPECT_EQ(Highlights(), (std::vector{false, false, false}));
}

// Each run of blanks as one space, as a browser shows the page.
std::string Squeezed(const std::string& text) {
  std::string squeezed;
  for (const char c : text) {
    const bool blank = std::isspace(static_cast<unsigned char>(c));
    if (!blank || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += blank ? ' ' : c;
  }
  return squeezed;
}

TEST_F(MainFormFeedbackTest, TargetsAndCheckBoxesSayWhatTheyDoAsTheHelpPageDoes) {
  std::ifstream file(std::string(BREVANTOR_SOURCE_DIR) + "/res/Help/index.html");
  std::stringstream help;
  help << file.rdbuf();
  const std::string page = Squeezed(help.str());
  ASSERT_FALSE(page.empty());
  std::vector<std::string> seen;
  for (const TControl* control : {static_cast<const TControl*>(&Form->GetPanel),
                                  static_cast<const TControl*>(&Form->SetPanel),
                                  static_cast<const TControl*>(&Form->SyncPanel)})
    seen.push_back(control->Hint());
  for (const TControl* box : Form->RightPanel.Controls()) seen.push_back(box->Hint());
  ASSERT_EQ(seen.size(), 9u);
  for (const std::string& hint : seen) {
    EXPECT_FALSE(hint.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), hint), 1) << hint;
    EXPECT_NE(page.find("<q>" + hint + "</q>"), std::string::npos) << hint;
  }
  EXPECT_NE(page.find(DropHint(okProperties)), std::string::npos);
}

}  // namespace
