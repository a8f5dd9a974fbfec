#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "data/HistoryRecord.h"
#include "platform/DurableFile.h"

// The Undo/Redo history kept on the disk across runs: two files, written in turn, so that a save
// cut short leaves the other one whole; a file that is torn or corrupt is ignored. The files are
// held and locked while the store is open, so a second window cannot write over them.
class THistoryStore {
 public:
  // The bound of the history on the disk; the Help page states it.
  static constexpr size_t maxBytes = size_t(64) << 20;

  // Takes the files in the first of the folders where they can be made; false when none can, or
  // another process holds them.
  bool Open(const std::vector<std::string>& folders, char separator);
  bool IsOpen() const { return FFiles[0].IsOpen(); }
  // After an Open that failed: whether another process holds the files.
  bool HeldElsewhere() const { return FHeldElsewhere; }
  // The newer of the two sound snapshots; an empty history when there is none.
  TKeptHistory Load();
  // Empty, both files are emptied: nothing of a cleared history stays on the disk.
  bool Save(std::span<const TStampUnit* const> units, int position);
  // Closes the files and deletes them.
  void Remove();
  void Close();

  void SetMaxBytes(size_t bytes) { FMaxBytes = bytes; }

 private:
  std::array<TDurableFile, 2> FFiles;
  // The file the next save goes to, and the sequence it gets.
  size_t FNext = 0;
  uint64_t FSequence = 1;
  size_t FMaxBytes = maxBytes;
  bool FHeldElsewhere = false;
};

// The names of the two files, in every folder the store looks in.
extern const char* const historyFileNames[2];
