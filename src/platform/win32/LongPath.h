#pragma once

#include <string>

// The UTF-16 form of a UTF-8 path for the wide calls. A full path comes with the "\\?\" (or
// "\\?\UNC\") prefix, so that it is reached whatever its length and names ending in a dot or a
// space are taken as they are; a path that is not in its final form yet (relative, or with "/",
// "." or "..") is first made full by the system. The prefix never leaves the backend.
std::wstring LongPath(const std::string& path);
