#include <array>

#include "toolkit/Menus.h"

TShortCut MakeShortCut(int key, TShiftState shift) {
  TShortCut shortCut = key & 0xFF;
  if (shift & ssShift) shortCut |= scShift;
  if (shift & ssCtrl) shortCut |= scCtrl;
  if (shift & ssAlt) shortCut |= scAlt;
  return shortCut;
}

namespace {

struct TKeyName {
  int Key;
  const char* Name;
};

constexpr std::array<TKeyName, 15> KeyNames{{{0x08, "Backspace"},
                                             {0x09, "Tab"},
                                             {0x0D, "Enter"},
                                             {0x1B, "Esc"},
                                             {0x20, "Space"},
                                             {0x21, "PgUp"},
                                             {0x22, "PgDn"},
                                             {0x23, "End"},
                                             {0x24, "Home"},
                                             {0x25, "Left"},
                                             {0x26, "Up"},
                                             {0x27, "Right"},
                                             {0x28, "Down"},
                                             {0x2D, "Ins"},
                                             {0x2E, "Del"}}};

std::string KeyName(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= vkF1 && key <= vkF12)
    return std::string(1, 'F').append(std::to_string(key - vkF1 + 1));
  for (const TKeyName& name : KeyNames)
    if (name.Key == key) return name.Name;
  return "";
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string key = KeyName(shortCut & 0xFF);
  if (key.empty()) return "";
  std::string text;
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  if (shortCut & scShift) text += "Shift+";
  return text + key;
}

TMenuItem& TMenuItem::Add(const std::string& name, const std::string& caption, TShortCut shortCut,
                          int imageIndex) {
  auto item = std::make_unique<TMenuItem>();
  item->Name = name;
  item->FCaption = caption;
  item->FShortCut = shortCut;
  item->FImageIndex = imageIndex;
  item->FParent = this;
  item->Owner = Owner;
  Children.push_back(std::move(item));
  Changed(true);
  return *Children.back();
}

TMenu* TMenuItem::Menu() const { return Owner; }

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  // A separator is drawn differently from a text item, so the menu is laid out anew.
  const bool layout = IsSeparator() || caption == "-";
  FCaption = caption;
  Changed(layout);
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == FShortCut) return;
  FShortCut = shortCut;
  Changed(false);
}

void TMenuItem::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  Changed(false);
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Changed(false);
}

void TMenuItem::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Changed(false);
}

void TMenuItem::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Changed(true);
}

void TMenuItem::Click() {
  if (IsSeparator() || !Children.empty()) return;
  for (const TMenuItem* item = this; item; item = item->FParent)
    if (!item->FEnabled) return;
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
  if (shortCut == 0) return nullptr;
  for (const auto& child : Children) {
    if (!child->FVisible || !child->FEnabled) continue;
    if (child->Children.empty() && child->FShortCut == shortCut) return child.get();
    if (TMenuItem* found = child->FindShortCut(shortCut)) return found;
  }
  return nullptr;
}

void TMenuItem::Changed(bool layout) {
  if (Owner) Owner->ItemChanged(*this, layout);
}

TMenu::TMenu() { Root.Owner = this; }

TMenu::~TMenu() = default;

void TMenu::SetImages(const TImageList* images) {
  if (images == FImages) return;
  FImages = images;
  if (FPeer) FPeer->LayoutChanged();
}

void TMenu::SetPeer(std::unique_ptr<TMenuPeer> peer) { FPeer = std::move(peer); }

void TMenu::ItemChanged(const TMenuItem& item, bool layout) {
  if (!FPeer) return;
  if (layout)
    FPeer->LayoutChanged();
  else
    FPeer->ItemChanged(item);
}
