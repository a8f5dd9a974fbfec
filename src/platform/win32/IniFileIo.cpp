#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/IniFile.h"
#include "platform/win32/WideText.h"

namespace {

class THandle {
 public:
  explicit THandle(HANDLE handle) : Handle(handle) {}
  ~THandle() {
    if (IsOpen()) CloseHandle(Handle);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE Get() const { return Handle; }
  bool IsOpen() const { return Handle != INVALID_HANDLE_VALUE; }
  bool Close() { return CloseHandle(std::exchange(Handle, INVALID_HANDLE_VALUE)) != 0; }

 private:
  HANDLE Handle;
};

bool ReadAll(HANDLE file, std::string& contents) {
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return false;
    if (got == 0) return true;
    contents.append(buffer, got);
  }
}

bool WriteAll(HANDLE file, const std::string& contents) {
  size_t allowed = std::min(contents.size(), IniWriteLimit());
  size_t done = 0;
  while (done < allowed) {
    DWORD chunk = DWORD(std::min<size_t>(allowed - done, 1u << 20));
    DWORD put = 0;
    if (!WriteFile(file, contents.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return allowed == contents.size();
}

// A name of its own for each attempt, so that two processes saving at once never share one.
HANDLE CreateTempBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = path + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial++) +
               ".tmp";
    HANDLE file = CreateFileW(Utf8ToWide(tempPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// The file a link at the path leads to, so that the link stays a link; the path itself where
// nothing is there yet or the system cannot say.
std::wstring FinalPath(const std::wstring& path) {
  THandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.IsOpen()) return path;
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetFinalPathNameByHandleW(file.Get(), final.data(), DWORD(final.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return path;
    if (length < final.size()) return final.substr(0, length);
    final.resize(length);
  }
}

// ReplaceFileW keeps the old file's permissions, attributes and streams. With no backup name, a
// replacement it could not rename leaves the old file gone and the new one under its own name: it
// is then moved into the place.
bool PutInPlace(const std::wstring& temp, const std::wstring& path) {
  // Wine's ReplaceFileW moves a folder in the file's place aside instead of failing.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (ReplaceFileW(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                   nullptr))
    return true;
  DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return false;
  return MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

TIniReadResult ReadIniFileContents(const std::string& path, std::string& contents) {
  contents.clear();
  THandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TIniReadResult::Missing
                                                                          : TIniReadResult::Failed;
  }
  return ReadAll(file.Get(), contents) ? TIniReadResult::Read : TIniReadResult::Failed;
}

bool ReplaceIniFileContents(const std::string& linkedPath, const std::string& contents) {
  const std::wstring path = FinalPath(Utf8ToWide(linkedPath));
  std::string tempPath;
  THandle temp(CreateTempBeside(WideToUtf8(path), tempPath));
  if (!temp.IsOpen()) return false;
  bool written = WriteAll(temp.Get(), contents) && FlushFileBuffers(temp.Get());
  written = temp.Close() && written;
  const std::wstring tempWide = Utf8ToWide(tempPath);
  if (!written || !PutInPlace(tempWide, path)) {
    DeleteFileW(tempWide.c_str());
    return false;
  }
  return true;
}

// Share mode 0 keeps out every other opener; the file goes when its handle closes. A holder's file
// that is being deleted answers "access denied" for a moment, as does a folder that cannot be
// written to, so that answer is waited out only briefly.
TIniFileLock::TIniFileLock(const std::string& iniPath) : FPath(iniPath + ".lock") {
  const std::wstring name = Utf8ToWide(FPath);
  int denied = 0;
  for (int attempt = 0; attempt < 100 && denied < 5; ++attempt) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      FHandle = reinterpret_cast<std::intptr_t>(file);
      return;
    }
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED)
      ++denied;
    else if (error != ERROR_SHARING_VIOLATION)
      return;
    Sleep(20);
  }
}

TIniFileLock::~TIniFileLock() {
  if (Held()) CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}
