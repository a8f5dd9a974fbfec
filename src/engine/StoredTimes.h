#pragma once

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

enum class TTimeKind : uint8_t { Creation, LastWrite, LastAccess };

// What became of one written time: stored as asked, rounded within what the volume can hold, or
// not kept (dropped, or moved further than any rounding of that volume would).
enum class TKeeping : uint8_t { Exact, Rounded, NotKept };

// The FAT family keeps a creation time to 10 ms, a last-write time to 2 s and a last-access time
// to 2 s or as a date only; a network volume may round any time by less than 2 s; elsewhere a
// time is kept to the 100 ns unit or not at all. A volume that could not be asked may do any of
// these.
TKeeping JudgeStoredTime(TTimeKind kind, uint64_t asked, uint64_t stored,
                         const TVolumeInfo& volume);

bool IsFatFamily(const std::string& fileSystemName);
