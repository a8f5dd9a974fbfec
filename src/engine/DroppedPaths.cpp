#include "engine/DroppedPaths.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <unordered_map>

namespace {

// The folder a name lies in, where it has one; a root keeps its separator ("C:\", "/").
std::string_view FolderOf(std::string_view name, char separator) {
  const size_t last = name.find_last_of(separator);
  if (last == std::string_view::npos) return {};
  const std::string_view folder = name.substr(0, last);
  return folder.find(separator) == std::string_view::npos ? name.substr(0, last + 1) : folder;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// Windows takes these for devices in any folder, with any extension ("nul.txt"), trailing blanks
// of the stem ignored.
bool NamesDevice(std::string_view leaf) {
  std::string_view stem = leaf.substr(0, leaf.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> devices = {"CON", "PRN",    "AUX",
                                                              "NUL", "CONIN$", "CONOUT$"};
  if (std::any_of(devices.begin(), devices.end(),
                  [&](std::string_view device) { return SameLetters(stem, device); }))
    return true;
  if (stem.size() < 4 ||
      !(SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT")))
    return false;
  const std::string_view number = stem.substr(3);
  return (number.size() == 1 && std::isdigit(static_cast<unsigned char>(number[0]))) ||
         number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

// A last part that every normalising keeps as it is: no dot entry, nothing Windows trims (trailing
// dots and blanks), reads as a stream, a pattern or a device.
bool KeptAsItIs(std::string_view leaf) {
  if (leaf.empty() || leaf == "." || leaf == ".." || leaf.back() == '.' || leaf.back() == ' ')
    return false;
  const bool special = std::any_of(leaf.begin(), leaf.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view(":*?\"<>|\\/").find(c) != std::string_view::npos;
  });
  return !special && !NamesDevice(leaf);
}

// The names of one normal folder that its listing holds, taken as they stand.
void TakeListed(TFileSystem& fs, const std::string& folder, const std::vector<size_t>& places,
                const TStringList& names, std::vector<TDroppedEntry>& entries,
                const std::function<bool()>& stop) {
  const size_t start = folder.size() + (folder.back() == fs.Separator() ? 0 : 1);
  std::unordered_multimap<std::string_view, size_t> byLeaf;
  for (size_t place : places) {
    const std::string_view leaf = std::string_view(names[place]).substr(start);
    if (KeptAsItIs(leaf)) byLeaf.emplace(leaf, place);
  }
  size_t missing = byLeaf.size();
  if (missing == 0) return;
  fs.ListFolder(folder, [&](const TListedEntry& listed) {
    const auto [first, last] = byLeaf.equal_range(listed.Name);
    for (auto found = first; found != last; ++found, --missing)
      entries[found->second] = {true, listed.HasTimes, listed.Entry};
    return missing > 0 && !stop();
  });
}

}  // namespace

// A folder of one name is not worth a listing.
std::vector<TDroppedEntry> ListDroppedNames(TFileSystem& fs, const TStringList& names,
                                            const std::function<bool()>& stop) {
  std::vector<TDroppedEntry> entries(names.size());
  std::unordered_map<std::string_view, std::vector<size_t>> byFolder;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string_view folder = FolderOf(names[i], fs.Separator());
    if (!folder.empty()) byFolder[folder].push_back(i);
  }
  for (const auto& [folderView, places] : byFolder) {
    if (stop()) break;
    const std::string folder(folderView);
    // A pattern's characters, even in a prefix ("\\?\"), name no entry that a lookup would find.
    if (places.size() > 1 && folder.find_first_of("*?") == std::string::npos &&
        fs.NormalizePath(folder) == folder)
      TakeListed(fs, folder, places, names, entries, stop);
  }
  return entries;
}
