#include "platform/FileSystem.h"

#include <windows.h>
#include <winternl.h>

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

// A file ID of 0 is none: some network and FAT drivers give it to every item.
TItemId IdOf(const LARGE_INTEGER& fileId) {
  return {0, uint64_t(fileId.QuadPart), fileId.QuadPart != 0};
}

TFileEntry EntryOf(const FILE_ID_BOTH_DIR_INFO& data) {
  return {data.FileAttributes, ToFileTime(data.CreationTime), ToFileTime(data.LastAccessTime),
          ToFileTime(data.LastWriteTime), IdOf(data.FileId)};
}

// The file ID alone (FileInternalInformation): the Win32 queries that give it ask the volume as
// well, which under Wine is a call to another process for every item.
bool ReadFileId(HANDLE item, TItemId& id) {
  LARGE_INTEGER fileId;
  IO_STATUS_BLOCK status;
  const auto internalInformation = FILE_INFORMATION_CLASS(6);
  if (NtQueryInformationFile(item, &status, &fileId, sizeof fileId, internalInformation) != 0)
    return false;
  id = IdOf(fileId);
  return true;
}

void ReadSeen(HANDLE item, TSeenItem& seen) {
  seen.Known = ReadBasicInfo(item, seen.Entry) && ReadFileId(item, seen.Entry.Id);
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

  // Listed through the folder's own handle, each entry comes with its file ID beside its times, at
  // the cost of FindFirstFileW's listing, so that a write can tell the item the walk found.
  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override {
    const TNativeFileView view;
    THandle handle(Open(folder, FILE_LIST_DIRECTORY | SYNCHRONIZE, FILE_FLAG_BACKUP_SEMANTICS,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    if (!handle) return false;
    constexpr DWORD bufferSize = 64 * 1024;
    const auto buffer = std::make_unique<uint64_t[]>(bufferSize / sizeof(uint64_t));
    FILE_INFO_BY_HANDLE_CLASS batch = FileIdBothDirectoryRestartInfo;
    TListedEntry listed;
    listed.HasTimes = true;
    std::string name;
    while (GetFileInformationByHandleEx(handle.get(), batch, buffer.get(), bufferSize)) {
      batch = FileIdBothDirectoryInfo;
      const auto* data = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.get());
      for (;;) {
        name = WideToUtf8(std::wstring(data->FileName, data->FileNameLength / sizeof(wchar_t)));
        listed.Name = name.c_str();
        listed.Entry = EntryOf(*data);
        if (!visit(listed)) return true;
        if (data->NextEntryOffset == 0) break;
        data = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const char*>(data) +
                                                              data->NextEntryOffset);
      }
    }
    // An empty drive root has no "." entry, so its listing finds nothing: that is no failure.
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND ||
           batch == FileIdBothDirectoryInfo;
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
    return WriteTimesChecked(path, kind, nullptr, seen, creation, lastAccess, lastWrite);
  }

  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself: its target must not get the link's times.
  // A folder opens only with backup semantics, which a file must not get. Times are attributes:
  // an opening for them alone, sharing everything, reaches a file that another program holds open
  // in any sharing mode, and leaves its data, its oplocks and a cloud placeholder's content alone.
  // The same handle tells the item and its times just before they are set.
  TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind kind,
                                      const TWriteCheck& check, TSeenItem& seen,
                                      const FILETIME* creation, const FILETIME* lastAccess,
                                      const FILETIME* lastWrite) override {
    seen = {};
    const std::wstring wide = LongPath(path);
    const TNativeFileView view;
    if (kind == TItemKind::Unknown) kind = KindOf(wide);
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT |
                        (kind == TItemKind::Folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    THandle item(Open(wide, FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, flags,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    if (!item) return TWriteTimesResult::NoWriteAccess;
    ReadSeen(item.get(), seen);
    if (check && !check(seen)) return TWriteTimesResult::Declined;
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

  void LocaleOrderKey(const std::string& path, std::string& key) override {
    key.clear();
    AppendSortKey(key, OrdinalUpper(path));
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
