#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/IniFile.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ProgramPlace.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"
#include "support/WorkerStops.h"
#include "toolkit/TimesDialog.h"
#include "toolkit/Toolkit.h"
#include "ui/CommandRequest.h"
#include "ui/Constants.h"
#include "ui/MenuImages.h"
#include "ui/Tmainform.h"
#include "version.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;
constexpr int question = mbOkCancel | mbIconQuestion;
constexpr int warning = mbOk | mbIconExclamation;
const std::string busy = "Can't do it while processing.";

// The real window on the fake file system; drops, clicks and keys as a user makes them.
class MainFormTest : public testing::Test {
 protected:
  MainFormTest() {
    Fs.AddFile(A, faArchive, t0 + 1 * day, t0 + 2 * day, t0 + 3 * day);
    Fs.AddFile(B, faArchive, t0 + 4 * day, t0 + 5 * day, t0 + 6 * day);
    Fs.AddFile(C, faArchive, t0 + 7 * day, t0 + 8 * day, t0 + 9 * day);
    for (const std::string& target : {X, Y, Z}) Fs.AddFile(target, faArchive, t0, t0, t0);
    Application().ShellOpenHook = [this](const std::string& verb, const std::string& file,
                                         const std::string& params) {
      ShellCalls.push_back({verb, file, params});
      return ShellResult;
    };
    Form = std::make_unique<TMainForm>();
  }
  ~MainFormTest() override {
    Gate.GoOnToTheEnd();
    WaitIdle();
    Form.reset();
    Application().ShellOpenHook = nullptr;
  }

  // A drop at a point given in the target control's own coordinates.
  TPoint PointOn(const TControl& target, TPoint at) const {
    return Form->ScreenToClient(target.ClientToScreen(at));
  }
  void DropOn(const TControl& target, TPoint at, const TStringList& names) {
    TNamesDropHandle drop(names, PointOn(target, at));
    Form->DropFiles(drop);
  }
  void Run(const TControl& target, const TStringList& names, TPoint at = {1, 1}) {
    DropOn(target, at, names);
    WaitIdle();
  }
  void WaitIdle() {
    PumpUntil([this] { return Form->Stamper() == nullptr; });
  }
  std::string Status() const { return Form->StatusBar.SimpleText(); }
  std::vector<TBevelCut> Bevels() const {
    return {Form->GetPanel.BevelOuter(), Form->SetPanel.BevelOuter(), Form->SyncPanel.BevelOuter()};
  }
  uint64_t LastWrite(const std::string& path) const {
    return FileTimeValue(Fs.Entry(path).LastWriteTime);
  }

  const std::string A = "C:\\get\\a.txt", B = "C:\\get\\b.txt", C = "C:\\get\\c.txt";
  const std::string X = "C:\\put\\x.txt", Y = "C:\\put\\y.txt", Z = "C:\\put\\z.txt";
  TTempTree Tree;
  TProgramPlace Place{{Tree.Path("brevantor")}};
  TFakeFileSystem Fs;
  std::optional<TFileSystemOverride> Guard{Fs};
  TScriptedMessageBoxes Boxes;
  TWorkerStops Gate;
  // Verb, file and parameters of each shell call.
  std::vector<std::vector<std::string>> ShellCalls;
  int ShellResult = 42;
  std::unique_ptr<TMainForm> Form;
};

int Scaled(int design) { return Screen().Scale(design); }

const TBevelCut raised = TBevelCut::bvRaised;
const TBevelCut lowered = TBevelCut::bvLowered;

void CollectCommands(const TMenuItem& parent, std::vector<TMenuItem*>& items) {
  for (int index = 0; index < parent.Count(); ++index) {
    TMenuItem& item = parent.Items(index);
    if (item.Count() > 0)
      CollectCommands(item, items);
    else if (!item.IsSeparator())
      items.push_back(&item);
  }
}

TEST_F(MainFormTest, StartsIdleWithTheDesignLayout) {
  EXPECT_EQ(Form->ClientWidth(), Scaled(289));
  EXPECT_EQ(Form->ClientHeight(), Scaled(153) + Form->StatusBar.Height());
  EXPECT_EQ(Form->Caption(), "Brevantor");
  EXPECT_EQ(Application().Title, "Brevantor");
  EXPECT_EQ(Form->StatusBar.Top(), Scaled(153));
  EXPECT_EQ(Form->StatusBar.Height(), Scaled(15) + 12);
  EXPECT_EQ(Form->RightPanel.Left(), Scaled(144));
  EXPECT_EQ(Form->SyncLabel.Font(), (TFont{"Courier New", -Scaled(18)}));
  for (const TControl* box : Form->RightPanel.Controls())
    EXPECT_EQ(dynamic_cast<const TCheckBox&>(*box).Checked(), box != &Form->AnyAttrCheckBox);

  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Bevels(), (std::vector{raised, raised, raised}));
  EXPECT_TRUE(Form->GetPanel.Enabled() && Form->GetLabel.Enabled());
  EXPECT_FALSE(Form->SetPanel.Enabled() || Form->SetPaintBox.Enabled());
  EXPECT_FALSE(Form->SyncPanel.Enabled() || Form->SyncLabel.Enabled());
  for (TMenuItem* item : {Form->UndoMenuItem, Form->RedoMenuItem, Form->CopyErrorLogMenuItem,
                          Form->PropertiesMenuItem, Form->ClearUndoRedoDataMenuItem,
                          Form->ClearGetDataMenuItem, Form->UndoPMenuItem, Form->RedoPMenuItem,
                          Form->CopyErrorLogPMenuItem, Form->PropertiesPMenuItem})
    EXPECT_FALSE(item->Enabled()) << item->Name;
  EXPECT_TRUE(Form->AcceptsFiles());
  EXPECT_EQ(Form->MenuImages.Count(), 11);
  EXPECT_EQ(Form->IconImages(), &Form->MenuImages);
  EXPECT_EQ(Form->IconIndex(), miGet);
}

