#include "ui/Tmainform.h"

#include <cstdlib>

#include "platform/WinConst.h"
#include "ui/Constants.h"
#include "ui/MenuImages.h"

namespace {

// Places a control at its design geometry (120 dpi), scaled to the screen, and links it in.
void Place(TControl& control, TControl& parent, const std::string& name, int left, int top,
           int width, int height) {
  const TScreen& screen = Screen();
  control.Name = name;
  control.SetBounds(screen.Scale(left), screen.Scale(top), screen.Scale(width),
                    screen.Scale(height));
  control.SetParent(&parent);
}

void PlaceTarget(TPanel& panel, TPaintBox& paintBox, TLabel& label, TControl& parent,
                 const std::string& role, int top) {
  Place(panel, parent, role + "Panel", 8, top, 129, 41);
  Place(paintBox, panel, role + "PaintBox", 8, 8, 25, 25);
  Place(label, panel, role + "Label", 40, 8, 81, 25);
  label.SetCaption(role);
  label.SetFont({"Courier New", -Screen().Scale(18)});
  label.SetTransparent(true);
  label.SetLayout(TTextLayout::tlCenter);
}

void PlaceCheckBox(TCheckBox& box, TControl& parent, const std::string& name,
                   const std::string& caption, int top) {
  Place(box, parent, name, 8, top, 129, 25);
  box.SetCaption(caption);
}

}  // namespace

TMainForm::TMainForm() {
  BuildControls();
  BuildMainMenu();
  BuildPopupMenu();
  ConnectEvents();
  Application().Title = AppName;
  SetCaption(AppName);
  StatusBar.SetHeight(std::abs(Font().Height) + 12);
  ClientPanel.SetAutoSize(true);
  SetAutoSize(true);
  FHolder = std::make_unique<TStampHolder>();
  FHolder->OnChange = [this](TObject* sender) { HolderChange(sender); };
  FHistory = std::make_unique<TStampHistory>();
  FHistory->OnChange = [this](TObject* sender) { HistoryChange(sender); };
  HolderChange(this);
  HistoryChange(this);
  ErrorLogChange(this);
  StampOptionsChange(this);
  ViewOptionsChange(this);
  SyncByNameChange(this);
  IgnoreExtensionsChange(this);
  PreviewWritesChange(this);
  KeepHistoryChange(this);
  ThreadChange(this);
  StatusChange(this);
  MarkPanel(nullptr);
  LoadSettings();
}

// The window goes only after its worker has ended, which borrows the holder and the history.
TMainForm::~TMainForm() {
  CancelOperation();
  WaitForOperationEnd();
  RefuseWaitingRequests();
  SaveSettings();
  FHistory.reset();
  FHolder.reset();
}

void TMainForm::BuildControls() {
  Name = "MainForm";
  SetClientWidth(Screen().Scale(289));
  SetClientHeight(Screen().Scale(180));
  Place(ClientPanel, *this, "ClientPanel", 0, 0, 289, 180);
  ClientPanel.SetAlign(TAlign::alTop);
  ClientPanel.SetBevelOuter(TBevelCut::bvNone);
  Place(BasePanel, ClientPanel, "BasePanel", 0, 0, 289, 153);
  BasePanel.SetAlign(TAlign::alTop);
  BasePanel.SetBevelOuter(TBevelCut::bvNone);
  Place(LeftPanel, BasePanel, "LeftPanel", 0, 0, 145, 153);
  LeftPanel.SetBevelOuter(TBevelCut::bvNone);
  Place(RightPanel, BasePanel, "RightPanel", 144, 0, 145, 153);
  RightPanel.SetBevelOuter(TBevelCut::bvNone);
  PlaceTarget(GetPanel, GetPaintBox, GetLabel, LeftPanel, "Get", 8);
  PlaceTarget(SetPanel, SetPaintBox, SetLabel, LeftPanel, "Set", 56);
  PlaceTarget(SyncPanel, SyncPaintBox, SyncLabel, LeftPanel, "Sync", 104);
  PlaceCheckBox(CRTimeCheckBox, RightPanel, "CRTimeCheckBox", "&CR Time", 0);
  PlaceCheckBox(LWTimeCheckBox, RightPanel, "LWTimeCheckBox", "L&W Time", 24);
  PlaceCheckBox(LATimeCheckBox, RightPanel, "LATimeCheckBox", "L&A Time", 48);
  PlaceCheckBox(SubdirsCheckBox, RightPanel, "SubdirsCheckBox", "&Subdirs", 80);
  PlaceCheckBox(DirectoriesCheckBox, RightPanel, "DirectoriesCheckBox", "&Directories", 104);
  PlaceCheckBox(AnyAttrCheckBox, RightPanel, "AnyAttrCheckBox", "A&ny Attr", 128);
  Place(StatusBar, ClientPanel, "StatusBar", 0, 153, 289, 27);
  StatusBar.SetAlign(TAlign::alTop);
  LoadMenuImages(MenuImages);
  SetIcon(MenuImages, miGet);
}

