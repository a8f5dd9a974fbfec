#include "platform/win32/ReadBack.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/win32/WideText.h"

namespace {

struct THandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using THandle = std::unique_ptr<void, THandleCloser>;

// Reading attributes needs no more than this access, which a read-only or locked item still grants;
// sharing everything keeps the opening from getting in anyone's way. A kind not known yet opens as
// a folder, which opens a file as well.
THandle OpenForAttributes(const std::wstring& path, TItemKind kind) {
  const DWORD flags =
      FILE_FLAG_OPEN_REPARSE_POINT |
      (kind == TItemKind::File ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_BACKUP_SEMANTICS);
  HANDLE item = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, flags, nullptr);
  return THandle(item == INVALID_HANDLE_VALUE ? nullptr : item);
}

// The root of the volume the path lies on, a share's root for a path on a share, as a drive or a
// share names it: GetDriveTypeW is documented for those, not for the long-path forms.
std::wstring VolumeRoot(const std::wstring& path) {
  std::vector<wchar_t> buffer(path.size() + 2);
  if (!GetVolumePathNameW(path.c_str(), buffer.data(), DWORD(buffer.size()))) return {};
  const std::wstring root = buffer.data();
  if (root.starts_with(L"\\\\?\\UNC\\")) return L"\\" + root.substr(7);
  if (root.starts_with(L"\\\\?\\")) return root.substr(4);
  return root;
}

// Windows reports a link itself here, Wine its target: a difference is confirmed through a handle.
bool ReadByPath(const std::wstring& path, TFileEntry& entry) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  entry.Attributes = data.dwFileAttributes;
  entry.CreationTime = data.ftCreationTime;
  entry.LastAccessTime = data.ftLastAccessTime;
  entry.LastWriteTime = data.ftLastWriteTime;
  return true;
}

// Drive letters asked once each for the life of the process: 0 not yet, 1 local, 2 remote. A letter
// mapped to a share later than its first question would be read by path, as a local one is.
std::atomic<uint8_t> DriveKinds[26];

bool OnRemoteDrive(wchar_t letter) {
  const wchar_t upper = letter & ~0x20;
  if (upper < L'A' || upper > L'Z') return false;
  std::atomic<uint8_t>& known = DriveKinds[upper - L'A'];
  if (known == 0) {
    const wchar_t root[] = {upper, L':', L'\\', L'\0'};
    known = GetDriveTypeW(root) == DRIVE_REMOTE ? 2 : 1;
  }
  return known == 2;
}

}  // namespace

bool IsRemotePath(const std::wstring& longPath) {
  if (longPath.starts_with(L"\\\\?\\UNC\\")) return true;
  return longPath.size() >= 7 && longPath.starts_with(L"\\\\?\\") && longPath[5] == L':' &&
         OnRemoteDrive(longPath[4]);
}

FILETIME ToFileTime(const LARGE_INTEGER& time) {
  return FILETIME{DWORD(time.LowPart), DWORD(time.HighPart)};
}

bool ReadBasicInfo(HANDLE item, TFileEntry& entry) {
  FILE_BASIC_INFO info;
  if (!GetFileInformationByHandleEx(item, FileBasicInfo, &info, sizeof info)) return false;
  entry.Attributes = info.FileAttributes;
  entry.CreationTime = ToFileTime(info.CreationTime);
  entry.LastAccessTime = ToFileTime(info.LastAccessTime);
  entry.LastWriteTime = ToFileTime(info.LastWriteTime);
  return true;
}

bool ReadThroughHandle(const std::wstring& path, TItemKind kind, TFileEntry& entry) {
  THandle item = OpenForAttributes(path, kind);
  return item && ReadBasicInfo(item.get(), entry);
}

// A local file system answers a query by path from what it stored, at a tenth of the cost of an
// opening under Wine. A share's client may answer such a query from its cache of what it has just
// sent, so there the item is opened afresh, which asks the server.
bool ReadBackItemTimes(const std::wstring& path, TItemKind kind, TFileEntry& entry) {
  return IsRemotePath(path) ? ReadThroughHandle(path, kind, entry) : ReadByPath(path, entry);
}

// Only the file system's name is asked: the serial number and the label cost a query of their own,
// which Wine cannot answer for every mount.
bool ItemVolume(const std::wstring& path, TItemKind kind, TVolumeInfo& volume) {
  THandle item = OpenForAttributes(path, kind);
  if (!item) return false;
  wchar_t name[MAX_PATH + 1];
  if (!GetVolumeInformationByHandleW(item.get(), nullptr, 0, nullptr, nullptr, nullptr, name,
                                     MAX_PATH + 1)) {
    return false;
  }
  volume.FileSystemName = WideToUtf8(name);
  const std::wstring root = VolumeRoot(path);
  volume.Remote = !root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
  return true;
}
