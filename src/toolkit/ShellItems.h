#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TForm;

// Ways other than a drop by which the user hands the program files and folders from the shell.
// Each gives the items' whole paths, in the order the shell gives them, as a drop would.

// Whether the clipboard holds files that a shell copy or cut put there.
bool ClipboardHasFiles();
// Those files; none when it holds none, and no list at all when the list there is malformed.
// Reading them never tells the source that they were taken, so a cut never makes the shell
// delete them. When a hook is set, the hook stands for the clipboard.
std::optional<std::vector<std::string>> ClipboardFiles();
using TClipboardFilesHook = std::function<std::optional<std::vector<std::string>>()>;
TClipboardFilesHook& ClipboardFilesHook();

// Asks the user for several files, or, by a button of the dialog, several folders, through the
// system's dialog owned by the form; none when the user cancels. When a hook is set, the hook
// answers instead of the dialog: that is how tests play the user.
using TChooseItemsHook = std::function<std::vector<std::string>(const std::string& title)>;
std::vector<std::string> ChooseItems(TForm& owner, const std::string& title);
TChooseItemsHook& ChooseItemsHook();

// For the backends.
bool PlatformClipboardHasFiles();
std::optional<std::vector<std::string>> PlatformClipboardFiles();
std::vector<std::string> PlatformChooseItems(TForm& owner, const std::string& title);
