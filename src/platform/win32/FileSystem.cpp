#include "platform/FileSystem.h"

#include <windows.h>

#include <string>

#include "platform/win32/ShellPath.h"

namespace {

bool IsValidHandle(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

int Sign(int value) { return (value > 0) - (value < 0); }

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), length);
  return wide;
}

// Letter case ignored the way the file system ignores it, and nothing else: unlike the locale's
// order, this never takes two different names for one.
int OrdinalIgnoringCase(const std::string& a, const std::string& b) {
  std::wstring wideA = Wide(a);
  std::wstring wideB = Wide(b);
  int result =
      CompareStringOrdinal(wideA.data(), int(wideA.size()), wideB.data(), int(wideB.size()), TRUE);
  return result == 0 ? Sign(a.compare(b)) : result - CSTR_EQUAL;
}

class TWin32FileSystem : public TFileSystem {
 public:
  // A wildcard would make FindFirstFileA return the entry of some other, matching item.
  bool FindEntry(const std::string& path, TFileEntry& entry) override {
    if (path.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (!IsValidHandle(search)) return false;
    FindClose(search);
    entry.Attributes = data.dwFileAttributes;
    entry.CreationTime = data.ftCreationTime;
    entry.LastAccessTime = data.ftLastAccessTime;
    entry.LastWriteTime = data.ftLastWriteTime;
    return true;
  }

  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (!IsValidHandle(search)) return false;
    while (visit(data.cFileName, data.dwFileAttributes) && FindNextFileA(search, &data)) {
    }
    FindClose(search);
    return true;
  }

  bool FolderId(const std::string& path, TFolderId& id) override {
    HANDLE item =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (!IsValidHandle(item)) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(item, &info);
    CloseHandle(item);
    if (!known) return false;
    id.Volume = info.dwVolumeSerialNumber;
    id.Index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
  }

  uint32_t GetAttributes(const std::string& path) override {
    return GetFileAttributesA(path.c_str());
  }

  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return SetFileAttributesA(path.c_str(), attributes);
  }

  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself: its target must not get the link's times.
  // A folder opens only with backup semantics, which a file must not get.
  TWriteTimesResult WriteTimes(const std::string& path, const FILETIME* creation,
                               const FILETIME* lastAccess, const FILETIME* lastWrite) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool isFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT |
                  (isFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    HANDLE item = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              flags, nullptr);
    if (!IsValidHandle(item)) return TWriteTimesResult::NoWriteAccess;
    bool written = SetFileTime(item, creation, lastAccess, lastWrite);
    CloseHandle(item);
    return written ? TWriteTimesResult::Written : TWriteTimesResult::SetFailed;
  }

  std::string NormalizePath(const std::string& path) override { return ShellPath(path); }

  // The locale's order alone would merge names that differ only in characters it ignores (a soft
  // hyphen, for one), so the ordinal comparison breaks its ties; and it decides first what is one
  // item, where a locale's case rules differ from the file system's (a Turkish i). The paths are in
  // the process's code page (UTF-8), not in the locale's, which CompareStringA assumes unless told.
  int ComparePaths(const std::string& a, const std::string& b) override {
    int ordinal = OrdinalIgnoringCase(a, b);
    if (ordinal == 0) return 0;
    int order = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | LOCALE_USE_CP_ACP, a.c_str(),
                               -1, b.c_str(), -1);
    if (order == CSTR_LESS_THAN) return -1;
    if (order == CSTR_GREATER_THAN) return 1;
    return ordinal;
  }

  bool SameItem(const std::string& a, const std::string& b) override {
    return OrdinalIgnoringCase(a, b) == 0;
  }

  char Separator() const override { return '\\'; }
};

}  // namespace

TFileSystem& PlatformFileSystem() {
  static TWin32FileSystem fileSystem;
  return fileSystem;
}
