#include "toolkit/ShellItems.h"

TClipboardFilesHook& ClipboardFilesHook() {
  static TClipboardFilesHook hook;
  return hook;
}

bool ClipboardHasFiles() {
  if (ClipboardFilesHook()) {
    const auto files = ClipboardFilesHook()();
    return !files || !files->empty();
  }
  return PlatformClipboardHasFiles();
}

std::optional<std::vector<std::string>> ClipboardFiles() {
  if (ClipboardFilesHook()) return ClipboardFilesHook()();
  return PlatformClipboardFiles();
}

TChooseItemsHook& ChooseItemsHook() {
  static TChooseItemsHook hook;
  return hook;
}

std::vector<std::string> ChooseItems(TForm& owner, const std::string& title) {
  if (ChooseItemsHook()) return ChooseItemsHook()(title);
  return PlatformChooseItems(owner, title);
}
