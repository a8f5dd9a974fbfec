#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/JournalRecord.h"
#include "platform/DurableFile.h"

// The journal of this process: one file, held and locked from Open to Close, that keeps the way
// back of the writing operation under way on the disk. Each operation empties it and writes its
// start, flushed before its first write; the items written follow in batches, each flushed; its
// end follows the commit of its history entry. A normal Close leaves nothing on the disk. Used by
// one operation at a time.
class TJournal {
 public:
  // A batch is flushed once it holds this many items, or once the oldest waits this long. The
  // items of a batch not flushed are found again by their times (RestoreWork).
  static constexpr size_t batchItems = 4096;
  static constexpr std::chrono::milliseconds batchAge{500};
  // The start is written in pieces of this many bytes, never held whole.
  static constexpr size_t beginPiece = size_t(1) << 20;

  ~TJournal();

  // A new journal in the first of the folders where one can be made.
  bool Open(const std::vector<std::string>& folders, char separator);
  bool IsOpen() const { return FFile.IsOpen(); }
  const std::string& Path() const { return FPath; }

  // False when the start is not on the disk.
  bool Begin(const TJournalBegin& begin) { return Begin(begin, begin.Backup, begin.Target); }
  // The lists apart from the start's other fields, as a write holds them.
  bool Begin(const TJournalBegin& head, const TStamps& backup, const TStamps& target);
  // The write passed the item at this place, and wrote it or not.
  void Note(uint32_t place, bool wrote, const TStamp& seen);
  bool End();
  // Nothing of the journal is left, unless an operation is under way.
  void Close();

  // The user chose once to go on without a journal on the disk.
  bool GoesOnWithout() const { return FGoesOnWithout; }
  void SetGoesOnWithout() { FGoesOnWithout = true; }

 private:
  bool FlushBatch();

  TDurableFile FFile;
  std::string FPath;
  TJournalWritten FBatch;
  std::chrono::steady_clock::time_point FBatchStart;
  bool FWriting = false;
  bool FGoesOnWithout = false;
};

// The name every journal's file ends in.
extern const char* const journalSuffix;
