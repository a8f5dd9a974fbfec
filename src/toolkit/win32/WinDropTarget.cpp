#include "toolkit/win32/WinDropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "toolkit/win32/WinDropHandle.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// The mandatory integrity level of a process; 0 when it cannot be told.
DWORD IntegrityOf(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
  DWORD level = 0;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> label(size);
  if (size && GetTokenInformation(token, TokenIntegrityLevel, label.data(), size, &size)) {
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
  }
  CloseHandle(token);
  return level;
}

// Run as administrator beside a shell that is not, this process is out of the shell's OLE reach.
bool AboveTheShell() {
  DWORD shellProcessId = 0;
  const HWND shell = GetShellWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &shellProcessId)) return false;
  const HANDLE shellProcess =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId);
  if (!shellProcess) return false;
  const DWORD shellLevel = IntegrityOf(shellProcess);
  CloseHandle(shellProcess);
  return shellLevel != 0 && IntegrityOf(GetCurrentProcess()) > shellLevel;
}

FORMATETC FilesFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The dropped names in a block of our own, as WM_DROPFILES brings them, with the drop point in
// the window's client coordinates; none when the data holds no names.
HDROP CopyDrop(IDataObject& data, POINT clientPoint) {
  FORMATETC format = FilesFormat();
  STGMEDIUM medium{};
  if (FAILED(data.GetData(&format, &medium))) return nullptr;
  HGLOBAL copy = nullptr;
  const SIZE_T size = GlobalSize(medium.hGlobal);
  const void* source = size >= sizeof(DROPFILES) ? GlobalLock(medium.hGlobal) : nullptr;
  if (source) {
    copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* target = copy ? GlobalLock(copy) : nullptr) {
      std::memcpy(target, source, size);
      auto* header = static_cast<DROPFILES*>(target);
      header->pt = clientPoint;
      header->fNC = FALSE;
      GlobalUnlock(copy);
    }
    GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
  return static_cast<HDROP>(copy);
}

// The drop target is told every move, on the main thread: by the shell's drag loop of another
// process through COM, or by this process's own.
class TWinDropTarget final : public IDropTarget {
 public:
  TWinDropTarget(HWND window, TForm& form) : Window(window), Form(form) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --References;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point,
                                      DWORD* effect) override {
    FORMATETC format = FilesFormat();
    HasFiles = data && data->QueryGetData(&format) == S_OK;
    return DragOver(0, point, effect);
  }

  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    *effect = HasFiles && Guarded([&] { return Form.DragOver(ClientPoint(point)); })
                  ? Effect(*effect)
                  : DROPEFFECT_NONE;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE DragLeave() override {
    Guarded([&] { return Form.DragOver(std::nullopt); });
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    DragLeave();
    const TPoint client = ClientPoint(point);
    const HDROP drop = HasFiles && data ? CopyDrop(*data, {client.X, client.Y}) : nullptr;
    THDropHandle handle(drop);
    const bool taken = drop && Guarded([&] { return Form.DropFiles(handle); });
    *effect = taken ? Effect(*effect) : DROPEFFECT_NONE;
    return S_OK;
  }

 private:
  ~TWinDropTarget() = default;

  TPoint ClientPoint(POINTL screen) const {
    POINT point{screen.x, screen.y};
    ScreenToClient(Window, &point);
    return {point.x, point.y};
  }

  // The items are only referred to, never copied or moved: a link where the source allows one.
  static DWORD Effect(DWORD allowed) {
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_COPY;
  }

  // Nothing may escape into the caller, which may be another process.
  template <typename TCall>
  static bool Guarded(TCall call) noexcept {
    try {
      return call();
    } catch (...) {
      ShowCaughtException();
      return false;
    }
  }

  std::atomic<ULONG> References{1};
  HWND Window;
  TForm& Form;
  bool HasFiles = false;
};

}  // namespace

TOleDropRegistration::TOleDropRegistration(HWND window, TForm& form) : Window(window) {
  if (!window || AboveTheShell()) return;
  auto* target = new TWinDropTarget(window, form);
  if (SUCCEEDED(RegisterDragDrop(window, target)))
    Target = target;
  else
    target->Release();
}

TOleDropRegistration::~TOleDropRegistration() {
  if (!Target) return;
  RevokeDragDrop(Window);
  Target->Release();
}
