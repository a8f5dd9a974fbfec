#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/Common.h"
#include "data/DroppedItems.h"
#include "data/Tstamp.h"

// The paths of items found from some dropped items, relative to the drop: below the folder each
// dropped item was dragged from, its own name included; or, for one folder dropped alone, below
// that folder, which is then "" itself.
class TRelativePaths {
 public:
  TRelativePaths(const TDroppedItems& dropped, bool belowTheFolder);
  // The path must be one of the items found from the drop; another is given whole.
  std::string_view Of(std::string_view path) const;

 private:
  bool StartsWithDroppedItem(std::string_view path, std::string_view base) const;

  char Separator;
  bool BelowTheFolder;
  // The folders the dropped items were dragged from, with their separator ("" for none),
  // shortest first: an item found from two nested drops belongs to the outer one.
  std::vector<std::string> Bases;
  // The dropped items' paths without a trailing separator.
  std::vector<std::string> Items;
};

// Whether the drop was one folder alone.
bool IsSingleFolder(const TDroppedItems& dropped);

constexpr size_t NoPartner = size_t(-1);
constexpr size_t SeveralPartners = size_t(-2);

// For each target, the place among the sources of the item with the same path relative to its
// own drop, letter case folded as the file system folds it; NoPartner where there is none. When
// each side was one folder alone, the paths are taken below those two folders, which pair with
// each other. A source of exactly the target's name comes first; where several sources are
// equally good, SeveralPartners: any one of them would be a guess. Ignoring extensions, a file
// that finds no source by its path takes the one source file whose path without its last
// extension is the same as its own without its last extension ("clip.mp4" takes "clip.MOV").
std::vector<size_t> PairByName(const TStamps& sources, const TDroppedItems& sourceDropped,
                               const TStringList& targets, const TDroppedItems& targetDropped,
                               bool ignoreExtensions = false);
