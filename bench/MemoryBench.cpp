// Peak memory for the items of one tree held as Get data, in one history entry after a Set, and
// again after its Undo, both journaled: FOLDERS folders of FILES files each (arguments; 1,000 of
// 100 unless given). Reported against the bytes of the paths themselves and against the budget of
// 2 times (the bytes of the paths plus 40 bytes an item); the figure that counts is the process's
// whole high-water mark, the platform's own share included.
#include <cstdio>
#include <cstdlib>

#include "BenchTree.h"
#include "EngineRun.h"
#include "ProcessMemory.h"

int main(int argc, char** argv) {
  const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int files = argc > 2 ? std::atoi(argv[2]) : 100;
  TBenchTree tree(folders, files);
  const TStringList dropped{tree.Root()};
  // The writes keep their way back in a journal beside the tree, as the program's do.
  const char separator = PlatformFileSystem().Separator();
  TJournal journal;
  if (!journal.Open({tree.Root().substr(0, tree.Root().find_last_of(separator))}, separator))
    return 1;
  const double start = ResidentMiB();

  const double mib = 1024.0 * 1024.0;
  TStampHolder holder;
  TStampHistory history;
  // The high-water mark after each stage tells which one holds the most at once; what is held
  // after it, how much of that the next stage starts with.
  const auto stage = [&](const char* name) {
    const double perItem = mib / double(holder.Count());
    std::printf("after the %s: peak %.0f, held %.0f bytes an item above the start\n", name,
                (PeakResidentMiB() - start) * perItem, (ResidentMiB() - start) * perItem);
  };
  RunOperation(okGet, &dropped, holder, history, TStampOptions());
  stage("Get");
  TStampOptions write;
#ifndef _WIN32
  write.CRTime = false;  // Linux cannot set a creation time
#endif
  const TEngineRun set = RunOperation(okSet, &dropped, holder, history, write, false, &journal);
  stage("Set");
  const TEngineRun undo = RunOperation(okUndo, nullptr, holder, history, write, false, &journal);
  stage("Undo");

  // Read before the paths are counted: the count unpacks the Get data.
  const double peak = PeakResidentMiB();
  double pathBytes = 0;
  for (const TStamp& stamp : holder.Stamps()) pathBytes += double(stamp.Path.size());
  const double items = double(holder.Count());
  const double budget = 2.0 * (pathBytes + 40.0 * items) / mib;
  std::printf("items held: %.0f, written by the Set: %d, by the Undo: %d\n", items,
              set.SucceededCount, undo.SucceededCount);
  std::printf("path bytes: %.1f MiB (%.1f bytes a path)\n", pathBytes / mib, pathBytes / items);
  std::printf("peak: %.1f MiB, of which %.1f MiB before the Get; %.0f bytes an item above it\n",
              peak, start, (peak - start) * mib / items);
  std::printf("budget 2 x (paths + 40 bytes an item): %.1f MiB; peak / budget %.2f\n", budget,
              peak / budget);
  return set.SucceededCount == int(items) && undo.SucceededCount == int(items) ? 0 : 1;
}
