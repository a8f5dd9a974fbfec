#include "toolkit/Application.h"
#include "toolkit/Forms.h"

TNamesDropHandle::TNamesDropHandle(std::vector<std::string> names, TPoint point, bool malformed)
    : Names(std::move(names)), DropPoint(point), IsMalformed(malformed) {}

std::string TNamesDropHandle::Name(int index) const {
  return index >= 0 && index < Count() ? Names[size_t(index)] : std::string();
}

TForm::TForm() : TControl(false) {
  SetFont({Screen().MessageFontName(), -Screen().Scale(15)});
  FPeer = MakePeer();
}

TForm::~TForm() {
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
  // The native windows go while the form is still whole: their last messages may reach it.
  DropPeers();
}

void TForm::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Mirror(TMirror::Text);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  SetVisible(false);
  if (Application().MainForm() == this) Application().Terminate();
}

void TForm::ChangeScale(int pixelsPerInch) {
  const int old = Screen().PixelsPerInch();
  if (pixelsPerInch <= 0 || pixelsPerInch == old) return;
  Screen().SetPixelsPerInch(pixelsPerInch);
  ScaleBy(pixelsPerInch, old);
}

bool TForm::QueryEndSession() {
  Application().SetSessionEnding(true);
  bool canEnd = true;
  if (OnQueryEndSession) OnQueryEndSession(this, canEnd);
  return canEnd;
}

void TForm::EndSession(bool ending) {
  if (OnEndSession) OnEndSession(this, ending);
  // A process still here afterwards goes on, also after an end that was not its own (the Restart
  // Manager asks a program to close with an ending session).
  Application().SetSessionEnding(false);
}

void TForm::SetShutdownBlockReason(const std::string& reason) {
  if (reason == FShutdownBlockReason) return;
  FShutdownBlockReason = reason;
  PlatformBlockShutdown(*this, reason);
}

bool TForm::PressKey(int key, TShiftState shift) {
  return PreviewKeyDown(key, shift) || IsShortCut(key, shift) ||
         (FActiveControl && FActiveControl->KeyDown(key, shift));
}

bool TForm::PreviewKeyDown(int key, TShiftState shift) {
  if (!KeyPreview || !OnKeyDown) return false;
  OnKeyDown(this, key, shift);
  return key == 0;
}

bool TForm::IsShortCut(int key, TShiftState shift) {
  if (!FMenu) return false;
  TMenuItem* item = FMenu->Items().FindShortCut(MakeShortCut(key, shift));
  if (!item) return false;
  item->Click();
  return true;
}

void TForm::SetActiveControl(TControl* control) {
  FActiveControl = control;
  Mirror(TMirror::Focus);
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu == FMenu) return;
  FMenu = menu;
  Mirror(TMirror::Menu);
}

TPopupMenu* TForm::ContextMenuAt(TPoint clientPoint) {
  if (!FPopupMenu) return nullptr;
  if (clientPoint.X < 0 || clientPoint.Y < 0) return nullptr;
  if (clientPoint.X >= Width() || clientPoint.Y >= Height()) return nullptr;
  FPopupPoint = clientPoint;
  if (FPopupMenu->OnPopup) FPopupMenu->OnPopup(FPopupMenu);
  return FPopupMenu;
}

void TForm::AcceptFiles(bool accept) {
  FAcceptsFiles = accept;
  Mirror(TMirror::AcceptFiles);
}

bool TForm::DropFiles(TDropHandle& drop) {
  if (!FAcceptsFiles) return false;
  if (OnDropFiles) OnDropFiles(this, drop);
  return true;
}

bool TForm::DragOver(std::optional<TPoint> clientPoint) {
  if (clientPoint && !FAcceptsFiles) return false;
  if (OnDragOver) OnDragOver(this, clientPoint);
  return true;
}

void TForm::BringToFront() { Mirror(TMirror::Foreground); }

void TForm::SetTopmost(bool topmost) {
  FTopmost = topmost;
  Mirror(TMirror::Topmost);
}

void TForm::SetIcon(const TImageList& images, int index) {
  FIconImages = &images;
  FIconIndex = index;
  Mirror(TMirror::Icon);
}

void TForm::NativeMoved(TPoint windowPosition, TPoint clientOrigin) {
  StorePosition(windowPosition.X, windowPosition.Y);
  NativeClientOrigin = clientOrigin;
}

TPoint TForm::ClientOrigin() const {
  // Headless, the window has no frame: its client area starts at its position.
  return NativeClientOrigin.value_or(TPoint{Left(), Top()});
}
