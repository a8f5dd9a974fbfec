#include "platform/DurableFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/LongPath.h"
#include "platform/win32/WideText.h"

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

TDurableFile::~TDurableFile() { Close(); }

// No sharing at all is the lock: while the owner lives, no other process can open the file.
bool TDurableFile::Open(const std::string& path) {
  Close();
  const HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FHandle = reinterpret_cast<intptr_t>(file);
  FPath = path;
  return true;
}

bool TDurableFile::Append(const std::string& bytes) {
  if (!IsOpen()) return false;
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(AsHandle(FHandle), end, nullptr, FILE_END)) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(AsHandle(FHandle), bytes.data() + done, chunk, &written, nullptr) || !written)
      return false;
    done += written;
  }
  return true;
}

bool TDurableFile::Flush() { return IsOpen() && FlushFileBuffers(AsHandle(FHandle)); }

bool TDurableFile::ReadAll(std::string& bytes) {
  bytes.clear();
  LARGE_INTEGER size{};
  LARGE_INTEGER start{};
  if (!IsOpen() || !GetFileSizeEx(AsHandle(FHandle), &size) ||
      !SetFilePointerEx(AsHandle(FHandle), start, nullptr, FILE_BEGIN)) {
    return false;
  }
  bytes.resize(size_t(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    if (!ReadFile(AsHandle(FHandle), bytes.data() + done, chunk, &read, nullptr) || !read)
      return false;
    done += read;
  }
  return true;
}

bool TDurableFile::Clear() {
  LARGE_INTEGER start{};
  return IsOpen() && SetFilePointerEx(AsHandle(FHandle), start, nullptr, FILE_BEGIN) &&
         SetEndOfFile(AsHandle(FHandle)) && FlushFileBuffers(AsHandle(FHandle));
}

void TDurableFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(AsHandle(FHandle));
  FHandle = invalidHandle;
}

bool TDurableFile::Remove() {
  if (!IsOpen()) return false;
  Close();
  return DeleteFileW(LongPath(FPath).c_str());
}

std::string LocalStateFolder() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  const std::string folder = WideToUtf8(base) + "\\Brevantor";
  const std::wstring wide = LongPath(folder);
  if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
  return folder;
}
