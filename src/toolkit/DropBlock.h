#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/Graphics.h"

// A DROPFILES block as the shell, OLE and the clipboard hand it over: a 20-byte header (the
// offset of the names, the drop point, whether the point is outside the client area, whether the
// names are UTF-16), then the names, each ending in a zero, and one more zero after the last.
// Another program made the block, so nothing in it is trusted: every offset is checked against
// the block's size, and every name must end inside the block.

// Where one name lies in the block: its first byte, and its length in characters of the block's
// kind (bytes or UTF-16 units).
struct TDropName {
  size_t Offset = 0;
  size_t Length = 0;
  bool operator==(const TDropName&) const = default;
};

struct TDropBlock {
  TPoint Point;
  bool Wide = false;
  std::vector<TDropName> Names;
};

constexpr size_t DropBlockHeaderSize = 20;

// The block's names in order, read once from start to end; false when the block is malformed:
// shorter than its header, its names outside it or inside the header, a name or the list not
// ended inside it.
bool ParseDropBlock(const uint8_t* block, size_t size, TDropBlock& parsed);

// The UTF-16 unit at a byte offset of the block, wherever it is aligned.
char16_t DropBlockUnit(const uint8_t* block, size_t offset);
