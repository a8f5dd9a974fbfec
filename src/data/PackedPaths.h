#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/ItemPath.h"

// Paths held packed, for lists of a million of them: the text of each folder once, each name in
// one buffer after it, and no heap block per path. A path is its folder's text, up to and with the
// last separator, and its name after it; either may be empty, and paths in a row that share their
// folder share its entry.
class TPackedPaths {
 public:
  void Reserve(size_t count);
  // Split at the last separator, whichever the platform's: the split only chooses what is shared.
  void Add(std::string_view path);
  // A folder's text and a name in it, without the path made first.
  void Add(std::string_view folder, std::string_view name);
  size_t size() const { return FNameEnds.size(); }
  bool empty() const { return FNameEnds.empty(); }
  std::string Path(size_t place) const;
  // Into a string of the caller's, for a loop over every path that would otherwise make a string
  // for each.
  void PathInto(size_t place, std::string& path) const;
  // The paths at the places given, in their order, those of one folder sharing its text.
  std::vector<TItemPath> ItemPaths(const std::vector<uint32_t>& places) const;
  // Makes the paths of this list one after the other, those of one folder sharing its text.
  class TMaker {
   public:
    explicit TMaker(const TPackedPaths& paths) : FPaths(paths), FFolders(paths.FFolderEnds.size()) {}
    TItemPath Make(size_t place);

   private:
    const TPackedPaths& FPaths;
    std::vector<TPathFolder> FFolders;
  };
  // Gives back what the buffers took beyond their text, once no path is to be added.
  void ShrinkToFit();

 private:
  static std::string_view Part(const std::string& text, const std::vector<size_t>& ends,
                               size_t place);

  std::string FFolders;
  std::vector<size_t> FFolderEnds;
  std::string FNames;
  std::vector<size_t> FNameEnds;
  std::vector<uint32_t> FFolderOf;
};
