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
  FPaths.Add(stamp.Path.View());
  FTimes.push_back({stamp.CRTime, stamp.LWTime, stamp.LATime});
  if (stamp.Id.Known || !FIds.empty()) {
    FIds.resize(size() - 1);
    FIds.push_back(stamp.Id);
  }
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
