// The floors under Windows: the bare wide calls, one after the other, with nothing kept beyond the
// paths. Each path takes the long-path prefix, as the program's own calls do: under Wine a path
// without it costs a search of its folder for every name on its way.
#include "Baselines.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"

namespace {

std::wstring Prefixed(const std::string& path) { return L"\\\\?\\" + Utf8ToWide(path); }

// The listing gives every entry's times, so walking it reads the tree.
void Walk(const std::wstring& folder, const std::function<void(const std::wstring&)>& visit) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const wchar_t* name = data.cFileName;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    const std::wstring path = folder + L"\\" + name;
    visit(path);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Walk(path, visit);
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

}  // namespace

std::vector<std::string> BareReadAndSort(const std::string& root) {
  const std::wstring wideRoot = Prefixed(root);
  std::vector<std::wstring> paths{wideRoot};
  Walk(wideRoot, [&](const std::wstring& path) { paths.push_back(path); });
  std::sort(paths.begin(), paths.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) ==
           CSTR_LESS_THAN;
  });
  std::vector<std::string> sorted;
  sorted.reserve(paths.size());
  for (const std::wstring& path : paths) sorted.push_back(WideToUtf8(path.substr(4)));
  return sorted;
}

int BareWriteLoop(const std::vector<std::string>& paths, long long seconds) {
  const ULONGLONG ticks = (ULONGLONG(seconds) + 11644473600ull) * 10000000ull;
  const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
  int written = 0;
  for (const std::string& path : paths) {
    HANDLE item =
        CreateFileW(Prefixed(path).c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (item == INVALID_HANDLE_VALUE) continue;
    written += SetFileTime(item, &time, &time, &time) != 0;
    CloseHandle(item);
  }
  return written;
}

int BareWalk(const std::string& root) {
  int read = 1;
  Walk(Prefixed(root), [&](const std::wstring&) { ++read; });
  return read;
}

// What the program's read-back asks of a local volume.
int BareReadBackLoop(const std::vector<std::string>& paths) {
  int read = 0;
  WIN32_FILE_ATTRIBUTE_DATA data;
  for (const std::string& path : paths)
    read += GetFileAttributesExW(Prefixed(path).c_str(), GetFileExInfoStandard, &data) != 0;
  return read;
}
