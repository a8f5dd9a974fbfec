#pragma once

// For its lifetime, the calling thread sees the file system as the user sees it. On 64-bit
// Windows the file calls of a 32-bit program are redirected (System32 to SysWOW64), so each file
// call on the very items the user dropped turns that off around itself alone: loading a DLL needs
// the redirection, and the shell's and COM's calls load DLLs when they please.
class TNativeFileView {
 public:
  TNativeFileView();
  ~TNativeFileView();
  TNativeFileView(const TNativeFileView&) = delete;
  TNativeFileView& operator=(const TNativeFileView&) = delete;

 private:
  void* Previous = nullptr;
  bool TurnedOff = false;
};
