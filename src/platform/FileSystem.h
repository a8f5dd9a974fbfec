#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileTime.h"

// One item's directory entry: its attributes (fa... values of WinConst.h) and its three times.
struct TFileEntry {
  uint32_t Attributes = 0;
  FILETIME CreationTime{};
  FILETIME LastAccessTime{};
  FILETIME LastWriteTime{};
};

// Identifies a folder on its volume, to tell when a linked folder leads back to one above it.
struct TFolderId {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool operator==(const TFolderId&) const = default;
};

enum class TWriteTimesResult {
  Written,        // every time asked for is written
  NoWriteAccess,  // the item could not be opened for writing its times; nothing changed
  SetFailed,      // it was opened, but the times could not be set; nothing changed
};

// The file-system primitives the engine is written on. Each is a thin wrapper over the platform's
// calls; the engine's algorithms live above them, once.
class TFileSystem {
 public:
  virtual ~TFileSystem() = default;

  // The entry of exactly this path, a link read as itself. False when there is none, and for a
  // path holding a wildcard character ('*' or '?'), which can name no item.
  virtual bool FindEntry(const std::string& path, TFileEntry& entry) = 0;

  // Visits the folder's entries, "." and ".." included where the platform lists them, until the
  // visitor returns false. False when the folder cannot be listed.
  using TEntryVisitor = std::function<bool(const char* name, uint32_t attributes)>;
  virtual bool ListFolder(const std::string& folder, const TEntryVisitor& visit) = 0;

  // The identity of the folder a path leads to, links followed. False when it cannot be told.
  virtual bool FolderId(const std::string& path, TFolderId& id) = 0;

  // faInvalid when the path names nothing.
  virtual uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;

  // Opens the item itself (never a link's target) for writing its times, a folder as a folder,
  // writes the times given (null: leave that time as it is) and closes it. All or nothing. Never
  // blocks on a FIFO or a device.
  virtual TWriteTimesResult WriteTimes(const std::string& path, const FILETIME* creation,
                                       const FILETIME* lastAccess, const FILETIME* lastWrite) = 0;

  // The file-system path of the item a dropped path names; the path itself when that fails.
  virtual std::string NormalizePath(const std::string& path) = 0;

  // The order of item lists: the user's locale, letter case ignored, ties broken by SameItem's
  // ordinal comparison, so that two paths compare equal exactly when they are the same item.
  virtual int ComparePaths(const std::string& a, const std::string& b) = 0;
  // Whether two paths name the same item: ordinal, letter case ignored as the file system does.
  virtual bool SameItem(const std::string& a, const std::string& b) = 0;

  virtual char Separator() const = 0;
};

// The platform's own file system.
TFileSystem& PlatformFileSystem();

// The file system the engine uses: the platform's, unless a test has put another in its place.
TFileSystem& FileSystem();

// Puts another file system in place for the guard's lifetime (tests).
class TFileSystemOverride {
 public:
  explicit TFileSystemOverride(TFileSystem& replacement);
  ~TFileSystemOverride();
  TFileSystemOverride(const TFileSystemOverride&) = delete;
  TFileSystemOverride& operator=(const TFileSystemOverride&) = delete;

 private:
  TFileSystem* Previous;
};
