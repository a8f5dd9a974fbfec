#include "toolkit/win32/WinPanelFocus.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// A container drawn as the dialog face with its outer bevel, one pixel wide.
class TWinPanelPeer : public TWinPeer {
 public:
  explicit TWinPanelPeer(TPanel& panel) : TWinPeer(panel), Panel(panel) {
    CreateChild(RegisterClassOnce(L"BrevantorPanel"), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, "");
    Focus.Mirror(TMirror::Look);
    Focus.Mirror(TMirror::Text);
  }

  void Mirror(TMirror what) override {
    if (Focus.Mirror(what)) return;
    if (what == TMirror::Enabled) MoveFocusOut();
    // The labels and icons inside show the panel's face behind them: they repaint with it.
    if (what == TMirror::Look && Window) {
      RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      return;
    }
    TWinPeer::Mirror(what);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (HandleContainerMessage(message, wParam, lParam, result)) return result;
    if (Focus.HandleMessage(message, wParam, lParam, result)) return result;
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        return Paint();
      case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return TWinPeer::HandleMessage(message, wParam, lParam);
  }

 private:
  LRESULT Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Window, &paint);
    Draw(dc);
    EndPaint(Window, &paint);
    return 0;
  }

  void Draw(HDC dc) const {
    RECT area;
    GetClientRect(Window, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (Panel.Highlighted()) DrawHighlight(dc, area);
    if (Panel.BevelOuter() == TBevelCut::bvRaised) DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
    if (Panel.BevelOuter() == TBevelCut::bvLowered) DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
    Focus.DrawFocus(dc, area);
  }

  // A frame in the selection colour around a light tint of it, so that the labels stay readable.
  static void DrawHighlight(HDC dc, RECT area) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto mix = [](int a, int b) { return (a + 3 * b) / 4; };
    const HBRUSH tint = CreateSolidBrush(RGB(mix(GetRValue(highlight), GetRValue(face)),
                                             mix(GetGValue(highlight), GetGValue(face)),
                                             mix(GetBValue(highlight), GetBValue(face))));
    FillRect(dc, &area, tint);
    DeleteObject(tint);
    const HBRUSH frame = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int ring = 0; ring < 2; ++ring) {
      FrameRect(dc, &area, frame);
      InflateRect(&area, -1, -1);
    }
  }

  // A disabled panel keeps the focus of a control inside it from taking keys: the form takes
  // the focus instead, so that its key preview still sees them.
  void MoveFocusOut() const {
    if (Panel.Enabled() || !IsChild(Window, GetFocus())) return;
    SetFocus(GetAncestor(Window, GA_ROOT));
  }

  TPanel& Panel;
  TWinPanelFocus Focus{Panel, Window};
};

}  // namespace

std::unique_ptr<TControlPeer> TPanel::MakePeer() { return std::make_unique<TWinPanelPeer>(*this); }
