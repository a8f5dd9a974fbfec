#include "toolkit/win32/WinImages.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// A surface painted by the box's OnPaint on top of its parent's face. It lets the mouse through
// to what lies beneath.
class TWinPaintBoxPeer : public TWinSurfacePeer {
 public:
  explicit TWinPaintBoxPeer(TPaintBox& box) : TWinSurfacePeer(box), Box(box) {
    CreateChild(RegisterClassOnce(L"BrevantorPaintBox"), 0, 0, "");
  }

 private:
  void PaintOn(HDC dc) override {
    PaintParentBackground(dc);
    TWinCanvas canvas(dc);
    Box.PaintTo(canvas);
  }

  TPaintBox& Box;
};

}  // namespace

std::unique_ptr<TControlPeer> TPaintBox::MakePeer() {
  return std::make_unique<TWinPaintBoxPeer>(*this);
}
