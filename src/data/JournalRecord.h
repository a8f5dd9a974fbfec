#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/RecordFraming.h"
#include "data/Tstamp.h"

// The records of the journal that keeps a writing operation's way back on the disk: its start
// (what every item held before, and what it is to get), the items written so far, in batches,
// and its end. Each record carries its length and a CRC-32 of its bytes, so that a torn or
// corrupt tail is never taken for a record.

// The start of a writing operation, flushed before its first write.
struct TJournalBegin {
  int Kind = 0;  // the operation's kind, as the engine numbers it
  TStampOptions Options;
  uint64_t Started = 0;              // file time, UTC
  bool Forward = true;               // the order of writing: first to last, or last to first
  TStamps Backup;                    // each item's path and the times it held before
  std::vector<uint32_t> Attributes;  // each item's attributes before
  // The times each item is to get, paths left out; one stamp when every item gets the same.
  TStamps Target;
};

// Items the write has passed, by their place in the start's list, whether it wrote each, and what
// it saw of each just before: its times and its identity.
struct TJournalWritten {
  std::vector<uint32_t> Places;
  std::vector<uint8_t> Wrote;
  TStamps Seen;
};

// What a journal tells of its last operation.
struct TJournalState {
  bool HasOperation = false;
  TJournalBegin Begin;
  std::vector<uint8_t> Written;  // one per item: 1 once a batch said it was written
  std::vector<uint8_t> Passed;   // one per item: 1 once a batch said the write passed it
  TStamps Seen;                  // one per item, where Written is 1
  bool Ended = false;
  int WrittenCount() const;
  // The times an item is to get, one stamp for all or one each.
  const TStamp& TargetOf(size_t place) const;
};

std::string JournalHeader();
std::string EncodeBegin(const TJournalBegin& begin);
// The same bytes in pieces of about pieceSize bytes, so that a start of a million items is never
// held whole; false once take refuses a piece.
bool EncodeBegin(const TJournalBegin& begin, size_t pieceSize,
                 const std::function<bool(const std::string&)>& take);
// The same with the two lists given apart from the start's other fields (its own are not read):
// a write's lists are written where they are held, not copied into the record.
bool EncodeBegin(const TJournalBegin& head, const TStamps& backup, const TStamps& target,
                 size_t pieceSize, const std::function<bool(const std::string&)>& take);
std::string EncodeWritten(const TJournalWritten& written);
std::string EncodeEnd();

// Reads the records after the header up to the first that is torn, fails its check or does not fit
// the operation it follows; a journal without the header holds nothing.
TJournalState ParseJournal(const std::string& bytes);
