#pragma once

#include "engine/Tstamperbase.h"

// The engine's building blocks called directly on the benchmark's own thread.
class TBenchBase : public TStamperBase {
 protected:
  void Execute() override {}
};
