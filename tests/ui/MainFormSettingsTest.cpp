#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/IniFile.h"
#include "platform/WinConst.h"
#include "support/ProgramPlace.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"
#include "toolkit/PreviewDialog.h"
#include "toolkit/Toolkit.h"
#include "ui/Constants.h"
#include "ui/Tmainform.h"

namespace {

// The defaults up to Topmost, then with Last Position.
const std::string defaultFirstTen = "-1,-1,0,-1,-1,-1,-1,0,-1,0,";
const std::string defaultValues = defaultFirstTen + "0,";

// The window started from a program file in a temporary folder, with the given parameters, so
// that its Settings.ini is the test's own.
class MainFormSettingsTest : public testing::Test {
 protected:
  MainFormSettingsTest() { Start({}); }
  ~MainFormSettingsTest() override { Form.reset(); }

  void Start(const std::vector<std::string>& params) {
    Form.reset();
    std::vector<std::string> args{Tree.Path("brevantor")};
    args.insert(args.end(), params.begin(), params.end());
    Application().SetCommandLine(args);
    Form = std::make_unique<TMainForm>();
  }
  // Written after the window has gone, which saves its own settings.
  void WriteSettings(const std::string& text) {
    Form.reset();
    std::ofstream(SettingsPath(), std::ios::binary) << text;
  }
  std::string SavedValues() const {
    return TIniFile(SettingsPath()).ReadString("Settings", "Values", "(none)");
  }
  // The next start's position, from settings that keep every option at its default.
  void SavePosition(bool lastPosition, int left, int top) {
    WriteSettings("[Settings]\r\nValues=" + defaultFirstTen + (lastPosition ? "-1," : "0,") +
                  std::to_string(left) + "," + std::to_string(top) + ",\r\n");
  }

