#include <gtest/gtest.h>

#include <thread>

#include "platform/Thread.h"
#include "platform/WinConst.h"
#include "toolkit/Toolkit.h"

namespace {

// A window shaped like the program's: a client panel that sizes itself around a base panel and a
// status bar, both aligned to the top, with a target panel and a check box on the base panel.
class ToolkitWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    Form.SetClientWidth(289);
    Form.SetClientHeight(180);
    ClientPanel.SetParent(&Form);
    ClientPanel.SetBounds(0, 0, 289, 180);
    ClientPanel.SetAlign(TAlign::alTop);
    BasePanel.SetParent(&ClientPanel);
    BasePanel.SetBounds(0, 0, 289, 153);
    BasePanel.SetAlign(TAlign::alTop);
    GetPanel.SetParent(&BasePanel);
    GetPanel.SetBounds(8, 56, 129, 41);
    Box.SetParent(&BasePanel);
    Box.SetBounds(152, 24, 129, 25);
    StatusBar.SetParent(&ClientPanel);
    StatusBar.SetBounds(0, 153, 289, 27);
    StatusBar.SetAlign(TAlign::alTop);
    ClientPanel.SetAutoSize(true);
    Form.SetAutoSize(true);
  }

  TForm Form;
  TPanel ClientPanel;
  TPanel BasePanel;
  TPanel GetPanel;
  TCheckBox Box;
  TStatusBar StatusBar;
};

TEST_F(ToolkitWindowTest, HidingTheStatusBarShortensTheWindowByItsHeight) {
  StatusBar.SetHeight(21);
  EXPECT_EQ(Form.ClientHeight(), 153 + 21);
  StatusBar.SetVisible(false);
  StatusBar.SetSimpleText("1: Get - Done 1/1 item(s)");
  EXPECT_EQ(ClientPanel.Height(), 153);
  EXPECT_EQ(Form.ClientHeight(), 153);
  EXPECT_EQ(Form.ClientWidth(), 289);
  StatusBar.SetVisible(true);
  EXPECT_EQ(Form.ClientHeight(), 174);
  EXPECT_EQ(StatusBar.Top(), 153);
  EXPECT_EQ(StatusBar.SimpleText(), "1: Get - Done 1/1 item(s)");
}

TEST_F(ToolkitWindowTest, TopAlignedControlsStackInTheOrderOfTheirTop) {
  BasePanel.SetHeight(100);
  EXPECT_EQ(StatusBar.Top(), 100);
  EXPECT_EQ(Form.ClientHeight(), 127);
  // Moving the bar above the base panel puts it first in the stack.
  StatusBar.SetTop(-1);
  EXPECT_EQ(StatusBar.Top(), 0);
  EXPECT_EQ(BasePanel.Top(), 27);
  EXPECT_EQ(StatusBar.Width(), 289);
}

TEST_F(ToolkitWindowTest, ADisabledContainerBlocksInputButKeepsItsChildrensState) {
  bool doubleClicked = false;
  StatusBar.OnDblClick = [&](TObject* sender) { doubleClicked = sender == &StatusBar; };
  int clicks = 0;
  Box.OnClick = [&](TObject*) { ++clicks; };

  ClientPanel.SetEnabled(false);
  EXPECT_TRUE(Box.Enabled());
  EXPECT_FALSE(Box.TakesInput());
  Box.Click();
  StatusBar.DblClick();
  EXPECT_FALSE(Box.Checked());
  EXPECT_FALSE(doubleClicked);
  // The program itself may still set the state.
  Box.SetChecked(true);
  EXPECT_EQ(clicks, 1);

  ClientPanel.SetEnabled(true);
  Box.Click();
  StatusBar.DblClick();
  EXPECT_FALSE(Box.Checked());
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(doubleClicked);
}

TEST_F(ToolkitWindowTest, AHiddenControlTakesNoInputButAnUnshownFormDoes) {
  EXPECT_FALSE(Form.Visible());
  EXPECT_TRUE(Box.TakesInput());
  BasePanel.SetVisible(false);
  EXPECT_FALSE(Box.TakesInput());
}

