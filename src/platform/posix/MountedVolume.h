#pragma once

#include <string>

#include "platform/FileSystem.h"

// The volume an item lies on, from the mount table: its file system under the name Windows gives
// the same kind ("FAT" for vfat, msdos and fusefat, "exFAT"; other types keep their own name), and
// whether it is a network file system. False when the item or its mount cannot be found.
bool MountedVolume(const std::string& path, TVolumeInfo& volume);
