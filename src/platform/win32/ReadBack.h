#pragma once

#include <string>

#include "platform/FileSystem.h"

// The Windows side of reading back what a write stored: each opens the item afresh for reading its
// attributes only, a link as itself and a folder as a folder, and closes it before returning.
bool ReadBackItemTimes(const std::wstring& path, TItemKind kind, TFileEntry& entry);
bool ItemVolume(const std::wstring& path, TItemKind kind, TVolumeInfo& volume);
