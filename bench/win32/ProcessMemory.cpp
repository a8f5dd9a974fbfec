#include "ProcessMemory.h"

#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

namespace {

PROCESS_MEMORY_COUNTERS Counters() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

}  // namespace

double ResidentMiB() { return double(Counters().WorkingSetSize) / (1024.0 * 1024.0); }

double PeakResidentMiB() { return double(Counters().PeakWorkingSetSize) / (1024.0 * 1024.0); }
