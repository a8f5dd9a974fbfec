#include <algorithm>
#include <cmath>

#include "toolkit/Forms.h"

TControl::~TControl() {
  for (TControl* child : Children) {
    child->DropPeers();
    child->FParent = nullptr;
  }
  Children.clear();
  FPeer.reset();
  if (TForm* form = Form(); form && form->ActiveControl() == this) form->NativeFocused(nullptr);
  if (FParent) {
    std::erase(FParent->Children, this);
    FParent->ChildChanged();
  }
}

void TControl::SetParent(TControl* parent) {
  if (parent == FParent) return;
  // A control cannot stand inside itself; such a link is refused.
  for (TControl* above = parent; above; above = above->FParent)
    if (above == this) return;
  if (FParent) {
    DropPeers();
    TControl* old = FParent;
    std::erase(old->Children, this);
    FParent = nullptr;
    old->ChildChanged();
  }
  FParent = parent;
  if (!parent) return;
  parent->Children.push_back(this);
  MakePeers();
  parent->ChildChanged();
}

TForm* TControl::Form() {
  TControl* root = this;
  while (root->FParent) root = root->FParent;
  return dynamic_cast<TForm*>(root);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Mirror(TMirror::Bounds);
  Realign();
  if (FParent) FParent->ChildChanged();
}

void TControl::StorePosition(int left, int top) {
  FLeft = left;
  FTop = top;
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Mirror(TMirror::Visible);
  if (FParent) FParent->ChildChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Mirror(TMirror::Enabled);
}

bool TControl::TakesInput() const {
  for (const TControl* control = this; control; control = control->FParent) {
    if (!control->FEnabled) return false;
    if (control->FParent && !control->FVisible) return false;
  }
  return true;
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->ChildChanged();
}

void TControl::SetAutoSize(bool autoSize) {
  if (autoSize == FAutoSize) return;
  FAutoSize = autoSize;
  Realign();
}

void TControl::SetHint(const std::string& hint) {
  if (hint == FHint) return;
  FHint = hint;
  Mirror(TMirror::Hint);
}

TFont TControl::Font() const {
  if (OwnFont) return *OwnFont;
  return FParent ? FParent->Font() : TFont{};
}

void TControl::SetFont(const TFont& font) {
  if (OwnFont == font) return;
  OwnFont = font;
  MirrorFont();
}

void TControl::MirrorFont() {
  Mirror(TMirror::Font);
  for (TControl* child : Children)
    if (!child->OwnFont) child->MirrorFont();
}

namespace {

int Scaled(int value, int numerator, int denominator) {
  return int(std::lround(double(value) * numerator / denominator));
}

}  // namespace

// Every control's new bounds are taken from the old ones before any of them changes, since each
// change may realign the others.
void TControl::ScaleBy(int numerator, int denominator) {
  struct TScaled {
    TControl* Control;
    int Left, Top, Width, Height;
  };
  std::vector<TScaled> controls;
  const auto collect = [&](auto& self, TControl& control) -> void {
    const bool keepsPosition = !control.FParent;
    controls.push_back(
        {&control, keepsPosition ? control.FLeft : Scaled(control.FLeft, numerator, denominator),
         keepsPosition ? control.FTop : Scaled(control.FTop, numerator, denominator),
         Scaled(control.FWidth, numerator, denominator),
         Scaled(control.FHeight, numerator, denominator)});
    for (TControl* child : control.Children) self(self, *child);
  };
  collect(collect, *this);
  for (const TScaled& scaled : controls) {
    TControl& control = *scaled.Control;
    if (control.OwnFont) {
      TFont font = *control.OwnFont;
      font.Height = Scaled(font.Height, numerator, denominator);
      control.SetFont(font);
    }
    control.SetBounds(scaled.Left, scaled.Top, scaled.Width, scaled.Height);
  }
}

TPoint TControl::ClientOrigin() const {
  if (!FParent) return {FLeft, FTop};
  const TPoint origin = FParent->ClientOrigin();
  return {origin.X + FLeft, origin.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint point) const {
  const TPoint origin = ClientOrigin();
  return {point.X + origin.X, point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint point) const {
  const TPoint origin = ClientOrigin();
  return {point.X - origin.X, point.Y - origin.Y};
}

void TControl::Mirror(TMirror what) {
  if (FPeer) FPeer->Mirror(what);
}

void TControl::MakePeers() {
  if (!FParent || !FParent->FPeer) return;
  if (!FPeer) FPeer = MakePeer();
  for (TControl* child : Children) child->MakePeers();
}

void TControl::DropPeers() {
  for (TControl* child : Children) child->DropPeers();
  FPeer.reset();
}

void TControl::ChildChanged() { Realign(); }

void TControl::Realign() {
  if (Realigning) return;
  Realigning = true;
  // A layout settles in two passes (children to the width, then the size to the children); the
  // bound only guards against a layout that never settles.
  for (int pass = 0; pass < 4; ++pass) {
    const int width = FWidth;
    const int height = FHeight;
    AlignChildren();
    if (FAutoSize) SizeToChildren();
    if (width == FWidth && height == FHeight) break;
  }
  Realigning = false;
}

void TControl::AlignChildren() {
  std::vector<TControl*> stacked;
  for (TControl* child : Children)
    if (child->FVisible && child->FAlign == TAlign::alTop) stacked.push_back(child);
  std::stable_sort(stacked.begin(), stacked.end(),
                   [](const TControl* a, const TControl* b) { return a->FTop < b->FTop; });
  int top = 0;
  for (TControl* child : stacked) {
    child->SetBounds(0, top, FWidth, child->FHeight);
    top += child->FHeight;
  }
}

void TControl::SizeToChildren() {
  int right = -1;
  int bottom = -1;
  for (const TControl* child : Children) {
    if (!child->FVisible) continue;
    right = std::max(right, child->FLeft + child->FWidth);
    bottom = std::max(bottom, child->FTop + child->FHeight);
  }
  if (right < 0) return;
  SetBounds(FLeft, FTop, right, bottom);
}