  TTempTree Tree;
  TProgramPlace Place{{Tree.Path("brevantor")}};
  TScriptedMessageBoxes Boxes;
  std::unique_ptr<TMainForm> Form;
};

TEST_F(MainFormSettingsTest, AFirstRunLeavesTheDefaultsAndItsPosition) {
  Form->SetLeft(370);
  Form->SetTop(248);
  Form.reset();
  EXPECT_EQ(SavedValues(), "-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,,0");
}

TEST_F(MainFormSettingsTest, EveryFieldReachesItsOwnOption) {
  WriteSettings("[Settings]\r\nValues=0,1,true,0.0,FALSE,2,0,-1,0,-1,-1,10,20,extra\r\n");
  Start({});
  const TStampOptions& stamp = Form->StampOptions();
  EXPECT_FALSE(stamp.Subdirs || stamp.CRTime || stamp.LWTime);
  EXPECT_TRUE(stamp.Directories && stamp.AnyAttr && stamp.LATime);
  EXPECT_TRUE(Form->AnyAttrCheckBox.Checked());
  EXPECT_FALSE(Form->SubdirsCheckBox.Checked());
  const TViewOptions& view = Form->ViewOptions();
  EXPECT_FALSE(view.MenuIcons || view.StatusBar);
  EXPECT_TRUE(view.SwapPanels && view.Topmost && view.LastPosition);
  EXPECT_TRUE(Form->SwapPanelsMenuItem->Checked() && Form->Topmost());
  EXPECT_EQ(Form->FormPopupMenu.Images(), nullptr);
  EXPECT_EQ(Form->Left(), 10);
  EXPECT_EQ(Form->Top(), 20);
  Form.reset();
  EXPECT_EQ(SavedValues(), "0,-1,-1,0,0,-1,0,-1,0,-1,-1,10,20,,0");
}

TEST_F(MainFormSettingsTest, UnreadableValuesGiveTheDefaults) {
  for (const char* values : {"0,0,-1,0,0,0,0,-1,0,-1,-1,5", "0,0,-1,0,0,0,0,-1,0,-1,yes,5,6,",
                             "0,0,-1,0,0,0,0,-1,0,-1,-1,5,x,"}) {
    WriteSettings("[Settings]\r\nValues=" + std::string(values) + "\r\n");
    Start({});
    EXPECT_EQ(Form->StampOptions(), TStampOptions()) << values;
    EXPECT_EQ(Form->ViewOptions(), TViewOptions()) << values;
    EXPECT_NE(Form->Left(), 5) << values;
  }
}

TEST_F(MainFormSettingsTest, ThePositionReturnsOnlyWithLastPositionAndWithoutTheSwitch) {
  const TPoint systemPosition{Form->Left(), Form->Top()};
  for (const std::vector<std::string>& params :
       std::vector<std::vector<std::string>>{{"/DP"}, {"other", "/dP"}}) {
    SavePosition(true, 370, 248);
    Start(params);
    EXPECT_EQ((TPoint{Form->Left(), Form->Top()}), systemPosition) << params.back();
  }
  SavePosition(true, 370, 248);
  Start({"/dpx"});
  EXPECT_EQ(Form->Left(), 370);
  EXPECT_EQ(Form->Top(), 248);

  SavePosition(false, 370, 248);
  Start({});
  EXPECT_EQ((TPoint{Form->Left(), Form->Top()}), systemPosition);
  Form->SetLeft(371);
  Form.reset();
  EXPECT_EQ(SavedValues(), defaultValues + "371," + std::to_string(systemPosition.Y) + ",,0");
}

TEST_F(MainFormSettingsTest, SavingKeepsTheFilesOtherSectionsAndKeys) {
  WriteSettings("; mine\r\n[Other]\r\nKey=kept\r\n[Settings]\r\nMore=also\r\nValues=old\r\n");
  Start({});
  Form.reset();
  const TIniFile ini(SettingsPath());
  EXPECT_EQ(ini.ReadString("Other", "Key", ""), "kept");
  EXPECT_EQ(ini.ReadString("Settings", "More", ""), "also");
  EXPECT_EQ(ini.ReadString("Settings", "Values", "").substr(0, defaultValues.size()),
            defaultValues);
}

TEST_F(MainFormSettingsTest, AFolderInPlaceOfTheFileIsIgnoredSilently) {
  Form.reset();
  std::remove(SettingsPath().c_str());
  Tree.AddFolder("Settings.ini");
  Start({});
  EXPECT_EQ(Form->StampOptions(), TStampOptions());
  Form.reset();
  EXPECT_EQ(Boxes.Count(), 0u);
}

TEST_F(MainFormSettingsTest, AFileUnreadableAtStartIsNotWrittenOverAtTheEnd) {
  Form.reset();
  std::remove(SettingsPath().c_str());
  Tree.AddFolder("Settings.ini");
  Start({});
  std::filesystem::remove(SettingsPath());
  const std::string users = "[Settings]\r\nValues=0,0,-1,0,0,0,0,-1,0,-1,-1,5,6,\r\n";
  std::ofstream(SettingsPath(), std::ios::binary) << users;
  Form.reset();
  std::ifstream file(SettingsPath(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), users);
}

// New Window makes a second process with its own window; both read at start and save at the end.
TEST_F(MainFormSettingsTest, TwoWindowsEachKeepTheirOwnChange) {
  auto second = std::make_unique<TMainForm>();
  Form->AnyAttrCheckBox.Click();
  second->SwapPanelsMenuItem->Click();
  Form.reset();
  second.reset();
  EXPECT_TRUE(SavedValues().starts_with("-1,-1,-1,-1,-1,-1,-1,-1,")) << SavedValues();
}

TEST_F(MainFormSettingsTest, DefaultResetsTheOptionsButNotTheDataOrThePosition) {
  const std::string item = Tree.AddFile("item");
  TNamesDropHandle drop({item}, Form->ScreenToClient(Form->GetPanel.ClientToScreen({1, 1})));
  Form->DropFiles(drop);
  PumpUntil([this] { return Form->Stamper() == nullptr; });
  Form->AnyAttrCheckBox.Click();
  Form->SwapPanelsMenuItem->Click();
  Form->SetLeft(123);

  Boxes.Answer(idCancel);
  Form->DefaultMenuItem->Click();
  EXPECT_TRUE(Form->StampOptions().AnyAttr);
  Form->DefaultMenuItem->Click();
  EXPECT_EQ(Form->StampOptions(), TStampOptions());
  EXPECT_FALSE(Form->AnyAttrCheckBox.Checked());
  EXPECT_EQ(Form->ViewOptions(), TViewOptions());
  EXPECT_EQ(Form->LeftPanel.Left(), 0);
  EXPECT_EQ(Form->Holder().Count(), 1);
  EXPECT_EQ(Form->Left(), 123);
  ASSERT_EQ(Boxes.Count(), 2u);
  EXPECT_EQ(Boxes.Shown()[1].Text,
            "Applys default settings.\r\n\r\nGet and Undo/Redo data will not be cleared."
            "\r\n\r\nSure?");
  EXPECT_EQ(Boxes.Shown()[1].Flags, mbOkCancel | mbIconQuestion);
}

// Its own group of the Options menu, after Last Position, with Keep History; saved after the fields
// older versions read, cleared by Default, and steering the next Sync.
TEST_F(MainFormSettingsTest, SyncByNameTogglesIsSavedRestoredAndClearedByDefault) {
  const TMenuItem& options = *Form->OptionsMenuItem;
  EXPECT_TRUE(&options.Items(10) == Form->SyncByNameMenuItem && options.Items(9).IsSeparator() &&
              &options.Items(11) == Form->IgnoreExtensionsMenuItem &&
              &options.Items(12) == Form->PreviewWritesMenuItem &&
              &options.Items(13) == Form->KeepHistoryMenuItem &&
              &options.Items(15) == Form->DefaultMenuItem && options.Items(14).IsSeparator());
  EXPECT_EQ(Form->SyncByNameMenuItem->Caption(), "Sync by &Name");
  Form->SyncByNameMenuItem->Click();
  Form.reset();
  EXPECT_TRUE(SavedValues().ends_with(",,-1")) << SavedValues();
  Start({});
  EXPECT_TRUE(Form->SyncByName() && Form->SyncByNameMenuItem->Checked());

  Form->CRTimeCheckBox.Click();  // Linux cannot set a creation time
  const std::string separator(1, TTempTree::Separator());
  const TStringList original{Tree.AddFolder("Photos")}, copy{Tree.AddFolder("Photos (2)")};
  Tree.AddFile("Photos" + separator + "a.jpg");
  Tree.AddFile("Photos (2)" + separator + "a.jpg");
  Tree.AddFile("Photos (2)" + separator + "Thumbs.db");
  for (const auto& [panel, items] :
       {std::pair{&Form->GetPanel, original}, {&Form->SyncPanel, copy}}) {
    TNamesDropHandle drop(items, Form->ScreenToClient(panel->ClientToScreen({1, 1})));
    Form->DropFiles(drop);
    PumpUntil([this] { return Form->Stamper() == nullptr; });
  }
  EXPECT_EQ(Form->StatusBar.SimpleText(), "2: Sync - Done 2/3 item(s)");

  Form->IgnoreExtensionsMenuItem->Click();
  Form->PreviewWritesMenuItem->Click();
  Form->DefaultMenuItem->Click();
  EXPECT_FALSE(Form->SyncByName() || Form->SyncByNameMenuItem->Checked());
  EXPECT_FALSE(Form->IgnoreExtensions() || Form->PreviewWrites() ||
               Form->PreviewWritesMenuItem->Checked());
}

// Offered only while Sync by Name is on, and kept under a key of its own, so that the value older
// versions read is as before; a change made in another window meanwhile is kept.
TEST_F(MainFormSettingsTest, IgnoreExtensionsHasItsOwnKeyAndActsWithSyncByName) {
  EXPECT_EQ(Form->IgnoreExtensionsMenuItem->Caption(), "Ignore &Extensions");
  EXPECT_FALSE(Form->IgnoreExtensionsMenuItem->Enabled());
  Form->SyncByNameMenuItem->Click();
  Form->IgnoreExtensionsMenuItem->Click();
  Start({});
  EXPECT_TRUE(SavedValues().ends_with(",,-1")) << SavedValues();
  EXPECT_TRUE(Form->IgnoreExtensionsMenuItem->Enabled() &&
              Form->IgnoreExtensionsMenuItem->Checked());
  auto second = std::make_unique<TMainForm>();
  second->IgnoreExtensionsMenuItem->Click();
  second.reset();
  Form->SwapPanelsMenuItem->Click();
  Form.reset();
  EXPECT_EQ(TIniFile(SettingsPath()).ReadString("Settings", "IgnoreExtensions", ""), "0");
  WriteSettings("[Settings]\r\nIgnoreExtensions=maybe\r\n");
  Start({});
  EXPECT_FALSE(Form->IgnoreExtensions());
}

}  // namespace

