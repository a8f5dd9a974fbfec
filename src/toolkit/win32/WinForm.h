#pragma once

#include <windows.h>
// The other system headers build on the types that windows.h declares.
#include <shellapi.h>

#include <memory>

#include "toolkit/win32/WinDropTarget.h"
#include "toolkit/win32/WinMenu.h"
#include "toolkit/win32/WinWindow.h"

// The window class of every form, by which other starts of the program find its windows.
inline constexpr wchar_t FormClass[] = L"BrevantorForm";

// The top-level window of a form: frame, menu bar, icon, drops, context menu, key preview.
class TWinFormPeer : public TWinPeer {
 public:
  explicit TWinFormPeer(TForm& form);
  ~TWinFormPeer() override;

  // The peer of a top-level window, when it is one of our forms.
  static TWinFormPeer* OfWindow(HWND window);

  void Mirror(TMirror what) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The key preview of a key pressed in the window; true when the form consumed the key.
  bool PreviewKey(int key);
  HACCEL Accelerators() const { return Bar ? Bar->Accelerators() : nullptr; }
  // Whether the system lets drops through from processes of a lower integrity level: only where
  // the window runs elevated.
  bool LetsDropsThrough() const { return DropsLetThrough; }
  // Whether drags over the window are seen through OLE, not only their drops.
  bool SeesDrags() const { return OleDrop && OleDrop->Registered(); }

 private:
  void MirrorBounds();
  void MirrorVisible();
  void MirrorFocus();
  void MirrorMenu();
  void MirrorIcon();
  void DetachBar();
  void FeedPosition();
  bool ShowContextMenu(LPARAM screenPoint);
  bool MenuCommand(WPARAM wParam);
  bool ActivateFocus(WPARAM wParam);
  LRESULT DropFiles(HDROP drop);
  void LetDropsThrough();
  LRESULT ChangeDpi(int pixelsPerInch, const RECT& suggested);

  TForm& Form;
  TWinMenuPeer* Bar = nullptr;
  HICON SmallIcon = nullptr;
  HICON BigIcon = nullptr;
  bool DropsLetThrough = false;
  // Goes before the window does.
  std::unique_ptr<TOleDropRegistration> OleDrop;
};
