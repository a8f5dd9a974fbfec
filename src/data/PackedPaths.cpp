#include "data/PackedPaths.h"

void TPackedPaths::Reserve(size_t count) {
  FNameEnds.reserve(count);
  FFolderOf.reserve(count);
}

std::string_view TPackedPaths::Part(const std::string& text, const std::vector<size_t>& ends,
                                    size_t place) {
  const size_t begin = place == 0 ? 0 : ends[place - 1];
  return std::string_view(text).substr(begin, ends[place] - begin);
}

void TPackedPaths::Add(std::string_view path) {
  const size_t cut = path.find_last_of("\\/") + 1;  // 0 without a separator: all name
  Add(path.substr(0, cut), path.substr(cut));
}

void TPackedPaths::Add(std::string_view folder, std::string_view name) {
  if (FFolderEnds.empty() || Part(FFolders, FFolderEnds, FFolderEnds.size() - 1) != folder) {
    FFolders.append(folder);
    FFolderEnds.push_back(FFolders.size());
  }
  FFolderOf.push_back(uint32_t(FFolderEnds.size() - 1));
  FNames.append(name);
  FNameEnds.push_back(FNames.size());
}

std::string TPackedPaths::Path(size_t place) const {
  std::string path;
  PathInto(place, path);
  return path;
}

void TPackedPaths::PathInto(size_t place, std::string& path) const {
  const std::string_view folder = Part(FFolders, FFolderEnds, FFolderOf[place]);
  const std::string_view name = Part(FNames, FNameEnds, place);
  path.clear();
  path.reserve(folder.size() + name.size());
  path.append(folder).append(name);
}

void TPackedPaths::ShrinkToFit() {
  FFolders.shrink_to_fit();
  FNames.shrink_to_fit();
}

std::vector<TItemPath> TPackedPaths::ItemPaths(const std::vector<uint32_t>& places) const {
  TMaker maker(*this);
  std::vector<TItemPath> paths;
  paths.reserve(places.size());
  for (const uint32_t place : places) paths.push_back(maker.Make(place));
  return paths;
}

TItemPath TPackedPaths::TMaker::Make(size_t place) {
  const uint32_t folder = FPaths.FFolderOf[place];
  if (FFolders[folder].View().empty())
    FFolders[folder] = TPathFolder(Part(FPaths.FFolders, FPaths.FFolderEnds, folder));
  return TItemPath(FFolders[folder], Part(FPaths.FNames, FPaths.FNameEnds, place));
}
