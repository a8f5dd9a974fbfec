#include "support/WorkerStops.h"

#include <chrono>

#include "platform/Thread.h"

void TWorkerStops::Hold(TFakeFileSystem& fs, std::vector<TStop> stops) {
  {
    std::lock_guard lock(Mutex);
    Stops = std::move(stops);
    Next = 0;
  }
  fs.OnCall = [this](TPrimitive primitive, const std::string& path) {
    std::unique_lock lock(Mutex);
    if (Next >= Stops.size() || Stops[Next].Path != path) return;
    if (Stops[Next].Primitive && Stops[Next].Primitive != primitive) return;
    Held = true;
    Changed.wait(lock, [this] { return !Held; });
  };
}

void TWorkerStops::WaitHeld() {
  const auto held = [this] {
    std::lock_guard lock(Mutex);
    return Held;
  };
  while (!held()) MainThreadQueue().WaitAndProcess(std::chrono::milliseconds(10));
}

void TWorkerStops::Advance(bool toTheEnd) {
  {
    std::lock_guard lock(Mutex);
    Held = false;
    Next = toTheEnd ? Stops.size() : Next + 1;
  }
  Changed.notify_all();
}
