#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/Common.h"
#include "data/Tstamp.h"

// What a writing operation is about to write, as the user sees it before the first write: every
// item it will write, its times now and the times it will get, and for a Sync its source.
class TWritePreview {
 public:
  enum TColumn : size_t { cPath, cCreation, cLastWrite, cLastAccess, cSource };

  // Backup and unit side by side, as the run holds them; only the items still flagged are
  // written, so only they are listed. Sources, when given, are one path per stamp.
  TWritePreview(const TStampUnit& unit, const TStampUnit& backup, const std::vector<uint8_t>& flags,
                const TStringList* sources);

  size_t RowCount() const { return Rows.size(); }
  size_t ColumnCount() const { return HasSources ? 5 : 4; }
  static std::string ColumnName(size_t column);
  // A time cell holds "present -> new" where the write changes it, and is empty where it stays.
  std::string Cell(size_t row, size_t column) const;
  // The line above the list: the items, how many of them change and how many stay as they are.
  std::string Summary() const;
  // Rows in the order of this column; equal rows in the run's order.
  void SortBy(size_t column, bool ascending);

 private:
  struct TRow {
    size_t Place;  // in the unit
    bool Changes[3];
  };
  const FILETIME& Time(const TStamp& stamp, size_t column) const;
  bool Less(const TRow& a, const TRow& b, size_t column) const;

  const TStampUnit& Unit;
  const TStampUnit& Backup;
  const TStringList* Sources;
  bool HasSources;
  std::vector<TRow> Rows;
  size_t Changing = 0;
};
