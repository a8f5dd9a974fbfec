// How expansion and reading grow with the number of items: 10,000 and 100,000 on a real tree,
// and up to 1,000,000 on the in-memory file system. Per-item cost should stay flat or grow with
// log n at most.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

#include "BenchBase.h"
#include "BenchTree.h"
#include "support/FakeFileSystem.h"

namespace {

constexpr int kFilesPerFolder = 100;

// Expansion of the dropped root, then the read of every item: a Get without its main-thread step.
int ExpandAndRead(const std::string& root) {
  TBenchBase base;
  TStringList list{root};
  base.ExpandItems(list, TStampOptions());
  TStamps stamps(list.size());
  for (size_t i = 0; i < list.size(); ++i) stamps[i].Path = std::move(list[i]);
  TStringList log;
  int folders = 0;
  return base.GetStamps(log, stamps, folders);
}

void Measure(benchmark::State& state, const std::string& root) {
  int items = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    items = ExpandAndRead(root);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.SetComplexityN(items);
  state.counters["items"] = items;
  state.counters["ns_per_item"] = seconds / double(state.iterations()) / items * 1e9;
}

std::unique_ptr<TFakeFileSystem> FakeTree(int files) {
  auto fake = std::make_unique<TFakeFileSystem>('/');
  fake->AddFolder("/tree");
  char name[64];
  for (int d = 0; d < files / kFilesPerFolder; ++d) {
    std::snprintf(name, sizeof name, "/tree/folder%05d", d);
    const std::string folder = name;
    fake->AddFolder(folder);
    for (int f = 0; f < kFilesPerFolder; ++f) {
      std::snprintf(name, sizeof name, "/photo_%05d.jpg", f);
      fake->AddFile(folder + name, faArchive, 1 + f, 2 + f, 3 + f);
    }
  }
  return fake;
}

void BM_ExpandRead_InMemory(benchmark::State& state) {
  const auto fake = FakeTree(int(state.range(0)));
  TFileSystemOverride guard(*fake);
  Measure(state, "/tree");
}

void BM_ExpandRead_RealTree(benchmark::State& state) {
  static std::map<int64_t, std::unique_ptr<TBenchTree>> trees;
  auto& tree = trees[state.range(0)];
  if (!tree) tree = std::make_unique<TBenchTree>(int(state.range(0) / kFilesPerFolder), kFilesPerFolder);
  Measure(state, tree->Root());
}

}  // namespace

BENCHMARK(BM_ExpandRead_InMemory)
    ->Arg(10000)->Arg(100000)->Arg(1000000)
    ->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExpandRead_RealTree)
    ->Arg(10000)->Arg(100000)
    ->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond)->Iterations(3);
