#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"

// The names dropped onto a window from the shell, and where they were dropped.
class TDropHandle {
 public:
  virtual ~TDropHandle() = default;
  virtual int Count() const = 0;
  // The whole name, however long; empty for an index out of range.
  virtual std::string Name(int index) const = 0;
  // The drop point in the client coordinates of the window dropped on.
  virtual TPoint Point() const = 0;
  // Releases the handle; call it exactly once.
  virtual void Finish() = 0;
  // The sender's list of names could not be read as one: it holds no names then.
  virtual bool Malformed() const { return false; }
};

// A drop made from a list of names, as a test, the headless backend or a parsed block delivers
// one.
class TNamesDropHandle : public TDropHandle {
 public:
  TNamesDropHandle(std::vector<std::string> names, TPoint point, bool malformed = false);
  int Count() const override { return int(Names.size()); }
  std::string Name(int index) const override;
  TPoint Point() const override { return DropPoint; }
  void Finish() override { ++FinishCount; }
  bool Malformed() const override { return IsMalformed; }
  int Finished() const { return FinishCount; }

 private:
  std::vector<std::string> Names;
  TPoint DropPoint;
  bool IsMalformed;
  int FinishCount = 0;
};

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TDropFilesEvent = std::function<void(TObject* sender, TDropHandle& drop)>;
using TEndSessionEvent = std::function<void(TObject* sender, bool ending)>;
// Where dragged files are over the form now, in client coordinates; none once they have left it or
// have been dropped.
using TDragOverEvent = std::function<void(TObject* sender, std::optional<TPoint> clientPoint)>;

// A top-level window with a single fixed border, a system menu and a minimise button (no
// maximise). It starts hidden, at a position the system chooses, with the system's message font
// at character height 15 scaled from 120 dpi. On Windows its native window exists from the
// constructor on, so that every control linked to it gets its own at once.
class TForm : public TControl {
 public:
  TForm();
  ~TForm() override;