TEST_F(MainFormTest, PaintsEachTargetIconCentredAndGreyedWhileDisabled) {
  TRecordingCanvas canvas;
  Form->GetPaintBox.PaintTo(canvas);
  Form->SetPaintBox.PaintTo(canvas);
  Form->SyncPaintBox.PaintTo(canvas);
  const TImageList* images = &Form->MenuImages;
  const int at = (Scaled(25) - 16) / 2;
  EXPECT_EQ(canvas.Drawings,
            (std::vector<TRecordingCanvas::TDrawing>{{images, miGet, at, at, true},
                                                     {images, miSet, at, at, false},
                                                     {images, miSync, at, at, false}}));
}

TEST_F(MainFormTest, ViewTogglesTakeEffectAndReturn) {
  const int height = Form->ClientHeight();
  Form->SwapPanelsMenuItem->Click();
  EXPECT_EQ(Form->LeftPanel.Left(), Scaled(144));
  EXPECT_EQ(Form->RightPanel.Left(), 0);
  EXPECT_TRUE(Form->SwapPanelsMenuItem->Checked());
  Form->SwapPanelsMenuItem->Click();
  EXPECT_EQ(Form->LeftPanel.Left(), 0);
  EXPECT_EQ(Form->RightPanel.Left(), Scaled(144));

  Form->StatusBarMenuItem->Click();
  EXPECT_EQ(Form->ClientHeight(), height - Form->StatusBar.Height());
  Run(Form->GetPanel, {A});
  Form->StatusBarMenuItem->Click();
  EXPECT_EQ(Form->ClientHeight(), height);
  EXPECT_EQ(Status(), "1: Get - Done 1/1 item(s)");

  Form->MenuIconsMenuItem->Click();
  EXPECT_EQ(Form->FormMainMenu.Images(), nullptr);
  EXPECT_EQ(Form->FormPopupMenu.Images(), nullptr);
  Form->MenuIconsMenuItem->Click();
  EXPECT_EQ(Form->FormMainMenu.Images(), &Form->MenuImages);
  EXPECT_EQ(Form->FormPopupMenu.Images(), &Form->MenuImages);

  Form->SetBounds(300, 200, Form->Width(), Form->Height());
  Form->TopmostMenuItem->Click();
  EXPECT_TRUE(Form->Topmost());
  Form->TopmostMenuItem->Click();
  EXPECT_FALSE(Form->Topmost());
  EXPECT_EQ(Form->Left(), 300);
  EXPECT_EQ(Form->Top(), 200);

  Form->LastPositionMenuItem->Click();
  EXPECT_TRUE(Form->ViewOptions().LastPosition);
  EXPECT_TRUE(Form->LastPositionMenuItem->Checked());
}

