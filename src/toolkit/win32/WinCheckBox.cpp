#include "platform/win32/WideText.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// The system's check box, toggled by the control itself so that Checked and OnClick stay one.
class TWinCheckBoxPeer : public TWinPeer {
 public:
  explicit TWinCheckBoxPeer(TCheckBox& box) : TWinPeer(box), Box(box) {
    CreateChild(L"BUTTON", BS_CHECKBOX | BS_NOTIFY | WS_TABSTOP, 0, box.Caption());
    MirrorCheck();
  }

  void Mirror(TMirror what) override {
    if (!Window) return;
    if (what == TMirror::Text) {
      SetWindowTextW(Window, Utf8ToWide(Box.Caption()).c_str());
      return;
    }
    if (what == TMirror::Look) return MirrorCheck();
    TWinPeer::Mirror(what);
  }

  LRESULT Notified(UINT message, WPARAM wParam, LPARAM) override {
    if (message != WM_COMMAND) return 0;
    switch (HIWORD(wParam)) {
      case BN_CLICKED:
      case BN_DOUBLECLICKED:
        Box.Click();
        break;
      case BN_SETFOCUS:
        if (TForm* form = Box.Form()) form->NativeFocused(&Box);
        break;
    }
    return 0;
  }

 private:
  void MirrorCheck() {
    SendMessageW(Window, BM_SETCHECK, Box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  TCheckBox& Box;
};

}  // namespace

std::unique_ptr<TControlPeer> TCheckBox::MakePeer() {
  return std::make_unique<TWinCheckBoxPeer>(*this);
}
