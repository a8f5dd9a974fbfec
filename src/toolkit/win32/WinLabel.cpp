#include "platform/win32/WideText.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// A painted one-line text. It lets the mouse through to what lies beneath, as a label does.
class TWinLabelPeer : public TWinSurfacePeer {
 public:
  explicit TWinLabelPeer(TLabel& label) : TWinSurfacePeer(label), Label(label) {
    CreateChild(RegisterClassOnce(L"BrevantorLabel"), 0, 0, label.Caption());
  }

  // The caption is the window's text too, so that screen readers and UI Automation name the
  // label, and the drop target it names.
  void Mirror(TMirror what) override {
    if (what == TMirror::Text && Window)
      SetWindowTextW(Window, Utf8ToWide(Label.Caption()).c_str());
    TWinSurfacePeer::Mirror(what);
  }

 private:
  void PaintOn(HDC dc) override {
    RECT area;
    GetClientRect(Window, &area);
    if (Label.Transparent())
      PaintParentBackground(dc);
    else
      FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ previous = SelectObject(dc, FontHandle(Label.Font()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(Label.Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, Utf8ToWide(Label.Caption()).c_str(), -1, &area, DT_SINGLELINE | LayoutFlags());
    SelectObject(dc, previous);
  }

  UINT LayoutFlags() const {
    switch (Label.Layout()) {
      case TTextLayout::tlCenter:
        return DT_VCENTER;
      case TTextLayout::tlBottom:
        return DT_BOTTOM;
      case TTextLayout::tlTop:
        break;
    }
    return DT_TOP;
  }

  TLabel& Label;
};

}  // namespace

std::unique_ptr<TControlPeer> TLabel::MakePeer() { return std::make_unique<TWinLabelPeer>(*this); }
