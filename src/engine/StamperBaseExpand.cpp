#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"

namespace {

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// One sort and one pass instead of a list kept sorted on every insertion. The sort is stable, so
// of the paths naming one item the first one collected is kept.
void SortAndDropDuplicates(TStringList& items) {
  TFileSystem& fs = FileSystem();
  std::stable_sort(items.begin(), items.end(), [&fs](const std::string& a, const std::string& b) {
    return fs.ComparePaths(a, b) < 0;
  });
  const auto end = std::unique(
      items.begin(), items.end(),
      [&fs](const std::string& kept, const std::string& next) { return fs.SameItem(kept, next); });
  items.erase(end, items.end());
}

}  // namespace

void TStamperBase::ExpandItems(TStringList& list, TStampOptions options) {
  TStringList items;
  TDescent descent;
  for (const std::string& dropped : list) {
    if (Terminated()) break;
    std::string path = NormalizePath(dropped);
    if (IsExistingFolder(path))
      AddFolder(items, path, options, descent);
    else
      items.push_back(std::move(path));
  }
  SortAndDropDuplicates(items);
  list = std::move(items);
}

// A folder gives itself under Directories and its contents under Subdirs, unless it leads back to
// a folder being walked already: a link to an ancestor would make the walk grow without end.
void TStamperBase::AddFolder(TStringList& items, const std::string& folder,
                             const TStampOptions& options, TDescent& descent) {
  if (options.Directories) items.push_back(folder);
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

void TStamperBase::AddFolderItems(TStringList& items, const std::string& folder,
                                  const TStampOptions& options, TDescent& descent) {
  TFileSystem& fs = FileSystem();
  // A root ("C:\", "/") already ends in the separator; doubling it would give a second spelling
  // of every path below it.
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != fs.Separator()) prefix += fs.Separator();
  fs.ListFolder(folder, [&](const char* name, uint32_t attributes) {
    if (!IsDotEntry(name)) {
      std::string path = prefix + name;
      if (attributes & faDirectory)
        AddFolder(items, path, options, descent);
      else
        items.push_back(std::move(path));
    }
    return !Terminated();
  });
}
