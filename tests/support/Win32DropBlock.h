#pragma once

// Windows tests only: a drop as the shell delivers it.
// shellapi.h needs windows.h before it, so the formatter may not sort them.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <cstring>
#include <string>
#include <vector>

// A DROPFILES block with wide names, as the shell makes it: each UTF-8 name in UTF-16 ending in a
// zero, then one more zero. The receiver of the WM_DROPFILES message owns it (DragFinish frees it).
inline HGLOBAL DropBlock(const std::vector<std::string>& names, POINT point) {
  std::wstring text;
  for (const std::string& name : names) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, name.data(), int(name.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), int(name.size()), wide.data(), length);
    text += wide + L'\0';
  }
  text += L'\0';
  const size_t bytes = text.size() * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
  auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->pt = point;
  block->fNC = FALSE;
  block->fWide = TRUE;
  std::memcpy(block + 1, text.data(), bytes);
  GlobalUnlock(memory);
  return memory;
}

// A block of any bytes, as a program that makes them wrongly might hand one over.
inline HGLOBAL RawBlock(const std::vector<unsigned char>& bytes) {
  const HGLOBAL memory = GlobalAlloc(GHND, bytes.size());
  if (!bytes.empty()) std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  return memory;
}

// A well-made block of the names whose offset of the names points past its end.
inline HGLOBAL MisplacedNamesBlock(const std::vector<std::string>& names) {
  const HGLOBAL memory = DropBlock(names, {0, 0});
  static_cast<DROPFILES*>(GlobalLock(memory))->pFiles = DWORD(GlobalSize(memory)) + 16;
  GlobalUnlock(memory);
  return memory;
}
