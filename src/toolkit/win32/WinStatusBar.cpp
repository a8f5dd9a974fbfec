#include "platform/win32/WideText.h"
#include "toolkit/win32/WinToolTip.h"
#include "toolkit/win32/WinWindow.h"
// After windows.h, whose types it builds on.
#include <commctrl.h>

namespace {

// The system's status bar in simple mode: one text area. The toolkit places and sizes it, so it
// neither aligns itself to its parent nor shows a size grip.
class TWinStatusBarPeer : public TWinPeer {
 public:
  explicit TWinStatusBarPeer(TStatusBar& bar) : TWinPeer(bar), Bar(bar) {
    CreateChild(STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, "");
    if (!Window) return;
    SendMessageW(Window, SB_SIMPLE, TRUE, 0);
    MirrorText();
  }

  void Mirror(TMirror what) override {
    if (what == TMirror::Text && Window) return MirrorText();
    TWinPeer::Mirror(what);
    if (what == TMirror::Bounds || what == TMirror::Font)
      SetCutTextToolTip(Window, Bar.SimpleText());
  }

  LRESULT Notified(UINT message, WPARAM, LPARAM lParam) override {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UINT(NM_DBLCLK))
      Bar.DblClick();
    return 0;
  }

 private:
  void MirrorText() {
    const std::wstring text = Utf8ToDisplayWide(Bar.SimpleText());
    SendMessageW(Window, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    SetCutTextToolTip(Window, Bar.SimpleText());
  }

  TStatusBar& Bar;
};

}  // namespace

std::unique_ptr<TControlPeer> TStatusBar::MakePeer() {
  return std::make_unique<TWinStatusBarPeer>(*this);
}
