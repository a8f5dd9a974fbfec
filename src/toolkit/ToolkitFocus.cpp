#include <algorithm>

#include "toolkit/Forms.h"

void TControl::SetTabOrder(size_t index) {
  if (!FParent) return;
  std::vector<TControl*>& siblings = FParent->Children;
  index = std::min(index, siblings.size() - 1);
  const auto at = std::find(siblings.begin(), siblings.end(), this);
  if (at - siblings.begin() == std::ptrdiff_t(index)) return;
  siblings.erase(at);
  siblings.insert(siblings.begin() + std::ptrdiff_t(index), this);
  Mirror(TMirror::Order);
}

void TPanel::SetTabStop(bool tabStop) {
  if (tabStop == FTabStop) return;
  FTabStop = tabStop;
  Mirror(TMirror::Look);
}

void TPanel::SetAccessibleName(const std::string& name) {
  if (name == FAccessibleName) return;
  FAccessibleName = name;
  Mirror(TMirror::Text);
}

// A disabled target still takes the focus: what it does then is its owner's business.
bool TPanel::Focusable() const {
  if (!FTabStop) return TakesInput();
  return Visible() && Parent() && Parent()->TakesInput();
}

bool TPanel::KeyDown(int key, TShiftState shift) {
  if (!OnKeyDown || !Focusable()) return false;
  OnKeyDown(this, key, shift);
  return key == 0;
}
