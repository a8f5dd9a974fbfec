#include "platform/win32/WinImages.h"
#include "platform/win32/WinWindow.h"

namespace {

// A surface painted by the box's OnPaint on top of its parent's face. It lets the mouse through
// to what lies beneath.
class TWinPaintBoxPeer : public TWinPeer {
 public:
  explicit TWinPaintBoxPeer(TPaintBox& box) : TWinPeer(box), Box(box) {
    CreateChild(RegisterClassOnce("BrevantorPaintBox"), 0, 0, "");
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_NCHITTEST:
        return HTTRANSPARENT;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        return Paint();
    }
    return TWinPeer::HandleMessage(message, wParam, lParam);
  }

 private:
  LRESULT Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Window, &paint);
    PaintParentBackground(dc);
    TWinCanvas canvas(dc);
    Box.PaintTo(canvas);
    EndPaint(Window, &paint);
    return 0;
  }

  TPaintBox& Box;
};

}  // namespace

std::unique_ptr<TControlPeer> TPaintBox::MakePeer() {
  return std::make_unique<TWinPaintBoxPeer>(*this);
}
