#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/JournalRecord.h"
#include "data/Tstamp.h"
#include "platform/DurableFile.h"

// A journal whose process is gone and whose last operation did not end, held locked from here on.
struct TStoppedRun {
  std::unique_ptr<TDurableFile> File;
  TJournalState State;
};

// The stopped runs in the journals of these folders that no living process holds. A journal whose
// last operation ended, or which holds none, is removed.
std::vector<TStoppedRun> FindStoppedRuns(const std::vector<std::string>& folders);

// How many items the run may have written: those its batches name, and a batch more.
int MayHaveWritten(const TJournalState& state);

// What puts back a stopped run: for each item it wrote, the times it held just before, and its
// identity where the write saw one; for each item of the batch that was not flushed, the same,
// where the item's times show that it was written. Items the run never reached are not in it.
// Attributes: what each item of the unit held before the run.
struct TRestoreWork {
  TStampUnit Unit;
  std::vector<uint32_t> Attributes;
};
TRestoreWork RestoreWork(const TJournalState& state);
