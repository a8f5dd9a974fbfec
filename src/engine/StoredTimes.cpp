#include "engine/StoredTimes.h"

#include "platform/AsciiText.h"
#include "platform/LocalTime.h"

namespace {

constexpr uint64_t ticksPer10Ms = 100000;
constexpr uint64_t ticksPer2S = 20000000;

uint64_t Distance(uint64_t a, uint64_t b) { return a > b ? a - b : b - a; }

using TToLocal = bool (*)(const FILETIME&, TLocalTime&);

bool SameLocalDateBy(TToLocal toLocal, uint64_t a, uint64_t b) {
  TLocalTime x, y;
  if (!toLocal(MakeFileTime(a), x) || !toLocal(MakeFileTime(b), y)) return false;
  return x.Year == y.Year && x.Month == y.Month && x.Day == y.Day;
}

// FAT holds a last-access time as a local date. Windows' FAT driver turns a time into that date
// with the offset in force now, not that of the time's own date, so either one counts.
bool SameLocalDate(uint64_t a, uint64_t b) {
  return SameLocalDateBy(ToLocalTime, a, b) || SameLocalDateBy(ToLocalTimeAtPresentOffset, a, b);
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
  // An unknown volume is judged by the loosest rounding of any volume: no time that one of them
  // keeps is called lost, and a dropped time, which stays where it was, still shows.
  if (!volume.Known) {
    return WithinFatPrecision(kind, asked, stored) || Distance(asked, stored) < ticksPer2S
               ? TKeeping::Rounded
               : TKeeping::NotKept;
  }
  if (IsFatFamily(volume.FileSystemName)) {
    return WithinFatPrecision(kind, asked, stored) ? TKeeping::Rounded : TKeeping::NotKept;
  }
  if (volume.Remote && Distance(asked, stored) < ticksPer2S) return TKeeping::Rounded;
  return TKeeping::NotKept;
}
