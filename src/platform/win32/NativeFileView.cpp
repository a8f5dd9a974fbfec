#include "platform/win32/NativeFileView.h"

#include <windows.h>

namespace {

using TDisable = BOOL(WINAPI*)(PVOID*);
using TRevert = BOOL(WINAPI*)(PVOID);

// Looked up at run time: the calls exist only where WOW64 does, and a 64-bit program needs none.
template <typename TCall>
TCall Kernel32Call(const char* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<TCall>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                : nullptr;
}

// Both calls, or neither where nothing is redirected; found once, since every file call asks.
struct TRedirection {
  TDisable Disable = nullptr;
  TRevert Revert = nullptr;
};

TRedirection FindRedirection() {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return {};
  TRedirection calls{Kernel32Call<TDisable>("Wow64DisableWow64FsRedirection"),
                     Kernel32Call<TRevert>("Wow64RevertWow64FsRedirection")};
  return calls.Disable && calls.Revert ? calls : TRedirection{};
}

const TRedirection& Redirection() {
  static const TRedirection calls = FindRedirection();
  return calls;
}

}  // namespace

TNativeFileView::TNativeFileView() {
  if (const TDisable disable = Redirection().Disable) TurnedOff = disable(&Previous);
}

TNativeFileView::~TNativeFileView() {
  if (TurnedOff) Redirection().Revert(Previous);
}
