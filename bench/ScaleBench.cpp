// Get, Set and Undo of 100,000 files in 1,000 folders, each timed side by side with the file
// system's own floor in the same run, and reported as ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "BenchBase.h"
#include "BenchTree.h"
#include "Baselines.h"
#include "EngineRun.h"

namespace {

using Clock = std::chrono::steady_clock;

TBenchTree& Tree() {
  static TBenchTree tree(1000, 100);
  return tree;
}

template <typename F>
double Seconds(F&& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Linux cannot set a creation time, so the writing figures write the other two.
TStampOptions WriteOptions() {
  TStampOptions options;
  options.CRTime = false;
  return options;
}

void BM_Expand100k(benchmark::State& state) {
  const TStringList dropped{Tree().Root()};
  double engine = 0, floor = 0;
  size_t items = 0;
  for (auto _ : state) {
    floor += Seconds([&] { benchmark::DoNotOptimize(BareListingAndSort(Tree().Root())); });
    TStringList list = dropped;
    TBenchBase base;
    const double seconds = Seconds([&] { base.ExpandItems(list, TStampOptions()); });
    items = list.size();
    engine += seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["items"] = double(items);
  state.counters["ratio_vs_listing_and_sort"] = engine / floor;
}

void BM_Get100k(benchmark::State& state) {
  const TStringList dropped{Tree().Root()};
  double engine = 0, floor = 0, longestStep = 0;
  TEngineRun run;
  for (auto _ : state) {
    floor += Seconds([&] { benchmark::DoNotOptimize(BareWalk(Tree().Root())); });
    TStampHolder holder;
    TStampHistory history;
    const double seconds = Seconds(
        [&] { run = RunOperation(okGet, &dropped, holder, history, TStampOptions()); });
    engine += seconds;
    longestStep = std::max(longestStep, run.LongestStepMs);
    state.SetIterationTime(seconds);
  }
  state.counters["items"] = run.SucceededCount;
  state.counters["ratio_vs_bare_walk"] = engine / floor;
  state.counters["longest_main_thread_step_ms"] = longestStep;
}

// One Get of the reference file gives the times; then Set, Undo, the bare loop and find+touch
// each write the same tree.
void BM_SetUndo100k(benchmark::State& state) {
  const TStringList reference{Tree().Reference()};
  const TStringList dropped{Tree().Root()};
  TStampHolder holder;
  TStampHistory history;
  RunOperation(okGet, &reference, holder, history, TStampOptions());
  double set = 0, undo = 0, floor = 0, findTouch = 0, longestStep = 0;
  TEngineRun run;
  long long stamp = 1600000000;
  for (auto _ : state) {
    floor += Seconds([&] { benchmark::DoNotOptimize(BareSetLoop(Tree().Root(), ++stamp)); });
    findTouch += Seconds([&] { FindTouch(Tree().Root(), Tree().Reference()); });
    const double seconds =
        Seconds([&] { run = RunOperation(okSet, &dropped, holder, history, WriteOptions()); });
    longestStep = std::max(longestStep, run.LongestStepMs);
    set += seconds;
    undo += Seconds([&] { run = RunOperation(okUndo, nullptr, holder, history, WriteOptions()); });
    longestStep = std::max(longestStep, run.LongestStepMs);
    state.SetIterationTime(seconds);
  }
  state.counters["items"] = run.SucceededCount;
  state.counters["set_ratio_vs_bare_loop"] = set / floor;
  state.counters["set_ratio_vs_find_touch"] = set / findTouch;
  state.counters["undo_ratio_vs_set"] = undo / set;
  state.counters["longest_main_thread_step_ms"] = longestStep;
}

}  // namespace

BENCHMARK(BM_Expand100k)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Get100k)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetUndo100k)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
