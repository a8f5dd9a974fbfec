#pragma once

#include <cstdint>

// Which item a path reached: its volume's serial number and its file ID there (device and inode
// on POSIX). Known only where the file system told it; two known identities that differ are two
// items, whatever their paths.
struct TItemId {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool Known = false;
  bool operator==(const TItemId&) const = default;
};
