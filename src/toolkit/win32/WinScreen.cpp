#include "platform/win32/WideText.h"
#include "toolkit/win32/WinWindow.h"

// The program is DPI aware through its manifest, so this is the real resolution of the primary
// monitor as the session started.
int TScreen::SystemPixelsPerInch() const {
  static const int pixelsPerInch = [] {
    const HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : DesignPixelsPerInch;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : DesignPixelsPerInch;
  }();
  return pixelsPerInch;
}

std::string TScreen::MessageFontName() const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return "";
  return WideToUtf8(metrics.lfMessageFont.lfFaceName);
}

// Shown at once; the forms keep it while the mouse moves over them (WM_SETCURSOR).
void TScreen::ApplyCursor() {
  ::SetCursor(LoadCursor(nullptr, FCursor == TCursor::crHourGlass ? IDC_WAIT : IDC_ARROW));
}
