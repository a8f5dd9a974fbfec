#include <cstring>

#include "toolkit/DropBlock.h"

namespace {

uint32_t Field(const uint8_t* block, size_t offset) {
  uint32_t value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}

}  // namespace

char16_t DropBlockUnit(const uint8_t* block, size_t offset) {
  char16_t unit;
  std::memcpy(&unit, block + offset, sizeof unit);
  return unit;
}

bool ParseDropBlock(const uint8_t* block, size_t size, TDropBlock& parsed) {
  parsed = {};
  if (!block || size < DropBlockHeaderSize) return false;
  const size_t names = Field(block, 0);
  if (names < DropBlockHeaderSize || names >= size) return false;
  parsed.Point = {int32_t(Field(block, 4)), int32_t(Field(block, 8))};
  parsed.Wide = Field(block, 16) != 0;
  const size_t unit = parsed.Wide ? 2 : 1;
  size_t start = names;
  for (size_t at = names; at + unit <= size; at += unit) {
    const bool zero = parsed.Wide ? DropBlockUnit(block, at) == 0 : block[at] == 0;
    if (!zero) continue;
    // An empty name is the end of the list.
    if (at == start) return true;
    parsed.Names.push_back({start, (at - start) / unit});
    start = at + unit;
  }
  parsed.Names.clear();
  return false;
}
