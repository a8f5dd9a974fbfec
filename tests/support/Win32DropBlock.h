#pragma once

// Windows tests only: a drop as the shell delivers it.
// shellapi.h needs windows.h before it, so the formatter may not sort them.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstring>
#include <string>
#include <vector>

// A DROPFILES block, then each name ending in a zero, then one more zero. The receiver of the
// WM_DROPFILES message owns it (DragFinish frees it).
inline HGLOBAL DropBlock(const std::vector<std::string>& names, POINT point) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& name : names) size += name.size() + 1;
  const HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->pt = point;
  block->fNC = FALSE;
  block->fWide = FALSE;
  char* text = reinterpret_cast<char*>(block + 1);
  for (const std::string& name : names) {
    std::memcpy(text, name.c_str(), name.size() + 1);
    text += name.size() + 1;
  }
  GlobalUnlock(memory);
  return memory;
}
