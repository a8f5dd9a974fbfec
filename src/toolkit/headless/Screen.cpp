#include "toolkit/Forms.h"

// Headless, the screen is at the design resolution, so every design size stays as it is.
int TScreen::SystemPixelsPerInch() const { return DesignPixelsPerInch; }

std::string TScreen::MessageFontName() const { return "Segoe UI"; }

void TScreen::ApplyCursor() {}

namespace {
std::string& ClipboardText() {
  static std::string text;
  return text;
}
}  // namespace

bool TClipboard::SetText(const std::string& text) {
  ClipboardText() = text;
  return true;
}

std::string TClipboard::GetText() const { return ClipboardText(); }

bool SaveWindowScreenshot(const TForm&, const std::string&) { return false; }
