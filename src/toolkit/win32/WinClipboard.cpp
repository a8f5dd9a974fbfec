#include <cstring>
#include <string>

#include "platform/win32/WideText.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// Another program may hold the clipboard open for a moment (a clipboard manager, or Wine's, which
// copies each new content out to X): it is asked again for up to a second before giving up. The
// main thread's queue window is the owner, which the content needs.
bool OpenClipboardSoon() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(MainQueueWindow())) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

// The text is put there as UTF-16 and read back as such, so that the system converts it for
// other programs and no character is lost to a code page; a name's unpaired surrogate, which no
// other program could show, goes as U+FFFD.
bool TClipboard::SetText(const std::string& text) {
  const std::wstring wide = Utf8ToDisplayWide(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboardSoon()) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(memory);
  return placed;
}

std::string TClipboard::GetText() const {
  if (!OpenClipboardSoon()) return "";
  std::string text;
  if (const HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory))) {
      text = WideToUtf8(wide);
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return text;
}
