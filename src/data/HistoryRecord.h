#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "data/Tstamp.h"

// The Undo/Redo history as it is kept on the disk between runs: one snapshot a file, its entries
// oldest first, each with its stamps (path, three times, identity) and options.
struct TKeptHistory {
  TStampUnits Units;
  int Position = 0;
  // Which of two snapshots is the newer.
  uint64_t Sequence = 0;
};

// The snapshot, at most maxBytes long: the oldest entries are left out first, as many as it takes.
std::string EncodeHistory(std::span<const TStampUnit* const> units, int position, uint64_t sequence,
                          size_t maxBytes);
std::string EncodeHistory(const TStampUnits& units, int position, uint64_t sequence,
                          size_t maxBytes);
// False for anything but a whole snapshot, every record there and sound.
bool ParseHistory(const std::string& bytes, TKeptHistory& history);
