// The parser of the DROPFILES blocks other programs hand over: whatever the block holds, it
// reads nothing outside it (natively under AddressSanitizer), and it either refuses the block or
// gives exactly the names that end inside it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "toolkit/DropBlock.h"

namespace {

using TBytes = std::vector<uint8_t>;

void PutField(TBytes& block, size_t offset, uint32_t value) {
  std::memcpy(block.data() + offset, &value, sizeof value);
}

// A block as the shell makes one: the header, each name and its zero, one more zero. Names are
// given as units, one or two bytes each.
TBytes MakeBlock(const std::vector<std::u16string>& names, bool wide, TPoint point) {
  const size_t unit = wide ? 2 : 1;
  TBytes block(DropBlockHeaderSize);
  PutField(block, 0, DropBlockHeaderSize);
  PutField(block, 4, uint32_t(point.X));
  PutField(block, 8, uint32_t(point.Y));
  PutField(block, 16, wide);
  for (const std::u16string& name : names) {
    for (char16_t c : name + u'\0') {
      block.push_back(uint8_t(c));
      if (unit == 2) block.push_back(uint8_t(c >> 8));
    }
  }
  block.insert(block.end(), unit, 0);
  return block;
}

// What a reader that knows the format and nothing of our parser finds: the names from the
// offset up to the first empty one; none at all unless that end lies inside the block.
std::optional<std::vector<std::u16string>> Expected(const TBytes& block) {
  if (block.size() < DropBlockHeaderSize) return std::nullopt;
  uint32_t offset, wide;
  std::memcpy(&offset, block.data(), 4);
  std::memcpy(&wide, block.data() + 16, 4);
  if (offset < DropBlockHeaderSize || offset >= block.size()) return std::nullopt;
  std::u16string units;
  for (size_t at = offset; at + (wide ? 2 : 1) <= block.size(); at += wide ? 2 : 1)
    units += wide ? char16_t(block[at] | block[at + 1] << 8) : char16_t(block[at]);
  std::vector<std::u16string> names;
  for (size_t begin = 0;;) {
    const size_t end = units.find(u'\0', begin);
    if (end == std::u16string::npos) return std::nullopt;
    if (end == begin) return names;
    names.push_back(units.substr(begin, end - begin));
    begin = end + 1;
  }
}

std::vector<std::u16string> NamesOf(const TBytes& block, const TDropBlock& parsed) {
  std::vector<std::u16string> names;
  for (const TDropName& name : parsed.Names) {
    std::u16string text;
    for (size_t i = 0; i < name.Length; ++i)
      text += parsed.Wide ? DropBlockUnit(block.data(), name.Offset + 2 * i)
                          : char16_t(block[name.Offset + i]);
    names.push_back(text);
  }
  return names;
}

// A copy of exactly the block's bytes, so that any read past its end is one past an allocation.
std::optional<std::vector<std::u16string>> Parsed(const TBytes& block, TDropBlock& parsed) {
  const std::unique_ptr<uint8_t[]> exact(new uint8_t[block.size() + (block.empty() ? 1 : 0)]);
  if (!block.empty()) std::memcpy(exact.get(), block.data(), block.size());
  if (!ParseDropBlock(exact.get(), block.size(), parsed)) return std::nullopt;
  return NamesOf(block, parsed);
}

// Blocks made well, then cut, their offset moved, their bytes overwritten or their zeros taken
// out at random: each is refused or read exactly as the plain reader reads it.
TEST(DropBlockTest, TenThousandRandomBlocksAreRefusedOrGiveExactlyTheirNames) {
  std::mt19937 random(27);
  auto below = [&](size_t bound) { return bound ? size_t(random() % bound) : 0; };
  int refused = 0;
  for (int round = 0; round < 10000; ++round) {
    std::vector<std::u16string> names(below(5));
    for (std::u16string& name : names)
      for (size_t length = 1 + below(12); length > 0; --length) name += char16_t(1 + below(0x3FF));
    const bool wide = below(2);
    if (!wide)
      for (std::u16string& name : names)
        for (char16_t& c : name) c = char16_t(1 + c % 0xFF);
    TBytes block = MakeBlock(names, wide, {int(below(100)), int(below(100))});
    switch (below(5)) {
      case 0:
        block.resize(below(block.size() + 1));
        break;
      case 1:
        PutField(block, 0, uint32_t(below(block.size() + 8)));
        break;
      case 2:
        for (size_t n = 1 + below(4); n > 0; --n) block[below(block.size())] = uint8_t(random());
        break;
      case 3:
        for (uint8_t& byte : block)
          if (byte == 0 && below(3) == 0) byte = uint8_t(1 + below(255));
        break;
      default:
        break;
    }
    TDropBlock parsed;
    const auto got = Parsed(block, parsed);
    ASSERT_EQ(got, Expected(block)) << "round " << round;
    if (!got) ++refused;
  }
  // Both ways out were taken often.
  EXPECT_GT(refused, 1000);
  EXPECT_LT(refused, 9000);
}

}  // namespace
