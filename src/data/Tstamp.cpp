#include "data/Tstamp.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "data/PackedStamps.h"

bool TStampOptions::operator==(const TStampOptions& other) const {
  return Subdirs == other.Subdirs && Directories == other.Directories && AnyAttr == other.AnyAttr &&
         CRTime == other.CRTime && LWTime == other.LWTime && LATime == other.LATime;
}

bool IsValidFileTime(const FILETIME& time) {
  const uint64_t value = FileTimeValue(time);
  return value != 0 && (value >> 63) == 0;
}

void ClearFileTime(FILETIME& time) {
  time.dwLowDateTime = 0;
  time.dwHighDateTime = 0;
}

TStamps TStampHolder::Stamps() const { return FStamps ? FStamps->Unpacked() : TStamps(); }

int TStampHolder::Count() const { return FStamps ? int(FStamps->size()) : 0; }

void TStampHolder::Store(const TStamps& stamps, const TStamp& average, int dirCount,
                         TDroppedItems dropped) {
  Store(TStamps(stamps), average, dirCount, std::move(dropped));
}

void TStampHolder::Store(TStamps&& stamps, const TStamp& average, int dirCount,
                         TDroppedItems dropped) {
  Store(TPackedStamps(std::move(stamps)), average, dirCount, std::move(dropped));
}

void TStampHolder::Store(TPackedStamps&& stamps, const TStamp& average, int dirCount,
                         TDroppedItems dropped) {
  FStamps = stamps.empty() ? nullptr : std::make_shared<const TPackedStamps>(std::move(stamps));
  FAverage.Path = average.Path;
  FAverage.CRTime = average.CRTime;
  FAverage.LWTime = average.LWTime;
  FAverage.LATime = average.LATime;
  FDirCount = dirCount;
  FDropped = std::move(dropped);
  FChoice.reset();
  Changed();
}

void TStampHolder::Store(const TTimeChoice& choice) {
  FStamps.reset();
  FAverage = TStamp();
  if (!choice.IsRule()) {
    FAverage.CRTime = choice.Times()[0];
    FAverage.LWTime = choice.Times()[1];
    FAverage.LATime = choice.Times()[2];
  }
  FDirCount = 0;
  TDroppedItems().swap(FDropped);
  FChoice = choice;
  Changed();
}

void TStampHolder::Clear() {
  FStamps.reset();
  FAverage = TStamp();
  FDirCount = 0;
  TDroppedItems().swap(FDropped);
  FChoice.reset();
  Changed();
}

void TStampHolder::Changed() {
  if (OnChange) OnChange(this);
}

void TStampHistory::Add(const TStampUnit& unit) { Add(TStampUnit(unit)); }

void TStampHistory::Add(TStampUnit&& unit) {
  const int p = FPosition;
  FPosition = p + 1;
  FUnits.resize(size_t(p));
  FUnits.push_back(std::make_shared<const TStampUnit>(std::move(unit)));
  Changed();
}

void TStampHistory::CommitUndo(const TStampUnit& unit) { CommitUndo(TStampUnit(unit)); }

void TStampHistory::CommitUndo(TStampUnit&& unit) {
  if (!CanUndo()) return;
  --FPosition;
  FUnits[size_t(FPosition)] = std::make_shared<const TStampUnit>(std::move(unit));
  Changed();
}

void TStampHistory::CommitRedo(const TStampUnit& unit) { CommitRedo(TStampUnit(unit)); }

void TStampHistory::CommitRedo(TStampUnit&& unit) {
  if (!CanRedo()) return;
  FUnits[size_t(FPosition)] = std::make_shared<const TStampUnit>(std::move(unit));
  ++FPosition;
  Changed();
}

void TStampHistory::DiscardUndo() {
  if (!CanUndo()) return;
  --FPosition;
  FUnits.erase(FUnits.begin() + FPosition);
  Changed();
}

void TStampHistory::DiscardRedo() {
  if (!CanRedo()) return;
  FUnits.erase(FUnits.begin() + FPosition);
  Changed();
}

void TStampHistory::SplitUndo(TStampUnit&& written, TStampUnit&& rest) {
  if (!CanUndo()) return;
  --FPosition;
  const bool keepsRest = !rest.Stamps.empty();
  ReplaceEntry(size_t(FPosition), std::move(rest), std::move(written));
  if (keepsRest) ++FPosition;
  Changed();
}

void TStampHistory::SplitRedo(TStampUnit&& written, TStampUnit&& rest) {
  if (!CanRedo()) return;
  const bool keepsWritten = !written.Stamps.empty();
  ReplaceEntry(size_t(FPosition), std::move(written), std::move(rest));
  if (keepsWritten) ++FPosition;
  Changed();
}

// The entry at index gives way to first and second, in this order.
void TStampHistory::ReplaceEntry(size_t index, TStampUnit&& first, TStampUnit&& second) {
  auto at = FUnits.erase(FUnits.begin() + std::ptrdiff_t(index));
  // Inserted at the same place, the second goes in first.
  for (TStampUnit* unit : {&second, &first})
    if (!unit->Stamps.empty())
      at = FUnits.insert(at, std::make_shared<const TStampUnit>(std::move(*unit)));
}

void TStampHistory::Clear() {
  std::vector<TSharedUnit>().swap(FUnits);
  FPosition = 0;
  Changed();
}

void TStampHistory::Assign(TStampUnits&& units, int position) {
  FUnits.clear();
  FUnits.reserve(units.size());
  for (TStampUnit& unit : units)
    FUnits.push_back(std::make_shared<const TStampUnit>(std::move(unit)));
  TStampUnits().swap(units);
  FPosition = std::clamp(position, 0, int(FUnits.size()));
  Changed();
}

std::vector<const TStampUnit*> TStampHistory::Units() const {
  std::vector<const TStampUnit*> units;
  units.reserve(FUnits.size());
  for (const TSharedUnit& unit : FUnits) units.push_back(unit.get());
  return units;
}

void TStampHistory::Changed() {
  if (OnChange) OnChange(this);
}