TMenuItem& TMainForm::AddCommand(TMenuItem& parent, const std::string& name,
                                 const std::string& caption, TShortCut shortCut, int image,
                                 std::function<void()> command) {
  TMenuItem& item = parent.Add(name, caption, shortCut, image);
  item.OnClick = [this](TObject* sender) { MenuItemClick(sender); };
  Commands[&item] = std::move(command);
  return item;
}

TMenuItem& TMainForm::AddViewToggle(TMenuItem& parent, const std::string& name,
                                    const std::string& caption, bool TViewOptions::*field) {
  TMenuItem& item = AddCommand(parent, name, caption, 0, -1, nullptr);
  Commands[&item] = [this, &item, field] { ToggleViewOption(item, field); };
  return item;
}

void TMainForm::BuildMainMenu() {
  FormMainMenu.Name = "FormMainMenu";
  FunctionsMenuItem = &FormMainMenu.Items().Add("FunctionsMenuItem", "&Functions");
  TMenuItem& functions = *FunctionsMenuItem;
  NewWindowMenuItem = &AddCommand(functions, "NewWindowMenuItem", "&New Window", scCtrl | 'N',
                                  miNewWindow, [this] { NewWindow(); });
  functions.AddSeparator();
  UndoMenuItem = &AddCommand(functions, "UndoMenuItem", "&Undo", scCtrl | 'Z', miUndo,
                             [this] { StartOperation(okUndo, nullptr); });
  RedoMenuItem = &AddCommand(functions, "RedoMenuItem", "&Redo", scCtrl | scShift | 'Z', miRedo,
                             [this] { StartOperation(okRedo, nullptr); });
  CopyErrorLogMenuItem = &AddCommand(functions, "CopyErrorLogMenuItem", "&Copy Error Log...",
                                     scCtrl | 'C', -1, [this] { CopyErrorLog(); });
  PropertiesMenuItem = &AddCommand(functions, "PropertiesMenuItem", "&Properties...", vkF2,
                                   miProperties, [this] { StartOperation(okProperties, nullptr); });
  TimesMenuItem = &AddCommand(functions, "TimesMenuItem", "&Times...", scCtrl | 'T', -1,
                              [this] { ChooseTimes(); });
  functions.AddSeparator();
  OptionsMenuItem = &functions.Add("OptionsMenuItem", "&Options", 0, miOptions);
  BuildOptionsMenu();
  functions.AddSeparator();
  ExitMenuItem = &AddCommand(functions, "ExitMenuItem", "E&xit", 0, miExit, [this] { Close(); });
  BuildHelpMenu();
  SetMenu(&FormMainMenu);
}

