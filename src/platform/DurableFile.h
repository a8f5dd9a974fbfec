#pragma once

#include <cstdint>
#include <string>

// A file of the program's own that only grows between two Clears, whose appended bytes are on the
// disk once Flush has returned. It is held open and locked from Open to Close, so that another
// process can tell whether its owner still lives: it cannot open a file that is held.
class TDurableFile {
 public:
  TDurableFile() = default;
  ~TDurableFile();
  TDurableFile(const TDurableFile&) = delete;
  TDurableFile& operator=(const TDurableFile&) = delete;

  // Opens the file, made when missing, and locks it. False when it cannot be opened, or another
  // process holds it.
  bool Open(const std::string& path);
  bool IsOpen() const { return FHandle != invalidHandle; }
  // Writes the bytes at the end; false unless every byte was written.
  bool Append(const std::string& bytes);
  // Returns once what was appended is on the disk.
  bool Flush();
  // The whole file as it is now.
  bool ReadAll(std::string& bytes);
  // Empties the file, on the disk too.
  bool Clear();
  void Close();
  // Closes and deletes the file.
  bool Remove();

 private:
  static constexpr intptr_t invalidHandle = -1;
  intptr_t FHandle = invalidHandle;
  std::string FPath;
};

// The folder for the program's state where the folder beside it cannot be written: the user's local
// application data (Windows), or $XDG_STATE_HOME, else ~/.local/state (POSIX); with its own
// subfolder, made when missing. Empty when there is none.
std::string LocalStateFolder();
