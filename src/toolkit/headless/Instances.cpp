#include "toolkit/Instances.h"

#include <unistd.h>

#include <cstdio>
#include <string>

// Headless no other process has a window to take the work.
std::optional<THandOverAnswer> ForwardToRunningInstance(const std::vector<std::string>&) {
  return std::nullopt;
}

void PlatformTakeRequests(bool) {}

void TellCaller(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string FullPathOf(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  char folder[4096];
  if (!getcwd(folder, sizeof folder)) return path;
  return std::string(folder) + "/" + path;
}
