#pragma once

// The process's memory as the system counts it, in MiB: what it holds now (resident set, working
// set) and the most it has held (its high-water mark), the platform's own share included.
double ResidentMiB();
double PeakResidentMiB();
