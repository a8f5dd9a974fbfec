#pragma once

#include <cstdint>

// Which item a path reached: its volume's serial number and its file ID there (device and inode
// on POSIX). Known only where the file system told the file ID; a volume of 0 is one not told
// (a listing gives the IDs of its entries, not their volume). Two known identities that differ are
// two items, whatever their paths.
struct TItemId {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool Known = false;
  bool operator==(const TItemId&) const = default;

  // Whether this is surely another item than the one `other` names: both known, and their file
  // IDs or their told volumes differ.
  bool OtherThan(const TItemId& other) const {
    if (!Known || !other.Known) return false;
    return Index != other.Index || (Volume != 0 && other.Volume != 0 && Volume != other.Volume);
  }
};
