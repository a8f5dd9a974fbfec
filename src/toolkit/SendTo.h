#pragma once

#include <string>
#include <vector>

// Shortcuts in the user's Send To folder, each starting this program file with its parameters;
// the shell adds the items sent after them.
struct TSendToShortcut {
  std::string Name;  // the shortcut's name in the menu, without ".lnk"
  std::string Params;
};

// Whether every one of the shortcuts is there.
bool SendToShortcutsExist(const std::vector<TSendToShortcut>& shortcuts);
// Makes each anew; false when one could not be made.
bool AddSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts);
void RemoveSendToShortcuts(const std::vector<TSendToShortcut>& shortcuts);
