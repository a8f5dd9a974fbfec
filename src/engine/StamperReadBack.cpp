#include <string>
#include <vector>

#include "engine/StoredTimes.h"
#include "engine/Tstamperbase.h"

namespace {

struct TWrittenTime {
  TTimeKind Kind;
  const char* Name;
  uint64_t Asked;
  uint64_t Stored;
};

// The times the options wrote, in the order of the check boxes, with what the item holds now.
std::vector<TWrittenTime> WrittenTimes(const TStamp& stamp, const TStampOptions& options,
                                       const TFileEntry& stored) {
  std::vector<TWrittenTime> times;
  if (options.CRTime)
    times.push_back({TTimeKind::Creation, "creation", FileTimeValue(stamp.CRTime),
                     FileTimeValue(stored.CreationTime)});
  if (options.LWTime)
    times.push_back({TTimeKind::LastWrite, "last-write", FileTimeValue(stamp.LWTime),
                     FileTimeValue(stored.LastWriteTime)});
  if (options.LATime)
    times.push_back({TTimeKind::LastAccess, "last-access", FileTimeValue(stamp.LATime),
                     FileTimeValue(stored.LastAccessTime)});
  return times;
}

// "creation time", "creation and last-write times", "creation, last-write and last-access times".
std::string NamesOf(const std::vector<const char*>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text + (names.size() > 1 ? " times" : " time");
}

bool AnyTimeDiffers(const TStamp& stamp, const TStampOptions& options, const TFileEntry& stored) {
  for (const TWrittenTime& time : WrittenTimes(stamp, options, stored))
    if (time.Stored != time.Asked) return true;
  return false;
}

}  // namespace

// Only a difference makes the volume matter, so a volume is asked nothing while every time comes
// back as written; the items of one folder share their volume, so it is asked once a folder.
TKeeping TStamperBase::ReadBack(TStringList& errorLog, const TStamp& stamp, TItemKind kind,
                                const TStampOptions& options) {
  TFileEntry stored;
  if (!FileSystem().ReadBackTimes(stamp.Path, kind, stored) ||
      (AnyTimeDiffers(stamp, options, stored) &&
       !FileSystem().ConfirmStoredTimes(stamp.Path, kind, stored))) {
    errorLog.push_back("failed to read back file times: " + stamp.Path);
    return TKeeping::NotKept;
  }
  TKeeping keeping = TKeeping::Exact;
  std::vector<const char*> notKept;
  for (const TWrittenTime& time : WrittenTimes(stamp, options, stored)) {
    if (time.Stored == time.Asked) continue;
    const TVolumeInfo& volume = VolumeOfFolder(stamp.Path, kind);
    if (JudgeStoredTime(time.Kind, time.Asked, time.Stored, volume) == TKeeping::NotKept)
      notKept.push_back(time.Name);
    else
      keeping = TKeeping::Rounded;
  }
  if (notKept.empty()) return keeping;
  errorLog.push_back(NamesOf(notKept) + " not kept: " + stamp.Path);
  return TKeeping::NotKept;
}

// A question that fails is asked once more (a share may be slow to answer); a volume that still
// cannot be told is marked unknown.
const TVolumeInfo& TStamperBase::VolumeOfFolder(const std::string& path, TItemKind kind) {
  const size_t last = path.find_last_of(FileSystem().Separator());
  const std::string folder = last == std::string::npos ? std::string() : path.substr(0, last);
  auto [known, isNew] = FVolumes.try_emplace(folder);
  if (isNew && !FileSystem().VolumeOf(path, kind, known->second) &&
      !FileSystem().VolumeOf(path, kind, known->second)) {
    known->second = TVolumeInfo();
    known->second.Known = false;
  }
  return known->second;
}
