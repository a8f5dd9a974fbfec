#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/WinConst.h"
#include "platform/posix/MountedVolume.h"

namespace {

constexpr int64_t unixEpochIn1601 = 11644473600;  // seconds from 1601-01-01 to 1970-01-01
constexpr int64_t ticksPerSecond = 10000000;      // 100 ns units
constexpr int64_t nanosecondsPerTick = 100;

// A time before 1601, or too late for 64 bits, has no file time: it reads as zero (invalid).
FILETIME ToFileTime(int64_t seconds, int64_t nanoseconds) {
  if (seconds < -unixEpochIn1601 || seconds > INT64_MAX / ticksPerSecond - unixEpochIn1601) {
    return MakeFileTime(0);
  }
  uint64_t ticks = uint64_t(seconds + unixEpochIn1601) * ticksPerSecond;
  return MakeFileTime(ticks + uint64_t(nanoseconds / nanosecondsPerTick));
}

timespec ToTimespec(const FILETIME& time) {
  uint64_t ticks = FileTimeValue(time);
  timespec converted{};
  converted.tv_sec = time_t(int64_t(ticks / ticksPerSecond) - unixEpochIn1601);
  converted.tv_nsec = long(ticks % ticksPerSecond) * nanosecondsPerTick;
  return converted;
}

bool IsHiddenName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  return start < path.size() && path[start] == '.';
}

bool LeadsToFolder(const std::string& path) {
  struct stat target;
  return stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

// What the Windows attributes would say about an item of this mode and path. A link to a folder is
// a directory too, so that the walk descends it as it does a linked folder on Windows.
uint32_t AttributesOf(const std::string& path, mode_t mode, bool knowsWriteBit) {
  uint32_t attributes = 0;
  if (S_ISDIR(mode)) attributes |= faDirectory;
  if (S_ISLNK(mode)) attributes |= faReparsePoint | (LeadsToFolder(path) ? faDirectory : 0);
  if (IsHiddenName(path)) attributes |= faHidden;
  if (knowsWriteBit && !S_ISLNK(mode) && !(mode & S_IWUSR)) attributes |= faReadOnly;
  return attributes ? attributes : faNormal;
}

bool ReadEntryWithStatx(const std::string& path, TFileEntry& entry) {
  struct statx info;
  if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) !=
      0) {
    return false;
  }
  entry.Attributes = AttributesOf(path, info.stx_mode, true);
  entry.CreationTime = (info.stx_mask & STATX_BTIME)
                           ? ToFileTime(info.stx_btime.tv_sec, info.stx_btime.tv_nsec)
                           : MakeFileTime(0);
  entry.LastAccessTime = ToFileTime(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
  entry.LastWriteTime = ToFileTime(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
  entry.Id = {uint64_t(makedev(info.stx_dev_major, info.stx_dev_minor)), info.stx_ino, true};
  return true;
}

bool ReadEntryWithLstat(const std::string& path, TFileEntry& entry) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return false;
  entry.Attributes = AttributesOf(path, info.st_mode, true);
  entry.CreationTime = MakeFileTime(0);
  entry.LastAccessTime = ToFileTime(info.st_atim.tv_sec, info.st_atim.tv_nsec);
  entry.LastWriteTime = ToFileTime(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
  entry.Id = {uint64_t(info.st_dev), uint64_t(info.st_ino), true};
  return true;
}

// The listing knows folders from d_type alone; only links and file systems without d_type cost a
// stat, and only they need the entry's full path. The write bit is not looked at: nothing that
// lists needs it.
uint32_t ListedAttributes(const std::string& folder, const dirent& entry) {
  const bool hidden = entry.d_name[0] == '.';
  switch (entry.d_type) {
    case DT_DIR:
      return faDirectory | (hidden ? faHidden : 0);
    case DT_LNK:
      return AttributesOf(folder + "/" + entry.d_name, S_IFLNK, false);
    case DT_UNKNOWN: {
      const std::string path = folder + "/" + entry.d_name;
      struct stat info;
      return lstat(path.c_str(), &info) == 0 ? AttributesOf(path, info.st_mode, false)
                                             : AttributesOf(path, S_IFREG, false);
    }
    default:
      return hidden ? faHidden : faNormal;
  }
}

struct TDirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// "/a//b/./c/../d/" gives "/a/b/d": the names as written, links left unresolved.
std::string LexicallyNormal(const std::string& absolute) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= absolute.size()) {
    size_t end = absolute.find('/', start);
    if (end == std::string::npos) end = absolute.size();
    std::string name = absolute.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& name : names) result += "/" + name;
  return result.empty() ? "/" : result;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The first position from `from` on, below `end`, where the two texts differ; `end` when none.
// Most paths of a list share a long start, which is passed a word at a time.
size_t EqualBytesFrom(const std::string& a, const std::string& b, size_t from, size_t end) {
  size_t i = from;
  for (; i + sizeof(uint64_t) <= end; i += sizeof(uint64_t)) {
    uint64_t x, y;
    std::memcpy(&x, a.data() + i, sizeof x);
    std::memcpy(&y, b.data() + i, sizeof y);
    if (x != y) break;
  }
  while (i < end && a[i] == b[i]) ++i;
  return i;
}

