#include "support/TempTree.h"

#include <fstream>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/WideText.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace {

[[noreturn]] void Refused(const std::string& what, const std::string& path);

#ifdef _WIN32

constexpr char separator = '\\';

std::string LastError() { return "error " + std::to_string(GetLastError()); }

// Every path here is full and final, so the prefix reaches it at any length and with any name.
std::wstring Wide(const std::string& path) { return L"\\\\?\\" + Utf8ToWide(path); }

std::string SystemTempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) Refused("GetTempPathW", "");
  std::string folder = WideToUtf8(std::wstring(buffer, length));
  if (folder.ends_with('\\')) folder.pop_back();
  return folder;
}

// False when the name is taken.
bool MakeFolder(const std::string& path) {
  if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
  Refused("CreateDirectoryW", path);
}

void WriteContents(const std::string& path, const std::string& contents) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Refused("CreateFileW", path);
  DWORD written = 0;
  bool done = WriteFile(file, contents.data(), DWORD(contents.size()), &written, nullptr) &&
              written == contents.size();
  CloseHandle(file);
  if (!done) Refused("WriteFile", path);
}

// Links are removed as themselves; a read-only item loses the attribute first, or it would stay.
void RemoveTree(const std::string& path) {
  const std::wstring wide = Wide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(wide.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = WideToUtf8(data.cFileName);
        if (name != "." && name != "..") RemoveTree(path + "\\" + name);
      } while (FindNextFileW(search, &data));
      FindClose(search);
    }
  }
  RemoveDirectoryW(wide.c_str());
}

// Older systems know no unprivileged flag and refuse it as a bad parameter. Some emulated
// systems report success and make nothing, so the link has to be there afterwards.
bool MakeSymlink(const std::string& link, const std::string& target, bool toFolder) {
  DWORD kind = toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  const std::wstring wideLink = Wide(link), wideTarget = Utf8ToWide(target);
  bool made = CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(),
                                  kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
              CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), kind);
  DWORD attributes = GetFileAttributesW(wideLink.c_str());
  return made && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

HANDLE OpenItself(const std::string& path, DWORD access) {
  return CreateFileW(Wide(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

uint64_t Value(const FILETIME& time) {
  return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME Time(uint64_t value) { return FILETIME{DWORD(value), DWORD(value >> 32)}; }

TItemTimes ReadTimes(const std::string& path) {
  HANDLE item = OpenItself(path, FILE_READ_ATTRIBUTES);
  if (item == INVALID_HANDLE_VALUE) Refused("open for reading times", path);
  FILETIME creation, lastAccess, lastWrite;
  bool read = GetFileTime(item, &creation, &lastAccess, &lastWrite);
  CloseHandle(item);
  if (!read) Refused("GetFileTime", path);
  return TItemTimes{Value(creation), Value(lastAccess), Value(lastWrite)};
}

void WriteTimes(const std::string& path, const TItemTimes& times) {
  HANDLE item = OpenItself(path, FILE_WRITE_ATTRIBUTES);
  if (item == INVALID_HANDLE_VALUE) Refused("open for writing times", path);
  FILETIME creation = Time(times.Creation), lastAccess = Time(times.LastAccess),
           lastWrite = Time(times.LastWrite);
  bool written =
      SetFileTime(item, times.Creation ? &creation : nullptr,
                  times.LastAccess ? &lastAccess : nullptr, times.LastWrite ? &lastWrite : nullptr);
  CloseHandle(item);
  if (!written) Refused("SetFileTime", path);
}

void MakeReadOnly(const std::string& path, bool readOnly) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) Refused("GetFileAttributesW", path);
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                        : (attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (!SetFileAttributesW(Wide(path).c_str(), attributes)) Refused("SetFileAttributesW", path);
}

std::string ShortForm(const std::string& path) {
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetShortPathNameW(Utf8ToWide(path).c_str(), buffer.data(), DWORD(buffer.size()));
  return length && length < buffer.size() ? WideToUtf8(buffer.substr(0, length)) : path;
}

#else

constexpr char separator = '/';
constexpr int64_t unixEpochIn1601 = 11644473600;

std::string LastError() { return std::strerror(errno); }

std::string SystemTempFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string folder = (tmpdir && *tmpdir) ? tmpdir : "/tmp";
  while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
  return folder;
}

bool MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  if (errno == EEXIST) return false;
  Refused("mkdir", path);
}

// A folder without the owner's write or search bit would keep its entries, so those come first.
void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (!S_ISDIR(info.st_mode)) {
    unlink(path.c_str());
    return;
  }
  chmod(path.c_str(), 0700);
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") RemoveTree(path + "/" + name);
    }
    closedir(dir);
  }
  rmdir(path.c_str());
}

