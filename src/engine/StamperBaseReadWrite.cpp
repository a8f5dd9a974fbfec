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
  if (attributes == faInvalid) return TItemKind::Unknown;
  return (attributes & faDirectory) ? TItemKind::Folder : TItemKind::File;
}

// An opening for times alone is granted whatever a file's attributes say, so the read-only rule is
// the engine's: a read-only file is written only when the user allows any attributes.
bool ForbidsWriting(uint32_t attributes) {
  return attributes != faInvalid && (attributes & faReadOnly) && !(attributes & faDirectory);
}

bool SameTimesAsked(const TStamp& a, const TStamp& b, const TStampOptions& options) {
  return (!options.CRTime || FileTimeValue(a.CRTime) == FileTimeValue(b.CRTime)) &&
         (!options.LWTime || FileTimeValue(a.LWTime) == FileTimeValue(b.LWTime)) &&
         (!options.LATime || FileTimeValue(a.LATime) == FileTimeValue(b.LATime));
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

// The same of a path as held, without its text made: a path that holds its folder's text apart
// was split where a listing would split it. One split elsewhere (a name holding the other
// platform's separator) gives no name, which leaves its item to a lookup of its own.
std::pair<std::string_view, std::string_view> FolderAndName(const TItemPath& path, char separator) {
  const auto [folder, name] = path.Parts();
  if (folder.empty()) return FolderAndName(name, separator);
  if (folder.back() != separator || name.find(separator) != std::string_view::npos) return {};
  const std::string_view inside = folder.substr(0, folder.size() - 1);
  return {inside.find(separator) == std::string_view::npos ? folder : inside, name};
}

// What the write's own opening saw just before is the item's backup: newer than any read before
// the write, and tied to the item that was written.
void Remember(const TSeenItem& item, TStamp& backup) {
  backup.CRTime = item.Entry.CreationTime;
  backup.LWTime = item.Entry.LastWriteTime;
  backup.LATime = item.Entry.LastAccessTime;
  backup.Id = item.Entry.Id;
}

}  // namespace

