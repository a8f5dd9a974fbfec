#include <cmath>

#include "toolkit/Forms.h"

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

int TScreen::Scale(int designValue) const {
  return int(std::lround(double(designValue) * PixelsPerInch() / DesignPixelsPerInch));
}

void TScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  ApplyCursor();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
