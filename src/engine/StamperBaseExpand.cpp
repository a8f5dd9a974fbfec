#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <span>
#include <utility>

#include "engine/DroppedPaths.h"
#include "engine/OrderKeys.h"
#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"

namespace {

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Places into a list of items, four bytes each: a sort of a million items holds two such lists.
using TPlaces = std::vector<uint32_t>;

// A root ("C:\", "/") already ends in the separator; doubling it would give a second spelling of
// every path below it.
void EndWithSeparator(std::string& path, char separator) {
  if (path.empty() || path.back() != separator) path += separator;
}

// Whether a group of places that the file system takes for one item holds two entries of one
// listing: a folder that tells letter case apart (as Windows allows per folder) shows them both,
// and they are two items. Dropped items (listing 0) come from no listing.
bool HoldsTwins(const std::vector<uint32_t>& listings, std::span<const uint32_t> group) {
  for (size_t i = 0; i < group.size(); ++i) {
    const uint32_t listing = listings[group[i]];
    for (size_t j = i + 1; listing != 0 && j < group.size(); ++j)
      if (listings[group[j]] == listing) return true;
  }
  return false;
}

// Of the group at [begin, end) of the sorted places, the first place; where it holds twins, the
// first place of each exact path. The places kept go to the front of the same list, from kept on,
// never ahead of the place being read (kept <= begin); gives where the places kept end.
size_t KeepOnePerItem(const TPackedPaths& paths, const std::vector<uint32_t>& listings,
                      TPlaces& order, size_t begin, size_t end, size_t kept) {
  const std::span<const uint32_t> group(order.data() + begin, end - begin);
  const bool twins = group.size() > 1 && HoldsTwins(listings, group);
  const size_t start = kept;
  order[kept++] = order[begin];
  if (!twins) return kept;
  for (size_t next = begin + 1; next < end; ++next) {
    const uint32_t place = order[next];
    const auto samePath = [&](uint32_t other) { return paths.Path(other) == paths.Path(place); };
    if (std::none_of(order.begin() + ptrdiff_t(start), order.begin() + ptrdiff_t(kept), samePath))
      order[kept++] = place;
  }
  return kept;
}

// Places into paths in their sorted order, of the places naming one item only the first. The sort
// is stable, so that first one is the one collected first.
template <typename TLess, typename TSame>
TPlaces SortedPlaces(const TPackedPaths& paths, const std::vector<uint32_t>& listings, TLess less,
                     TSame same) {
  TPlaces order(paths.size());
  std::iota(order.begin(), order.end(), uint32_t(0));
  std::stable_sort(order.begin(), order.end(), less);
  size_t kept = 0;
  size_t end = 0;
  for (size_t begin = 0; begin < order.size(); begin = end) {
    end = begin + 1;
    while (end < order.size() && same(order[begin], order[end])) ++end;
    kept = KeepOnePerItem(paths, listings, order, begin, end, kept);
  }
  order.resize(kept);
  return order;
}

// One key per path, made once, and one sort of the keys: comparing two paths anew at every step
// of the sort would cost the locale's work again each time. The keys leave out the tie-break,
// most of their bytes; the rare paths the locale calls equal are told apart by their item keys.
TPlaces SortedPlacesByKeys(const TPackedPaths& paths, const std::vector<uint32_t>& listings) {
  TFileSystem& fs = FileSystem();
  TOrderKeys keys;
  keys.Reserve(paths.size());
  std::string path;
  std::string key;
  for (size_t place = 0; place < paths.size(); ++place) {
    paths.PathInto(place, path);
    fs.LocaleOrderKey(path, key);
    keys.Add(key);
  }
  const auto compare = [&](size_t a, size_t b) {
    const int order = keys.Compare(a, b);
    return order != 0 ? order : fs.ItemKey(paths.Path(a)).compare(fs.ItemKey(paths.Path(b)));
  };
  return SortedPlaces(
      paths, listings, [&compare](size_t a, size_t b) { return compare(a, b) < 0; },
      [&compare](size_t first, size_t next) { return compare(first, next) == 0; });
}

TPlaces SortedPlacesByComparison(const TPackedPaths& paths, const std::vector<uint32_t>& listings) {
  TFileSystem& fs = FileSystem();
  return SortedPlaces(
      paths, listings,
      [&](size_t a, size_t b) { return fs.ComparePaths(paths.Path(a), paths.Path(b)) < 0; },
      [&](size_t first, size_t next) { return fs.SameItem(paths.Path(first), paths.Path(next)); });
}

// The entries at the places order names, in its order; the rest dropped. In place, each swap
// putting one entry where it goes: a second list of a million entries would be the largest block
// of the expansion.
template <typename TEntries>
void Rearrange(TEntries& entries, const TPlaces& order) {
  constexpr uint32_t dropped = UINT32_MAX;
  std::vector<uint32_t> target(entries.size(), dropped);
  for (size_t place = 0; place < order.size(); ++place) target[order[place]] = uint32_t(place);
  for (size_t place = 0; place < entries.size(); ++place) {
    while (target[place] != dropped && target[place] != place) {
      const size_t to = target[place];
      std::swap(entries[place], entries[to]);
      std::swap(target[place], target[to]);
    }
  }
  entries.resize(order.size());
}

// Paths alone, compared two at a time, are sorted in place: no places, keys or copies held. Such a
// file system (POSIX) takes two paths for one item only when their bytes are equal, so no twins of
// one listing meet here.
void SortPathsByComparison(TStringList& paths) {
  TFileSystem& fs = FileSystem();
  std::stable_sort(paths.begin(), paths.end(), [&fs](const std::string& a, const std::string& b) {
    return fs.ComparePaths(a, b) < 0;
  });
  const auto end = std::unique(
      paths.begin(), paths.end(),
      [&fs](const std::string& kept, const std::string& next) { return fs.SameItem(kept, next); });
  paths.erase(end, paths.end());
}

}  // namespace

