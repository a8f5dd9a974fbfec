#include <unistd.h>

#include <string>

#include "toolkit/Instances.h"

// Headless no other process has a window to take the work.
bool ForwardToRunningInstance(const std::vector<std::string>&) { return false; }

std::string FullPathOf(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  char folder[4096];
  if (!getcwd(folder, sizeof folder)) return path;
  return std::string(folder) + "/" + path;
}
