#include <algorithm>
#include <cmath>

#include "toolkit/Forms.h"

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

int TScreen::Scale(int designValue) const {
  return int(std::lround(double(designValue) * PixelsPerInch() / DesignPixelsPerInch));
}

int TScreen::PictureScale() const { return std::max(1, PixelsPerInch() / 96); }

void TScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  ApplyCursor();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
