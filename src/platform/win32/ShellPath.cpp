#include "platform/win32/ShellPath.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>

namespace {

// The shell's objects need COM on the calling thread, which may be a worker that never set it
// up. A thread that already has it keeps its own apartment.
class TComScope {
 public:
  TComScope()
      : Result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~TComScope() {
    if (SUCCEEDED(Result)) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  HRESULT Result;
};

struct TRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};

// A path too long for the 260-character buffer fails the conversion and stays as it is.
std::string ParsedPath(IMalloc& allocator, IShellFolder& desktop, const std::string& path) {
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return path;
  ULONG eaten = 0;
  LPITEMIDLIST items = nullptr;
  if (desktop.ParseDisplayName(nullptr, nullptr, wide, &eaten, &items, nullptr) != S_OK) {
    return path;
  }
  char buffer[MAX_PATH];
  bool found = SHGetPathFromIDListA(items, buffer);
  allocator.Free(items);
  return found ? std::string(buffer) : path;
}

}  // namespace

std::string ShellPath(const std::string& path) {
  TComScope com;
  IMalloc* rawAllocator = nullptr;
  if (SHGetMalloc(&rawAllocator) != S_OK) return path;
  std::unique_ptr<IMalloc, TRelease> allocator(rawAllocator);
  IShellFolder* rawDesktop = nullptr;
  if (SHGetDesktopFolder(&rawDesktop) != S_OK) return path;
  std::unique_ptr<IShellFolder, TRelease> desktop(rawDesktop);
  return ParsedPath(*allocator, *desktop, path);
}