void TStamperBase::ExpandItems(TStringList& list, TStampOptions options,
                               TDroppedItems* droppedItems, TStringList* errorLog) {
  const TItemPaths paths = ExpandPaths(list, options, droppedItems, errorLog);
  list.assign(paths.begin(), paths.end());
}

TItemPaths TStamperBase::ExpandPaths(const TStringList& list, TStampOptions options,
                                     TDroppedItems* droppedItems, TStringList* errorLog) {
  TFoundItems items;
  // A large drop or tree takes a while before the first item is read: the count shows it going.
  items.Progress = &FProgress;
  FProgress.Begin(TStampPhase::Collecting, 0);
  const std::vector<TDroppedEntry> entries =
      ListDroppedNames(FileSystem(), list, [this] { return Terminated(); });
  for (size_t i = 0; i < list.size(); ++i) {
    if (Terminated()) break;
    const TDroppedEntry& dropped = entries[i];
    std::string path = dropped.Normal ? list[i] : NormalizePath(list[i]);
    const TListedEntry listed{nullptr, dropped.Entry, dropped.HasTimes};
    const uint32_t attributes =
        dropped.HasTimes ? dropped.Entry.Attributes : FileSystem().GetAttributes(path);
    if (droppedItems) droppedItems->push_back({path, IsFolder(attributes)});
    if (!IsFolder(attributes)) {
      items.Add(std::move(path), &listed, 0);
      continue;
    }
    if (options.Directories) items.Add(path, &listed, 0);
    if (options.Subdirs) WalkFolder(items, std::move(path), attributes, options, errorLog);
  }
  TItemPaths paths = SortedWithoutDuplicates(items);
  KeepListedEntries(items, paths);
  return paths;
}

void TStamperBase::TFoundItems::Add(std::string_view path, const TListedEntry* listed,
                                    uint32_t listing) {
  Paths.Add(path);
  Found(listed, listing);
}

void TStamperBase::TFoundItems::Add(std::string_view folder, const TListedEntry& listed,
                                    uint32_t listing) {
  Paths.Add(folder, listed.Name);
  Found(&listed, listing);
}

void TStamperBase::TFoundItems::Found(const TListedEntry* listed, uint32_t listing) {
  Listings.push_back(listing);
  if (Progress) Progress->Advance();
  if (!listed || !listed->HasTimes) return;
  Entries.resize(Paths.size());
  Entries.back().SetEntry(listed->Entry);
}

// Every item below the folder, in the order a recursion would find them: each folder's entries as
// listed, a subfolder's contents right after the subfolder. A walk stays on its volume until it
// meets a link (a mount point is one), so the volume is asked once, here, whether a folder can show
// up again below itself without a link (a share, a bind mount); then every folder is compared.
void TStamperBase::WalkFolder(TFoundItems& items, std::string folder, uint32_t attributes,
                              const TStampOptions& options, TStringList* errorLog) {
  TWalk walk;
  walk.ErrorLog = errorLog;
  walk.EveryFolderAsked = !FileSystem().OnlyLinksLeadBack(folder);
  walk.Path = std::move(folder);
  EnterFolder(walk, items, attributes & faReparsePoint);
  while (!walk.Descent.empty() && !Terminated()) {
    TWalkedFolder& current = walk.Descent.back();
    if (current.Next == current.Pending.size()) {
      walk.Descent.pop_back();
      continue;
    }
    const TPendingEntry entry = std::move(current.Pending[current.Next++]);
    TakeEntry(walk, items, entry, options);
  }
}

