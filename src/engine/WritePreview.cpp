#include "engine/WritePreview.h"

#include <algorithm>

#include "engine/TimeText.h"

namespace {

constexpr const char* ColumnNames[] = {"Path", "Creation", "Last write", "Last access", "Source"};

// The options that choose each time, in the order of the time columns.
bool Writes(const TStampOptions& options, size_t time) {
  return time == 0 ? options.CRTime : time == 1 ? options.LWTime : options.LATime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return FileTimeValue(a) == FileTimeValue(b); }

}  // namespace

TWritePreview::TWritePreview(const TStampUnit& unit, const TStampUnit& backup,
                             const std::vector<uint8_t>& flags, const TStringList* sources)
    : Unit(unit), Backup(backup), Sources(sources), HasSources(sources != nullptr) {
  for (size_t place = 0; place < unit.Stamps.size(); ++place) {
    if (!flags[place]) continue;
    TRow& row = Rows.emplace_back(TRow{place, {}});
    bool changes = false;
    for (size_t time = 0; time < 3; ++time) {
      row.Changes[time] =
          Writes(unit.Options, time) && !SameTime(Time(backup.Stamps[place], cCreation + time),
                                                  Time(unit.Stamps[place], cCreation + time));
      changes = changes || row.Changes[time];
    }
    Changing += changes;
  }
}

std::string TWritePreview::ColumnName(size_t column) { return ColumnNames[column]; }

const FILETIME& TWritePreview::Time(const TStamp& stamp, size_t column) const {
  return column == cCreation ? stamp.CRTime : column == cLastWrite ? stamp.LWTime : stamp.LATime;
}

std::string TWritePreview::Cell(size_t row, size_t column) const {
  const TRow& at = Rows[row];
  if (column == cPath) return Unit.Stamps[at.Place].Path;
  if (column == cSource) return HasSources ? (*Sources)[at.Place] : std::string();
  if (!at.Changes[column - cCreation]) return std::string();
  return TimeText(Time(Backup.Stamps[at.Place], column)) + " -> " +
         TimeText(Time(Unit.Stamps[at.Place], column));
}

std::string TWritePreview::Summary() const {
  return GroupDigits(std::to_string(Rows.size())) +
         " item(s) to write: " + GroupDigits(std::to_string(Changing)) + " change, " +
         GroupDigits(std::to_string(Rows.size() - Changing)) + " stay as they are";
}

// A time column sorts by the new time of the rows that change it, after those that do not.
bool TWritePreview::Less(const TRow& a, const TRow& b, size_t column) const {
  if (column == cPath) return Unit.Stamps[a.Place].Path < Unit.Stamps[b.Place].Path;
  if (column == cSource) return (*Sources)[a.Place] < (*Sources)[b.Place];
  const size_t time = column - cCreation;
  if (a.Changes[time] != b.Changes[time]) return b.Changes[time];
  return FileTimeValue(Time(Unit.Stamps[a.Place], column)) <
         FileTimeValue(Time(Unit.Stamps[b.Place], column));
}

void TWritePreview::SortBy(size_t column, bool ascending) {
  if (column >= ColumnCount()) return;
  std::sort(Rows.begin(), Rows.end(), [&](const TRow& a, const TRow& b) {
    if (Less(a, b, column)) return ascending;
    if (Less(b, a, column)) return !ascending;
    return a.Place < b.Place;
  });
}
