#pragma once

#include "data/Tstamp.h"
#include "engine/Tstamper.h"

struct TEngineRun {
  int ItemCount = 0;
  int SucceededCount = 0;
  bool Canceled = false;
  double LongestStepMs = 0;  // the longest single step the worker ran on the main thread
};

// Runs one operation to its end, playing the main thread: every message box is answered OK, and
// each step the worker queues is timed. With a journal, a writing operation keeps its way back there.
TEngineRun RunOperation(TOperationKind kind, const TStringList* paths, TStampHolder& holder,
                        TStampHistory& history, TStampOptions options, bool syncByName = false,
                        TJournal* journal = nullptr, bool ignoreExtensions = false);