namespace {

// Saved under its own key; while on, a drop on Set waits for the preview, whose Cancel writes
// nothing and ends the run as stopped, and whose Write writes.
TEST_F(MainFormSettingsTest, PreviewWritesShowsTheRunsItemsBeforeItWrites) {
  EXPECT_EQ(Form->PreviewWritesMenuItem->Caption(), "&Preview Writes");
  Form->PreviewWritesMenuItem->Click();
  Start({});
  EXPECT_TRUE(Form->PreviewWrites() && Form->PreviewWritesMenuItem->Checked());
  EXPECT_EQ(TIniFile(SettingsPath()).ReadString("Settings", "PreviewWrites", ""), "-1");

  Form->CRTimeCheckBox.Click();  // Linux cannot set a creation time
  const std::string item = Tree.AddFile("item"), source = Tree.AddFile("source");
  TTempTree::SetTimes(source, {1, 130000000000000000ull, 130000000000000000ull});
  std::vector<std::string> copied;
  bool write = false;
  PreviewDialogHook() = [&](TPreviewDialog& dialog) {
    EXPECT_EQ(&dialog.Owner(), Form.get());
    EXPECT_EQ(dialog.Summary(), "1 item(s) to write: 1 change, 0 stay as they are");
    dialog.SortBy(0);
    dialog.SortBy(0);
    EXPECT_FALSE(dialog.SortAscending());
    dialog.Copy();
    copied.push_back(Clipboard().GetText());
    return write;
  };
  for (const auto& [panel, name, answer, status] :
       {std::tuple{&Form->GetPanel, source, false, "1: Get - Done 1/1 item(s)"},
        {&Form->SetPanel, item, false, "2: Set - Canceled 0/1 item(s)"},
        {&Form->SetPanel, item, true, "3: Set - Done 1/1 item(s)"}}) {
    write = answer;
    TNamesDropHandle drop({name}, Form->ScreenToClient(panel->ClientToScreen({1, 1})));
    Form->DropFiles(drop);
    PumpUntil([this] { return Form->Stamper() == nullptr; });
    EXPECT_EQ(Form->StatusBar.SimpleText(), status);
  }
  PreviewDialogHook() = nullptr;
  ASSERT_EQ(copied.size(), 2u);
  EXPECT_TRUE(copied[0].starts_with("Path\tCreation\tLast write\tLast access\r\n" + item + "\t"))
      << copied[0];
  EXPECT_TRUE(Form->UndoMenuItem->Enabled());
}

}  // namespace
