#pragma once

#include <string>
#include <vector>

// The program-wide texts and paths.
extern const std::string AppName;
extern const std::string AboutText;
extern const std::string TipsText;
// Refusals of items that name nothing: a list another program made that cannot be read, and an
// empty or blank name.
extern const std::string MalformedDropText;
extern const std::string NamelessItemText;
// Keeps a new process at the position the system gives it.
extern const std::string DefaultPosSwitch;

// Beside the program file. Taken from the application's program path on each call, so that a
// test that places the program in a folder of its own finds its files there.
std::string HelpPath();
std::string SettingsPath();
// Where the journal goes: beside the settings, else the user's local state folder.
std::vector<std::string> JournalFolders();
