#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "toolkit/Menus.h"

// A menu's native handle: a form's menu bar or a pop-up menu. Each item has a command number of
// this menu; the shortcuts form an accelerator table with the same numbers.
class TWinMenuPeer : public TMenuPeer {
 public:
  TWinMenuPeer(TMenu& menu, bool bar);
  ~TWinMenuPeer() override;
  TWinMenuPeer(const TWinMenuPeer&) = delete;
  TWinMenuPeer& operator=(const TWinMenuPeer&) = delete;

  HMENU Handle() const { return Root; }
  HACCEL Accelerators() const { return Accel; }
  // Clicks the item with the command number; false when there is none.
  bool Command(UINT id);

  void ItemChanged(const TMenuItem& item) override;
  void LayoutChanged() override;

  // For a menu bar: run when the form must show the menu anew (a new handle, a changed top-level
  // item), and when the peer goes.
  std::function<void()> BarChanged;
  std::function<void()> Gone;

 private:
  struct TPlace {
    HMENU Menu;
    UINT Position;
  };
  void Build();
  void Release();
  void AddItems(HMENU menu, const TMenuItem& parent);
  void Describe(const TMenuItem& item, MENUITEMINFOW& info, std::wstring& text);
  void BuildAccelerators();
  HBITMAP ImageBitmap(int index);

  TMenu& Owner;
  bool Bar;
  HMENU Root = nullptr;
  HACCEL Accel = nullptr;
  std::vector<TMenuItem*> Commands;
  std::map<const TMenuItem*, TPlace> Places;
  std::map<int, HBITMAP> Bitmaps;
};

// The menu's peer, made when the menu has none yet.
TWinMenuPeer& MenuPeer(TMenu& menu, bool bar);
