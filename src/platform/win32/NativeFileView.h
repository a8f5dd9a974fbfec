#pragma once

// For its lifetime, the calling thread sees the file system as the user sees it. On 64-bit
// Windows the file calls of a 32-bit program are redirected (System32 to SysWOW64), so a worker
// that reads and writes the very items the user dropped turns that off on its own thread, and
// back on when its work ends. The main thread never does: the shell's calls need the redirection.
class TNativeFileView {
 public:
  TNativeFileView();
  ~TNativeFileView();
  TNativeFileView(const TNativeFileView&) = delete;
  TNativeFileView& operator=(const TNativeFileView&) = delete;

  // Whether the redirection was on and is now off for this thread.
  bool RedirectionTurnedOff() const { return TurnedOff; }

 private:
  void* Previous = nullptr;
  bool TurnedOff = false;
};
