#include "engine/WrittenItems.h"

TWrittenItems::TWrittenItems(const TStamps& stamps, const std::vector<uint8_t>& flags,
                             size_t expected)
    : FStamps(stamps), FFlags(flags), FSlots(expected + expected / 3 + 1) {}

// Linear probing from the identity's hash; the table is never more than three quarters full, so
// a free slot ends every search.
size_t TWrittenItems::SlotOf(const TItemId& id) const {
  const uint64_t hash = (id.Index ^ (id.Volume << 1)) * 0x9E3779B97F4A7C15ull;
  size_t slot = size_t((hash >> 16) % FSlots.size());
  for (;; slot = (slot + 1) % FSlots.size()) {
    const TSlot& at = FSlots[slot];
    if (at.Place == 0 || (at.Volume == id.Volume && at.Index == id.Index && at.Known == id.Known))
      return slot;
  }
}

void TWrittenItems::Add(const TItemId& id, size_t place) {
  if (4 * (FCount + 1) > 3 * FSlots.size()) Grow();
  TSlot& slot = FSlots[SlotOf(id)];
  if (slot.Place != 0) return;
  slot = {id.Volume, id.Index, uint32_t(place + 1), id.Known};
  ++FCount;
}

std::optional<TWrittenItem> TWrittenItems::Find(const TItemId& id) const {
  const TSlot& slot = FSlots[SlotOf(id)];
  if (slot.Place == 0) return std::nullopt;
  const size_t place = slot.Place - 1;
  return TWrittenItem{&FStamps[place], FFlags[place]};
}

void TWrittenItems::Grow() {
  std::vector<TSlot> old(2 * FSlots.size());
  old.swap(FSlots);
  for (const TSlot& slot : old)
    if (slot.Place != 0) FSlots[SlotOf({slot.Volume, slot.Index, slot.Known})] = slot;
}