  bool IsContainer() const override { return true; }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);

  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientWidth(int width) { SetWidth(width); }
  void SetClientHeight(int height) { SetHeight(height); }

  void Show() { SetVisible(true); }
  // Asks OnCloseQuery; when it allows, hides the form, and ends the application's run when this
  // is the main form.
  void Close();
  bool CloseQuery();
  TCloseQueryEvent OnCloseQuery;

  // The user's session is about to end (logoff, shutdown, restart). From here until its outcome
  // has been handled, no message box is shown and those open close (TApplication::SessionEnding).
  // OnQueryEndSession may refuse by clearing its flag; the answer is whether the form agrees.
  bool QueryEndSession();
  TCloseQueryEvent OnQueryEndSession;
  // The outcome: ending true when the session ends, after which the process is ended without
  // closing its windows; false when it goes on.
  void EndSession(bool ending);
  TEndSessionEvent OnEndSession;
  // Tells the system why the form holds up the session's end while it finishes; empty: it no
  // longer does.
  const std::string& ShutdownBlockReason() const { return FShutdownBlockReason; }
  void SetShutdownBlockReason(const std::string& reason);

  // Keys: with KeyPreview on, OnKeyDown sees each key before the controls; setting the key to 0
  // consumes it. Then the main menu's shortcuts are tried, then the focused control.
  bool KeyPreview = false;
  TKeyEvent OnKeyDown;
  // The user presses a key while the form is active: key preview, the shortcuts, the focused
  // control.
  // True when something took the key.
  bool PressKey(int key, TShiftState shift);
  // Key preview alone; true when OnKeyDown consumed the key.
  bool PreviewKeyDown(int key, TShiftState shift);
  // Clicks the main menu's visible, enabled item with this shortcut; true when there is one.
  bool IsShortCut(int key, TShiftState shift);

  // The control with the keyboard focus, or none.
  TControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TControl* control);

  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }
  // The menu a right click at this client point shows: the pop-up menu anywhere in the client
  // area, none outside it. Raises the menu's OnPopup.
  TPopupMenu* ContextMenuAt(TPoint clientPoint);
  // The client point of the last ContextMenuAt, for OnPopup to see where the menu opens.
  TPoint PopupPoint() const { return FPopupPoint; }

  // Whether the shell may drop files onto the form.
  bool AcceptsFiles() const { return FAcceptsFiles; }
  void AcceptFiles(bool accept);
  TDropFilesEvent OnDropFiles;
  // Delivers a drop to OnDropFiles; false (and nothing raised) while files are not accepted.
  bool DropFiles(TDropHandle& drop);
  // Files are dragged over the form (a point) or no longer (none). False, and nothing raised, when
  // a point comes while files are not accepted.
  bool DragOver(std::optional<TPoint> clientPoint);
  TDragOverEvent OnDragOver;

  // Brings the window to the foreground.
  void BringToFront();
  // Puts the window into or out of the topmost band without moving or sizing it.
  bool Topmost() const { return FTopmost; }
  void SetTopmost(bool topmost);

  // The window's icon, made from an image of the list (none: the system's default).
  void SetIcon(const TImageList& images, int index);
  const TImageList* IconImages() const { return FIconImages; }
  int IconIndex() const { return FIconIndex; }

  // The window moved to a monitor of another resolution: every control, font and picture is
  // scaled to it, and the screen takes the new resolution for what is made from now on. The
  // window's position is the backend's.
  void ChangeScale(int pixelsPerInch);

  // For the backend: the native window moved. Positions are in screen pixels.
  void NativeMoved(TPoint windowPosition, TPoint clientOrigin);
  // For the backend: a control of the form received the focus.
  void NativeFocused(TControl* control) { FActiveControl = control; }

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;
  TPoint ClientOrigin() const override;

 private:
  std::string FCaption;
  std::string FShutdownBlockReason;
  TControl* FActiveControl = nullptr;
  TMainMenu* FMenu = nullptr;
  TPopupMenu* FPopupMenu = nullptr;
  TPoint FPopupPoint;
  bool FAcceptsFiles = false;
  bool FTopmost = false;
  const TImageList* FIconImages = nullptr;
  int FIconIndex = -1;
  std::optional<TPoint> NativeClientOrigin;
};

// For the backends.
void PlatformBlockShutdown(const TForm& form, const std::string& reason);

enum class TCursor { crDefault, crHourGlass };

// The screen: its resolution and the program-wide cursor.
class TScreen {
 public:
  // Sizes in this program are designed at this resolution.
  static constexpr int DesignPixelsPerInch = 120;

  // The resolution of the monitor the main window stands on: the system's at first, then what the
  // window was last told when it moved to a monitor of other scaling.
  int PixelsPerInch() const { return FPixelsPerInch ? FPixelsPerInch : SystemPixelsPerInch(); }
  void SetPixelsPerInch(int pixelsPerInch) { FPixelsPerInch = pixelsPerInch; }
  // A design size (at 120 dpi) in this screen's pixels, rounded to the nearest.
  int Scale(int designValue) const;
  // How many screen pixels stand for one pixel of a picture: whole multiples only, so that small
  // pictures keep their hard edges; 1 up to 191 dpi.
  int PictureScale() const;
  // The face of the system's message font.
  std::string MessageFontName() const;

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

 private:
  int SystemPixelsPerInch() const;
  void ApplyCursor();
  TCursor FCursor = TCursor::crDefault;
  int FPixelsPerInch = 0;
};

TScreen& Screen();

// The system clipboard, plain text only (headless: held in memory).
class TClipboard {
 public:
  bool SetText(const std::string& text);
  // Empty when the clipboard holds no text.
  std::string GetText() const;
};

TClipboard& Clipboard();

// Saves what the form's window shows as a 24-bit .bmp file; false when it cannot (always
// headless, where nothing is shown).
bool SaveWindowScreenshot(const TForm& form, const std::string& path);
