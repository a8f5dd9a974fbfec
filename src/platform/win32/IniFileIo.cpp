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

bool ReplaceIniFileContents(const std::string& path, const std::string& contents) {
  std::string tempPath;
  THandle temp(CreateTempBeside(path, tempPath));
  if (!temp.IsOpen()) return false;
  bool written = WriteAll(temp.Get(), contents) && FlushFileBuffers(temp.Get());
  written = temp.Close() && written;
  if (!written || !MoveFileExW(Utf8ToWide(tempPath).c_str(), Utf8ToWide(path).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(Utf8ToWide(tempPath).c_str());
    return false;
  }
  return true;
}
