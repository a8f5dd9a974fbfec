#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/PackedPaths.h"
#include "data/Tstamp.h"

// A list of stamps held packed, for as long as a list of a million items may be held: the path of
// each folder once, each item's name and times in arrays, and no heap block per item. Stamps come
// out with paths of their own.
class TPackedStamps {
 public:
  TPackedStamps() = default;
  // Lets go of each stamp's path as it is packed, so that the list and its packed form are never
  // held whole side by side.
  explicit TPackedStamps(TStamps&& stamps);

  void Add(const TStamp& stamp);
  size_t size() const { return FTimes.size(); }
  bool empty() const { return FTimes.empty(); }
  std::string Path(size_t place) const { return FPaths.Path(place); }
  TStamps Unpacked() const;

 private:
  TStamp Stamp(size_t place, TPackedPaths::TMaker& paths) const;

  struct TTimes {
    FILETIME CR;
    FILETIME LW;
    FILETIME LA;
  };

  TPackedPaths FPaths;
  std::vector<TTimes> FTimes;
  // Only once some stamp has an identity: a Get's stamps have none.
  std::vector<TItemId> FIds;
};