bool MakeSymlink(const std::string& link, const std::string& target, bool) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

void WriteContents(const std::string& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary);
  if (!file || !(file << contents) || (file.close(), !file)) Refused("writing a file", path);
}

uint64_t Value(int64_t seconds, int64_t nanoseconds) {
  return uint64_t(seconds + unixEpochIn1601) * 10000000 + uint64_t(nanoseconds / 100);
}

timespec ToTimespec(uint64_t value) {
  if (value == 0) return timespec{0, UTIME_OMIT};
  return timespec{time_t(int64_t(value / 10000000) - unixEpochIn1601),
                  long(value % 10000000) * 100};
}

TItemTimes ReadTimes(const std::string& path) {
  struct statx info;
  if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) !=
      0) {
    Refused("statx", path);
  }
  TItemTimes times;
  if (info.stx_mask & STATX_BTIME)
    times.Creation = Value(info.stx_btime.tv_sec, info.stx_btime.tv_nsec);
  times.LastAccess = Value(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
  times.LastWrite = Value(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
  return times;
}

void WriteTimes(const std::string& path, const TItemTimes& times) {
  timespec specs[2] = {ToTimespec(times.LastAccess), ToTimespec(times.LastWrite)};
  if (utimensat(AT_FDCWD, path.c_str(), specs, AT_SYMLINK_NOFOLLOW) != 0) {
    Refused("utimensat", path);
  }
}

void MakeReadOnly(const std::string& path, bool readOnly) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) Refused("stat", path);
  mode_t mode = info.st_mode & 07777;
  if (chmod(path.c_str(), readOnly ? (mode & ~0222) : (mode | S_IWUSR)) != 0) {
    Refused("chmod", path);
  }
}

std::string ShortForm(const std::string& path) { return path; }

#endif

void Refused(const std::string& what, const std::string& path) {
  throw std::runtime_error("temporary tree: " + what + " failed for \"" + path +
                           "\": " + LastError());
}

// A last-write time this far before the creation time shows whether the creation time follows it.
constexpr uint64_t earlierBy = 1000000000;

std::string UniqueName() {
  static std::mt19937_64 random{std::random_device{}()};
  char name[32];
  std::snprintf(name, sizeof name, "brevantor-%016llx", static_cast<unsigned long long>(random()));
  return name;
}

}  // namespace

TTempTree::TTempTree() : TTempTree(SystemTempFolder()) {}

TTempTree::TTempTree(const std::string& folder) {
  for (int attempt = 0; attempt < 100 && RootPath.empty(); ++attempt) {
    std::string candidate = folder + separator + UniqueName();
    if (MakeFolder(candidate)) RootPath = candidate;
  }
  if (RootPath.empty()) Refused("making a unique folder", folder);
}

TTempTree::~TTempTree() { RemoveTree(RootPath); }

char TTempTree::Separator() { return separator; }

std::string TTempTree::ShortPath(const std::string& path) { return ShortForm(path); }

std::string TTempTree::Path(const std::string& relative) const {
  return RootPath + separator + relative;
}

std::string TTempTree::AddFile(const std::string& relative, const std::string& contents) {
  std::string path = Path(relative);
  WriteContents(path, contents);
  return path;
}

std::string TTempTree::AddFolder(const std::string& relative) {
  std::string path = Path(relative);
  if (!MakeFolder(path)) Refused("making a folder (it exists)", path);
  return path;
}

std::string TTempTree::AddSymlink(const std::string& relative, const std::string& target,
                                  bool toFolder) {
  std::string path = Path(relative);
  return MakeSymlink(path, target, toFolder) ? path : std::string();
}

TItemTimes TTempTree::Times(const std::string& path) { return ReadTimes(path); }

void TTempTree::SetTimes(const std::string& path, const TItemTimes& times) {
  WriteTimes(path, times);
}

void TTempTree::SetReadOnly(const std::string& path, bool readOnly) {
  MakeReadOnly(path, readOnly);
}

bool TTempTree::KeepsCreationTime() {
  std::string probe = AddFile("creation-probe");
  uint64_t creation = Times(probe).Creation;
  bool kept = false;
  if (creation > earlierBy) {
    SetTimes(probe, {0, 0, creation - earlierBy});
    kept = Times(probe).Creation == creation;
  }
  RemoveTree(probe);
  return kept;
}
