#include "platform/win32/WideText.h"

#include <windows.h>

#include <cwchar>

namespace {

std::string WideToUtf8(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, int(length), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), size);
  return wide;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

std::string WideToUtf8(const wchar_t* text) {
  return text ? WideToUtf8(text, std::wcslen(text)) : std::string();
}
