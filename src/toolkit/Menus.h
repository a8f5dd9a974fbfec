#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "platform/Object.h"

// Key codes of the keys that shortcuts use; letters and digits are their upper-case characters.
constexpr int vkF1 = 0x70;
constexpr int vkF2 = 0x71;
constexpr int vkF3 = 0x72;
constexpr int vkF4 = 0x73;
constexpr int vkF5 = 0x74;
constexpr int vkF6 = 0x75;
constexpr int vkF7 = 0x76;
constexpr int vkF8 = 0x77;
constexpr int vkF9 = 0x78;
constexpr int vkF10 = 0x79;
constexpr int vkF11 = 0x7A;
constexpr int vkF12 = 0x7B;

// A key with its modifiers, as one number: the key code in the low byte. 0 is no shortcut.
using TShortCut = int;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of a key pressed with these modifiers (mouse buttons are ignored).
TShortCut MakeShortCut(int key, TShiftState shift);
// The text the menus show for a shortcut: "Ctrl+N", "Ctrl+Shift+Z", "F2"; empty for none.
std::string ShortCutToText(TShortCut shortCut);

class TMenu;

// One menu entry. A parent item owns its children; a caption "-" makes a separator, which does
// nothing. ImageIndex -1 shows no image.
class TMenuItem : public TObject {
 public:
  TMenuItem() = default;
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;

  std::string Name;
  TNotifyEvent OnClick;

  // Appends a child item and gives it; it lives as long as this item.
  TMenuItem& Add(const std::string& name, const std::string& caption, TShortCut shortCut = 0,
                 int imageIndex = -1);
  TMenuItem& AddSeparator() { return Add("", "-"); }
  int Count() const { return int(Children.size()); }
  TMenuItem& Items(int index) const { return *Children.at(index); }
  TMenuItem* Parent() const { return FParent; }
  // The menu the item stands in, or none.
  TMenu* Menu() const;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  bool IsSeparator() const { return FCaption == "-"; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);

  // The user chooses the item: raises OnClick, unless the item is disabled, a separator or has
  // children.
  void Click();

  // The first visible, enabled item below this one (depth first) with the shortcut; none else.
  TMenuItem* FindShortCut(TShortCut shortCut);

 private:
  friend class TMenu;
  void Changed(bool layout);

  TMenuItem* FParent = nullptr;
  TMenu* Owner = nullptr;
  std::vector<std::unique_ptr<TMenuItem>> Children;
  std::string FCaption;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
};

// The native side of a menu, made by the backend when it shows the menu.
class TMenuPeer {
 public:
  virtual ~TMenuPeer() = default;
  // One item's caption, shortcut, image, enabled or checked state changed.
  virtual void ItemChanged(const TMenuItem& item) = 0;
  // Items were added or shown or hidden, or the images changed: the whole menu is rebuilt.
  virtual void LayoutChanged() = 0;
};

// The items of a menu (Items() is the invisible root) and the images they show.
class TMenu : public TObject {
 public:
  TMenu();
  ~TMenu() override;
  TMenu(const TMenu&) = delete;
  TMenu& operator=(const TMenu&) = delete;

  std::string Name;
  TMenuItem& Items() { return Root; }
  const TMenuItem& Items() const { return Root; }
  // None shows no images.
  const TImageList* Images() const { return FImages; }
  void SetImages(const TImageList* images);

  // For the backend.
  TMenuPeer* Peer() const { return FPeer.get(); }
  void SetPeer(std::unique_ptr<TMenuPeer> peer);

 private:
  friend class TMenuItem;
  void ItemChanged(const TMenuItem& item, bool layout);

  TMenuItem Root;
  const TImageList* FImages = nullptr;
  std::unique_ptr<TMenuPeer> FPeer;
};

// The menu bar of a form; its shortcuts work while the form is active.
class TMainMenu : public TMenu {};

// A context menu; OnPopup runs just before it shows.
class TPopupMenu : public TMenu {
 public:
  TNotifyEvent OnPopup;
};
