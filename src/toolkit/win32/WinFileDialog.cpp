// clang-format off
// The other system headers build on the types that windows.h declares.
#include <windows.h>
#include <shobjidl.h>
// clang-format on

#include "platform/win32/WideText.h"
#include "toolkit/ShellItems.h"
#include "toolkit/win32/WinWindow.h"

namespace {

constexpr DWORD FoldersButtonId = 1;
// Items as a drop gives them: file-system paths, links as themselves; the program's current
// folder is left as it is.
constexpr FILEOPENDIALOGOPTIONS CommonOptions =
    FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM | FOS_NODEREFERENCELINKS | FOS_NOCHANGEDIR |
    FOS_PATHMUSTEXIST;
constexpr FILEOPENDIALOGOPTIONS FileOptions = CommonOptions | FOS_FILEMUSTEXIST;
constexpr FILEOPENDIALOGOPTIONS FolderOptions = CommonOptions | FOS_PICKFOLDERS;

// Owns one reference to a COM object.
template <typename T>
class TComRef {
 public:
  TComRef() = default;
  ~TComRef() {
    if (Object) Object->Release();
  }
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  T** Out() { return &Object; }
  T* operator->() const { return Object; }
  T& operator*() const { return *Object; }
  explicit operator bool() const { return Object != nullptr; }

 private:
  T* Object = nullptr;
};

// The file dialog's Folders button: it closes the dialog, and the folder dialog follows. It lives
// on the stack for the length of one Show, during which the dialog holds it; its references are
// therefore not counted.
class TFoldersButton final : public IFileDialogEvents, public IFileDialogControlEvents {
 public:
  bool Pressed = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IFileDialogEvents)
      *object = static_cast<IFileDialogEvents*>(this);
    else if (iid == IID_IFileDialogControlEvents)
      *object = static_cast<IFileDialogControlEvents*>(this);
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE OnButtonClicked(IFileDialogCustomize* customize, DWORD id) override {
    if (id != FoldersButtonId) return S_OK;
    Pressed = true;
    TComRef<IFileDialog> dialog;
    if (SUCCEEDED(
            customize->QueryInterface(IID_IFileDialog, reinterpret_cast<void**>(dialog.Out()))))
      dialog->Close(HRESULT_FROM_WIN32(ERROR_CANCELLED));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                             FDE_SHAREVIOLATION_RESPONSE*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                        FDE_OVERWRITE_RESPONSE*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnItemSelected(IFileDialogCustomize*, DWORD, DWORD) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnCheckButtonToggled(IFileDialogCustomize*, DWORD, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnControlActivating(IFileDialogCustomize*, DWORD) override {
    return S_OK;
  }
};

std::vector<std::string> Paths(IShellItemArray& items) {
  std::vector<std::string> paths;
  DWORD count = 0;
  items.GetCount(&count);
  for (DWORD index = 0; index < count; ++index) {
    TComRef<IShellItem> item;
    wchar_t* path = nullptr;
    if (FAILED(items.GetItemAt(index, item.Out())) ||
        FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
      continue;
    paths.push_back(WideToUtf8(path));
    CoTaskMemFree(path);
  }
  return paths;
}

// Shows one dialog; with a button, the file dialog offers the way to the folder dialog.
std::vector<std::string> Show(HWND owner, const std::wstring& title, FILEOPENDIALOGOPTIONS options,
                              TFoldersButton* button) {
  TComRef<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.Out()))))
    return {};
  dialog->SetOptions(options);
  dialog->SetTitle(title.c_str());
  DWORD cookie = 0;
  TComRef<IFileDialogCustomize> customize;
  if (button &&
      SUCCEEDED(dialog->QueryInterface(IID_IFileDialogCustomize,
                                       reinterpret_cast<void**>(customize.Out()))) &&
      SUCCEEDED(customize->AddPushButton(FoldersButtonId, L"Choose &Folders...")))
    dialog->Advise(button, &cookie);
  const HRESULT shown = dialog->Show(owner);
  if (cookie) dialog->Unadvise(cookie);
  TComRef<IShellItemArray> results;
  if (FAILED(shown) || FAILED(dialog->GetResults(results.Out()))) return {};
  return Paths(*results);
}

}  // namespace

std::vector<std::string> PlatformChooseItems(TForm& owner, const std::string& title) {
  const HWND window = WindowHandle(owner);
  const std::wstring wideTitle = Utf8ToWide(title);
  TFoldersButton button;
  std::vector<std::string> files = Show(window, wideTitle, FileOptions, &button);
  if (!button.Pressed) return files;
  return Show(window, wideTitle, FolderOptions, nullptr);
}
