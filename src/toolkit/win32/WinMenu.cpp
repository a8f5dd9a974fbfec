#include "toolkit/win32/WinMenu.h"

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinImages.h"

namespace {
// Command numbers start above the dialog-key commands (IDOK, IDCANCEL, ...).
constexpr UINT FirstCommand = 100;
}  // namespace

TWinMenuPeer::TWinMenuPeer(TMenu& menu, bool bar) : Owner(menu), Bar(bar) { Build(); }

TWinMenuPeer::~TWinMenuPeer() {
  if (Gone) Gone();
  Release();
  for (const auto& [index, bitmap] : Bitmaps) DeleteObject(bitmap);
}

TWinMenuPeer& MenuPeer(TMenu& menu, bool bar) {
  if (!menu.Peer()) menu.SetPeer(std::make_unique<TWinMenuPeer>(menu, bar));
  return static_cast<TWinMenuPeer&>(*menu.Peer());
}

void TWinMenuPeer::Release() {
  if (Root) DestroyMenu(Root);
  if (Accel) DestroyAcceleratorTable(Accel);
  Root = nullptr;
  Accel = nullptr;
  Commands.clear();
  Places.clear();
}

void TWinMenuPeer::Build() {
  Root = Bar ? CreateMenu() : CreatePopupMenu();
  AddItems(Root, Owner.Items());
  BuildAccelerators();
}

void TWinMenuPeer::LayoutChanged() {
  // The bar keeps showing the old handle until its form attaches the new one.
  const HMENU old = Root;
  const HACCEL oldAccel = Accel;
  Root = nullptr;
  Accel = nullptr;
  Commands.clear();
  Places.clear();
  for (const auto& [index, bitmap] : Bitmaps) DeleteObject(bitmap);
  Bitmaps.clear();
  Build();
  if (BarChanged) BarChanged();
  if (old) DestroyMenu(old);
  if (oldAccel) DestroyAcceleratorTable(oldAccel);
}

void TWinMenuPeer::AddItems(HMENU menu, const TMenuItem& parent) {
  UINT position = 0;
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem& item = parent.Items(i);
    if (!item.Visible()) continue;
    Commands.push_back(&item);
    MENUITEMINFOW info{};
    std::wstring text;
    Describe(item, info, text);
    info.fMask |= MIIM_ID;
    info.wID = FirstCommand + UINT(Commands.size() - 1);
    if (item.Count() > 0) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = CreatePopupMenu();
      AddItems(info.hSubMenu, item);
    }
    InsertMenuItemW(menu, position, TRUE, &info);
    Places[&item] = {menu, position};
    ++position;
  }
}

void TWinMenuPeer::Describe(const TMenuItem& item, MENUITEMINFOW& info, std::wstring& text) {
  info.cbSize = sizeof info;
  if (item.IsSeparator()) {
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
    return;
  }
  std::string caption = item.Caption();
  if (item.ShortCut()) caption += '\t' + ShortCutToText(item.ShortCut());
  text = Utf8ToWide(caption);
  info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
  info.fType = MFT_STRING;
  info.dwTypeData = text.data();
  info.fState = (item.Enabled() ? MFS_ENABLED : MFS_DISABLED) |
                (item.Checked() ? MFS_CHECKED : MFS_UNCHECKED);
  info.hbmpItem = ImageBitmap(item.ImageIndex());
}

void TWinMenuPeer::ItemChanged(const TMenuItem& item) {
  const auto place = Places.find(&item);
  if (place == Places.end() || item.IsSeparator()) return;
  MENUITEMINFOW info{};
  std::wstring text;
  Describe(item, info, text);
  info.fMask &= ~MIIM_FTYPE;
  SetMenuItemInfoW(place->second.Menu, place->second.Position, TRUE, &info);
  BuildAccelerators();
  if (BarChanged && place->second.Menu == Root) BarChanged();
}

void TWinMenuPeer::BuildAccelerators() {
  std::vector<ACCEL> entries;
  for (size_t i = 0; i < Commands.size(); ++i) {
    const TShortCut shortCut = Commands[i]->ShortCut();
    if (!shortCut || Commands[i]->Count() > 0) continue;
    BYTE flags = FVIRTKEY;
    if (shortCut & scCtrl) flags |= FCONTROL;
    if (shortCut & scShift) flags |= FSHIFT;
    if (shortCut & scAlt) flags |= FALT;
    entries.push_back({flags, WORD(shortCut & 0xFF), WORD(FirstCommand + i)});
  }
  if (Accel) DestroyAcceleratorTable(Accel);
  Accel = entries.empty() ? nullptr : CreateAcceleratorTableW(entries.data(), int(entries.size()));
}

bool TWinMenuPeer::Command(UINT id) {
  if (id < FirstCommand || id - FirstCommand >= Commands.size()) return false;
  Commands[id - FirstCommand]->Click();
  return true;
}

HBITMAP TWinMenuPeer::ImageBitmap(int index) {
  const TImageList* images = Owner.Images();
  if (!images || !images->Image(index)) return nullptr;
  HBITMAP& bitmap = Bitmaps[index];
  if (!bitmap) bitmap = PremultipliedBitmap(*images->Image(index), images->Width());
  return bitmap;
}
