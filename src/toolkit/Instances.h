#pragma once

#include <functional>
#include <string>
#include <vector>

// A start of the program that brings work for a window already running from the same program
// file hands it over and ends, so that one Get and a later Set from the shell share their data.

// Hands the parameters to the most recently active window of this program file in another
// process; true when that window took them.
bool ForwardToRunningInstance(const std::vector<std::string>& params);

// What this process does with parameters another start handed over. It runs on the main thread
// once the other start has its answer, so that nothing it shows holds that start up.
using TForwardedParamsHandler = std::function<void(const std::vector<std::string>& params)>;
void SetForwardedParamsHandler(TForwardedParamsHandler handler);
// For the backend and for tests: the handed-over parameters arrive.
void ReceiveForwardedParams(const std::vector<std::string>& params);

// A path given on the command line, made full against the folder the program was started in:
// another process, or the program later, would read a relative one against another folder.
std::string FullPathOf(const std::string& path);
