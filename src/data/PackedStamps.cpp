#include "data/PackedStamps.h"

TPackedStamps::TPackedStamps(TStamps&& stamps) {
  FTimes.reserve(stamps.size());
  FNameEnds.reserve(stamps.size());
  FFolderOf.reserve(stamps.size());
  for (TStamp& stamp : stamps) {
    Add(stamp);
    stamp.Path = TItemPath();
  }
  TStamps().swap(stamps);
  FFolders.shrink_to_fit();
  FNames.shrink_to_fit();
}

std::string_view TPackedStamps::Part(const std::string& text, const std::vector<size_t>& ends,
                                     size_t place) {
  const size_t begin = place == 0 ? 0 : ends[place - 1];
  return std::string_view(text).substr(begin, ends[place] - begin);
}

// Both separators split, whichever the platform's: the split only chooses what is shared, and the
// two parts always give the path back.
void TPackedStamps::Add(const TStamp& stamp) {
  const std::string_view path = stamp.Path.View();
  const size_t cut = path.find_last_of("\\/") + 1;  // 0 without a separator: all name
  const std::string_view folder = path.substr(0, cut);
  if (FFolderEnds.empty() || Part(FFolders, FFolderEnds, FFolderEnds.size() - 1) != folder) {
    FFolders.append(folder);
    FFolderEnds.push_back(FFolders.size());
  }
  FFolderOf.push_back(uint32_t(FFolderEnds.size() - 1));
  FNames.append(path.substr(cut));
  FNameEnds.push_back(FNames.size());
  FTimes.push_back({stamp.CRTime, stamp.LWTime, stamp.LATime});
  if (stamp.Id.Known || !FIds.empty()) {
    FIds.resize(size() - 1);
    FIds.push_back(stamp.Id);
  }
}

std::string TPackedStamps::Path(size_t place) const {
  const std::string_view folder = Part(FFolders, FFolderEnds, FFolderOf[place]);
  const std::string_view name = Part(FNames, FNameEnds, place);
  std::string path;
  path.reserve(folder.size() + name.size());
  return path.append(folder).append(name);
}

TStamp TPackedStamps::Stamp(size_t place) const {
  TStamp stamp;
  stamp.Path = Path(place);
  stamp.CRTime = FTimes[place].CR;
  stamp.LWTime = FTimes[place].LW;
  stamp.LATime = FTimes[place].LA;
  if (place < FIds.size()) stamp.Id = FIds[place];
  return stamp;
}

TStamps TPackedStamps::Unpacked() const {
  TStamps stamps;
  stamps.reserve(size());
  for (size_t place = 0; place < size(); ++place) stamps.push_back(Stamp(place));
  return stamps;
}
