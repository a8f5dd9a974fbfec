#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "engine/HistoryStore.h"
#include "engine/Tstamper.h"
#include "toolkit/Instances.h"
#include "toolkit/Taskbar.h"
#include "toolkit/Timer.h"
#include "toolkit/TimesDialog.h"
#include "toolkit/Toolkit.h"

struct TSettingsValues;
struct TCommandRequest;
class TIniFile;

// The five switches of the Options menu that change how the window looks.
class TViewOptions {
 public:
  TViewOptions() = default;
  TViewOptions(const TViewOptions&) = default;
  TViewOptions& operator=(const TViewOptions&) = default;
  virtual ~TViewOptions() = default;
  bool operator==(const TViewOptions&) const = default;

  bool MenuIcons = true;
  bool SwapPanels = false;
  bool StatusBar = true;
  bool Topmost = false;
  bool LastPosition = false;
};

// The program's only window: three drop targets, six option check boxes, a status bar, the main
// and pop-up menus. It owns the Get data and the Undo/Redo history and runs at most one operation
// at a time on a worker thread. Its state changes only through the setters, each of which fires
// the change handler named after what changed.
class TMainForm : public TForm {
 public:
  TMainForm();
  ~TMainForm() override;

  // The controls, in tab order.
  TPanel ClientPanel;
  TPanel BasePanel;
  TPanel LeftPanel;
  TPanel RightPanel;
  TPanel GetPanel;
  TPanel SetPanel;
  TPanel SyncPanel;
  TPaintBox GetPaintBox;
  TLabel GetLabel;
  TPaintBox SetPaintBox;
  TLabel SetLabel;
  TPaintBox SyncPaintBox;
  TLabel SyncLabel;
  TCheckBox CRTimeCheckBox;
  TCheckBox LWTimeCheckBox;
  TCheckBox LATimeCheckBox;
  TCheckBox SubdirsCheckBox;
  TCheckBox DirectoriesCheckBox;
  TCheckBox AnyAttrCheckBox;
  TStatusBar StatusBar;

  TImageList MenuImages;

  // The menus own their items; these point into them.
  TMainMenu FormMainMenu;
  TMenuItem* FunctionsMenuItem = nullptr;
  TMenuItem* NewWindowMenuItem = nullptr;
  TMenuItem* UndoMenuItem = nullptr;
  TMenuItem* RedoMenuItem = nullptr;
  TMenuItem* CopyErrorLogMenuItem = nullptr;
  TMenuItem* PropertiesMenuItem = nullptr;
  TMenuItem* TimesMenuItem = nullptr;
  TMenuItem* OptionsMenuItem = nullptr;
  TMenuItem* ClearUndoRedoDataMenuItem = nullptr;
  TMenuItem* ClearGetDataMenuItem = nullptr;
  TMenuItem* MenuIconsMenuItem = nullptr;
  TMenuItem* SwapPanelsMenuItem = nullptr;
  TMenuItem* StatusBarMenuItem = nullptr;
  TMenuItem* TopmostMenuItem = nullptr;
  TMenuItem* LastPositionMenuItem = nullptr;
  TMenuItem* SyncByNameMenuItem = nullptr;
  TMenuItem* IgnoreExtensionsMenuItem = nullptr;
  TMenuItem* PreviewWritesMenuItem = nullptr;
  TMenuItem* KeepHistoryMenuItem = nullptr;
  TMenuItem* SendToMenuItem = nullptr;
  TMenuItem* DefaultMenuItem = nullptr;
  TMenuItem* ExitMenuItem = nullptr;
  TMenuItem* Help1MenuItem = nullptr;
  TMenuItem* Help2MenuItem = nullptr;
  TMenuItem* TipsMenuItem = nullptr;
  TMenuItem* AboutMenuItem = nullptr;

  TPopupMenu FormPopupMenu;
  TMenuItem* NewWindowPMenuItem = nullptr;
  TMenuItem* UndoPMenuItem = nullptr;
  TMenuItem* RedoPMenuItem = nullptr;
  TMenuItem* CopyErrorLogPMenuItem = nullptr;
  TMenuItem* PropertiesPMenuItem = nullptr;
  TMenuItem* TimesPMenuItem = nullptr;
  TMenuItem* PastePMenuItem = nullptr;

  // The window's state.
  TStampHolder& Holder() const { return *FHolder; }
  // What the Times dialog showed when last closed with OK, or as the settings file remembers it.
  const TTimesValues& TimesValues() const { return FTimesValues; }
  TStampHistory& History() const { return *FHistory; }
  const std::string& ErrorLog() const { return FErrorLog; }
  const TStampOptions& StampOptions() const { return FStampOptions; }
  const TViewOptions& ViewOptions() const { return FViewOptions; }
  // Whether the Undo/Redo history is kept on the disk across runs.
  bool KeepHistory() const { return FKeepHistory; }
  // Whether a Sync pairs its targets with the Get data by name rather than by place.
  bool SyncByName() const { return FSyncByName; }
  // Whether a Sync by name pairs a target that has no partner of its own name with one that
  // differs only in its last extension.
  bool IgnoreExtensions() const { return FIgnoreExtensions; }
  // Whether a Set, Sync, Undo or Redo lists what it will write and waits for Write first.
  bool PreviewWrites() const { return FPreviewWrites; }
  // The running operation; none while idle.
  TStamper* Stamper() const { return FStamper; }
  int StatusNumber() const { return FStatusNumber; }
  const std::string& StatusText() const { return FStatusText; }

