#include "platform/NativeFileView.h"

#include <windows.h>

namespace {

// Looked up at run time: the calls exist only where WOW64 does, and a 64-bit program needs none.
template <typename TCall>
TCall Kernel32Call(const char* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<TCall>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                : nullptr;
}

using TDisable = BOOL(WINAPI*)(PVOID*);
using TRevert = BOOL(WINAPI*)(PVOID);

}  // namespace

TNativeFileView::TNativeFileView() {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return;
  const auto disable = Kernel32Call<TDisable>("Wow64DisableWow64FsRedirection");
  TurnedOff = disable && disable(&Previous);
}

TNativeFileView::~TNativeFileView() {
  if (!TurnedOff) return;
  if (const auto revert = Kernel32Call<TRevert>("Wow64RevertWow64FsRedirection")) revert(Previous);
}