void TMainForm::BuildOptionsMenu() {
  TMenuItem& options = *OptionsMenuItem;
  ClearUndoRedoDataMenuItem =
      &AddCommand(options, "ClearUndoRedoDataMenuItem", "&Clear Undo/Redo Data...", vkF5, -1,
                  [this] { ClearUndoRedoData(); });
  ClearGetDataMenuItem = &AddCommand(options, "ClearGetDataMenuItem", "Clea&r Get Data...", vkF6,
                                     -1, [this] { ClearGetData(); });
  options.AddSeparator();
  MenuIconsMenuItem =
      &AddViewToggle(options, "MenuIconsMenuItem", "&Menu Icons", &TViewOptions::MenuIcons);
  SwapPanelsMenuItem =
      &AddViewToggle(options, "SwapPanelsMenuItem", "&Swap Panels", &TViewOptions::SwapPanels);
  StatusBarMenuItem =
      &AddViewToggle(options, "StatusBarMenuItem", "Status &Bar", &TViewOptions::StatusBar);
  TopmostMenuItem = &AddViewToggle(options, "TopmostMenuItem", "&Topmost", &TViewOptions::Topmost);
  LastPositionMenuItem = &AddViewToggle(options, "LastPositionMenuItem", "&Last Position",
                                        &TViewOptions::LastPosition);
  SendToMenuItem =
      &AddCommand(options, "SendToMenuItem", "Send To Menu", 0, -1, [this] { ToggleSendTo(); });
  options.AddSeparator();
  SyncByNameMenuItem = &AddCommand(options, "SyncByNameMenuItem", "Sync by &Name", 0, -1,
                                   [this] { SetSyncByName(!SyncByNameMenuItem->Checked()); });
  IgnoreExtensionsMenuItem =
      &AddCommand(options, "IgnoreExtensionsMenuItem", "Ignore &Extensions", 0, -1,
                  [this] { SetIgnoreExtensions(!IgnoreExtensionsMenuItem->Checked()); });
  PreviewWritesMenuItem =
      &AddCommand(options, "PreviewWritesMenuItem", "&Preview Writes", 0, -1,
                  [this] { SetPreviewWrites(!PreviewWritesMenuItem->Checked()); });
  KeepHistoryMenuItem = &AddCommand(options, "KeepHistoryMenuItem", "Keep &History", 0, -1,
                                    [this] { SetKeepHistory(!KeepHistoryMenuItem->Checked()); });
  options.AddSeparator();
  DefaultMenuItem =
      &AddCommand(options, "DefaultMenuItem", "&Default...", 0, -1, [this] { Default(); });
}

void TMainForm::BuildHelpMenu() {
  Help1MenuItem = &FormMainMenu.Items().Add("Help1MenuItem", "&Help");
  TMenuItem& help = *Help1MenuItem;
  Help2MenuItem = &AddCommand(help, "Help2MenuItem", "&Help", vkF1, miHelp, [this] { OpenHelp(); });
  help.AddSeparator();
  TipsMenuItem = &AddCommand(help, "TipsMenuItem", "&Tips...", 0, -1, [] {
    Application().MsgBox(TipsText, "Tips", mbOk | mbIconInformation);
  });
  AboutMenuItem = &AddCommand(help, "AboutMenuItem", "&About...", 0, miAbout, [] {
    Application().MsgBox(AboutText, "About", mbOk | mbIconInformation);
  });
}

void TMainForm::BuildPopupMenu() {
  FormPopupMenu.Name = "FormPopupMenu";
  TMenuItem& root = FormPopupMenu.Items();
  NewWindowPMenuItem = &AddCommand(root, "NewWindowPMenuItem", "&New Window", 0, miNewWindow,
                                   [this] { NewWindow(); });
  root.AddSeparator();
  UndoPMenuItem = &AddCommand(root, "UndoPMenuItem", "&Undo", 0, miUndo,
                              [this] { StartOperation(okUndo, nullptr); });
  RedoPMenuItem = &AddCommand(root, "RedoPMenuItem", "&Redo", 0, miRedo,
                              [this] { StartOperation(okRedo, nullptr); });
  CopyErrorLogPMenuItem = &AddCommand(root, "CopyErrorLogPMenuItem", "&Copy Error Log...", 0, -1,
                                      [this] { CopyErrorLog(); });
  PropertiesPMenuItem = &AddCommand(root, "PropertiesPMenuItem", "&Properties...", 0, miProperties,
                                    [this] { StartOperation(okProperties, nullptr); });
  TimesPMenuItem =
      &AddCommand(root, "TimesPMenuItem", "&Times...", 0, -1, [this] { ChooseTimes(); });
  root.AddSeparator();
  PastePMenuItem =
      &AddCommand(root, "PastePMenuItem", "Paste", 0, -1, [this] { PasteTo(PopupTarget); });
  SetPopupMenu(&FormPopupMenu);
}

