#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"

namespace {

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// One key per path, made once, and one sort of the keys: comparing two paths anew at every step
// of the sort would cost the locale's work again each time.
template <typename TItems>
void SortByKeys(TItems& items) {
  TFileSystem& fs = FileSystem();
  std::vector<std::string> keys;
  keys.reserve(items.size());
  for (const auto& item : items) keys.push_back(fs.OrderKey(item.Path));
  std::vector<size_t> order(items.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
  const auto end = std::unique(order.begin(), order.end(), [&keys](size_t kept, size_t next) {
    return keys[kept] == keys[next];
  });
  order.erase(end, order.end());
  keys = std::vector<std::string>();
  TItems sorted;
  sorted.reserve(order.size());
  for (size_t place : order) sorted.push_back(std::move(items[place]));
  items = std::move(sorted);
}

template <typename TItems>
void SortByComparison(TItems& items) {
  TFileSystem& fs = FileSystem();
  std::stable_sort(items.begin(), items.end(), [&fs](const auto& a, const auto& b) {
    return fs.ComparePaths(a.Path, b.Path) < 0;
  });
  const auto end = std::unique(
      items.begin(), items.end(),
      [&fs](const auto& kept, const auto& next) { return fs.SameItem(kept.Path, next.Path); });
  items.erase(end, items.end());
}

}  // namespace

void TStamperBase::ExpandItems(TStringList& list, TStampOptions options) {
  TFoundItems items;
  TDescent descent;
  for (const std::string& dropped : list) {
    if (Terminated()) break;
    std::string path = NormalizePath(dropped);
    if (IsExistingFolder(path))
      AddFolder(items, path, options, descent, nullptr);
    else
      items.push_back({std::move(path), {}, false});
  }
  SortAndDropDuplicates(items);
  KeepListedEntries(items);
  list.clear();
  list.reserve(items.size());
  for (TFoundItem& item : items) list.push_back(std::move(item.Path));
}

// A folder gives itself under Directories and its contents under Subdirs, unless it leads back to
// a folder being walked already: a link to an ancestor would make the walk grow without end.
void TStamperBase::AddFolder(TFoundItems& items, const std::string& folder,
                             const TStampOptions& options, TDescent& descent,
                             const TListedEntry* listed) {
  if (options.Directories) {
    const bool hasEntry = listed && listed->HasTimes;
    items.push_back({folder, hasEntry ? listed->Entry : TFileEntry{}, hasEntry});
  }
  if (!options.Subdirs) return;
  TFolderId id;
  if (!FileSystem().FolderId(folder, id)) {
    AddFolderItems(items, folder, options, descent);
    return;
  }
  if (std::find(descent.begin(), descent.end(), id) != descent.end()) return;
  descent.push_back(id);
  AddFolderItems(items, folder, options, descent);
  descent.pop_back();
}

void TStamperBase::AddFolderItems(TFoundItems& items, const std::string& folder,
                                  const TStampOptions& options, TDescent& descent) {
  TFileSystem& fs = FileSystem();
  // A root ("C:\", "/") already ends in the separator; doubling it would give a second spelling
  // of every path below it.
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != fs.Separator()) prefix += fs.Separator();
  fs.ListFolder(folder, [&](const TListedEntry& listed) {
    if (!IsDotEntry(listed.Name)) {
      std::string path = prefix + listed.Name;
      if (listed.Entry.Attributes & faDirectory)
        AddFolder(items, path, options, descent, &listed);
      else
        items.push_back({std::move(path), listed.Entry, listed.HasTimes});
    }
    return !Terminated();
  });
}

// The sorts are stable, so of the paths naming one item the first one collected is kept.
void TStamperBase::SortAndDropDuplicates(TFoundItems& items) {
  if (FileSystem().SortsByKey())
    SortByKeys(items);
  else
    SortByComparison(items);
}

void TStamperBase::KeepListedEntries(const TFoundItems& items) {
  FListed.clear();
  const bool anyKnown =
      std::any_of(items.begin(), items.end(), [](const TFoundItem& item) { return item.HasEntry; });
  if (!anyKnown) return;
  FListed.resize(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].HasEntry) continue;
    FListed[i] = {Fingerprint(items[i].Path), items[i].Entry, true};
  }
}
