#pragma once

#include <string>
#include <vector>

// What the file system costs without the engine: the floors the engine's figures are divided by.

// Lists the tree recursively and reads every item's entry once (statx, links not followed).
int BareWalk(const std::string& root);

// Lists the tree recursively, collecting the paths, then sorts them once, case ignored.
std::vector<std::string> BareListingAndSort(const std::string& root);

// The calls a Set needs per item and no more: the walk, one entry read, the write-access check,
// one time write (last write and last access).
int BareSetLoop(const std::string& root, long long seconds);

// `find ROOT -exec touch -r REFERENCE {} +`: the common tool for the same change.
void FindTouch(const std::string& root, const std::string& reference);

// The floors of the ratio figures, on either platform.

// Walks the tree once, reading every item's times (where the listing gives none, with one read of
// the entry each), and collects the paths; then sorts them once, case ignored.
std::vector<std::string> BareReadAndSort(const std::string& root);

// The calls a write needs per item and no more, on paths already known; the last-write and
// last-access times become the given seconds since 1970.
int BareWriteLoop(const std::vector<std::string>& paths, long long seconds);

// What reading back a write costs and no more, on paths already known: per path, Windows opens the
// item afresh for its attributes, asks its basic information and closes it; Linux makes one statx.
int BareReadBackLoop(const std::vector<std::string>& paths);
