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
