#pragma once

#include <atomic>
#include <cstdint>

// Collecting counts the items found so far; its total is unknown until it ends.
enum class TStampPhase : uint8_t { None, Reading, Writing, Collecting };

// How far a phase of a running operation is, as the main thread sees it at one moment.
struct TProgressSnapshot {
  TStampPhase Phase = TStampPhase::None;
  int Done = 0;
  int Total = 0;
  bool Failed = false;
};

// Written by the worker item by item, read by the main thread whenever it likes. Only the worker
// writes, so plain relaxed stores suffice: a reader may see a count some items old, never a torn
// one, and the worker never waits for it.
class TStampProgress {
 public:
  void Begin(TStampPhase phase, int total) {
    Done.store(0, std::memory_order_relaxed);
    Total.store(total, std::memory_order_relaxed);
    Phase.store(phase, std::memory_order_relaxed);
  }
  void Advance(int items = 1) {
    Done.store(Done.load(std::memory_order_relaxed) + items, std::memory_order_relaxed);
  }
  // An item has failed: the run will end with an error log.
  void SetFailed() { Failed.store(true, std::memory_order_relaxed); }

  TProgressSnapshot Snapshot() const {
    return {Phase.load(std::memory_order_relaxed), Done.load(std::memory_order_relaxed),
            Total.load(std::memory_order_relaxed), Failed.load(std::memory_order_relaxed)};
  }

 private:
  std::atomic<TStampPhase> Phase{TStampPhase::None};
  std::atomic<int> Done{0};
  std::atomic<int> Total{0};
  std::atomic<bool> Failed{false};
};