TEST_F(MainFormTest, DropsRunGetSetSyncUndoRedoWithNumberedStatus) {
  Run(Form->GetPanel, {C, A, B});
  EXPECT_EQ(Status(), "1: Get - Done 3/3 item(s)");
  EXPECT_EQ(Form->Holder().Count(), 3);
  EXPECT_EQ(Bevels(), (std::vector{lowered, raised, raised}));
  EXPECT_TRUE(Form->SetPanel.Enabled() && Form->SyncLabel.Enabled());
  EXPECT_TRUE(Form->PropertiesMenuItem->Enabled() && Form->ClearGetDataMenuItem->Enabled() &&
              Form->PropertiesPMenuItem->Enabled());
  EXPECT_FALSE(Form->UndoMenuItem->Enabled());

  Run(Form->SetPanel, {X});
  EXPECT_EQ(Status(), "2: Set - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0 + 6 * day);
  EXPECT_EQ(Bevels(), (std::vector{raised, lowered, raised}));
  EXPECT_TRUE(Form->UndoMenuItem->Enabled() && Form->UndoPMenuItem->Enabled() &&
              Form->ClearUndoRedoDataMenuItem->Enabled());
  EXPECT_FALSE(Form->RedoMenuItem->Enabled() || Form->RedoPMenuItem->Enabled());

  Run(Form->SyncPanel, {Z, Y, X});
  EXPECT_EQ(Status(), "3: Sync - Done 3/3 item(s)");
  EXPECT_EQ(LastWrite(Z), t0 + 9 * day);

  Form->UndoMenuItem->Click();
  EXPECT_EQ(Status(), "4: Undo - Press [Esc] to cancel");
  WaitIdle();
  EXPECT_EQ(Status(), "4: Undo - Done 3/3 item(s)");
  EXPECT_EQ(LastWrite(X), t0 + 6 * day);
  EXPECT_TRUE(Form->RedoMenuItem->Enabled() && Form->RedoPMenuItem->Enabled());
  EXPECT_EQ(Bevels(), (std::vector{raised, raised, lowered}));

  Form->RedoPMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "5: Redo - Done 3/3 item(s)");
  EXPECT_EQ(LastWrite(X), t0 + 3 * day);
  EXPECT_FALSE(Form->RedoMenuItem->Enabled());
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(MainFormTest, CountsInTheStatusAreGrouped) {
  TStringList many;
  for (int index = 0; index < 1000; ++index) {
    many.push_back("C:\\many\\" + std::to_string(index));
    Fs.AddFile(many.back());
  }
  Run(Form->GetPanel, many);
  EXPECT_EQ(Status(), "1: Get - Done 1,000/1,000 item(s)");
}

// On a FAT volume that rounds last-write times down to even seconds and drops creation times.
TEST_F(MainFormTest, TheStatusNotesRoundedItemsAndTheLogTimesNotKept) {
  Fs.SetVolume({"FAT", false});
  Fs.SetStoreRule([](TTimeKind kind, uint64_t asked, uint64_t held) {
    return kind == TTimeKind::Creation ? held : asked - asked % 20000000;
  });
  Fs.SetTimes(A, t0 + day, t0, t0 + 30000000);
  Run(Form->GetPanel, {A});
  Form->CRTimeCheckBox.Click();
  Run(Form->SetPanel, {X, Y});
  EXPECT_EQ(Status(), "2: Set - Done 2/2 item(s), 2 rounded by the file system");
  Form->CRTimeCheckBox.Click();
  Run(Form->SetPanel, {Z});
  EXPECT_EQ(Status(), "3: Set - Done 0/1 item(s)");
  EXPECT_EQ(Form->ErrorLog(), "creation time not kept: " + Z + "\r\n");
}

TEST_F(MainFormTest, DropsBesideOrOnDisabledTargetsShowProperties) {
  Run(Form->SetPanel, {A});
  EXPECT_EQ(Status(), "1: Properties - Done 1/1 item(s)");
  EXPECT_EQ(Form->Holder().Count(), 0);
  EXPECT_EQ(Bevels(), (std::vector{raised, raised, raised}));

  Run(Form->GetPanel, {A});
  Run(Form->SubdirsCheckBox, {B, C});
  EXPECT_EQ(Status(), "3: Properties - Done 2/2 item(s)");
  EXPECT_EQ(Form->Holder().Stamps()[0].Path, A);
  EXPECT_EQ(Bevels(), (std::vector{lowered, raised, raised}));
  EXPECT_EQ(Boxes.Count(), 2u);
}

TEST_F(MainFormTest, TargetsAreHitOnlyInsideTheirBounds) {
  const int width = Form->GetPanel.Width();
  const int height = Form->GetPanel.Height();
  for (TPoint outside : {TPoint{width, 0}, TPoint{0, height}, TPoint{-1, 0}}) {
    Run(Form->GetPanel, {A}, outside);
    EXPECT_EQ(Form->StatusText(), "Properties - Done 1/1 item(s)") << outside.X << "," << outside.Y;
  }
  Run(Form->GetPanel, {A}, {width - 1, height - 1});
  EXPECT_EQ(Status(), "4: Get - Done 1/1 item(s)");
}

TEST_F(MainFormTest, LongNamesAreTakenWholeNeverCut) {
  const std::string longName = "C:\\get\\" + std::string(300, 'n');
  Fs.AddFile(longName.substr(0, 259));
  Fs.AddFile(longName);
  TNamesDropHandle drop({longName, A}, PointOn(Form->GetPanel, {1, 1}));
  Form->WMDropFiles(drop);
  WaitIdle();
  EXPECT_EQ(Status(), "1: Get - Done 2/2 item(s)");
  ASSERT_EQ(Form->Holder().Count(), 2);
  EXPECT_EQ(Form->Holder().Stamps()[1].Path, longName);
  EXPECT_EQ(drop.Finished(), 1);
}

TEST_F(MainFormTest, ErrorLogIsTakenOverCopiedAndReplaced) {
  Fs.Fail(TPrimitive::FindEntry, B);
  Run(Form->GetPanel, {A, B});
  EXPECT_EQ(Status(), "1: Get - Done 1/2 item(s)");
  ASSERT_FALSE(Form->ErrorLog().empty());
  EXPECT_EQ(Form->ErrorLog().substr(Form->ErrorLog().size() - B.size() - 2), B + "\r\n");
  EXPECT_TRUE(Form->CopyErrorLogMenuItem->Enabled() && Form->CopyErrorLogPMenuItem->Enabled());
  Form->CopyErrorLogPMenuItem->Click();
  EXPECT_EQ(Clipboard().GetText(), Form->ErrorLog());

  Run(Form->GetPanel, {A});
  EXPECT_EQ(Form->ErrorLog(), "");
  EXPECT_FALSE(Form->CopyErrorLogMenuItem->Enabled() || Form->CopyErrorLogPMenuItem->Enabled());
  Clipboard().SetText("kept");
  Form->MenuItemClick(Form->CopyErrorLogMenuItem);
  EXPECT_EQ(Clipboard().GetText(), "kept");
  ASSERT_EQ(Boxes.Count(), 1u);
  EXPECT_EQ(Boxes.Shown()[0].Text, "No operation.\r\n\r\nNo error log.");
  EXPECT_EQ(Boxes.Shown()[0].Flags, warning);
}

TEST_F(MainFormTest, BusyWindowRefusesEveryEntryAndRestoresItselfAfterwards) {
  Form->SetActiveControl(&Form->SubdirsCheckBox);
  Gate.Hold(Fs, {{std::nullopt, A}});
  DropOn(Form->GetPanel, {1, 1}, {A});
  EXPECT_TRUE(Form->Stamper() != nullptr);
  EXPECT_FALSE(Form->ClientPanel.Enabled());
  EXPECT_TRUE(Form->GetPanel.Enabled());
  EXPECT_FALSE(Form->AcceptsFiles());
  EXPECT_EQ(Screen().Cursor(), TCursor::crHourGlass);
  Form->SetActiveControl(nullptr);

  std::vector<TMenuItem*> commands;
  CollectCommands(Form->FormMainMenu.Items(), commands);
  CollectCommands(Form->FormPopupMenu.Items(), commands);
  EXPECT_EQ(commands.size(), 30u);
  for (TMenuItem* item : commands) Form->MenuItemClick(item);
  TNamesDropHandle drop({B}, {1, 1});
  Form->WMDropFiles(drop);
  EXPECT_FALSE(Form->CloseQuery());
  Form->StatusBar.DblClick();
  Form->AnyAttrCheckBox.Click();

  ASSERT_EQ(Boxes.Count(), commands.size() + 2);
  for (const TShownMessageBox& box : Boxes.Shown()) {
    EXPECT_EQ(box.Text, busy);
    EXPECT_EQ(box.Caption, "Brevantor");
    EXPECT_EQ(box.Flags, warning);
  }
  EXPECT_EQ(drop.Finished(), 1);
  EXPECT_TRUE(ShellCalls.empty());
  EXPECT_EQ(Form->ViewOptions(), TViewOptions());
  EXPECT_FALSE(Form->SwapPanelsMenuItem->Checked());
  EXPECT_EQ(Form->StampOptions(), TStampOptions());

  Gate.GoOn();
  WaitIdle();
  EXPECT_EQ(Status(), "1: Get - Done 1/1 item(s)");
  EXPECT_TRUE(Form->ClientPanel.Enabled());
  EXPECT_TRUE(Form->AcceptsFiles());
  EXPECT_EQ(Screen().Cursor(), TCursor::crDefault);
  EXPECT_EQ(Form->ActiveControl(), &Form->SubdirsCheckBox);
}

TEST_F(MainFormTest, ARefusedThreadLeavesTheWindowIdleWithNothingChanged) {
  Run(Form->GetPanel, {A});
  Run(Form->SetPanel, {X});
  const uint64_t written = LastWrite(X);
  {
    TThreadRefusal refusal;
    DropOn(Form->GetPanel, {1, 1}, {Y});
    EXPECT_EQ(Bevels(), (std::vector{raised, lowered, raised}));
    Form->UndoMenuItem->Click();
    EXPECT_EQ(Form->Stamper(), nullptr);
    EXPECT_EQ(Status(), "2: Set - Done 1/1 item(s)");
    EXPECT_TRUE(Form->ClientPanel.Enabled());
    EXPECT_TRUE(Form->AcceptsFiles());
    EXPECT_EQ(Screen().Cursor(), TCursor::crDefault);
  }
  EXPECT_EQ(LastWrite(Y), t0);
  EXPECT_EQ(LastWrite(X), written);
  EXPECT_TRUE(Form->UndoMenuItem->Enabled());
  EXPECT_TRUE(Boxes.Texts().empty());

  Form->UndoMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "3: Undo - Done 1/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0);
}

TEST_F(MainFormTest, EscapeAloneCancelsOnlyWhileBusy) {
  EXPECT_FALSE(Form->PressKey(vkEscape, 0));
  EXPECT_EQ(Status(), "Ready");

  Gate.Hold(Fs, {{std::nullopt, A}});
  DropOn(Form->GetPanel, {1, 1}, {A});
  for (TShiftState shift : {ssShift, ssCtrl, ssAlt, ssLeft}) Form->PressKey(vkEscape, shift);
  EXPECT_EQ(Status(), "1: Get - Press [Esc] to cancel");
  Form->PressKey(vkEscape, 0);
  EXPECT_EQ(Status(), "1: Canceling...");
  Gate.GoOn();
  WaitIdle();
  EXPECT_EQ(Status(), "1: Get - Canceled 0/1 item(s)");
  EXPECT_EQ(Form->Holder().Count(), 0);
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(MainFormTest, ClosingAsksOnlyWhenThereIsDataToLose) {
  EXPECT_TRUE(Form->CloseQuery());
  EXPECT_EQ(Boxes.Count(), 0u);

  Run(Form->GetPanel, {A});
  Form->Show();
  Boxes.Answer(idCancel);
  Form->ExitMenuItem->Click();
  EXPECT_TRUE(Form->Visible());
  Form->ExitMenuItem->Click();
  EXPECT_FALSE(Form->Visible());
  ASSERT_EQ(Boxes.Count(), 2u);
  EXPECT_EQ(Boxes.Shown()[1].Text, "Quits the application.\r\n\r\nSure?");
  EXPECT_EQ(Boxes.Shown()[1].Flags, question);
}

TEST_F(MainFormTest, ClearCommandsAskAndClearOnlyOnOk) {
  Run(Form->GetPanel, {A, B});
  Run(Form->SetPanel, {X});
  Boxes.Answer(idCancel);
  Form->ClearGetDataMenuItem->Click();
  EXPECT_EQ(Form->Holder().Count(), 2);
  Form->ClearGetDataMenuItem->Click();
  EXPECT_EQ(Form->Holder().Count(), 0);
  EXPECT_EQ(Bevels(), (std::vector{raised, raised, raised}));
  EXPECT_FALSE(Form->SetPanel.Enabled() || Form->SyncPanel.Enabled() ||
               Form->PropertiesMenuItem->Enabled() || Form->ClearGetDataMenuItem->Enabled());
  EXPECT_TRUE(Form->History().CanUndo());

  Boxes.Answer(idCancel);
  Form->ClearUndoRedoDataMenuItem->Click();
  EXPECT_TRUE(Form->UndoMenuItem->Enabled());
  Form->ClearUndoRedoDataMenuItem->Click();
  EXPECT_FALSE(Form->UndoMenuItem->Enabled() || Form->ClearUndoRedoDataMenuItem->Enabled());
  EXPECT_EQ(Boxes.Texts(),
            (std::vector<std::string>{
                "Clears Get data.\r\n\r\nSure?", "Clears Get data.\r\n\r\nSure?",
                "Clears Undo/Redo data.\r\n\r\nSure?", "Clears Undo/Redo data.\r\n\r\nSure?"}));
  for (const TShownMessageBox& box : Boxes.Shown()) EXPECT_EQ(box.Flags, question);
}

TEST_F(MainFormTest, HelpNewWindowTipsAndAboutReachTheShellAndTheUser) {
  Boxes.Answer(idCancel);
  Form->Help2MenuItem->Click();
  EXPECT_TRUE(ShellCalls.empty());
  ShellResult = 32;
  Form->Help2MenuItem->Click();
  EXPECT_EQ(ShellCalls, (std::vector<std::vector<std::string>>{{"", HelpPath(), ""}}));
  EXPECT_EQ(HelpPath(), Tree.Path("Help") + TTempTree::Separator() + "index.html");

  ShellResult = 33;
  Form->NewWindowPMenuItem->Click();
  EXPECT_EQ(ShellCalls.back(), (std::vector<std::string>{"open", Tree.Path("brevantor"), "/dp"}));
  EXPECT_FALSE(TIniFile(SettingsPath()).ReadString("Settings", "Values", "").empty());

  Form->TipsMenuItem->Click();
  Form->AboutMenuItem->Click();
  ASSERT_EQ(Boxes.Count(), 5u);
  EXPECT_EQ(Boxes.Shown()[1].Text, "Opens a help file in HTML format.\r\n\r\nSure?");
  EXPECT_EQ(Boxes.Shown()[2].Text, "Failed to open the file: " + HelpPath());
  EXPECT_EQ(Boxes.Shown()[2].Flags, warning);
  EXPECT_EQ(Boxes.Shown()[3].Caption, "Tips");
  EXPECT_EQ(Boxes.Shown()[3].Text, TipsText);
  EXPECT_EQ(Boxes.Shown()[4].Caption, "About");
  EXPECT_EQ(Boxes.Shown()[4].Text, "Brevantor for Win32 Version " BREVANTOR_VERSION_TEXT
                                   "\r\n\r\nThe Brevantor developers");
  EXPECT_EQ(Boxes.Shown()[4].Flags, mbOk | mbIconInformation);
}

TEST_F(MainFormTest, StatusBarDoubleClickShowsPropertiesOfTheGetData) {
  Form->StatusBar.DblClick();
  EXPECT_EQ(Status(), "Ready");
  Run(Form->GetPanel, {A, B});
  Form->StatusBar.DblClick();
  EXPECT_EQ(Status(), "2: Properties - Press [Esc] to cancel");
  WaitIdle();
  EXPECT_EQ(Status(), "2: Properties - Done 2/2 item(s)");
  EXPECT_EQ(Boxes.Count(), 1u);
}

TEST_F(MainFormTest, CheckBoxesSteerTheNextOperation) {
  Run(Form->GetPanel, {A});
  for (TCheckBox* box : {&Form->CRTimeCheckBox, &Form->LWTimeCheckBox, &Form->LATimeCheckBox})
    box->Click();
  EXPECT_FALSE(Form->StampOptions().CRTime || Form->StampOptions().LWTime ||
               Form->StampOptions().LATime);
  Run(Form->SetPanel, {X});
  EXPECT_EQ(Boxes.Texts(),
            (std::vector<std::string>{"No operation.\r\n\r\nNo time parameter to process."}));
  Form->AnyAttrCheckBox.Click();
  EXPECT_TRUE(Form->StampOptions().AnyAttr);
}

TEST_F(MainFormTest, OperationsChangeRealFilesAndUndoRedoThem) {
  Guard.reset();
  const std::string source = Tree.AddFile("source");
  const std::string target = Tree.AddFile("target");
  TTempTree::SetTimes(source, {0, t0 + 1 * day, t0 + 2 * day});
  TTempTree::SetTimes(target, {0, t0 + 5 * day, t0 + 6 * day});
  const TItemTimes before = TTempTree::Times(target);
  Form->CRTimeCheckBox.Click();
  Run(Form->GetPanel, {source});
  Run(Form->SetPanel, {target});
  EXPECT_EQ(Status(), "2: Set - Done 1/1 item(s)");
  EXPECT_EQ(TTempTree::Times(target).LastWrite, t0 + 2 * day);
  EXPECT_EQ(TTempTree::Times(target).LastAccess, t0 + 1 * day);
  Form->UndoMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(TTempTree::Times(target), before);
  Form->RedoMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(Status(), "4: Redo - Done 1/1 item(s)");
  EXPECT_EQ(TTempTree::Times(target).LastWrite, t0 + 2 * day);
  EXPECT_TRUE(Boxes.Texts().empty());
}

// A box of the worker's own, open when the logoff comes, holds it between items until the window
// has answered: the window agrees at once, and the box, closed as declined, stops the operation.
// A worker in the middle of one call (a slow share) holds the logoff until that item is done, and
// meanwhile the system is told why.
TEST_F(MainFormTest, ALogoffWaitsForTheItemInHandButNotForTheWorkersOwnBox) {
  Run(Form->GetPanel, {A});
  Fs.Fail(TPrimitive::FindEntry, X);
  std::vector<bool> agreedBusy;
  auto took = std::chrono::steady_clock::duration::max();
  Boxes.WhileOpen = [&](const TShownMessageBox&) {
    const auto start = std::chrono::steady_clock::now();
    agreedBusy = {Form->QueryEndSession(), Form->Stamper() != nullptr};
    took = std::chrono::steady_clock::now() - start;
    Form->EndSession(false);
  };
  Run(Form->SetPanel, {X});
  EXPECT_EQ(agreedBusy, (std::vector{true, true}));
  EXPECT_LT(took, std::chrono::seconds(2));
  EXPECT_EQ(Status(), "2: Set - Canceled 0/1 item(s)");
  EXPECT_EQ(LastWrite(X), t0);
  Boxes.WhileOpen = nullptr;

  Gate.Hold(Fs, {{std::nullopt, Y}});
  DropOn(Form->SetPanel, {1, 1}, {Y});
  Gate.WaitHeld();
  std::string reason;
  std::thread slowShare([&] {
    MainThreadQueue().RunAndWait([&] { reason = Form->ShutdownBlockReason(); });
    Gate.GoOnToTheEnd();
  });
  EXPECT_TRUE(Form->QueryEndSession());
  slowShare.join();
  EXPECT_EQ(Form->Stamper(), nullptr);
  EXPECT_EQ(reason, "Finishing the item being written, then stopping.");
  EXPECT_EQ(Form->ShutdownBlockReason(), "");
  EXPECT_EQ(Status(), "3: Set - Canceled 0/1 item(s)");
  Form->EndSession(false);
}

}  // namespace

namespace {

// A journal left by a process that died during a Set onto X and Y, after X was written.
class MainFormRecoveryTest : public MainFormTest {
 protected:
  MainFormRecoveryTest() {
    TJournalBegin begin;
    begin.Kind = okSet;
    begin.Started = t0;
    for (const std::string& target : {X, Y}) {
      TStamp stamp;
      stamp.Path = target;
      stamp.CRTime = stamp.LWTime = stamp.LATime = MakeFileTime(t0);
      begin.Backup.push_back(stamp);
      begin.Attributes.push_back(faArchive);
    }
    TStamp written;
    written.CRTime = written.LWTime = written.LATime = MakeFileTime(t0 + day);
    begin.Target = {written};
    TJournalWritten batch{{0}, {1}, {begin.Backup[0]}};
    std::ofstream(Stopped, std::ios::binary)
        << JournalHeader() + EncodeBegin(begin) + EncodeWritten(batch);
    Fs.SetTimes(X, t0 + day, t0 + day, t0 + day);
  }
  bool StoppedJournalLeft() const { return std::ifstream(Stopped).good(); }

  const std::string Stopped = Tree.Path("old.journal");
};

TEST_F(MainFormRecoveryTest, OkPutsBackWhatTheStoppedRunWroteAsAnUndoableRestore) {
  Form->StartJournal({Tree.Root()});
  WaitIdle();
  ASSERT_EQ(Boxes.Count(), 1u);
  const std::string& text = Boxes.Shown()[0].Text;
  EXPECT_EQ(text.rfind("Set started ", 0), 0u) << text;
  EXPECT_NE(text.find(" did not end.\r\n\r\nIt may have written 2/2 item(s).\r\n\r\nPuts back "
                      "their times and attributes.\r\n\r\nSure?"),
            std::string::npos)
      << text;
  EXPECT_EQ(Boxes.Shown()[0].Flags, question | mbDefButton1);
  EXPECT_EQ(LastWrite(X), t0);
  EXPECT_EQ(LastWrite(Y), t0);
  EXPECT_EQ(Status(), "1: Restore - Done 1/1 item(s)");
  EXPECT_FALSE(StoppedJournalLeft());
  ASSERT_TRUE(Form->History().CanUndo());
  Form->UndoMenuItem->Click();
  WaitIdle();
  EXPECT_EQ(LastWrite(X), t0 + day) << "the restore itself is undone";
  ASSERT_NE(Form->Journal(), nullptr);
  EXPECT_TRUE(Form->Journal()->IsOpen());
}

TEST_F(MainFormRecoveryTest, CancelWritesNothingAndLeavesTheJournalForTheNextStart) {
  Boxes.Answer(idCancel);
  Form->StartJournal({Tree.Root()});
  WaitIdle();
  EXPECT_EQ(Boxes.Count(), 1u);
  EXPECT_EQ(LastWrite(X), t0 + day);
  EXPECT_TRUE(StoppedJournalLeft());
  EXPECT_FALSE(Form->History().CanUndo());
}

}  // namespace

namespace {

// Keep History on the fake file system and on real files: a Set undone after a restart, redone,
// cleared; off, nothing of the history stays on the disk. Each start is a new window on the same
// folders, as the program's next run is.
TEST_F(MainFormTest, AKeptHistoryOutlivesTheWindowAndNothingStaysWhenItIsOff) {
  const auto restart = [&] {
    Form.reset();
    Form = std::make_unique<TMainForm>();
    Form->StartJournal({Tree.Root()});
  };
  const auto filesLeft = [&] {
    int left = 0;
    for (const char* name : historyFileNames) left += std::filesystem::exists(Tree.Path(name));
    return left;
  };
  for (const bool real : {false, true}) {
    SCOPED_TRACE(real ? "real files" : "fake file system");
    if (real) Guard.reset();
    const std::string source = real ? Tree.AddFile("source") : A;
    const std::string target = real ? Tree.AddFile("target") : X;
    if (real) TTempTree::SetTimes(target, {0, t0, t0});
    const auto lastWrite = [&](const std::string& path) {
      return real ? TTempTree::Times(path).LastWrite : LastWrite(path);
    };
    const uint64_t before = lastWrite(target);
    restart();
    TStampOptions options = Form->StampOptions();
    options.CRTime = false;  // which Linux cannot set
    Form->SetStampOptions(options);
    EXPECT_FALSE(Form->KeepHistoryMenuItem->Checked());
    Form->KeepHistoryMenuItem->Click();
    EXPECT_EQ(filesLeft(), 2);
    Run(Form->GetPanel, {source});
    Run(Form->SetPanel, {target});
    ASSERT_EQ(lastWrite(target), lastWrite(source));
    if (!real) {
      TMainForm second;
      second.StartJournal({Tree.Root()});
      second.KeepHistoryMenuItem->Click();
      EXPECT_EQ(second.HistoryStore(), nullptr) << "held by the first window";
      EXPECT_EQ(Boxes.Texts().back(),
                "The Undo/Redo history is kept by another window.\r\n\r\n"
                "This window's history will not be kept.");
      // Once the first window has closed, the option turned on here takes over what it kept.
      Form.reset();
      second.KeepHistoryMenuItem->Click();
      second.KeepHistoryMenuItem->Click();
      EXPECT_NE(second.HistoryStore(), nullptr);
      EXPECT_TRUE(second.UndoMenuItem->Enabled()) << "the first window's Set is still undoable";
    }

    restart();
    EXPECT_TRUE(Form->KeepHistoryMenuItem->Checked());
    ASSERT_TRUE(Form->UndoMenuItem->Enabled());
    Form->UndoMenuItem->Click();
    WaitIdle();
    EXPECT_EQ(lastWrite(target), before);
    restart();
    ASSERT_TRUE(Form->RedoMenuItem->Enabled() && !Form->UndoMenuItem->Enabled());
    Form->RedoMenuItem->Click();
    WaitIdle();
    EXPECT_EQ(lastWrite(target), lastWrite(source));
    Form->ClearUndoRedoDataMenuItem->Click();
    restart();
    EXPECT_FALSE(Form->UndoMenuItem->Enabled() || Form->RedoMenuItem->Enabled());

    Form->KeepHistoryMenuItem->Click();
    EXPECT_EQ(filesLeft(), 0);
    Run(Form->GetPanel, {source});
    Run(Form->SetPanel, {target});
    restart();
    EXPECT_FALSE(Form->KeepHistory() || Form->UndoMenuItem->Enabled());
    Form.reset();
    EXPECT_EQ(filesLeft(), 0);
  }
  EXPECT_EQ(Boxes.Count(), 3u) << "besides the refusal, only the two Clear questions";
  Form = std::make_unique<TMainForm>();
}

// Ctrl+T opens the dialog; its OK makes the choice the Get data, which a Set writes, the tooltip
// and status line name, and the next window remembers.
TEST_F(MainFormTest, TheTimesDialogsChoiceIsSetAndRemembered) {
  std::optional<TTimesValues> shown;
  TimesDialogHook() = [&](TTimesDialog& dialog) {
    shown = dialog.Values();
    dialog.Values().OwnTimes = true;
    dialog.Values().Sources[0] = 1;
    dialog.Values().Shifts[0] = "+1h";
    dialog.Values().Shifts[1] = "-1d";
    std::string refusal;
    return dialog.Accept(refusal);
  };
  Run(Form->GetPanel, {A});
  EXPECT_TRUE(Form->PressKey('T', ssCtrl));
  ASSERT_TRUE(shown);
  TLocalTime local;
  ASSERT_TRUE(ToLocalTime(Fs.Entry(A).LastWriteTime, local));
  EXPECT_EQ(shown->Times[1].Day, local.Day) << "the dialog opens on the held average";
  EXPECT_EQ(Form->Holder().Count(), 0);
  EXPECT_EQ(Form->GetPanel.Hint().rfind("A rule held: CR Time = LW Time +1h,", 0), 0u);
  EXPECT_EQ(Status(), "1: Times - " + Form->GetPanel.Hint().substr(0, Status().size() - 11));

  const uint64_t write = LastWrite(X);
  Run(Form->SetPanel, {X});
  EXPECT_EQ(FileTimeValue(Fs.Entry(X).CreationTime), write + day / 24);
  EXPECT_EQ(LastWrite(X), write - day);
  Form->SaveSettings();
  Form = std::make_unique<TMainForm>();
  EXPECT_EQ(Form->TimesValues().Shifts[0], "+1h");
  EXPECT_TRUE(Form->TimesValues().OwnTimes);

  TimesDialogHook() = [](TTimesDialog& dialog) {
    dialog.Values().Shifts[2] = "1 day";
    std::string refusal;
    EXPECT_FALSE(dialog.Accept(refusal));
    EXPECT_EQ(refusal.rfind("Not an offset of the last access time: \"1 day\"", 0), 0u);
    return false;
  };
  Form->TimesPMenuItem->Click();
  EXPECT_FALSE(Form->Holder().HasData()) << "Cancel changes nothing";
  TimesDialogHook() = nullptr;
}

// A command line's chosen times write only the times it names, and a value that does not parse
// is refused with its name and the forms accepted, nothing written.
TEST_F(MainFormTest, ChosenTimesOnTheCommandLineWriteOnlyTheTimesNamed) {
  const uint64_t may1 = 133590384000000000ull;  // 2024-05-01T12:00:00Z
  const uint64_t creation = FileTimeValue(Fs.Entry(X).CreationTime);
  EXPECT_TRUE(Form->RunParams({"/lwtime=2024-05-01T14:00:00+02:00", "/set", X}));
  WaitIdle();
  EXPECT_EQ(LastWrite(X), may1);
  EXPECT_EQ(FileTimeValue(Fs.Entry(X).CreationTime), creation);
  const uint64_t before = FileTimeValue(NowFileTime());
  EXPECT_TRUE(Form->RunParams({"/latime=NOW", "/set", X}));
  WaitIdle();
  EXPECT_GE(FileTimeValue(Fs.Entry(X).LastAccessTime), before);
  EXPECT_LE(FileTimeValue(Fs.Entry(X).LastAccessTime), FileTimeValue(NowFileTime()));
  EXPECT_EQ(LastWrite(X), may1);
  EXPECT_TRUE(Form->RunParams({"/SET", Y, "/crfrom=lw", "/crshift=-1h"}));
  WaitIdle();
  EXPECT_EQ(FileTimeValue(Fs.Entry(Y).CreationTime), LastWrite(Y) - day / 24);

  const struct {
    TStringList params;
    std::string refusal;
  } refused[] = {
      {{"/time=2024-13-01T00:00:00", "/set", Z}, "Not a time: \"/time=2024-13-01T00:00:00\""},
      {{"/shift=+1y", "/set", Z}, "Not an offset: \"/shift=+1y\""},
      {{"/lafrom=mtime", "/set", Z}, "Not a source: \"/lafrom=mtime\""},
      {{"/time=now", "/shift=+1h", "/set", Z}, "Typed times and a rule cannot be mixed."},
      {{"/time=now", "/get", Z}, "Chosen times are written by /set alone."},
  };
  const uint64_t untouched = LastWrite(Z);
  for (const auto& c : refused) {
    const size_t shown = Boxes.Count();
    EXPECT_FALSE(Form->RunParams(c.params));
    ASSERT_EQ(Boxes.Count(), shown + 1);
    EXPECT_EQ(Boxes.Shown().back().Text.rfind("No operation.\r\n\r\n" + c.refusal, 0), 0u)
        << Boxes.Shown().back().Text;
  }
  EXPECT_EQ(LastWrite(Z), untouched);
  EXPECT_EQ(WithFullPaths({"/LWshift=-1h"}), TStringList{"/LWshift=-1h"}) << "a switch, not a path";
}

}  // namespace
