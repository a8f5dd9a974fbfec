#include "engine/StoredTimes.h"

#include "platform/AsciiText.h"
#include "platform/LocalTime.h"

namespace {

constexpr uint64_t ticksPer10Ms = 100000;
constexpr uint64_t ticksPer2S = 20000000;

uint64_t Distance(uint64_t a, uint64_t b) { return a > b ? a - b : b - a; }

// FAT holds a last-access time as a local date.
bool SameLocalDate(uint64_t a, uint64_t b) {
  TLocalTime x, y;
  if (!ToLocalTime(MakeFileTime(a), x) || !ToLocalTime(MakeFileTime(b), y)) return false;
  return x.Year == y.Year && x.Month == y.Month && x.Day == y.Day;
}

bool WithinFatPrecision(TTimeKind kind, uint64_t asked, uint64_t stored) {
  const uint64_t distance = Distance(asked, stored);
  switch (kind) {
    case TTimeKind::Creation:
      return distance <= ticksPer10Ms;
    case TTimeKind::LastWrite:
      return distance <= ticksPer2S;
    case TTimeKind::LastAccess:
      return distance <= ticksPer2S || SameLocalDate(asked, stored);
  }
  return false;
}

}  // namespace

bool IsFatFamily(const std::string& fileSystemName) {
  for (const char* fat : {"FAT", "FAT12", "FAT16", "FAT32", "exFAT"}) {
    if (SameTextIgnoringCase(fileSystemName, fat)) return true;
  }
  return false;
}

TKeeping JudgeStoredTime(TTimeKind kind, uint64_t asked, uint64_t stored,
                         const TVolumeInfo& volume) {
  if (stored == asked) return TKeeping::Exact;
  if (IsFatFamily(volume.FileSystemName)) {
    return WithinFatPrecision(kind, asked, stored) ? TKeeping::Rounded : TKeeping::NotKept;
  }
  if (volume.Remote && Distance(asked, stored) < ticksPer2S) return TKeeping::Rounded;
  return TKeeping::NotKept;
}
