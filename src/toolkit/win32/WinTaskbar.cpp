#include <windows.h>
// After windows.h, whose types it builds on.
#include <shobjidl.h>

#include "toolkit/Forms.h"
#include "toolkit/Taskbar.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// Without a shell taskbar (or COM) there is none: the progress is then shown nowhere but in the
// window.
ITaskbarList3* CreateTaskbarList() {
  ITaskbarList3* list = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(&list))))
    return nullptr;
  if (SUCCEEDED(list->HrInit())) return list;
  list->Release();
  return nullptr;
}

TBPFLAG NativeState(TTaskbarState state) {
  switch (state) {
    case TTaskbarState::Busy:
      return TBPF_INDETERMINATE;
    case TTaskbarState::Normal:
      return TBPF_NORMAL;
    case TTaskbarState::Error:
      return TBPF_ERROR;
    case TTaskbarState::None:
      break;
  }
  return TBPF_NOPROGRESS;
}

}  // namespace

TTaskbarProgress::~TTaskbarProgress() {
  if (Native) static_cast<ITaskbarList3*>(Native)->Release();
}

void TTaskbarProgress::Mirror() {
  const HWND window = WindowHandle(Form);
  if (!window) return;
  if (!Native) Native = CreateTaskbarList();
  auto* list = static_cast<ITaskbarList3*>(Native);
  if (!list) return;
  if (FTotal > 0) list->SetProgressValue(window, ULONGLONG(FDone), ULONGLONG(FTotal));
  list->SetProgressState(window, NativeState(FState));
}
