#include "platform/DurableFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

TDurableFile::~TDurableFile() { Close(); }

// An advisory lock, which the kernel lets go when the process ends, however it ends.
bool TDurableFile::Open(const std::string& path) {
  Close();
  const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (file < 0) return false;
  if (flock(file, LOCK_EX | LOCK_NB) != 0) {
    close(file);
    return false;
  }
  FHandle = file;
  FPath = path;
  return true;
}

bool TDurableFile::Append(const std::string& bytes) {
  if (!IsOpen() || lseek(int(FHandle), 0, SEEK_END) < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(int(FHandle), bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += size_t(written);
  }
  return true;
}

bool TDurableFile::Flush() { return IsOpen() && fsync(int(FHandle)) == 0; }

bool TDurableFile::ReadAll(std::string& bytes) {
  bytes.clear();
  struct stat info;
  if (!IsOpen() || fstat(int(FHandle), &info) != 0) return false;
  bytes.resize(size_t(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t read = pread(int(FHandle), bytes.data() + done, bytes.size() - done, off_t(done));
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) return false;
    done += size_t(read);
  }
  return true;
}

bool TDurableFile::Clear() { return IsOpen() && ftruncate(int(FHandle), 0) == 0 && Flush(); }

void TDurableFile::Close() {
  if (!IsOpen()) return;
  close(int(FHandle));
  FHandle = invalidHandle;
}

// Deleted while still locked, so that no other process takes it up in between.
bool TDurableFile::Remove() {
  if (!IsOpen()) return false;
  const bool removed = unlink(FPath.c_str()) == 0;
  Close();
  return removed;
}

std::string LocalStateFolder() {
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
    base = state;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = std::string(home) + "/.local";
    mkdir(base.c_str(), 0700);
    base += "/state";
  } else {
    return {};
  }
  mkdir(base.c_str(), 0700);
  const std::string folder = base + "/brevantor";
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return folder;
}
