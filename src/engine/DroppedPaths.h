#pragma once

#include <functional>
#include <vector>

#include "data/Common.h"
#include "platform/FileSystem.h"

// What the listing of its folder told of a dropped name.
struct TDroppedEntry {
  // The name is normal as it stands: TFileSystem::NormalizePath would give it back byte for byte.
  bool Normal = false;
  // Its entry, where the listing gave it whole.
  bool HasTimes = false;
  TFileEntry Entry{};
};

// One per dropped name, in order. A folder that several names lie in is normalised and listed
// once: a name whose folder is normal already and whose listing holds it byte for byte, as a
// plain name, is normal itself. The shell (on Windows) gives such a name back as it is, so
// normalising it there one by one would cost a round trip a name for nothing. Once stop says so,
// no more folders are listed.
std::vector<TDroppedEntry> ListDroppedNames(TFileSystem& fs, const TStringList& names,
                                            const std::function<bool()>& stop);
