#include "engine/SyncPairing.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/Tstamper.h"
#include "platform/FileSystem.h"

namespace {

// "C:\" names the same folder as "C:", and "/" as "": items below them add the separator anew.
std::string_view WithoutTrailingSeparator(std::string_view path, char separator) {
  if (!path.empty() && path.back() == separator) path.remove_suffix(1);
  return path;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ShorterFirst(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

TRelativePaths::TRelativePaths(const TDroppedItems& dropped, bool belowTheFolder)
    : Separator(FileSystem().Separator()), BelowTheFolder(belowTheFolder) {
  for (const TDroppedItem& item : dropped) {
    const std::string_view path = WithoutTrailingSeparator(item.Path, Separator);
    Items.emplace_back(path);
    if (belowTheFolder) {
      Bases.push_back(std::string(path) + Separator);
      continue;
    }
    const size_t last = path.rfind(Separator);
    Bases.emplace_back(last == std::string_view::npos ? std::string_view()
                                                      : path.substr(0, last + 1));
  }
  std::sort(Items.begin(), Items.end());
  std::sort(Bases.begin(), Bases.end(), ShorterFirst);
  Bases.erase(std::unique(Bases.begin(), Bases.end()), Bases.end());
}

std::string_view TRelativePaths::Of(std::string_view path) const {
  const std::string_view whole = path;
  for (const std::string& base : Bases) {
    if (!StartsWith(whole, base)) continue;
    // With one base every item found below it came from a drop made there.
    if (Bases.size() == 1 || StartsWithDroppedItem(whole, base)) return whole.substr(base.size());
  }
  // Below one folder, only the folder itself lies outside its base.
  return BelowTheFolder ? std::string_view() : whole;
}

// Whether the name that follows the base is that of an item dropped from there.
bool TRelativePaths::StartsWithDroppedItem(std::string_view path, std::string_view base) const {
  const std::string_view item = path.substr(0, path.find(Separator, base.size()));
  return std::binary_search(Items.begin(), Items.end(), item, std::less<>());
}

bool IsSingleFolder(const TDroppedItems& dropped) {
  return dropped.size() == 1 && dropped.front().Folder;
}

namespace {

// A second source under one name makes that name name no single source.
template <typename TIndex, typename TName>
void Enter(TIndex& index, TName name, size_t place) {
  const auto [entry, added] = index.emplace(std::move(name), place);
  if (!added) entry->second = SeveralPartners;
}

// The relative path without the last extension of its name: "a\\clip.MOV" gives "a\\clip". A name
// that begins with its only dot (".profile") has no extension.
std::string_view Stem(std::string_view relative, char separator) {
  const size_t nameStart = relative.rfind(separator) + 1;
  const size_t dot = relative.rfind('.');
  return dot != std::string_view::npos && dot > nameStart ? relative.substr(0, dot) : relative;
}

// The relative paths of the folders among some items: those that other items lie below, and
// the folders dropped. Folders pair by their whole names only. The views are into the paths.
using TPathSet = std::unordered_set<std::string_view>;
template <typename TPathOf>
TPathSet FolderPaths(size_t count, TPathOf pathOf, const TDroppedItems& dropped,
                     const TRelativePaths& paths, char separator) {
  TPathSet folders;
  for (size_t place = 0; place < count; ++place) {
    const std::string_view relative = paths.Of(pathOf(place));
    const size_t last = relative.rfind(separator);
    if (last != std::string_view::npos) folders.emplace(relative.substr(0, last));
  }
  for (const TDroppedItem& item : dropped)
    if (item.Folder) folders.emplace(paths.Of(item.Path));
  return folders;
}

// The sources by their relative paths. A copy mostly keeps its names byte for byte, and equal
// bytes are one item on every file system, so the exact names are tried first; only a target that
// finds none asks for the file system's item keys, which are made for the sources once, and
// then, where extensions are ignored, the keys of their stems are taken from those, also once.
class TSources {
 public:
  TSources(const TStringList& sources, const TDroppedItems& dropped, const TRelativePaths& paths)
      : Sources(sources), Dropped(dropped), Paths(paths), Separator(FileSystem().Separator()) {
    Exact.reserve(sources.size());
    for (size_t place = 0; place < sources.size(); ++place)
      Enter(Exact, paths.Of(sources[place]), place);
  }

  // The partner by the exact path, else by its item key, which is then left in key.
  size_t Find(std::string_view relative, std::string& key) {
    const auto exact = Exact.find(relative);
    if (exact != Exact.end()) return exact->second;
    if (Keys.empty()) MakeKeys();
    key = Key(relative);
    const auto same = ByKey.find(key);
    return same != ByKey.end() ? same->second : NoPartner;
  }

  // The one source file whose stem is the stem of this file's path, whose key Find left.
  size_t FindByStem(std::string_view relative, const std::string& key) {
    if (ByStem.empty()) MakeStems();
    const auto same = ByStem.find(StemKey(relative, key));
    return same != ByStem.end() ? same->second : NoPartner;
  }

 private:
  static std::string Key(std::string_view relative) {
    return FileSystem().ItemKey(std::string(relative));
  }

  void MakeKeys() {
    Keys.reserve(Sources.size());
    for (const std::string& source : Sources) Keys.push_back(Key(Paths.Of(source)));
    ByKey.reserve(Sources.size());
    for (size_t place = 0; place < Sources.size(); ++place)
      Enter(ByKey, std::string_view(Keys[place]), place);
  }

  // The key of the path without its last extension. A key is made character by character, so the
  // key of a whole path ends with the key of its extension, and cutting that off spares making
  // another of nearly the same length; where it does not end so, the stem's own key is made.
  std::string StemKey(std::string_view relative, const std::string& key) {
    const std::string_view stem = Stem(relative, Separator);
    if (stem.size() == relative.size()) return key;
    const auto [entry, added] =
        ExtensionKeys.try_emplace(std::string(relative.substr(stem.size())));
    if (added) entry->second = Key(entry->first);
    const std::string& tail = entry->second;
    return key.ends_with(tail) ? key.substr(0, key.size() - tail.size()) : Key(stem);
  }

  void MakeStems() {
    const auto pathOf = [this](size_t place) -> const std::string& { return Sources[place]; };
    const TPathSet folders = FolderPaths(Sources.size(), pathOf, Dropped, Paths, Separator);
    ByStem.reserve(Sources.size());
    for (size_t place = 0; place < Sources.size(); ++place) {
      const std::string_view relative = Paths.Of(Sources[place]);
      if (!folders.contains(relative)) Enter(ByStem, StemKey(relative, Keys[place]), place);
    }
  }

  // Whole paths, which the views in the maps are into.
  const TStringList& Sources;
  const TDroppedItems& Dropped;
  const TRelativePaths& Paths;
  const char Separator;
  std::unordered_map<std::string_view, size_t> Exact;
  std::vector<std::string> Keys;  // each source's, in its place
  std::unordered_map<std::string_view, size_t> ByKey;
  std::unordered_map<std::string, size_t> ByStem;
  std::unordered_map<std::string, std::string> ExtensionKeys;
};

}  // namespace

std::vector<size_t> PairByName(const TStamps& sources, const TDroppedItems& sourceDropped,
                               const TStringList& targets, const TDroppedItems& targetDropped,
                               bool ignoreExtensions) {
  const bool belowTheFolders = IsSingleFolder(sourceDropped) && IsSingleFolder(targetDropped);
  const TRelativePaths sourcePaths(sourceDropped, belowTheFolders);
  const TRelativePaths targetPaths(targetDropped, belowTheFolders);
  TStringList sourceTexts;
  sourceTexts.reserve(sources.size());
  for (const TStamp& source : sources) sourceTexts.push_back(source.Path);
  TSources index(sourceTexts, sourceDropped, sourcePaths);
  std::vector<size_t> partners(targets.size());
  std::optional<TPathSet> targetFolders;
  for (size_t place = 0; place < targets.size(); ++place) {
    const std::string_view relative = targetPaths.Of(targets[place]);
    std::string key;
    partners[place] = index.Find(relative, key);
    if (partners[place] != NoPartner || !ignoreExtensions) continue;
    if (!targetFolders)
      targetFolders = FolderPaths(
          targets.size(), [&](size_t at) -> const std::string& { return targets[at]; },
          targetDropped, targetPaths, FileSystem().Separator());
    if (!targetFolders->contains(relative)) partners[place] = index.FindByStem(relative, key);
  }
  return partners;
}

void TStamper::PairTargetsByName(TStamps& stamps) {
  TDroppedItems sourceDropped;
  Synchronize([&] { sourceDropped = FHolder->Dropped(); });
  const std::vector<size_t> partners = PairByName(
      stamps, sourceDropped, TStringList(FPaths.begin(), FPaths.end()), FDropped, FIgnoreExtensions);
  TStamps sources;
  TStamps paired;
  paired.reserve(partners.size());
  std::vector<size_t> kept;
  kept.reserve(partners.size());
  for (size_t place = 0; place < partners.size(); ++place) {
    TItemPath& target = FPaths[place];
    if (partners[place] == NoPartner || partners[place] == SeveralPartners) {
      FErrorLog.push_back(
          (partners[place] == NoPartner ? "no source item: " : "several source items: ") + target);
      continue;
    }
    kept.push_back(place);
    const TStamp& source = stamps[partners[place]];
    if (FPreview) sources.push_back(source);
    TStamp& stamp = paired.emplace_back();
    stamp.Path = std::move(target);
    stamp.CRTime = source.CRTime;
    stamp.LWTime = source.LWTime;
    stamp.LATime = source.LATime;
  }
  KeepSources(sources);
  stamps = std::move(paired);
  NarrowListedEntries(kept);
}
