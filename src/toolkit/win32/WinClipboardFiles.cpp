// clang-format off
// The other system headers build on the types that windows.h declares.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

#include "toolkit/ShellItems.h"
#include "toolkit/win32/WinDropHandle.h"

namespace {

// OLE's clipboard needs OLE on the calling thread, not COM alone; the main thread, the only one
// that pastes, keeps it for the program's life.
bool OleReady() {
  static const bool ready = SUCCEEDED(OleInitialize(nullptr));
  return ready;
}

}  // namespace

bool PlatformClipboardHasFiles() { return IsClipboardFormatAvailable(CF_HDROP) != FALSE; }

// Only the file list is read. A shell cut also offers its preferred effect, "move", and deletes
// the files once the target reports a performed move or a finished paste on the data object;
// nothing is ever reported here, so the user's files stay where they are.
// Another program put the block there: it is read with its size known, and a malformed one is
// told apart from an empty one.
std::optional<std::vector<std::string>> PlatformClipboardFiles() {
  IDataObject* data = nullptr;
  if (!OleReady() || FAILED(OleGetClipboard(&data))) return std::vector<std::string>();
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  std::optional<std::vector<std::string>> names = std::vector<std::string>();
  if (SUCCEEDED(data->GetData(&format, &medium))) {
    const TDropBlockNames read =
        medium.tymed == TYMED_HGLOBAL ? ReadDropBlock(medium.hGlobal) : TDropBlockNames();
    if (read.Malformed)
      names.reset();
    else
      names = read.Names;
    ReleaseStgMedium(&medium);
  }
  data->Release();
  return names;
}
