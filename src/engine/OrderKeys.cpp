#include "engine/OrderKeys.h"

#include <algorithm>
#include <cstring>

void TOrderKeys::Reserve(size_t count) {
  FTails.reserve(count);
  FSizes.reserve(count);
  FShared.reserve(count);
}

void TOrderKeys::Add(std::string_view key) {
  if (FShared.empty()) FFirst = key;
  const auto differ = std::mismatch(key.begin(), key.end(), FFirst.begin(), FFirst.end());
  const auto shared = size_t(differ.first - key.begin());
  const std::string_view tail = key.substr(shared);
  if (FChunks.empty() || FChunkUsed + tail.size() > ChunkSize) {
    FChunks.push_back(std::make_unique<char[]>(std::max(ChunkSize, tail.size())));
    FChunkUsed = 0;
  }
  char* place = FChunks.back().get() + FChunkUsed;
  std::memcpy(place, tail.data(), tail.size());
  FChunkUsed += tail.size();
  FTails.push_back(place);
  FSizes.push_back(uint32_t(tail.size()));
  FShared.push_back(uint32_t(shared));
}

std::string_view TOrderKeys::Tail(size_t place) const { return {FTails[place], FSizes[place]}; }

// Keys that share as much of the first key compare by their tails. Otherwise the one that shares
// less holds its first own byte where the other still holds the first key's: that byte decides,
// and a key that ends there is a prefix of the other.
int TOrderKeys::Compare(size_t a, size_t b) const {
  const std::string_view tailA = Tail(a);
  const std::string_view tailB = Tail(b);
  if (FShared[a] == FShared[b]) {
    const int order = tailA.compare(tailB);
    return (order > 0) - (order < 0);
  }
  const bool aSharesLess = FShared[a] < FShared[b];
  const std::string_view shorter = aSharesLess ? tailA : tailB;
  const auto own = static_cast<unsigned char>(shorter.empty() ? 0 : shorter.front());
  const auto firsts = static_cast<unsigned char>(FFirst[aSharesLess ? FShared[a] : FShared[b]]);
  const int shorterOrder = shorter.empty() || own < firsts ? -1 : 1;
  return aSharesLess ? shorterOrder : -shorterOrder;
}
