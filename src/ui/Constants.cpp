#include "ui/Constants.h"

#include "platform/DurableFile.h"
#include "platform/FileSystem.h"
#include "toolkit/Application.h"
#include "version.h"

const std::string AppName = "Brevantor";
const std::string AboutText = AppName + " for Win32 Version " + BREVANTOR_VERSION_TEXT +
                              "\r\n\r\n" + "The Brevantor developers";
const std::string TipsText =
    "To cancel the process, press Escape key.\r\n"
    "To show Properties of Get data, double-click the status bar.";
const std::string DefaultPosSwitch = "/dp";

namespace {

// The program file's folder with its trailing separator; "/" is one on every platform.
std::string ProgramFolder() {
  const std::string exe = Application().ExeName();
  const std::string separators{PlatformFileSystem().Separator(), '/'};
  const size_t last = exe.find_last_of(separators);
  return last == std::string::npos ? std::string() : exe.substr(0, last + 1);
}

}  // namespace

std::string HelpPath() {
  return ProgramFolder() + "Help" + PlatformFileSystem().Separator() + "index.html";
}

std::string SettingsPath() { return ProgramFolder() + "Settings.ini"; }

std::vector<std::string> JournalFolders() { return {ProgramFolder(), LocalStateFolder()}; }

const std::string MalformedDropText =
    "No operation.\r\n\r\nThe list of dropped items is malformed.";
const std::string NamelessItemText = "No operation.\r\n\r\nAn empty or blank name names no item.";