  void SetErrorLog(const std::string& errorLog);
  void SetStampOptions(const TStampOptions& options);
  void SetViewOptions(const TViewOptions& options);
  void SetSyncByName(bool byName);
  void SetIgnoreExtensions(bool ignore);
  void SetPreviewWrites(bool preview);
  void SetKeepHistory(bool keep);
  void SetStamper(TStamper* stamper);
  void SetStatus(int number, const std::string& text);

  // Keeps the way back of each writing operation in a journal in the first of the folders that
  // takes one, and offers to put back what a process that is gone left unfinished there. The
  // history kept on the disk, where Keep History is on, is read from these folders first.
  void StartJournal(const std::vector<std::string>& folders);
  const TJournal* Journal() const { return FJournal.get(); }
  // Open while this window keeps the history on the disk.
  const THistoryStore* HistoryStore() const { return FHistoryStore.get(); }

  // Handlers the toolkit calls.
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormKeyDown(TObject* sender, int& key, TShiftState shift);
  void CheckBoxClick(TObject* sender);
  void StatusBarDblClick(TObject* sender);
  void PaintBoxPaint(TObject* sender);
  void MenuItemClick(TObject* sender);
  void WMDropFiles(TDropHandle& drop);
  void FormQueryEndSession(TObject* sender, bool& canEnd);
  void FormEndSession(TObject* sender, bool ending);
  void FormDragOver(TObject* sender, std::optional<TPoint> clientPoint);

  // Shows how far the running operation is, in the status line and on the taskbar button.
  void ProgressTimerTimer(TObject* sender);
  TTimer ProgressTimer;
  TTaskbarProgress TaskbarProgress{*this};
  // A key on a focused drop target: Enter or Space chooses items, Ctrl+V or Shift+Insert pastes.
  void TargetKeyDown(TObject* sender, int& key, TShiftState shift);
  void FormPopupMenuPopup(TObject* sender);

  // A command line, of this start or handed over by a later one: runs its request, if any; false
  // when nothing started.
  bool RunParams(const TStringList& params, bool handedOver = false);

  // Requests handed over by later starts wait here, at most RequestQueueBound of them; past that
  // they are refused as busy. They run one at a time, each once the window is idle and no box is
  // open, so that none ever runs inside a box's loop; each is answered at its end.
  static constexpr size_t RequestQueueBound = 32;
  void QueueRequest(const TStringList& params, THandOverReply reply);
  size_t WaitingRequests() const { return FRequests.size(); }
  void RequestTimerTimer(TObject* sender);
  TTimer RequestTimer;

  // Change handlers; each ignores its sender.
  void HolderChange(TObject* sender);
  void HistoryChange(TObject* sender);
  void ErrorLogChange(TObject* sender);
  void StampOptionsChange(TObject* sender);
  void ViewOptionsChange(TObject* sender);
  void SyncByNameChange(TObject* sender);
  void IgnoreExtensionsChange(TObject* sender);
  void PreviewWritesChange(TObject* sender);
  void KeepHistoryChange(TObject* sender);
  void ThreadChange(TObject* sender);
  void StatusChange(TObject* sender);
  // The stamper's end of run, on the main thread; the sender is the stamper.
  void StamperTerminate(TObject* sender);
  // The preview of a writing run, on the main thread while the run waits; true to write.
  bool ShowWritePreview(TWritePreview& preview);
  // The preview of a request handed over with "/preview": its text goes with the answer, and
  // nothing is written.
  bool ReplyWithPreview(TWritePreview& preview);

  // The settings file.
  void LoadSettings();
  void SaveSettings();
  TSettingsValues CurrentSettingsValues() const;
  // Options newer than the "Values" fields, each under a key of its own, so that older versions
  // read that value as before.
  struct TKeyedOption {
    std::string Key;
    bool Value;
    std::function<void(bool)> Set;
  };
  using TKeyedValues = std::unordered_map<std::string, std::string>;
  std::vector<TKeyedOption> KeyedOptions();
  void LoadKeyedOptions(const TIniFile& ini);
  // Writes the keys this window changed; gives the values it saved.
  TKeyedValues SaveKeyedOptions(TIniFile& ini);
  void ApplyDefaults();
  // The 1-based index of the first command-line parameter equal to the text, or -1.
  int FindParam(const std::string& text, bool caseSensitive) const;