uint64_t TStamperBase::Fingerprint(const TItemPath& path) {
  uint64_t hash = 14695981039346656037ull ^ path.size();
  const auto [folder, name] = path.Parts();
  for (const std::string_view part : {folder, name})
    for (char c : part) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

void TStamperBase::TRead::Take(size_t place, const TFileEntry& entry) {
  TStamp& stamp = Stamps[place];
  stamp.CRTime = entry.CreationTime;
  stamp.LWTime = entry.LastWriteTime;
  stamp.LATime = entry.LastAccessTime;
  // An identity held already is the item once written, which the write compares with what it
  // opens; the listing shows only what has the path now.
  if (!stamp.Id.Known) stamp.Id = entry.Id;
  if (Attributes) (*Attributes)[place] = entry.Attributes;
  Found[place] = (entry.Attributes & faDirectory) ? FoundFolder : FoundFile;
}

// Items the expansion listed come with their entries already; the entries are taken, as they tell
// the times of that moment only. None are taken when the expansion listed none of these items.
void TStamperBase::TakeListedEntries(TRead& read, const TFlags& flags) {
  const TKnownEntries listed = std::move(FListed);
  FListed.clear();
  if (listed.size() != read.Stamps.size()) return;
  int taken = 0;
  for (size_t i = 0; i < listed.size(); ++i) {
    if (!listed[i].Known() || !flags[i] ||
        listed[i].Fingerprint != Fingerprint(read.Stamps[i].Path))
      continue;
    read.Take(i, listed[i].Entry());
    ++taken;
  }
  FProgress.Advance(taken);
}

// The other items are read by folder: one listing gives the entries of all of its items that are
// wanted, where one lookup each would cost as much as that listing (under Wine every lookup reads
// the whole folder). A folder that holds one of them is not worth a listing.
void TStamperBase::ReadByFolder(TRead& read, const TFlags& flags) {
  TFileSystem& fs = FileSystem();
  if (!fs.ListingHasTimes()) return;
  std::unordered_map<std::string_view, std::vector<size_t>> byFolder;
  std::vector<std::string_view> folders;
  for (size_t i = 0; i < read.Stamps.size(); ++i) {
    if (!flags[i] || read.Found[i]) continue;
    const auto [folder, name] = FolderAndName(read.Stamps[i].Path, fs.Separator());
    if (name.empty()) continue;
    auto [group, isNew] = byFolder.try_emplace(folder);
    if (isNew) folders.push_back(folder);
    group->second.push_back(i);
  }
  for (std::string_view folder : folders) {
    if (Terminated()) return;
    const std::vector<size_t>& places = byFolder[folder];
    if (places.size() > 1) PickFromListing(std::string(folder), places, read);
  }
}

// A name matches its own entry first. In a case-sensitive folder (as WSL marks them, or a Linux
// folder seen through a share) "a.txt" and "A.txt" are two items, so a name that matches only with
// letter case ignored takes that entry only when the listing holds no other such; otherwise the
// item is left to its own lookup. The listing ends as soon as every name has met its own entry.
void TStamperBase::PickFromListing(const std::string& folder, const std::vector<size_t>& places,
                                   TRead& read) {
  struct TWanted {
    std::string_view Name;
    size_t Place = 0;
    bool Exact = false;
    int FoldedMatches = 0;
    bool HasTimes = false;
    TFileEntry Entry{};
  };
  TFileSystem& fs = FileSystem();
  std::vector<TWanted> wanted;
  wanted.reserve(places.size());
  std::unordered_multimap<std::string, size_t> byKey;
  for (size_t place : places) {
    const std::string_view name = FolderAndName(read.Stamps[place].Path, fs.Separator()).second;
    byKey.emplace(fs.ItemKey(std::string(name)), wanted.size());
    wanted.push_back({.Name = name, .Place = place});
  }
  size_t missing = wanted.size();
  fs.ListFolder(folder, [&](const TListedEntry& listed) {
    const auto [first, last] = byKey.equal_range(fs.ItemKey(listed.Name));
    for (auto found = first; found != last; ++found) {
      TWanted& item = wanted[found->second];
      if (item.Exact) continue;
      item.Exact = item.Name == listed.Name;
      if (item.Exact)
        --missing;
      else
        ++item.FoldedMatches;
      item.HasTimes = listed.HasTimes;
      item.Entry = listed.Entry;
    }
    return missing > 0 && !Terminated();
  });
  for (const TWanted& item : wanted) {
    if (!item.HasTimes || (!item.Exact && item.FoldedMatches != 1)) continue;
    read.Take(item.Place, item.Entry);
    FProgress.Advance();
  }
}

// Each entry goes into its stamp as soon as it is found, so that no list of entries is held beside
// the stamps. The single lookups serve the rest and log every failure, and the items are counted,
// in the order of the list: a stopped read counts those before the stop.
int TStamperBase::ReadStamps(TStringList& errorLog, TStamps& stamps, int& folderCount,
                             TFlags& flags, std::vector<uint32_t>* attributes) {
  TFileSystem& fs = FileSystem();
  folderCount = 0;
  int count = 0;
  if (attributes) attributes->assign(stamps.size(), faInvalid);
  TRead read{stamps, attributes, TFlags(stamps.size(), TRead::NotFound)};
  FProgress.Begin(TStampPhase::Reading, int(std::count(flags.begin(), flags.end(), 1)));
  TakeListedEntries(read, flags);
  ReadByFolder(read, flags);
  for (size_t i = 0; i < stamps.size() && !Terminated(); ++i) {
    if (!flags[i]) continue;
    if (read.Found[i] == TRead::NotFound) {
      TFileEntry entry;
      const bool found = fs.FindEntry(stamps[i].Path, entry);
      FProgress.Advance();
      if (!found) {
        errorLog.push_back("failed to get data: " + stamps[i].Path);
        flags[i] = 0;
        FProgress.SetFailed();
        continue;
      }
      read.Take(i, entry);
    }
    if (read.Found[i] == TRead::FoundFolder) ++folderCount;
    ++count;
  }
  return count;
}

void TStamperBase::ItemPassed(size_t, bool, const TStamp&) {}

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

int TStamperBase::WriteStamps(TStringList& errorLog, const TStamps& stamps, TStampOptions options,
                              bool forward, TFlags& flags, TFlags* timesWritten,
                              const std::vector<uint32_t>* attributes, TStamps* seen) {
  const size_t n = stamps.size();
  if (timesWritten) timesWritten->assign(n, 0);
  int count = 0;
  const auto toWrite = size_t(std::count(flags.begin(), flags.end(), 1));
  // Without a list of the caller's to fill, a copy is filled: the items set are known by the
  // identities it holds.
  TStamps ownSeen;
  if (!seen) ownSeen = stamps;
  TStamps& before = seen ? *seen : ownSeen;
  TWrittenItems written(stamps, before, flags, toWrite);
  FProgress.Begin(TStampPhase::Writing, int(toWrite));
  for (size_t i = 0; i < n && !Terminated(); ++i) {
    const size_t k = forward ? i : n - 1 - i;
    if (!flags[k]) {
      if (seen) ItemPassed(k, false, before[k]);
      continue;
    }
    const bool held = attributes && attributes->size() == n;
    TWriteItem item{stamps[k], held ? (*attributes)[k] : faInvalid, before[k].Id, TSeenItem()};
    const bool timesSet = WriteStamp(errorLog, item, options, flags[k], written);
    if (item.Seen.Known) Remember(item.Seen, before[k]);
    if (seen) ItemPassed(k, timesSet, before[k]);
    if (timesWritten) (*timesWritten)[k] = timesSet;
    if (timesSet && item.Seen.Known && item.Seen.Entry.Id.Volume != 0) written.Add(k);
    if (flags[k])
      ++count;
    else
      FProgress.SetFailed();
    FProgress.Advance();
  }
  return count;
}

// The flag ends 1 when the times were written and the attributes, if touched, were put back, or
// when the item is one written already under another path with the same times; gives whether the
// times were written. Attributes read just now tell the kind best.
bool TStamperBase::WriteStamp(TStringList& errorLog, TWriteItem& item, const TStampOptions& options,
                              uint8_t& flag, const TWrittenItems& written) {
  const TStamp& stamp = item.Stamp;
  flag = 0;
  if (!options.AnyAttr) {
    if (item.Attributes == faInvalid) item.Attributes = FileSystem().GetAttributes(stamp.Path);
    if (ForbidsWriting(item.Attributes)) {
      errorLog.push_back("failed write access: " + stamp.Path);
      return false;
    }
  }
  uint32_t attrs = faInvalid;
  const bool restore = options.AnyAttr && NormalizeAttributes(errorLog, stamp.Path, attrs);
  if (attrs != faInvalid) item.Attributes = attrs;
  std::optional<TWrittenItem> first;
  const bool timesSet = WriteTimes(errorLog, item, options, written, first);
  flag = timesSet;
  if (first) flag = SameTimesAsked(*first->Stamp, stamp, options) ? first->Flag : 0;
  if (first && !flag) errorLog.push_back("one item under several paths: " + stamp.Path);
  if (restore && !FileSystem().SetAttributes(stamp.Path, attrs)) {
    errorLog.push_back("failed to restore file attributes: " + stamp.Path + " (" +
                       AttributeText(attrs) + ")");
    flag = 0;
  }
  if (!timesSet) return false;
  // A write is done only when the file system shows that it kept it.
  const TKeeping keeping = ReadBack(errorLog, stamp, KindOf(item.Attributes), options);
  if (keeping == TKeeping::NotKept) flag = 0;
  if (keeping == TKeeping::Rounded && flag) ++FRoundedCount;
  return true;
}

// Only the item the walk or the backup found is written, and a file reached under a second path
// is not written twice: `first` then names the path it was written under.
bool TStamperBase::WriteTimes(TStringList& errorLog, TWriteItem& item, const TStampOptions& options,
                              const TWrittenItems& written, std::optional<TWrittenItem>& first) {
  const TStamp& stamp = item.Stamp;
  bool replaced = false;
  const TWriteCheck check = [&](TSeenItem& seen) {
    if (!seen.Known) return true;
    CompleteVolume(stamp.Path.Text(), seen.Entry.Id);
    replaced = item.Expected.OtherThan(seen.Entry.Id);
    if (replaced) return false;
    // Without its volume an identity could be another volume's item of the same file ID.
    if (seen.Entry.Id.Volume != 0) first = written.Find(seen.Entry.Id);
    return !first;
  };
  const TWriteTimesResult result = FileSystem().WriteTimesChecked(
      stamp.Path, KindOf(item.Attributes), check, item.Seen,
      options.CRTime ? &stamp.CRTime : nullptr, options.LATime ? &stamp.LATime : nullptr,
      options.LWTime ? &stamp.LWTime : nullptr);
  switch (result) {
    case TWriteTimesResult::Written:
      return true;
    case TWriteTimesResult::NoWriteAccess:
      errorLog.push_back("failed write access: " + stamp.Path);
      return false;
    case TWriteTimesResult::Declined:
      if (replaced) errorLog.push_back("item replaced since: " + stamp.Path);
      return false;
    case TWriteTimesResult::SetFailed:
      break;
  }
  errorLog.push_back("failed to set file times: " + stamp.Path);
  return false;
}

// A listing and the write's opening tell the file ID but not always the volume; the volume is the
// folder's, asked once per folder and run, since asking it of every item costs a call to another
// process under Wine.
void TStamperBase::CompleteVolume(std::string_view path, TItemId& id) {
  if (!id.Known || id.Volume != 0) return;
  const std::string_view folder = FolderAndName(path, FileSystem().Separator()).first;
  if (folder.empty()) return;
  auto [place, isNew] = FFolderVolumes.try_emplace(std::string(folder), 0);
  TFolderId folderId;
  if (isNew && FileSystem().FolderId(place->first, folderId)) place->second = folderId.Volume;
  id.Volume = place->second;
}
