#pragma once

#include <functional>
#include <vector>

#include "data/Common.h"
#include "platform/FileSystem.h"

// A dropped name as the file system names it, with its entry where its folder's listing gave it
// whole (HasTimes).
struct TDroppedPath {
  std::string Path;
  bool HasTimes = false;
  TFileEntry Entry{};
};

// Every dropped name normalised, in order, each exactly as TFileSystem::NormalizePath gives it.
// A folder that several names lie in is normalised and listed once: a name whose folder is normal
// already and whose listing holds it byte for byte, as a plain name, is normal as it stands and
// comes with its entry. The rest are normalised one by one. Ends early, shorter, once stop says so.
std::vector<TDroppedPath> NormalizeDroppedPaths(TFileSystem& fs, const TStringList& names,
                                                const std::function<bool()>& stop);
