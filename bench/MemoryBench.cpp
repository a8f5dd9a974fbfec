// Peak resident memory for 100,000 held items and one history entry of as many items: a Get of a
// tree of 100,000 files in 1,000 folders, then a Set of the same tree, compared with the budget of
// 2.5 times the bytes of the paths plus 64 bytes per item.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "BenchTree.h"
#include "EngineRun.h"

namespace {

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main() {
  TBenchTree tree(1000, 100);
  const TStringList dropped{tree.Root()};
  const double before = ResidentMiB();

  TStampHolder holder;
  TStampHistory history;
  RunOperation(okGet, &dropped, holder, history, TStampOptions());
  TStampOptions write;
  write.CRTime = false;  // Linux cannot set a creation time
  const TEngineRun set = RunOperation(okSet, &dropped, holder, history, write);

  double pathBytes = 0;
  for (const TStamp& stamp : holder.Stamps()) pathBytes += double(stamp.Path.size());
  const double items = double(holder.Count());
  const double budget = 2.5 * (pathBytes + 64.0 * items) / (1024.0 * 1024.0);
  const double peak = PeakResidentMiB() - before;
  std::printf("items held: %.0f, history entry: %d items\n", items,
              history.CanUndo() ? int(history.UndoUnit().Stamps.size()) : 0);
  std::printf("path bytes: %.1f MiB (%.1f bytes a path)\n", pathBytes / 1048576.0, pathBytes / items);
  std::printf("peak resident growth: %.1f MiB; budget: %.1f MiB; ratio %.2f\n", peak, budget,
              peak / budget);
  std::printf("resident after: %.1f MiB above the start\n", ResidentMiB() - before);
  return set.SucceededCount == int(items) ? 0 : 1;
}
