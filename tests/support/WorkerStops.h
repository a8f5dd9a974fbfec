#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeFileSystem.h"

// Holds the worker at each of the given calls of the fake file system in turn (at any call for
// the path where no primitive is named) until the test lets it go on.
class TWorkerStops {
 public:
  struct TStop {
    std::optional<TPrimitive> Primitive;
    std::string Path;
  };

  ~TWorkerStops() { GoOnToTheEnd(); }

  void Hold(TFakeFileSystem& fs, std::vector<TStop> stops);
  // Runs the main thread's side meanwhile: the worker asks it for the Get data first.
  void WaitHeld();
  void GoOn() { Advance(false); }
  void GoOnToTheEnd() { Advance(true); }

 private:
  void Advance(bool toTheEnd);

  std::vector<TStop> Stops;
  std::mutex Mutex;
  std::condition_variable Changed;
  size_t Next = 0;
  bool Held = false;
};
