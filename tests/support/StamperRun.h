#pragma once

#include <functional>
#include <string>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "engine/Tstamper.h"

// What the end event of a run could read.
struct TStamperResult {
  TStringList ErrorLog;
  int ItemCount = 0;
  int SucceededCount = 0;
  int RoundedCount = 0;
  bool Canceled = false;
  TOperationKind Kind = okGet;
};

// Runs the main thread's side (message boxes, holder and history steps, end events) until done()
// holds. Waits on the queue, never sleeps. A run that posts nothing for a minute is taken to hang
// and ends the test program: its thread would otherwise outlive what it borrows.
void PumpUntil(const std::function<bool()>& done);

// Runs one operation on a stamper of its own: prepare (if given) sees the stamper before it
// starts, to set hooks that need it (an end event it sets runs after the capture); then the main
// thread's side is pumped until the end event has run, and the call returns what that event saw
// once the stamper has freed itself, so that no worker outlives the test that started it.
using TStamperPrepare = std::function<void(TStamper& stamper)>;
TStamperResult RunStamper(TOperationKind kind, const TStringList* paths, TStampHolder& holder,
                          TStampHistory& history, TStampOptions options = {},
                          const TStamperPrepare& prepare = {});
