#pragma once

#include <windows.h>

#include <string>

#include "toolkit/Toolkit.h"

// The native window of one control. Windows of our own classes bind their peer at WM_NCCREATE and
// hand each message to HandleMessage; the system's controls (buttons, status bars) are reached
// through the messages they send their parent, which passes them to Notified.
class TWinPeer : public TControlPeer {
 public:
  explicit TWinPeer(TControl& control) : Control(control) {}
  ~TWinPeer() override;
  TWinPeer(const TWinPeer&) = delete;
  TWinPeer& operator=(const TWinPeer&) = delete;

  HWND Handle() const { return Window; }
  TControl& Owner() const { return Control; }

  void Mirror(TMirror what) override;
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND or WM_NOTIFY about this control, as its parent received it.
  virtual LRESULT Notified(UINT message, WPARAM wParam, LPARAM lParam);

  // The window procedure of every class of ours.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // Creates the child window of the control, inside its parent's, in the control's state.
  void CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, const std::string& text);
  // Registers a class of ours once; the class's background is the dialog face.
  static const wchar_t* RegisterClassOnce(const wchar_t* className, UINT classStyle = 0);
  // Answers the messages a container gets about its children.
  bool HandleContainerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Paints what the parent shows behind this window, for controls that draw no background.
  void PaintParentBackground(HDC dc) const;
  void Register();
  void MirrorOrder();

  TControl& Control;
  HWND Window = nullptr;
};

// A window that paints itself whole and lets the mouse through to what lies beneath (labels,
// paint boxes): it never erases, and paints in PaintOn.
class TWinSurfacePeer : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  virtual void PaintOn(HDC dc) = 0;
};

// Saves what a window of the program shows, frame included, as a 24-bit .bmp file.
bool SaveWindowScreenshot(HWND window, const std::string& path);

// The peer of a window made for a control, or none.
TWinPeer* PeerOf(HWND window);
// The native window of a control, or none (headless, or before its parent has one).
HWND WindowHandle(const TControl& control);

// A font handle for the font, made once and kept for the program's life.
HFONT FontHandle(const TFont& font);
// The modifiers and mouse buttons held, as of the message being handled.
TShiftState ShiftStateNow();

// Shows the exception being handled through the application's exception display; nothing
// escapes from it. For the places where the system calls us.
void ShowCaughtException() noexcept;

// Runs one window message: the form's key preview, its shortcuts and its dialog keys come first.
void DispatchWindowMessage(MSG& message);
// The message-only window through which workers wake the main thread; made on first use, on the
// main thread.
HWND MainQueueWindow();
