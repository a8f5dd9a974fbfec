#pragma once

#include <cstdint>
#include <string>

#include "data/Tstamp.h"

// A stamp with the given path and times, in 100 ns units.
inline TStamp MakeStamp(const std::string& path, uint64_t creation = 0, uint64_t lastWrite = 0,
                        uint64_t lastAccess = 0) {
  TStamp stamp;
  stamp.Path = path;
  stamp.CRTime = MakeFileTime(creation);
  stamp.LWTime = MakeFileTime(lastWrite);
  stamp.LATime = MakeFileTime(lastAccess);
  return stamp;
}