 private:
  // Construction.
  void BuildControls();
  void BuildMainMenu();
  void BuildOptionsMenu();
  void BuildHelpMenu();
  void BuildPopupMenu();
  TMenuItem& AddCommand(TMenuItem& parent, const std::string& name, const std::string& caption,
                        TShortCut shortCut, int image, std::function<void()> command);
  TMenuItem& AddViewToggle(TMenuItem& parent, const std::string& name, const std::string& caption,
                           bool TViewOptions::*field);
  void ConnectEvents();
  // Each option check box with the field of the stamp options it shows.
  using TOptionBox = std::pair<TCheckBox*, bool TStampOptions::*>;
  std::array<TOptionBox, 6> OptionBoxes();

  // Operations.
  bool DropToPanel(const TStringList& items, TPoint screenPoint);
  bool HitsPanel(const TPanel& panel, TPoint screenPoint) const;
  // False when nothing started: busy, or the system refused a thread.
  bool StartOperation(TOperationKind kind, const TStringList* items,
                      const TJournalState* stoppedRun = nullptr);
  void OfferRestore(TStoppedRun run);
  // Takes the history files where Keep History is on (the user's own choice, when asked, is told
  // if another window holds them), else deletes any that are left.
  void OpenKeptHistory(bool asked);
  void SaveKeptHistory();
  void EndRestore(bool canceled);
  bool CheckBusy(bool warn);
  void CancelOperation();
  void MarkPanel(const TPanel* panel);
  void SetControlEnabled(TControl& control, bool enabled);
  void ApplySwapPanels();
  // The drop targets: focus, keys, paste, choosing items, Send To.
  void ConnectTargets();
  TPanel* TargetAt(TPoint screenPoint);
  void PasteTo(TPanel* target);
  void ChooseFor(TPanel& target);
  void ToggleSendTo();
  void ShowSendToState();
  void WaitForOperationEnd();
  void SetupProgress();
  void SetupRequests();
  void AnswerRunningRequest(const TStamper& stamper, const std::string& errorLog);
  void RefuseWaitingRequests();
  std::string StatusLine() const;
  void SetupHints();
  // The enabled drop target under the point, with the kind a drop there starts; none and
  // Properties elsewhere.
  std::pair<TPanel*, TOperationKind> DropTargetAt(TPoint screenPoint);
  void ProgressChange();

  // Commands.
  void NewWindow();
  void CopyErrorLog();
  void ClearUndoRedoData();
  void ClearGetData();
  void ToggleViewOption(const TMenuItem& item, bool TViewOptions::*field);
  void Default();
  void OpenHelp();
  // The Times dialog: its OK makes the chosen times the Get data.
  void ChooseTimes();
  // A command line's chosen times become the Get data of its Set; false when refused.
  bool HoldRequestedTimes(const TCommandRequest& request);
  void LoadTimesSettings(const TIniFile& ini);
  void SaveTimesSettings(TIniFile& ini);
  bool Confirm(const std::string& question);
  void Warn(const std::string& message);

  std::unordered_map<const TObject*, std::function<void()>> Commands;

  std::unique_ptr<TStampHolder> FHolder;
  std::unique_ptr<TStampHistory> FHistory;
  std::string FErrorLog;
  TStampOptions FStampOptions;
  TViewOptions FViewOptions;
  bool FSyncByName = false;
  bool FKeepHistory = false;
  // Keep History as read at start or last saved, to tell this window's change from another's.
  bool FKeepHistoryBase = false;
  std::unique_ptr<THistoryStore> FHistoryStore;
  // Where the journal and the kept history live, once the journal has started.
  std::vector<std::string> FStateFolders;
  bool FIgnoreExtensions = false;
  bool FPreviewWrites = false;
  // What the command line of the request being started asks beyond a drop.
  struct TRequestedExtras {
    bool Preview = false, IgnoreExtensions = false, HandedOver = false;
    // The times the request's chosen times name: the only ones it writes.
    std::array<bool, 3> Times{true, true, true};
  } FRequested;
  TTimesValues FTimesValues;
  // Whether FTimesValues holds times chosen or remembered, rather than none yet.
  bool FTimesKnown = false;
  // Whether this window chose times since the settings were read or saved.
  bool FTimesChanged = false;
  std::string FPreviewReply;
  // The settings value as read at start or last saved, to tell this window's changes from those
  // another window saved meanwhile.
  std::string FSettingsBase;
  TKeyedValues FKeyedBase;
  bool FSettingsUnreadable = false;
  TStamper* FStamper = nullptr;
  std::unique_ptr<TJournal> FJournal;
  // The journal of the run a Restore puts back, held until the Restore has ended.
  std::unique_ptr<TDurableFile> FStoppedJournal;
  int FStatusNumber = 0;
  std::string FStatusText = "Ready";

  // The control that had the focus when the window became busy, given it back when idle again.
  bool ThreadChangeSeen = false;
  TControl* RememberedControl = nullptr;
  int ProgressTicks = 0;
  // The target a Paste of the pop-up menu goes to: the one under the menu, or the focused one.
  TPanel* PopupTarget = nullptr;

  struct TWaitingRequest {
    TStringList Params;
    THandOverReply Reply;
  };
  std::deque<TWaitingRequest> FRequests;
  // The answer the running operation owes the start that handed it over.
  THandOverReply FRunningReply;
  // The last warning shown: what a request that started nothing is answered with.
  std::string FLastWarning;
};
