// clang-format off
// The other system headers build on the types that windows.h declares.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

#include "platform/win32/WideText.h"
#include "toolkit/ShellItems.h"

namespace {

// OLE's clipboard needs OLE on the calling thread, not COM alone; the main thread, the only one
// that pastes, keeps it for the program's life.
bool OleReady() {
  static const bool ready = SUCCEEDED(OleInitialize(nullptr));
  return ready;
}

// Each name read in UTF-16 into a buffer of its own length, so that none is cut.
std::vector<std::string> NamesOf(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    std::wstring name(size_t(DragQueryFileW(drop, index, nullptr, 0)) + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), UINT(name.size())));
    if (!name.empty()) names.push_back(WideToUtf8(name));
  }
  return names;
}

}  // namespace

bool PlatformClipboardHasFiles() { return IsClipboardFormatAvailable(CF_HDROP) != FALSE; }

// Only the file list is read. A shell cut also offers its preferred effect, "move", and deletes
// the files once the target reports a performed move or a finished paste on the data object;
// nothing is ever reported here, so the user's files stay where they are.
std::vector<std::string> PlatformClipboardFiles() {
  IDataObject* data = nullptr;
  if (!OleReady() || FAILED(OleGetClipboard(&data))) return {};
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  std::vector<std::string> names;
  if (SUCCEEDED(data->GetData(&format, &medium))) {
    names = NamesOf(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
  }
  data->Release();
  return names;
}