TEST_F(ToolkitWindowTest, SettingCheckedRaisesOnClickOnlyOnARealChange) {
  std::vector<bool> seen;
  Box.OnClick = [&](TObject* sender) {
    seen.push_back(static_cast<TCheckBox*>(sender)->Checked());
  };
  Box.SetChecked(true);
  Box.SetChecked(true);
  Box.Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(ToolkitWindowTest, PointsConvertThroughTheParents) {
  const TPoint formOrigin = Form.ClientToScreen({0, 0});
  const TPoint screen = GetPanel.ClientToScreen({3, 4});
  EXPECT_EQ(screen.X - formOrigin.X, 8 + 3);
  EXPECT_EQ(screen.Y - formOrigin.Y, 56 + 4);
  EXPECT_EQ(GetPanel.ScreenToClient(screen), (TPoint{3, 4}));
  EXPECT_EQ(GetPanel.ScreenToClient(formOrigin), (TPoint{-8, -56}));
}

TEST_F(ToolkitWindowTest, ChildrenTakeTheFormFontUnlessTheyHaveTheirOwn) {
  EXPECT_EQ(Form.Font().Height, -Screen().Scale(15));
  EXPECT_EQ(Form.Font().Name, Screen().MessageFontName());
  EXPECT_EQ(Box.Font(), Form.Font());
  TLabel label;
  label.SetParent(&GetPanel);
  label.SetFont({"Courier New", -18});
  EXPECT_EQ(label.Font(), (TFont{"Courier New", -18}));
}

TEST_F(ToolkitWindowTest, ADestroyedControlIsNoLongerActiveOrAChild) {
  {
    TCheckBox second;
    second.SetParent(&BasePanel);
    Form.SetActiveControl(&second);
    EXPECT_EQ(BasePanel.Controls().size(), 3u);
  }
  EXPECT_EQ(Form.ActiveControl(), nullptr);
  EXPECT_EQ(BasePanel.Controls().size(), 2u);
}

TEST_F(ToolkitWindowTest, AControlCannotBecomeItsOwnAncestor) {
  ClientPanel.SetParent(&GetPanel);
  EXPECT_EQ(ClientPanel.Parent(), &Form);
}

TEST_F(ToolkitWindowTest, TheContextMenuShowsOnlyInsideTheClientArea) {
  TPopupMenu popup;
  int popups = 0;
  popup.OnPopup = [&](TObject*) { ++popups; };
  EXPECT_EQ(Form.ContextMenuAt({10, 10}), nullptr);
  Form.SetPopupMenu(&popup);
  EXPECT_EQ(Form.ContextMenuAt({0, 0}), &popup);
  EXPECT_EQ(Form.ContextMenuAt({288, 179}), &popup);
  EXPECT_EQ(Form.ContextMenuAt({289, 10}), nullptr);
  EXPECT_EQ(Form.ContextMenuAt({10, -1}), nullptr);
  EXPECT_EQ(popups, 2);
}

TEST_F(ToolkitWindowTest, DropsReachTheFormOnlyWhileItAcceptsFiles) {
  std::vector<std::string> names;
  Form.OnDropFiles = [&](TObject*, TDropHandle& drop) {
    for (int i = 0; i < drop.Count(); ++i) names.push_back(drop.Name(i));
    drop.Finish();
  };
  TNamesDropHandle refused({"a"}, {1, 2});
  EXPECT_FALSE(Form.DropFiles(refused));
  EXPECT_EQ(refused.Finished(), 0);

  Form.AcceptFiles(true);
  TNamesDropHandle accepted({"a", "b"}, {1, 2});
  EXPECT_TRUE(Form.DropFiles(accepted));
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(accepted.Finished(), 1);
}

TEST(ToolkitDropHandleTest, NamesComeWholeHoweverLong) {
  const std::string tooLongForAnOldPath(300, 'y');
  TNamesDropHandle drop({"a", tooLongForAnOldPath}, {5, 6});
  EXPECT_EQ(drop.Count(), 2);
  EXPECT_EQ(drop.Name(1), tooLongForAnOldPath);
  EXPECT_EQ(drop.Name(2), "");
  EXPECT_EQ(drop.Name(-1), "");
  EXPECT_EQ(drop.Point(), (TPoint{5, 6}));
}

class ToolkitMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    TMenuItem& functions = Menu.Items().Add("FunctionsMenuItem", "&Functions");
    New = &functions.Add("NewWindowMenuItem", "&New Window", scCtrl | 'N', 3);
    functions.AddSeparator();
    Redo = &functions.Add("RedoMenuItem", "&Redo", scCtrl | scShift | 'Z', 5);
    TMenuItem& options = functions.Add("OptionsMenuItem", "&Options");
    Clear = &options.Add("ClearGetDataMenuItem", "Clea&r Get Data...", vkF6);
    for (TMenuItem* item : {New, Redo, Clear})
      item->OnClick = [this](TObject* sender) {
        Clicked.push_back(static_cast<TMenuItem*>(sender));
      };
    Form.SetMenu(&Menu);
  }

  TForm Form;
  TMainMenu Menu;
  TMenuItem* New = nullptr;
  TMenuItem* Redo = nullptr;
  TMenuItem* Clear = nullptr;
  std::vector<TMenuItem*> Clicked;
};

