#include <cstring>
#include <string>

#include "toolkit/win32/WinWindow.h"

// The text is put there as UTF-16 and read back as such, so that the system converts it for
// other programs and no character is lost to a code page.
bool TClipboard::SetText(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()) + 1, nullptr, 0);
  if (length <= 0) return false;
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size_t(length) * sizeof(wchar_t));
  if (!memory) return false;
  auto* wide = static_cast<wchar_t*>(GlobalLock(memory));
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()) + 1, wide, length);
  GlobalUnlock(memory);
  // The clipboard needs an owner window for its content: the main thread's queue window.
  if (!OpenClipboard(MainQueueWindow())) {
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
  if (!OpenClipboard(MainQueueWindow())) return "";
  std::string text;
  if (const HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory))) {
      const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (length > 1) {
        text.resize(size_t(length));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), length, nullptr, nullptr);
        text.resize(size_t(length) - 1);
      }
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return text;
}
