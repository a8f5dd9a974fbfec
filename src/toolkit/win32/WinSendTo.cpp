// clang-format off
// The other system headers build on the types that windows.h declares.
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/win32/WideText.h"
#include "toolkit/Application.h"
#include "toolkit/SendTo.h"

namespace {

// The user's own Send To folder, wherever the user or an administrator moved it.
std::wstring SendToFolder() {
  wchar_t* path = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_SendTo, KF_FLAG_CREATE, nullptr, &path))) return L"";
  std::wstring folder = path;
  CoTaskMemFree(path);
  return folder;
}

std::wstring LinkPath(const std::wstring& folder, const TSendToShortcut& shortcut) {
  return folder + L"\\" + Utf8ToWide(shortcut.Name) + L".lnk";
}

bool SaveLink(const std::wstring& path, const TSendToShortcut& shortcut) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  const std::wstring program = Utf8ToWide(Application().ExeName());
  link->SetPath(program.c_str());
  link->SetArguments(Utf8ToWide(shortcut.Params).c_str());
  link->SetIconLocation(program.c_str(), 0);
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(path.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

}  // namespace

bool SendToShortcutsExist(const std::vector<TSendToShortcut>& shortcuts) {
  const std::wstring folder = SendToFolder();
  if (folder.empty()) return false;
  for (const TSendToShortcut& shortcut : shortcuts)
    if (GetFileAttributesW(LinkPath(folder, shortcut).c_str()) == INVALID_FILE_ATTRIBUTES)
      return false;
  return true;
}

bool AddSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts) {
  const std::wstring folder = SendToFolder();
  if (folder.empty()) return false;
  bool all = true;
  for (const TSendToShortcut& shortcut : shortcuts)
    all = SaveLink(LinkPath(folder, shortcut), shortcut) && all;
  return all;
}

void RemoveSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts) {
  const std::wstring folder = SendToFolder();
  if (folder.empty()) return;
  for (const TSendToShortcut& shortcut : shortcuts) DeleteFileW(LinkPath(folder, shortcut).c_str());
}
