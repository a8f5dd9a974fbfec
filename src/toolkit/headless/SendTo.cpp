#include <set>

#include "toolkit/SendTo.h"

// Headless the Send To folder is a set of names in memory.
namespace {

std::set<std::string>& Folder() {
  static std::set<std::string> names;
  return names;
}

}  // namespace

bool SendToShortcutsExist(const std::vector<TSendToShortcut>& shortcuts) {
  for (const TSendToShortcut& shortcut : shortcuts)
    if (!Folder().count(shortcut.Name)) return false;
  return true;
}

bool AddSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts) {
  for (const TSendToShortcut& shortcut : shortcuts) Folder().insert(shortcut.Name);
  return true;
}

void RemoveSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts) {
  for (const TSendToShortcut& shortcut : shortcuts) Folder().erase(shortcut.Name);
}