// A folder gives itself under Directories, and its contents unless it leads back to a folder being
// walked already: a link to an ancestor would make the walk grow without end. Below a link an
// ordinary folder can lead back too (a link to a folder's parent shows the folder again), so from
// a link down every folder is compared.
void TStamperBase::TakeEntry(TWalk& walk, TFoundItems& items, const TPendingEntry& entry,
                             const TStampOptions& options) {
  const TWalkedFolder& parent = walk.Descent.back();
  walk.Path.resize(parent.Length);
  EndWithSeparator(walk.Path, FileSystem().Separator());
  walk.Path += entry.Name;
  const TListedEntry listed{entry.Name.c_str(), entry.Entry, entry.HasTimes};
  if (!(entry.Entry.Attributes & faDirectory)) {
    items.Add(walk.Path, &listed, parent.Listing);
    return;
  }
  if (options.Directories) items.Add(walk.Path, &listed, parent.Listing);
  EnterFolder(walk, items, entry.Entry.Attributes & faReparsePoint);
}

// Lists the folder at the walk's path unless it leads back. Entries up to its first subfolder are
// added at once; the rest wait in its place on the stack, since the subfolder's contents come
// first. A folder that cannot be listed is told of: its items would be left out unseen.
void TStamperBase::EnterFolder(TWalk& walk, TFoundItems& items, bool isLink) {
  TWalkedFolder folder;
  folder.Length = walk.Path.size();
  folder.BelowLink = isLink || (!walk.Descent.empty() && walk.Descent.back().BelowLink);
  if ((folder.BelowLink || walk.EveryFolderAsked) && LeadsBack(walk, folder)) {
    if (walk.ErrorLog) walk.ErrorLog->push_back("folder loop skipped: " + walk.Path);
    return;
  }
  folder.Listing = ++items.ListingCount;
  TFileSystem& fs = FileSystem();
  std::string prefix = walk.Path;
  EndWithSeparator(prefix, fs.Separator());
  const bool readable = fs.ListFolder(walk.Path, [&](const TListedEntry& listed) {
    if (IsDotEntry(listed.Name)) return !Terminated();
    if (folder.Pending.empty() && !(listed.Entry.Attributes & faDirectory))
      items.Add(prefix, listed, folder.Listing);
    else
      folder.Pending.push_back({listed.Name, listed.Entry, listed.HasTimes});
    return !Terminated();
  });
  if (!readable && walk.ErrorLog) walk.ErrorLog->push_back("failed to list folder: " + walk.Path);
  walk.Descent.push_back(std::move(folder));
}

// Some network volumes give every folder the index 0: that tells no folder from another.
void TStamperBase::AskId(const TWalk& walk, TWalkedFolder& folder) {
  if (folder.Asked) return;
  folder.HasId =
      FileSystem().FolderId(walk.Path.substr(0, folder.Length), folder.Id) && folder.Id.Index != 0;
  folder.Asked = true;
}

// A folder whose identity cannot be told is walked.
bool TStamperBase::LeadsBack(TWalk& walk, TWalkedFolder& folder) {
  AskId(walk, folder);
  if (!folder.HasId) return false;
  return std::any_of(walk.Descent.begin(), walk.Descent.end(), [&](TWalkedFolder& above) {
    AskId(walk, above);
    return above.HasId && above.Id == folder.Id;
  });
}

TItemPaths TStamperBase::SortedWithoutDuplicates(TFoundItems& items) {
  TFileSystem& fs = FileSystem();
  if (!fs.SortsByKey() && items.Entries.empty()) {
    TStringList texts;
    texts.reserve(items.Paths.size());
    for (size_t place = 0; place < items.Paths.size(); ++place)
      texts.push_back(items.Paths.Path(place));
    items.Paths = {};
    SortPathsByComparison(texts);
    TItemPaths paths;
    paths.reserve(texts.size());
    TPathMaker maker;
    for (std::string& text : texts) paths.push_back(maker.Make(std::exchange(text, {})));
    return paths;
  }
  const TPlaces order = fs.SortsByKey() ? SortedPlacesByKeys(items.Paths, items.Listings)
                                        : SortedPlacesByComparison(items.Paths, items.Listings);
  // Entries ends at the last path found with one.
  if (!items.Entries.empty()) {
    items.Entries.resize(items.Paths.size());
    Rearrange(items.Entries, order);
  }
  TItemPaths paths = items.Paths.ItemPaths(order);
  items.Paths = {};
  return paths;
}

// The fingerprints tie the entries to the places of the list handed back.
void TStamperBase::KeepListedEntries(TFoundItems& items, const TItemPaths& paths) {
  FListed = std::move(items.Entries);
  for (size_t i = 0; i < FListed.size(); ++i) {
    if (FListed[i].Known()) FListed[i].Fingerprint = Fingerprint(paths[i]);
  }
}
