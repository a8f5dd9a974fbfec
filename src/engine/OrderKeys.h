#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The order keys of one sort, held packed: the first key whole, and of every key only the bytes
// after the part it shares with the first. The items of one drop share the dropped folder's path,
// so most of a key is that part; and no key takes a heap block of its own.
class TOrderKeys {
 public:
  void Reserve(size_t count);
  void Add(std::string_view key);
  size_t size() const { return FShared.size(); }
  // Below, equal to or above zero as the two whole keys compare bytewise.
  int Compare(size_t a, size_t b) const;

 private:
  std::string_view Tail(size_t place) const;

  // Tails fill chunks of this size; a longer tail takes a chunk of its own.
  static constexpr size_t ChunkSize = size_t(1) << 20;
  std::string FFirst;
  std::vector<std::unique_ptr<char[]>> FChunks;
  size_t FChunkUsed = 0;
  std::vector<const char*> FTails;
  std::vector<uint32_t> FSizes;
  std::vector<uint32_t> FShared;
};
