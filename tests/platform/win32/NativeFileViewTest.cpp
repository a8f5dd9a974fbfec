#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/Thread.h"

namespace {

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A worker that makes a file under System32, as a Set on a dropped System32 item would write there.
class TSystem32Writer : public TThread {
 public:
  TSystem32Writer(std::wstring name, bool& created) : Name(std::move(name)), Created(created) {}

 protected:
  void Execute() override {
    const std::wstring path = WindowsFolder() + L"\\System32\\" + Name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    Created = file != INVALID_HANDLE_VALUE;
    if (Created) CloseHandle(file);
  }

 private:
  std::wstring Name;
  bool& Created;
};

// A 32-bit program on 64-bit Windows: the worker reaches the System32 the user sees, while the
// main thread, whose shell calls need it, stays redirected to SysWOW64.
TEST(NativeFileView, AWorkerWritesTheUsersSystem32AndTheMainThreadStaysRedirected) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "not a 32-bit program on 64-bit Windows: nothing is redirected";

  const std::wstring name = L"brevantor-view-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  bool created = false;
  bool ended = false;
  TSystem32Writer writer(name, created);
  writer.OnTerminate = [&ended](TObject*) { ended = true; };
  writer.Start();
  while (!ended) MainThreadQueue().WaitAndProcess(std::chrono::milliseconds(10));

  const std::wstring native = WindowsFolder() + L"\\Sysnative\\" + name;
  const std::wstring redirected = WindowsFolder() + L"\\SysWOW64\\" + name;
  ASSERT_TRUE(created);
  EXPECT_TRUE(Exists(native));
  EXPECT_FALSE(Exists(redirected));
  EXPECT_FALSE(Exists(WindowsFolder() + L"\\System32\\" + name));
  DeleteFileW(native.c_str());
  DeleteFileW(redirected.c_str());
}

}  // namespace
