#include "toolkit/Forms.h"

// The headless backend mirrors nothing: every control lives on its state alone.

std::unique_ptr<TControlPeer> TForm::MakePeer() { return nullptr; }
std::unique_ptr<TControlPeer> TPanel::MakePeer() { return nullptr; }
std::unique_ptr<TControlPeer> TCheckBox::MakePeer() { return nullptr; }
std::unique_ptr<TControlPeer> TLabel::MakePeer() { return nullptr; }
std::unique_ptr<TControlPeer> TPaintBox::MakePeer() { return nullptr; }
std::unique_ptr<TControlPeer> TStatusBar::MakePeer() { return nullptr; }
void PlatformBlockShutdown(const TForm&, const std::string&) {}
