#include "toolkit/ShellItems.h"

// Headless there is no shell: nothing on the clipboard, and nobody at a dialog; tests set hooks.
bool PlatformClipboardHasFiles() { return false; }
std::optional<std::vector<std::string>> PlatformClipboardFiles() {
  return std::vector<std::string>();
}
std::vector<std::string> PlatformChooseItems(TForm&, const std::string&) { return {}; }
