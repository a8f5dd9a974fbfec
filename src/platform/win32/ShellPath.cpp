#include "platform/win32/ShellPath.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "platform/win32/WideText.h"

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

// The longest path the wide calls take, so that no result is cut short.
constexpr DWORD longestPath = 32768;

std::string ParsedPath(IMalloc& allocator, IShellFolder& desktop, const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  // The shell's namespace stops at MAX_PATH: given a longer path, it may answer with the item its
  // first characters name, another item. Such a path is taken as it is.
  if (wide.size() >= MAX_PATH) return path;
  ULONG eaten = 0;
  LPITEMIDLIST items = nullptr;
  if (desktop.ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &items, nullptr) != S_OK) {
    return path;
  }
  std::wstring buffer(longestPath, L'\0');
  bool found = SHGetPathFromIDListEx(items, buffer.data(), longestPath, GPFIDL_DEFAULT);
  allocator.Free(items);
  return found ? WideToUtf8(buffer.c_str()) : path;
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
