#pragma once

#include <windows.h>

#include <string>

#include "platform/FileSystem.h"

// The Windows side of reading back what a write stored: each asks the file system afresh, after the
// write's handle is closed, about the item itself (a link as itself, a folder as a folder).
bool ReadBackItemTimes(const std::wstring& path, TItemKind kind, TFileEntry& entry);
// A time as the native queries give it.
FILETIME ToFileTime(const LARGE_INTEGER& time);
// The attributes and times of an open item (FileBasicInfo); the identity is left as it is.
bool ReadBasicInfo(HANDLE item, TFileEntry& entry);
bool ReadThroughHandle(const std::wstring& path, TItemKind kind, TFileEntry& entry);
bool ItemVolume(const std::wstring& path, TItemKind kind, TVolumeInfo& volume);
// A long path on a share ("\\?\UNC\...") or on a drive mapped to one.
bool IsRemotePath(const std::wstring& longPath);
