#include <algorithm>
#include <string_view>
#include <unordered_map>
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

TItemKind KindOf(uint32_t attributes) {
  return (attributes & faDirectory) ? TItemKind::Folder : TItemKind::File;
}

bool WriteTimes(TStringList& errorLog, const TStamp& stamp, TItemKind kind,
                const TStampOptions& options) {
  const TWriteTimesResult result = FileSystem().WriteTimes(
      stamp.Path, kind, options.CRTime ? &stamp.CRTime : nullptr,
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

// The folder an item is listed in, and its name there; an empty name for a path that names a
// folder's inside ("C:\"), which no listing holds. A root keeps its separator, since "C:" alone
// would be the drive's current folder.
std::pair<std::string_view, std::string_view> FolderAndName(std::string_view path, char separator) {
  const size_t last = path.find_last_of(separator);
  if (last == std::string_view::npos) return {};
  std::string_view folder = path.substr(0, last);
  if (folder.find(separator) == std::string_view::npos) folder = path.substr(0, last + 1);
  return {folder, path.substr(last + 1)};
}

}  // namespace

uint64_t TStamperBase::Fingerprint(const std::string& path) {
  uint64_t hash = 14695981039346656037ull ^ path.size();
  for (char c : path) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

const TFileEntry* TStamperBase::KnownAt(const TKnownEntries& known, size_t place,
                                        uint64_t fingerprint, size_t count) {
  if (known.size() != count || !known[place].Known) return nullptr;
  return known[place].Fingerprint == fingerprint ? &known[place].Entry : nullptr;
}

// Items the expansion listed come with their entries already.
void TStamperBase::TakeListedEntries(const TStamps& stamps, const TFlags& flags) {
  FRead.assign(stamps.size(), TKnownEntry());
  for (size_t i = 0; i < stamps.size(); ++i) {
    FRead[i].Fingerprint = Fingerprint(stamps[i].Path);
    if (!flags[i]) continue;
    if (const TFileEntry* listed = KnownAt(FListed, i, FRead[i].Fingerprint, stamps.size())) {
      FRead[i].Entry = *listed;
      FRead[i].Known = true;
    }
  }
}

// The other items are read by folder: one listing gives the entries of all of its items that are
// wanted, where one lookup each would cost as much as that listing (under Wine every lookup reads
// the whole folder). A folder that holds one of them is not worth a listing.
void TStamperBase::ReadByFolder(const TStamps& stamps, const TFlags& flags) {
  TFileSystem& fs = FileSystem();
  if (!fs.ListingHasTimes()) return;
  std::unordered_map<std::string_view, std::vector<size_t>> byFolder;
  std::vector<std::string_view> folders;
  for (size_t i = 0; i < stamps.size(); ++i) {
    if (!flags[i] || FRead[i].Known) continue;
    const auto [folder, name] = FolderAndName(stamps[i].Path, fs.Separator());
    if (name.empty()) continue;
    auto [group, isNew] = byFolder.try_emplace(folder);
    if (isNew) folders.push_back(folder);
    group->second.push_back(i);
  }
  for (std::string_view folder : folders) {
    if (Terminated()) return;
    const std::vector<size_t>& places = byFolder[folder];
    if (places.size() > 1) PickFromListing(std::string(folder), places, stamps);
  }
}

// Names match as the file system matches them, letter case ignored. The listing ends as soon as
// every wanted name is found.
void TStamperBase::PickFromListing(const std::string& folder, const std::vector<size_t>& places,
                                   const TStamps& stamps) {
  TFileSystem& fs = FileSystem();
  std::unordered_multimap<std::string, size_t> wanted;
  for (size_t place : places) {
    const std::string_view name = FolderAndName(stamps[place].Path, fs.Separator()).second;
    wanted.emplace(fs.ItemKey(std::string(name)), place);
  }
  size_t missing = places.size();
  fs.ListFolder(folder, [&](const TListedEntry& listed) {
    if (!listed.HasTimes) return !Terminated();
    const auto [first, last] = wanted.equal_range(fs.ItemKey(listed.Name));
    for (auto found = first; found != last; ++found) {
      FRead[found->second].Entry = listed.Entry;
      FRead[found->second].Known = true;
      --missing;
    }
    return missing > 0 && !Terminated();
  });
}

int TStamperBase::ReadStamps(TStringList& errorLog, TStamps& stamps, int& folderCount,
                             TFlags& flags) {
  TFileSystem& fs = FileSystem();
  folderCount = 0;
  int count = 0;
  TakeListedEntries(stamps, flags);
  ReadByFolder(stamps, flags);
  // The single lookup serves the rest, and every failure is logged here, in the order of the list.
  for (size_t i = 0; i < stamps.size() && !Terminated(); ++i) {
    if (!flags[i]) continue;
    TStamp& stamp = stamps[i];
    TKnownEntry& known = FRead[i];
    if (!known.Known && fs.FindEntry(stamp.Path, known.Entry)) known.Known = true;
    if (!known.Known) {
      errorLog.push_back("failed to get data: " + stamp.Path);
      flags[i] = 0;
      continue;
    }
    const TFileEntry& entry = known.Entry;
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
    const TItemKind kind = KindFromRead(stamps[k], k, n);
    const bool written = WriteStamp(errorLog, stamps[k], kind, options, flags[k]);
    if (timesWritten) (*timesWritten)[k] = written;
    if (flags[k]) ++count;
  }
  return count;
}

TItemKind TStamperBase::KindFromRead(const TStamp& stamp, size_t place, size_t count) const {
  const TFileEntry* read = KnownAt(FRead, place, Fingerprint(stamp.Path), count);
  return read ? KindOf(read->Attributes) : TItemKind::Unknown;
}

// The flag ends 1 when the times were written and the attributes, if touched, were put back;
// gives whether the times were written. Attributes read just now tell the kind best.
bool TStamperBase::WriteStamp(TStringList& errorLog, const TStamp& stamp, TItemKind kind,
                              const TStampOptions& options, uint8_t& flag) {
  uint32_t attrs = faInvalid;
  const bool restore = options.AnyAttr && NormalizeAttributes(errorLog, stamp.Path, attrs);
  if (attrs != faInvalid) kind = KindOf(attrs);
  const bool written = WriteTimes(errorLog, stamp, kind, options);
  flag = written;
  if (restore && !FileSystem().SetAttributes(stamp.Path, attrs)) {
    errorLog.push_back("failed to restore file attributes: " + stamp.Path + " (" +
                       AttributeText(attrs) + ")");
    flag = 0;
  }
  return written;
}
