#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "data/Tstamp.h"

// An item a write has set the times of: the stamp written and its verdict.
struct TWrittenItem {
  const TStamp* Stamp = nullptr;
  uint8_t Flag = 0;
};

// The items a write has set the times of, by identity, each as the place of its stamp in the
// write's list: one slot an item in one array, with no node or bucket of its own, since a write
// may hold a million of them.
class TWrittenItems {
 public:
  // Room for expected identities before the table grows. The flags are read when an item is
  // found: the write has settled an item's flag before it adds the item.
  TWrittenItems(const TStamps& stamps, const std::vector<uint8_t>& flags, size_t expected);
  // An identity added before keeps its place.
  void Add(const TItemId& id, size_t place);
  std::optional<TWrittenItem> Find(const TItemId& id) const;

 private:
  struct TSlot {
    uint64_t Volume = 0;
    uint64_t Index = 0;
    uint32_t Place = 0;  // one above the stamp's place; 0 in a free slot
    bool Known = false;
  };
  size_t SlotOf(const TItemId& id) const;
  void Grow();

  const TStamps& FStamps;
  const std::vector<uint8_t>& FFlags;
  std::vector<TSlot> FSlots;
  size_t FCount = 0;
};
