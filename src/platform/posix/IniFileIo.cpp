#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/IniFile.h"

namespace {

class TFd {
 public:
  explicit TFd(int fd) : Fd(fd) {}
  ~TFd() {
    if (Fd >= 0) close(Fd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return Fd; }
  bool Close() { return close(std::exchange(Fd, -1)) == 0; }

 private:
  int Fd;
};

bool ReadAll(int fd, std::string& contents) {
  char buffer[8192];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0 && errno != EINTR) return false;
    if (got > 0) contents.append(buffer, size_t(got));
  }
}

bool WriteAll(int fd, const std::string& contents) {
  size_t allowed = std::min(contents.size(), IniWriteLimit());
  size_t done = 0;
  while (done < allowed) {
    ssize_t put = write(fd, contents.data() + done, allowed - done);
    if (put < 0 && errno != EINTR) return false;
    if (put > 0) done += size_t(put);
  }
  return allowed == contents.size();
}

// A name of its own for each attempt, so that two processes saving at once never share one.
int CreateTempBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = path + "." + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; the file is already replaced, so a failure here changes nothing.
void SyncFolder(const std::string& path) {
  TFd folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) fsync(folder.Get());
}

// The owner is kept where this process may give it (root); the permissions always.
bool WriteTemp(int fd, const std::string& path, const std::string& contents) {
  struct stat old;
  if (stat(path.c_str(), &old) == 0) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) (void)fchown(fd, uid_t(-1), old.st_gid);
    if (fchmod(fd, old.st_mode & 07777) != 0) return false;
  }
  return WriteAll(fd, contents) && fsync(fd) == 0;
}

// The file a link at the path leads to, so that the link stays a link; the path itself where
// nothing is there yet.
std::string FinalPath(const std::string& path) {
  char final[PATH_MAX];
  return realpath(path.c_str(), final) ? std::string(final) : path;
}

bool SameFile(int fd, const std::string& path) {
  struct stat held, named;
  return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

void Pause() {
  timespec pause{0, 20'000'000};
  nanosleep(&pause, nullptr);
}

}  // namespace

TIniReadResult ReadIniFileContents(const std::string& path, std::string& contents) {
  contents.clear();
  // Non-blocking, so that a FIFO in the file's place cannot hang the program.
  TFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0)
    return errno == ENOENT || errno == ENOTDIR ? TIniReadResult::Missing : TIniReadResult::Failed;
  struct stat info;
  if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return TIniReadResult::Failed;
  return ReadAll(file.Get(), contents) ? TIniReadResult::Read : TIniReadResult::Failed;
}

bool ReplaceIniFileContents(const std::string& linkedPath, const std::string& contents) {
  const std::string path = FinalPath(linkedPath);
  std::string tempPath;
  TFd temp(CreateTempBeside(path, tempPath));
  if (temp.Get() < 0) return false;
  bool written = WriteTemp(temp.Get(), path, contents);
  written = temp.Close() && written;
  if (!written || rename(tempPath.c_str(), path.c_str()) != 0) {
    unlink(tempPath.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}

// A holder removes the lock file as it lets go, so a waiter may lock a file that is gone: it
// counts only when the file locked is still the one at the path.
TIniFileLock::TIniFileLock(const std::string& iniPath) : FPath(iniPath + ".lock") {
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = open(FPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (locked && SameFile(fd, FPath)) {
      FHandle = fd;
      return;
    }
    const bool busy = !locked && errno == EWOULDBLOCK;
    close(fd);
    if (!locked && !busy) return;
    if (busy) Pause();
  }
}

TIniFileLock::~TIniFileLock() {
  if (!Held()) return;
  unlink(FPath.c_str());
  close(int(FHandle));
}