TEST_F(ToolkitMenuTest, ShortcutsReadAsTheSystemShowsThem) {
  EXPECT_EQ(ShortCutToText(New->ShortCut()), "Ctrl+N");
  EXPECT_EQ(ShortCutToText(Redo->ShortCut()), "Ctrl+Shift+Z");
  EXPECT_EQ(ShortCutToText(vkF2), "F2");
  EXPECT_EQ(ShortCutToText(scAlt | vkEscape), "Alt+Esc");
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(MakeShortCut('Z', ssShift | ssCtrl | ssLeft), Redo->ShortCut());
}

TEST_F(ToolkitMenuTest, ShortcutsClickEnabledItemsOnly) {
  EXPECT_TRUE(Form.PressKey('Z', ssCtrl | ssShift));
  EXPECT_FALSE(Form.PressKey('Z', ssCtrl));
  Redo->SetEnabled(false);
  EXPECT_FALSE(Form.PressKey('Z', ssCtrl | ssShift));
  Redo->Click();
  // An item inside a disabled submenu is out of reach too.
  Clear->Parent()->SetEnabled(false);
  EXPECT_FALSE(Form.PressKey(vkF6, 0));
  Clear->Click();
  Clear->Parent()->SetEnabled(true);
  EXPECT_TRUE(Form.PressKey(vkF6, 0));
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{Redo, Clear}));
}

TEST_F(ToolkitMenuTest, SeparatorsAndSubmenusDoNothingWhenClicked) {
  int clicks = 0;
  TMenuItem& functions = Menu.Items().Items(0);
  functions.Items(1).OnClick = [&](TObject*) { ++clicks; };
  functions.OnClick = [&](TObject*) { ++clicks; };
  functions.Items(1).Click();
  functions.Click();
  EXPECT_TRUE(functions.Items(1).IsSeparator());
  EXPECT_EQ(clicks, 0);
}

TEST_F(ToolkitMenuTest, KeyPreviewSeesKeysBeforeTheShortcuts) {
  std::vector<std::pair<int, TShiftState>> previewed;
  Form.OnKeyDown = [&](TObject*, int& key, TShiftState shift) {
    previewed.emplace_back(key, shift);
    if (key == 'N') key = 0;
  };
  EXPECT_TRUE(Form.PressKey('N', ssCtrl));
  EXPECT_TRUE(previewed.empty());

  Form.KeyPreview = true;
  EXPECT_TRUE(Form.PressKey('N', ssCtrl));
  EXPECT_TRUE(Form.PressKey('Z', ssCtrl | ssShift));
  EXPECT_FALSE(Form.PressKey(vkEscape, 0));
  EXPECT_EQ(previewed, (std::vector<std::pair<int, TShiftState>>{
                           {'N', ssCtrl}, {'Z', ssCtrl | ssShift}, {vkEscape, 0}}));
  // The consumed Ctrl+N reached no item; the first one, without key preview, did.
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{New, Redo}));
}

TEST_F(ToolkitMenuTest, HiddenItemsHaveNoShortcut) {
  New->SetVisible(false);
  EXPECT_FALSE(Form.IsShortCut('N', ssCtrl));
  EXPECT_EQ(Menu.Items().FindShortCut(scCtrl | 'N'), nullptr);
  EXPECT_EQ(New->Menu(), &Menu);
}

