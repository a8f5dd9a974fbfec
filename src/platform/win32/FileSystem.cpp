#include "platform/FileSystem.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/LongPath.h"
#include "platform/win32/NativeFileView.h"
#include "platform/win32/ReadBack.h"
#include "platform/win32/ShellPath.h"
#include "platform/win32/WideText.h"

namespace {

bool IsValidHandle(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

struct TSearchCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
// Closed on every way out of a listing, an exception from its visitor included.
using TSearch = std::unique_ptr<void, TSearchCloser>;

struct THandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using THandle = std::unique_ptr<void, THandleCloser>;

// The basic information leaves out the short 8.3 name, which nothing here needs and which costs a
// lookup per entry; the large fetch asks for the entries in bigger batches.
TSearch FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
  return TSearch(IsValidHandle(search) ? search : nullptr);
}

TFileEntry EntryOf(const WIN32_FIND_DATAW& data) {
  TFileEntry entry;
  entry.Attributes = data.dwFileAttributes;
  entry.CreationTime = data.ftCreationTime;
  entry.LastAccessTime = data.ftLastAccessTime;
  entry.LastWriteTime = data.ftLastWriteTime;
  return entry;
}

// Letter case folded by the system's ordinal table, as the file system ignores it.
std::wstring OrdinalUpper(const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  if (wide.empty()) return wide;
  std::wstring upper(wide.size(), L'\0');
  int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), int(wide.size()),
                             upper.data(), int(upper.size()), nullptr, nullptr, 0);
  if (length <= 0) return wide;
  upper.resize(size_t(length));
  return upper;
}

// Big-endian, so that comparing the bytes compares the UTF-16 units.
void AppendUnits(std::string& key, const std::wstring& units) {
  key.reserve(key.size() + 2 * units.size());
  for (wchar_t unit : units) {
    key += char((unit >> 8) & 0xFF);
    key += char(unit & 0xFF);
  }
}

// The locale's sort key orders exactly as CompareStringEx with the same flags; it ends in a zero
// byte that no weight holds, so what is appended after it only breaks ties. It is made from the
// folded form, so that one item always gets one key, whatever its letter case.
void AppendSortKey(std::string& key, const std::wstring& upper) {
  if (upper.empty()) {
    key += '\0';
    return;
  }
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, upper.data(), int(upper.size()),
                           nullptr, 0, nullptr, nullptr, 0);
  if (size <= 0) {
    key += '\0';
    return;
  }
  const size_t start = key.size();
  key.resize(start + size_t(size));
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, upper.data(), int(upper.size()),
                reinterpret_cast<wchar_t*>(key.data() + start), size, nullptr, nullptr, 0);
}

// Each call on the user's items sees the file system as the user does (TNativeFileView); the
// shell's path normalisation does not, since it needs the redirection.
class TWin32FileSystem : public TFileSystem {
 public:
  // A wildcard would make FindFirstFileW give the entry of some other, matching item; and a path
  // ending in the separator names a folder's inside, not an entry.
  bool FindEntry(const std::string& path, TFileEntry& entry) override {
    if (path.find_first_of("*?") != std::string::npos) return false;
    if (path.empty() || path.back() == '\\' || path.back() == '/') return false;
    const TNativeFileView view;
    WIN32_FIND_DATAW data;
    if (!FindFirst(LongPath(path), data)) return false;
    entry = EntryOf(data);
    return true;
  }

  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override {
    std::wstring pattern = LongPath(folder);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    const TNativeFileView view;
    WIN32_FIND_DATAW data;
    TSearch search = FindFirst(pattern, data);
    // An empty drive root has no "." entry, so its listing finds nothing: that is no failure.
    if (!search) return GetLastError() == ERROR_FILE_NOT_FOUND;
    TListedEntry listed;
    listed.HasTimes = true;
    do {
      const std::string name = WideToUtf8(data.cFileName);
      listed.Name = name.c_str();
      listed.Entry = EntryOf(data);
      if (!visit(listed)) break;
    } while (FindNextFileW(search.get(), &data));
    return true;
  }

  bool ListingHasTimes() const override { return true; }

