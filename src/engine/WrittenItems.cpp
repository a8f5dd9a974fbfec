#include "engine/WrittenItems.h"

TWrittenItems::TWrittenItems(const TStamps& stamps, const TStamps& seen,
                             const std::vector<uint8_t>& flags, size_t expected)
    : FStamps(stamps), FSeen(seen), FFlags(flags), FSlots(expected + expected / 3 + 1) {}

// Linear probing from the identity's hash; the table is never more than three quarters full, so
// a free slot ends every search.
size_t TWrittenItems::SlotOf(const TItemId& id) const {
  const uint64_t hash = (id.Index ^ (id.Volume << 1)) * 0x9E3779B97F4A7C15ull;
  size_t slot = size_t((hash >> 16) % FSlots.size());
  for (;; slot = (slot + 1) % FSlots.size()) {
    const uint32_t place = FSlots[slot];
    if (place == 0 || FSeen[place - 1].Id == id) return slot;
  }
}

void TWrittenItems::Add(size_t place) {
  if (4 * (FCount + 1) > 3 * FSlots.size()) Grow();
  uint32_t& slot = FSlots[SlotOf(FSeen[place].Id)];
  if (slot != 0) return;
  slot = uint32_t(place + 1);
  ++FCount;
}

std::optional<TWrittenItem> TWrittenItems::Find(const TItemId& id) const {
  const uint32_t slot = FSlots[SlotOf(id)];
  if (slot == 0) return std::nullopt;
  const size_t place = slot - 1;
  return TWrittenItem{&FStamps[place], FFlags[place]};
}

void TWrittenItems::Grow() {
  std::vector<uint32_t> old(2 * FSlots.size());
  old.swap(FSlots);
  for (const uint32_t place : old)
    if (place != 0) FSlots[SlotOf(FSeen[place - 1].Id)] = place;
}
