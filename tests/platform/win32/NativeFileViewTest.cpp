#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/WinConst.h"
#include "platform/win32/WideText.h"

namespace {

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A 32-bit program on 64-bit Windows: the file calls on the user's items reach the System32 the
// user sees (a file there that SysWOW64 lacks), while the thread that made them stays redirected
// around them, as the shell's and COM's calls of the same thread need.
TEST(NativeFileView, FileCallsReachTheUsersSystem32AndTheThreadStaysRedirected) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "not a 32-bit program on 64-bit Windows: nothing is redirected";

  const std::wstring name = L"brevantor-view-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const std::wstring native = WindowsFolder() + L"\\Sysnative\\" + name;
  const HANDLE file = CreateFileW(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  const std::string seen = WideToUtf8(WindowsFolder() + L"\\System32\\" + name);
  TFileEntry entry;
  EXPECT_TRUE(PlatformFileSystem().FindEntry(seen, entry));
  EXPECT_NE(PlatformFileSystem().GetAttributes(seen), faInvalid);
  const FILETIME time{0x12345678, 0x01D00000};
  EXPECT_EQ(PlatformFileSystem().WriteTimes(seen, TItemKind::File, nullptr, nullptr, &time),
            TWriteTimesResult::Written);
  EXPECT_FALSE(Exists(Utf8ToWide(seen)));
  DeleteFileW(native.c_str());
}

}  // namespace
