#pragma once

#include "engine/Tstamperbase.h"

// The base class's building blocks, called directly on the test's own thread; never started, so
// the test owns and deletes it.
class TTestStamper : public TStamperBase {
 public:
  TTestStamper() { FreeOnTerminate = false; }

 protected:
  void Execute() override {}
};
