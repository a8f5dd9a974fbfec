#pragma once

#include <string>

// The file-system path of the shell item that the path names, or the path itself when the shell
// cannot tell. Usable on any thread: COM is set up for the call where it is not yet.
std::string ShellPath(const std::string& path);