class TPosixFileSystem : public TFileSystem {
 public:
  // Linux names may hold '*' and '?', so here they are names like any other.
  bool FindEntry(const std::string& path, TFileEntry& entry) override {
    if (ReadEntryWithStatx(path, entry)) return true;
    return errno == ENOSYS && ReadEntryWithLstat(path, entry);
  }

  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override {
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.c_str()));
    if (!dir) return false;
    TListedEntry listed;
    while (const dirent* entry = readdir(dir.get())) {
      listed.Name = entry->d_name;
      listed.Entry.Attributes = ListedAttributes(folder, *entry);
      if (!visit(listed)) break;
    }
    return true;
  }

  // readdir gives no times, and a stat per entry would make every listing cost a read of each item.
  bool ListingHasTimes() const override { return false; }

  // A bind mount can show a folder again below itself without any link, so a walk asks every
  // folder's identity here (OnlyLinksLeadBack stays false on every volume).
  bool FolderId(const std::string& path, TFolderId& id) override {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    id.Volume = uint64_t(info.st_dev);
    id.Index = uint64_t(info.st_ino);
    return true;
  }

  uint32_t GetAttributes(const std::string& path) override {
    TFileEntry entry;
    return FindEntry(path, entry) ? entry.Attributes : faInvalid;
  }

  // Only read-only has a POSIX form, the owner's write bit. A link's own mode means nothing, so
  // a link is left as it is.
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return false;
    if (S_ISLNK(info.st_mode)) return true;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & faReadOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return chmod(path.c_str(), mode) == 0;
  }

  TWriteTimesResult WriteTimes(const std::string& path, TItemKind kind, const FILETIME* creation,
                               const FILETIME* lastAccess, const FILETIME* lastWrite) override {
    TSeenItem seen;
    return WriteTimesChecked(path, kind, nullptr, seen, creation, lastAccess, lastWrite);
  }

  // Linux cannot set a birth time, so asking for one fails before anything is written; anything
  // else would leave a change that the caller believes undone. No handle is held across the two
  // calls: what is seen comes from a statx of the path just before the write.
  TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind, const TWriteCheck& check,
                                      TSeenItem& seen, const FILETIME* creation,
                                      const FILETIME* lastAccess,
                                      const FILETIME* lastWrite) override {
    seen = {};
    if (creation) return TWriteTimesResult::SetFailed;
    seen.Known = FindEntry(path, seen.Entry);
    if (check && !check(seen)) return TWriteTimesResult::Declined;
    timespec times[2];
    times[0] = lastAccess ? ToTimespec(*lastAccess) : timespec{0, UTIME_OMIT};
    times[1] = lastWrite ? ToTimespec(*lastWrite) : timespec{0, UTIME_OMIT};
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0)
      return TWriteTimesResult::Written;
    return RefusedAccess(errno) ? TWriteTimesResult::NoWriteAccess : TWriteTimesResult::SetFailed;
  }

  // statx of the item itself, as the read for the backup: the kernel answers from the inode,
  // which is what the file system kept.
  bool ReadBackTimes(const std::string& path, TItemKind, TFileEntry& entry) override {
    return FindEntry(path, entry);
  }

  bool VolumeOf(const std::string& path, TItemKind, TVolumeInfo& volume) override {
    return MountedVolume(path, volume);
  }

  std::string NormalizePath(const std::string& path) override {
    if (path.empty()) return path;
    if (path[0] == '/') return LexicallyNormal(path);
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return LexicallyNormal(std::string(cwd) + "/" + path);
  }

  // Linux file names are case-sensitive: the path itself names the item.
  std::string ItemKey(const std::string& path) override { return path; }

  // Case folded first; the zero byte, which no path holds, ends the folded part, so that a path
  // that is a prefix of another comes first and only equal folded paths reach the raw bytes.
  std::string OrderKey(const std::string& path) override {
    std::string key;
    key.reserve(2 * path.size() + 1);
    for (char c : path) key += FoldCase(c);
    key += '\0';
    key += path;
    return key;
  }

  // Comparing two paths is a byte loop here, cheaper than a key per path and the memory it holds.
  int ComparePaths(const std::string& a, const std::string& b) override {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = EqualBytesFrom(a, b, 0, common); i < common;
         i = EqualBytesFrom(a, b, i + 1, common)) {
      const auto x = static_cast<unsigned char>(FoldCase(a[i]));
      const auto y = static_cast<unsigned char>(FoldCase(b[i]));
      if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
  }

  bool SameItem(const std::string& a, const std::string& b) override { return a == b; }

  bool SortsByKey() const override { return false; }

  char Separator() const override { return '/'; }

 private:
  // As on Windows, where an opening for attributes alone is granted whatever the read-only
  // attribute says, setting the times is the owner's right, not a matter of write permission; a
  // refusal, an item gone or a read-only mount is no access, anything else a failed set.
  static bool RefusedAccess(int error) {
    return error == EPERM || error == EACCES || error == ENOENT || error == ENOTDIR ||
           error == EROFS;
  }
};

}  // namespace

TFileSystem& PlatformFileSystem() {
  static TPosixFileSystem fileSystem;
  return fileSystem;
}
