#pragma once

#include <string>
#include <vector>

// One item as the user dropped it, its path normalised. The items found from it carry its path
// at their start, so it tells where their paths relative to the drop begin.
struct TDroppedItem {
  std::string Path;
  bool Folder = false;
  bool operator==(const TDroppedItem&) const = default;
};

using TDroppedItems = std::vector<TDroppedItem>;
