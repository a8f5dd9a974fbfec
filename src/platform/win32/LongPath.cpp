#include "platform/win32/LongPath.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace {

bool IsDriveFull(const std::wstring& path) {
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool IsUnc(const std::wstring& path) {
  return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
         path[2] != L'.';
}

bool IsPrefixed(const std::wstring& path) {
  return path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\");
}

// No "/", no empty name between two separators (beyond a UNC start) and no "." or "..": what the
// prefix passes on unchanged is then what the path means without it.
bool IsFinal(const std::wstring& path) {
  if (path.find(L'/') != std::wstring::npos) return false;
  const size_t start = IsUnc(path) ? 2 : 3;
  size_t begin = start;
  while (begin <= path.size()) {
    size_t end = path.find(L'\\', begin);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring_view name(path.data() + begin, end - begin);
    if (name == L"." || name == L"..") return false;
    if (name.empty() && end != path.size()) return false;
    begin = end + 1;
  }
  return true;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

std::wstring Prefixed(const std::wstring& path) {
  if (IsDriveFull(path)) return L"\\\\?\\" + path;
  if (IsUnc(path)) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

}  // namespace

std::wstring LongPath(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  if (wide.empty() || IsPrefixed(wide)) return wide;
  if ((IsDriveFull(wide) || IsUnc(wide)) && IsFinal(wide)) return Prefixed(wide);
  return Prefixed(FullPath(wide));
}
