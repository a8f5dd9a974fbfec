#include "Baselines.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace {

void Walk(const std::string& folder, const std::function<void(const std::string&)>& visit) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    const std::string path = folder + "/" + name;
    visit(path);
    if (entry->d_type == DT_DIR) Walk(path, visit);
  }
  closedir(dir);
}

void WalkWithRoot(const std::string& root, const std::function<void(const std::string&)>& visit) {
  visit(root);
  Walk(root, visit);
}

bool ReadEntry(const std::string& path) {
  struct statx info;
  return statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
               &info) == 0;
}

}  // namespace

int BareWalk(const std::string& root) {
  int read = 0;
  WalkWithRoot(root, [&](const std::string& path) { read += ReadEntry(path); });
  return read;
}

std::vector<std::string> BareListingAndSort(const std::string& root) {
  std::vector<std::string> paths;
  WalkWithRoot(root, [&](const std::string& path) { paths.push_back(path); });
  std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  return paths;
}

int BareSetLoop(const std::string& root, long long seconds) {
  int written = 0;
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  WalkWithRoot(root, [&](const std::string& path) {
    if (!ReadEntry(path)) return;
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return;
    written += utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
  });
  return written;
}

void FindTouch(const std::string& root, const std::string& reference) {
  const std::string command = "find '" + root + "' -exec touch -r '" + reference + "' {} +";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("find -exec touch failed");
}

std::vector<std::string> BareReadAndSort(const std::string& root) {
  std::vector<std::string> paths;
  WalkWithRoot(root, [&](const std::string& path) {
    if (ReadEntry(path)) paths.push_back(path);
  });
  std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  return paths;
}

int BareWriteLoop(const std::vector<std::string>& paths, long long seconds) {
  int written = 0;
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  for (const std::string& path : paths) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) continue;
    written += utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
  }
  return written;
}

int BareReadBackLoop(const std::vector<std::string>& paths) {
  int read = 0;
  struct statx info;
  for (const std::string& path : paths)
    read += statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &info) == 0;
  return read;
}