void TMainForm::ConnectEvents() {
  KeyPreview = true;
  OnKeyDown = [this](TObject* sender, int& key, TShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnDropFiles = [this](TObject*, TDropHandle& drop) { WMDropFiles(drop); };
  OnQueryEndSession = [this](TObject* sender, bool& canEnd) {
    FormQueryEndSession(sender, canEnd);
  };
  OnEndSession = [this](TObject* sender, bool ending) { FormEndSession(sender, ending); };
  for (TPaintBox* box : {&GetPaintBox, &SetPaintBox, &SyncPaintBox})
    box->OnPaint = [this](TObject* sender) { PaintBoxPaint(sender); };
  for (const TOptionBox& box : OptionBoxes())
    box.first->OnClick = [this](TObject* sender) { CheckBoxClick(sender); };
  StatusBar.OnDblClick = [this](TObject* sender) { StatusBarDblClick(sender); };
  SetupProgress();
  SetupRequests();
  SetupHints();
  ConnectTargets();
}

std::array<TMainForm::TOptionBox, 6> TMainForm::OptionBoxes() {
  return {{{&CRTimeCheckBox, &TStampOptions::CRTime},
           {&LWTimeCheckBox, &TStampOptions::LWTime},
           {&LATimeCheckBox, &TStampOptions::LATime},
           {&SubdirsCheckBox, &TStampOptions::Subdirs},
           {&DirectoriesCheckBox, &TStampOptions::Directories},
           {&AnyAttrCheckBox, &TStampOptions::AnyAttr}}};
}

void TMainForm::PaintBoxPaint(TObject* sender) {
  const std::pair<TPaintBox*, TMenuImage> icons[] = {
      {&GetPaintBox, miGet}, {&SetPaintBox, miSet}, {&SyncPaintBox, miSync}};
  for (const auto& [box, image] : icons) {
    if (sender != box) continue;
    const int x = (box->Width() - MenuImages.Width()) / 2;
    const int y = (box->Height() - MenuImages.Height()) / 2;
    MenuImages.Draw(box->Canvas(), x, y, image, box->Enabled());
  }
}

void TMainForm::SetViewOptions(const TViewOptions& options) {
  if (options == FViewOptions) return;
  FViewOptions = options;
  ViewOptionsChange(this);
}

void TMainForm::ViewOptionsChange(TObject*) {
  MenuIconsMenuItem->SetChecked(FViewOptions.MenuIcons);
  SwapPanelsMenuItem->SetChecked(FViewOptions.SwapPanels);
  StatusBarMenuItem->SetChecked(FViewOptions.StatusBar);
  TopmostMenuItem->SetChecked(FViewOptions.Topmost);
  LastPositionMenuItem->SetChecked(FViewOptions.LastPosition);
  FormMainMenu.SetImages(FViewOptions.MenuIcons ? &MenuImages : nullptr);
  FormPopupMenu.SetImages(FormMainMenu.Images());
  ApplySwapPanels();
  StatusBar.SetVisible(FViewOptions.StatusBar);
  SetTopmost(FViewOptions.Topmost);
}

// Only the two halves trade places; with the panels swapped the check boxes stand on the left.
void TMainForm::ApplySwapPanels() {
  const int right = RightPanel.Left();
  const int left = LeftPanel.Left();
  if ((right < left) == FViewOptions.SwapPanels) return;
  LeftPanel.SetLeft(right);
  RightPanel.SetLeft(left);
  // Tab goes through the window as it shows itself: the left half first.
  LeftPanel.SetTabOrder(FViewOptions.SwapPanels ? 1 : 0);
}

void TMainForm::ToggleViewOption(const TMenuItem& item, bool TViewOptions::*field) {
  TViewOptions options = FViewOptions;
  options.*field = !item.Checked();
  SetViewOptions(options);
}
