#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A start of the program that brings work for a window already running from the same program
// file hands it over, waits until the window has finished or refused it, and ends with a status
// that says which, so that one Get and a later Set from the shell share their data and a script
// can run its steps in order.

// The exit statuses of a start that handed its request over.
enum THandOverStatus : int {
  hsDone = 0,         // every item was done
  hsItemsFailed = 1,  // some items failed; the error log says which
  hsCanceled = 2,     // stopped by the user
  hsNoOperation = 3,  // refused with "No operation.": nothing to do, or names that name nothing
  hsBusy = 4,  // refused while busy: the queue of waiting requests was full, or the window closed
  hsRefused = 5,   // the window takes no requests from this program: another user, or a lower
                   // integrity level
  hsNoAnswer = 6,  // the window ended before it answered
};

// What became of a handed-over request: the status, and the text its start prints for its caller
// (the status line and the error log, or the refusal).
struct THandOverAnswer {
  int Status = hsDone;
  std::string Text;
  bool operator==(const THandOverAnswer&) const = default;
};
// Called once, on the main thread, when the request has been finished or refused.
using THandOverReply = std::function<void(const THandOverAnswer& answer)>;

// Hands the parameters to the most recently active window of this program file in another
// process and waits for its answer; none when no window took them, and this start runs them as a
// window of its own.
std::optional<THandOverAnswer> ForwardToRunningInstance(const std::vector<std::string>& params);

// What this process does with parameters another start handed over. It runs on the main thread;
// the reply may come later. While a handler is set, this process takes requests.
using TForwardedParamsHandler =
    std::function<void(const std::vector<std::string>& params, THandOverReply reply)>;
void SetForwardedParamsHandler(TForwardedParamsHandler handler);
// For the backend and for tests: the handed-over parameters arrive. Without a handler the window
// is gone, and the request is refused.
void ReceiveForwardedParams(const std::vector<std::string>& params, THandOverReply reply);

// Who a process runs as: its user, and its mandatory integrity level. Unknown where its token
// could not be read.
struct TTokenFacts {
  std::string User;
  uint32_t Integrity = 0;
  bool Known = false;
};
// Only the window's own user hands it requests, and only from the window's integrity level or a
// higher one: a program of another user, or one the system runs with less trust (a browser's
// sandbox), cannot make the window write.
bool MayHandOver(const TTokenFacts& window, const TTokenFacts& sender);

// Writes the text for whoever started this process: to the file or pipe its output goes to, else
// to the console it was started from; nowhere when there is neither.
void TellCaller(const std::string& text);

// A path given on the command line, made full against the folder the program was started in:
// another process, or the program later, would read a relative one against another folder.
std::string FullPathOf(const std::string& path);

// For the backends: take requests from other starts, or no longer.
void PlatformTakeRequests(bool take);
