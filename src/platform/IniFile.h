#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An INI file held in memory: the whole file is read at construction and written back whole, so
// that every other section, key and line (comments, blank lines) keeps its text and its place.
// Section and key names are compared without regard to ASCII letter case, as Windows does. Names
// and values are single lines; a key name holds no "=".
class TIniFile {
 public:
  // A missing file reads as empty.
  explicit TIniFile(std::string path);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Replaces the key's value in place, or appends the key to its section, or appends the section
  // at the end of the file.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

  // Writes the whole file back with CR LF line ends, replacing the old one in one step. False when
  // it cannot, and when the file could not be read, since writing it then would lose its other
  // sections; the old file then stays as it was.
  bool UpdateFile();

  // The file exists but could not be read.
  bool ReadFailed() const { return FReadFailed; }

 private:
  std::optional<size_t> FindKey(const std::string& section, const std::string& key) const;
  std::optional<size_t> FindKeyInsertPoint(const std::string& section) const;

  std::string FPath;
  std::vector<std::string> FLines;
  bool FReadFailed = false;
  // Kept on writing, so that the editor that saved the file still reads it as UTF-8.
  bool FByteOrderMark = false;
};

// The platform's side of TIniFile.
enum class TIniReadResult { Read, Missing, Failed };
TIniReadResult ReadIniFileContents(const std::string& path, std::string& contents);

// Writes the contents to a new file beside the file a link at the path leads to, flushes it to the
// disk and puts it in that file's place in one step, keeping the file's permissions and the link,
// so that a stop halfway never leaves a truncated file. On failure the new file is removed and the
// old one stays as it was.
bool ReplaceIniFileContents(const std::string& path, const std::string& contents);

// While it lives, no other process holding one for the same file gets one: two windows that read,
// change and write the file take turns. It waits a short while for another holder, then goes on
// without the lock rather than lose the save. Its file (the path and ".lock") goes with it.
class TIniFileLock {
 public:
  explicit TIniFileLock(const std::string& iniPath);
  ~TIniFileLock();
  TIniFileLock(const TIniFileLock&) = delete;
  TIniFileLock& operator=(const TIniFileLock&) = delete;
  bool Held() const { return FHandle != -1; }

 private:
  std::string FPath;
  std::intptr_t FHandle = -1;
};

// Tests: while a limit lives, a replacement writes at most that many bytes of its new contents and
// fails when they are longer, as a full disk or a crash halfway would make it.
class TIniWriteLimit {
 public:
  explicit TIniWriteLimit(size_t limit);
  ~TIniWriteLimit();
  TIniWriteLimit(const TIniWriteLimit&) = delete;
  TIniWriteLimit& operator=(const TIniWriteLimit&) = delete;

 private:
  size_t Previous;
};

// The bytes a replacement may write now: the test limit, or no limit (SIZE_MAX).
size_t IniWriteLimit();
