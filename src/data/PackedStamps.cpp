#include "data/PackedStamps.h"

TPackedStamps::TPackedStamps(TStamps&& stamps) {
  FTimes.reserve(stamps.size());
  FPaths.Reserve(stamps.size());
  for (TStamp& stamp : stamps) {
    Add(stamp);
    stamp.Path = TItemPath();
  }
  TStamps().swap(stamps);
  FPaths.ShrinkToFit();
}

void TPackedStamps::Add(const TStamp& stamp) {
  const auto [folder, name] = stamp.Path.Parts();
  FPaths.Add(folder, name);
  FTimes.push_back({stamp.CRTime, stamp.LWTime, stamp.LATime});
  if (stamp.Id.Known || !FIds.empty()) {
    FIds.resize(size() - 1);
    FIds.push_back(stamp.Id);
  }
}

TStamp TPackedStamps::Stamp(size_t place, TPackedPaths::TMaker& paths) const {
  TStamp stamp;
  stamp.Path = paths.Make(place);
  stamp.CRTime = FTimes[place].CR;
  stamp.LWTime = FTimes[place].LW;
  stamp.LATime = FTimes[place].LA;
  if (place < FIds.size()) stamp.Id = FIds[place];
  return stamp;
}

TStamps TPackedStamps::Unpacked() const {
  TStamps stamps;
  stamps.reserve(size());
  TPackedPaths::TMaker paths(FPaths);
  for (size_t place = 0; place < size(); ++place) stamps.push_back(Stamp(place, paths));
  return stamps;
}
