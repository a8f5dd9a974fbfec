#include <algorithm>
#include <utility>

#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"

namespace {

// Takes the attributes away for the write; gives whether they are to be put back, and logs why
// not when they cannot be.
bool NormalizeAttributes(TStringList& errorLog, const std::string& path, uint32_t& attrs) {
  TFileSystem& fs = FileSystem();
  attrs = fs.GetAttributes(path);
  if (attrs == faInvalid) {
    errorLog.push_back("failed to get file attributes: " + path);
    return false;
  }
  if (attrs == faNormal || attrs == faDirectory) return true;
  if (fs.SetAttributes(path, faNormal)) return true;
  errorLog.push_back("failed to normalize file attributes: " + path);
  return false;
}

bool WriteTimes(TStringList& errorLog, const TStamp& stamp, const TStampOptions& options) {
  const TWriteTimesResult result = FileSystem().WriteTimes(
      stamp.Path, options.CRTime ? &stamp.CRTime : nullptr,
      options.LATime ? &stamp.LATime : nullptr, options.LWTime ? &stamp.LWTime : nullptr);
  switch (result) {
    case TWriteTimesResult::Written:
      return true;
    case TWriteTimesResult::NoWriteAccess:
      errorLog.push_back("failed write access: " + stamp.Path);
      return false;
    case TWriteTimesResult::SetFailed:
      break;
  }
  errorLog.push_back("failed to set file times: " + stamp.Path);
  return false;
}

}  // namespace

int TStamperBase::ReadStamps(TStringList& errorLog, TStamps& stamps, int& folderCount,
                             TFlags& flags) {
  TFileSystem& fs = FileSystem();
  folderCount = 0;
  int count = 0;
  for (size_t i = 0; i < stamps.size() && !Terminated(); ++i) {
    if (!flags[i]) continue;
    TStamp& stamp = stamps[i];
    TFileEntry entry;
    if (!fs.FindEntry(stamp.Path, entry)) {
      errorLog.push_back("failed to get data: " + stamp.Path);
      flags[i] = 0;
      continue;
    }
    stamp.CRTime = entry.CreationTime;
    stamp.LWTime = entry.LastWriteTime;
    stamp.LATime = entry.LastAccessTime;
    if (entry.Attributes & faDirectory) ++folderCount;
    ++count;
  }
  return count;
}

int TStamperBase::GetStamps(TStringList& errorLog, TStamps& stamps, int& folderCount) {
  if (stamps.empty()) return 0;
  TFlags flags(stamps.size(), 1);
  const int count = ReadStamps(errorLog, stamps, folderCount, flags);
  RemoveFailedUnits(stamps, flags);
  return count;
}

void TStamperBase::RemoveFailedUnits(TStamps& stamps, const TFlags& flags) {
  size_t kept = 0;
  size_t next = 0;
  for (; next < stamps.size() && !Terminated(); ++next) {
    if (!flags[next]) continue;
    if (kept != next) stamps[kept] = std::move(stamps[next]);
    ++kept;
  }
  if (kept == next) return;
  // After a stop the stamps not reached stay, failed or not.
  const auto end = std::move(stamps.begin() + next, stamps.end(), stamps.begin() + kept);
  stamps.erase(end, stamps.end());
}

int TStamperBase::WriteStamps(TStringList& errorLog, TStamps& stamps, TStampOptions options,
                              bool forward, TFlags& flags, TFlags* timesWritten) {
  const size_t n = stamps.size();
  if (timesWritten) timesWritten->assign(n, 0);
  int count = 0;
  for (size_t i = 0; i < n && !Terminated(); ++i) {
    const size_t k = forward ? i : n - 1 - i;
    if (!flags[k]) continue;
    const bool written = WriteStamp(errorLog, stamps[k], options, flags[k]);
    if (timesWritten) (*timesWritten)[k] = written;
    if (flags[k]) ++count;
  }
  return count;
}

// The flag ends 1 when the times were written and the attributes, if touched, were put back;
// gives whether the times were written.
bool TStamperBase::WriteStamp(TStringList& errorLog, const TStamp& stamp,
                              const TStampOptions& options, uint8_t& flag) {
  uint32_t attrs = faInvalid;
  const bool restore = options.AnyAttr && NormalizeAttributes(errorLog, stamp.Path, attrs);
  const bool written = WriteTimes(errorLog, stamp, options);
  flag = written;
  if (restore && !FileSystem().SetAttributes(stamp.Path, attrs)) {
    errorLog.push_back("failed to restore file attributes: " + stamp.Path + " (" +
                       AttributeText(attrs) + ")");
    flag = 0;
  }
  return written;
}