TEST(ToolkitImageTest, GreyedImagesKeepTheShapeAndLoseTheColour) {
  TImageList images;
  TImageList::TPixels pixels{};
  pixels[0] = 0xFFFF0000;
  pixels[1] = 0x80000000;
  EXPECT_EQ(images.Add(pixels), 0);
  const TImageList::TPixels greyed = images.GreyedImage(0);
  for (uint32_t pixel : {greyed[0], greyed[1]}) {
    EXPECT_EQ((pixel >> 16) & 0xFF, pixel & 0xFF);
    EXPECT_EQ((pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  EXPECT_EQ(greyed[0] >> 24, 0xFFu);
  EXPECT_EQ(greyed[1] >> 24, 0x80u);
  EXPECT_GE(greyed[1] & 0xFF, 128u);
  EXPECT_GT(greyed[0] & 0xFF, greyed[1] & 0xFF);
  EXPECT_EQ(greyed[2], 0u);
  EXPECT_EQ(images.Image(1), nullptr);
}

TEST(ToolkitImageTest, APaintBoxDrawsOnTheCanvasOfItsPaint) {
  TImageList images;
  images.Add({});
  TPaintBox box;
  box.SetEnabled(false);
  box.OnPaint = [&](TObject* sender) {
    auto* painted = static_cast<TPaintBox*>(sender);
    images.Draw(painted->Canvas(), 4, 4, 0, painted->Enabled());
    images.Draw(painted->Canvas(), 0, 0, 7, true);
  };
  TRecordingCanvas canvas;
  box.PaintTo(canvas);
  ASSERT_EQ(canvas.Drawings.size(), 1u);
  EXPECT_EQ(canvas.Drawings[0], (TRecordingCanvas::TDrawing{&images, 0, 4, 4, false}));
  // Outside a paint the box's canvas is off screen: drawing there reaches no recorder.
  images.Draw(box.Canvas(), 1, 1, 0);
  EXPECT_EQ(canvas.Drawings.size(), 1u);
}

TEST(ToolkitApplicationTest, ClosingTheMainFormEndsTheRun) {
  TForm form;
  bool allowed = false;
  form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allowed; };
  Application().SetMainForm(&form);
  std::thread worker([&] {
    MainThreadQueue().RunAndWait([&] { form.Close(); });
    MainThreadQueue().RunAndWait([&] {
      allowed = true;
      form.Close();
    });
  });
  Application().Run();
  worker.join();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(Application().MainForm(), &form);
}

TEST(ToolkitApplicationTest, ACommandLineGivenReplacesThePlatformsOwn) {
  EXPECT_FALSE(Application().ExeName().empty());
  std::vector<std::string> platforms;
  for (int i = 0; i <= Application().ParamCount(); ++i)
    platforms.push_back(Application().ParamStr(i));
  Application().SetCommandLine({"C:\\Tools\\Brevantor.exe", "/dp", "x"});
  EXPECT_EQ(Application().ExeName(), "C:\\Tools\\Brevantor.exe");
  EXPECT_EQ(Application().ParamCount(), 2);
  EXPECT_EQ(Application().ParamStr(2), "x");
  EXPECT_EQ(Application().ParamStr(3), "");
  EXPECT_EQ(Application().ParamStr(-1), "");
  Application().SetCommandLine(platforms);
}

TEST(ToolkitApplicationTest, ExceptionsAndShellCallsGoThroughTheHooks) {
  std::vector<std::string> seen;
  const std::string title = Application().Title;
  Application().Title = "Brevantor";
  Application().MessageBoxHook = [&](const std::string& text, const std::string& caption,
                                     int flags) {
    seen.push_back(text + "|" + caption + "|" + std::to_string(flags));
    return idOk;
  };
  Application().ShellOpenHook = [&](const std::string& verb, const std::string& file,
                                    const std::string& params) {
    seen.push_back(verb + "|" + file + "|" + params);
    return 42;
  };
  Application().ShowException("Broken.");
  EXPECT_EQ(Application().ShellOpen("open", "a.exe", "/dp"), 42);
  Application().MessageBoxHook = nullptr;
  Application().ShellOpenHook = nullptr;
  Application().Title = title;
  EXPECT_EQ(seen, (std::vector<std::string>{"Broken.|Brevantor|16", "open|a.exe|/dp"}));
  EXPECT_LE(Application().ShellOpen("", "", ""), 32);
}

TEST(ToolkitScreenTest, DesignSizesScaleWithTheScreen) {
  const int dpi = Screen().PixelsPerInch();
  EXPECT_EQ(Screen().Scale(TScreen::DesignPixelsPerInch), dpi);
  EXPECT_EQ(Screen().Scale(0), 0);
  EXPECT_EQ(Screen().Scale(-15), -Screen().Scale(15));
  Screen().SetCursor(TCursor::crHourGlass);
  EXPECT_EQ(Screen().Cursor(), TCursor::crHourGlass);
  Screen().SetCursor(TCursor::crDefault);
}

TEST(ToolkitClipboardTest, TextComesBackAsItWasPut) {
  const std::string text = "failed to set the time: C:\\Caf\xC3\xA9\\a.txt\r\n";
  ASSERT_TRUE(Clipboard().SetText(text));
  EXPECT_EQ(Clipboard().GetText(), text);
}

}  // namespace
