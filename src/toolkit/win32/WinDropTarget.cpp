#include "toolkit/win32/WinDropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <memory>

#include "toolkit/win32/WinDropHandle.h"
#include "toolkit/win32/WinTokens.h"
#include "toolkit/win32/WinWindow.h"

namespace {

// Run as administrator beside a shell that is not, this process is out of the shell's OLE reach.
bool AboveTheShell() {
  DWORD shellProcessId = 0;
  const HWND shell = GetShellWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &shellProcessId)) return false;
  const HANDLE shellProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId);
  if (!shellProcess) return false;
  const DWORD shellLevel = IntegrityOf(shellProcess);
  CloseHandle(shellProcess);
  return shellLevel != 0 && IntegrityOf(GetCurrentProcess()) > shellLevel;
}

FORMATETC FilesFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The dropped names, read from the data object's block with its size known, with OLE's drop
// point in the window's client coordinates; malformed when the block is or when there is none.
std::unique_ptr<TNamesDropHandle> ReadDrop(IDataObject& data, TPoint clientPoint) {
  FORMATETC format = FilesFormat();
  STGMEDIUM medium{};
  TDropBlockNames read;
  if (SUCCEEDED(data.GetData(&format, &medium))) {
    if (medium.tymed == TYMED_HGLOBAL) read = ReadDropBlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
  }
  return std::make_unique<TNamesDropHandle>(std::move(read.Names), clientPoint, read.Malformed);
}

// The drop target is told every move, on the main thread: by the shell's drag loop of another
// process through COM, or by this process's own.
class TWinDropTarget final : public IDropTarget {
 public:
  using TDeliver = std::function<void(std::unique_ptr<TNamesDropHandle>)>;
  TWinDropTarget(HWND window, TForm& form, TDeliver deliver)
      : Window(window), Form(form), Deliver(std::move(deliver)) {}

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
    if (!HasFiles || !data) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    const bool taken = Guarded([&] {
      if (!Form.AcceptsFiles()) return false;
      Deliver(ReadDrop(*data, ClientPoint(point)));
      return true;
    });
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
  TDeliver Deliver;
  bool HasFiles = false;
};

}  // namespace

TOleDropRegistration::TOleDropRegistration(HWND window, TForm& form) : Window(window), Form(form) {
  if (!window || AboveTheShell()) return;
  auto* target = new TWinDropTarget(window, form, [this](std::unique_ptr<TNamesDropHandle> drop) {
    Waiting.push_back(std::move(drop));
    PostMessageW(Window, DeliverMessage, 0, 0);
  });
  if (SUCCEEDED(RegisterDragDrop(window, target)))
    Target = target;
  else
    target->Release();
}

// The form may have stopped taking files since: the drop then goes where a refused drop goes.
void TOleDropRegistration::DeliverWaitingDrops() {
  while (!Waiting.empty()) {
    const std::unique_ptr<TNamesDropHandle> drop = std::move(Waiting.front());
    Waiting.pop_front();
    Form.DropFiles(*drop);
  }
}

TOleDropRegistration::~TOleDropRegistration() {
  if (!Target) return;
  RevokeDragDrop(Window);
  Target->Release();
}
