#include "support/HostTrees.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/WideText.h"
#endif

namespace {

#ifdef _WIN32
// Wine names the Linux path's place on its own drives.
std::string PlatformForm(const std::string& hostPath) {
  using TDosName = wchar_t* (*)(const char*);
  const auto dosName = reinterpret_cast<TDosName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
  if (!dosName) return "";
  wchar_t* name = dosName(hostPath.c_str());
  if (!name) return "";
  std::string path = WideToUtf8(name);
  HeapFree(GetProcessHeap(), 0, name);
  return path;
}
#else
std::string PlatformForm(const std::string& hostPath) { return hostPath; }
#endif

}  // namespace

std::string HostTree(const std::string& name) {
  const char* root = std::getenv("BREVANTOR_HOST_TREES");
  if (!root || !*root) return "";
  return PlatformForm(std::string(root) + "/" + name);
}