  // On NTFS and ReFS no folder has a second parent, and a volume is mounted on a folder only as a
  // reparse point. A share shows what its server's links and mounts show, as plain folders, and
  // other file systems (a driver's, a network redirector's) may do the same.
  bool OnlyLinksLeadBack(const std::string& folder) override {
    const std::wstring path = LongPath(folder);
    if (IsRemotePath(path)) return false;
    const TNativeFileView view;
    THandle item(Open(path, 0, FILE_FLAG_BACKUP_SEMANTICS,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    wchar_t name[MAX_PATH + 1];
    if (!item || !GetVolumeInformationByHandleW(item.get(), nullptr, 0, nullptr, nullptr, nullptr,
                                                name, MAX_PATH + 1)) {
      return false;
    }
    return std::wstring_view(name) == L"NTFS" || std::wstring_view(name) == L"ReFS";
  }

  bool FolderId(const std::string& path, TFolderId& id) override {
    const TNativeFileView view;
    THandle item(Open(path, 0, FILE_FLAG_BACKUP_SEMANTICS,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    if (!item) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(item.get(), &info)) return false;
    id.Volume = info.dwVolumeSerialNumber;
    id.Index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
  }

  uint32_t GetAttributes(const std::string& path) override {
    const TNativeFileView view;
    return GetFileAttributesW(LongPath(path).c_str());
  }

  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    const TNativeFileView view;
    return SetFileAttributesW(LongPath(path).c_str(), attributes);
  }

  TWriteTimesResult WriteTimes(const std::string& path, TItemKind kind, const FILETIME* creation,
                               const FILETIME* lastAccess, const FILETIME* lastWrite) override {
    TSeenItem seen;
    return WriteTimesChecked(path, kind, TItemId(), seen, creation, lastAccess, lastWrite);
  }

  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself: its target must not get the link's times.
  // A folder opens only with backup semantics, which a file must not get. Reading the attributes
  // through the same handle tells the item and its times just before they are set.
  TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind kind,
                                      const TItemId& expected, TSeenItem& seen,
                                      const FILETIME* creation, const FILETIME* lastAccess,
                                      const FILETIME* lastWrite) override {
    seen = {};
    const std::wstring wide = LongPath(path);
    const TNativeFileView view;
    if (kind == TItemKind::Unknown) kind = KindOf(wide);
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT |
                        (kind == TItemKind::Folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    THandle item(Open(wide, GENERIC_WRITE | FILE_READ_ATTRIBUTES, flags, FILE_SHARE_READ));
    if (!item) return TWriteTimesResult::NoWriteAccess;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(item.get(), &info)) {
      seen.Known = true;
      seen.Id = {info.dwVolumeSerialNumber,
                 (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
      seen.Entry = {info.dwFileAttributes, info.ftCreationTime, info.ftLastAccessTime,
                    info.ftLastWriteTime};
      if (expected.Known && !(seen.Id == expected)) return TWriteTimesResult::Replaced;
    }
    return SetFileTime(item.get(), creation, lastAccess, lastWrite) ? TWriteTimesResult::Written
                                                                    : TWriteTimesResult::SetFailed;
  }

  bool ReadBackTimes(const std::string& path, TItemKind kind, TFileEntry& entry) override {
    const TNativeFileView view;
    return ReadBackItemTimes(LongPath(path), kind, entry);
  }

  bool ConfirmStoredTimes(const std::string& path, TItemKind kind, TFileEntry& entry) override {
    const TNativeFileView view;
    return ReadThroughHandle(LongPath(path), kind, entry);
  }

  bool VolumeOf(const std::string& path, TItemKind kind, TVolumeInfo& volume) override {
    const TNativeFileView view;
    return ItemVolume(LongPath(path), kind, volume);
  }

  std::string NormalizePath(const std::string& path) override { return ShellPath(path); }

  std::string ItemKey(const std::string& path) override {
    std::string key;
    AppendUnits(key, OrdinalUpper(path));
    return key;
  }

  // The locale's order alone would merge names that differ only in characters it ignores (a soft
  // hyphen, for one), so the item key breaks its ties.
  std::string OrderKey(const std::string& path) override {
    const std::wstring upper = OrdinalUpper(path);
    std::string key;
    AppendSortKey(key, upper);
    AppendUnits(key, upper);
    return key;
  }

  char Separator() const override { return '\\'; }

 private:
  static HANDLE Open(const std::wstring& path, DWORD access, DWORD flags, DWORD share) {
    HANDLE item = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    return IsValidHandle(item) ? item : nullptr;
  }

  static HANDLE Open(const std::string& path, DWORD access, DWORD flags, DWORD share) {
    return Open(LongPath(path), access, flags, share);
  }

  static TItemKind KindOf(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? TItemKind::Folder
               : TItemKind::File;
  }
};

}  // namespace

TFileSystem& PlatformFileSystem() {
  static TWin32FileSystem fileSystem;
  return fileSystem;
}
