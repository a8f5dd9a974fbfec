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
// write's list: one slot of four bytes an item, with no node or bucket of its own, since a write
// may hold a million of them. The identity added at a place is read from that place's stamp in
// the list the write fills with what it saw, so the table holds no identity of its own.
class TWrittenItems {
 public:
  // Room for expected identities before the table grows. The flags are read when an item is
  // found: the write has settled an item's flag before it adds the item.
  TWrittenItems(const TStamps& stamps, const TStamps& seen, const std::vector<uint8_t>& flags,
                size_t expected);
  // The identity is the one the seen list holds at the place; one added before keeps its place.
  void Add(size_t place);
  std::optional<TWrittenItem> Find(const TItemId& id) const;

 private:
  size_t SlotOf(const TItemId& id) const;
  void Grow();

  const TStamps& FStamps;
  const TStamps& FSeen;
  const std::vector<uint8_t>& FFlags;
  std::vector<uint32_t> FSlots;  // one above the stamp's place; 0 in a free slot
  size_t FCount = 0;
};
