#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/FileTime.h"
#include "platform/ItemId.h"

// One item's directory entry: its attributes (fa... values of WinConst.h), its three times, and
// its identity where the listing or lookup that gave the entry told it.
struct TFileEntry {
  uint32_t Attributes = 0;
  FILETIME CreationTime{};
  FILETIME LastAccessTime{};
  FILETIME LastWriteTime{};
  TItemId Id;
};

// Identifies a folder on its volume, to tell when a linked folder leads back to one above it.
struct TFolderId {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool operator==(const TFolderId&) const = default;
};

// One entry of a folder listing. Where the listing carries the item's times (HasTimes), Entry is
// what FindEntry would give for that item, so the item needs no reading of its own.
struct TListedEntry {
  const char* Name = nullptr;
  TFileEntry Entry;
  bool HasTimes = false;
};

// What a writer knows of an item before opening it; Unknown makes the backend find out itself.
enum class TItemKind : uint8_t { Unknown, File, Folder };

// What decides which times a volume can keep: its file system, named as Windows names it ("NTFS",
// "FAT32", "exFAT"; empty when it cannot be told), and whether it is reached over the network,
// where the server stores what it likes. A share names its file system after the server's wish,
// so the name is a hint, never proof.
struct TVolumeInfo {
  std::string FileSystemName;
  bool Remote = false;
  // False when the volume could not be asked at all.
  bool Known = true;
};

enum class TWriteTimesResult {
  Written,        // every time asked for is written
  NoWriteAccess,  // the item could not be opened for writing its times; nothing changed
  SetFailed,      // it was opened, but the times could not be set; nothing changed
  Declined,       // the caller's check refused the item the opening reached; nothing changed
};

// What the opening for a write saw of the item just before its times were set: its entry, with
// its identity. Known only where the platform reads them through that opening.
struct TSeenItem {
  TFileEntry Entry;
  bool Known = false;
};

// Told what the opening saw, before any time is set; false leaves the item as it is (Declined).
// It may complete what was seen, such as a volume the opening could not tell cheaply.
using TWriteCheck = std::function<bool(TSeenItem& seen)>;

// The file-system primitives the engine is written on. Each is a thin wrapper over the platform's
// calls; the engine's algorithms live above them, once.
class TFileSystem {
 public:
  virtual ~TFileSystem() = default;

  // The entry of exactly this path, a link read as itself. False when there is none, and for a
  // path holding a wildcard character ('*' or '?'), which can name no item.
  virtual bool FindEntry(const std::string& path, TFileEntry& entry) = 0;

  // Visits the folder's entries, "." and ".." included where the platform lists them, until the
  // visitor returns false. False when the folder cannot be listed. The listing is closed on every
  // way out, an exception from the visitor included.
  using TEntryVisitor = std::function<bool(const TListedEntry& entry)>;
  virtual bool ListFolder(const std::string& folder, const TEntryVisitor& visit) = 0;
  // Whether ListFolder gives the times of its entries; where it does not, listing a folder to read
  // some of its items costs more than reading each of them.
  virtual bool ListingHasTimes() const = 0;

  // The identity of the folder a path leads to, links followed. False when it cannot be told.
  virtual bool FolderId(const std::string& path, TFolderId& id) = 0;
  // Whether, on the volume holding this folder, a folder can show up again below itself only
  // through a link (faReparsePoint). True where a folder has one parent and every mount point is a
  // link; then a walk needs no folder's identity until it meets a link. False where that cannot
  // be told.
  virtual bool OnlyLinksLeadBack(const std::string& folder);

  // faInvalid when the path names nothing.
  virtual uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;

  // Opens the item itself (never a link's target) for writing its times, a folder as a folder,
  // writes the times given (null: leave that time as it is) and closes it. All or nothing. Never
  // blocks on a FIFO or a device. The kind, when known, spares asking the file system for it.
  virtual TWriteTimesResult WriteTimes(const std::string& path, TItemKind kind,
                                       const FILETIME* creation, const FILETIME* lastAccess,
                                       const FILETIME* lastWrite) = 0;

  // WriteTimes that first reads, through its own opening, what the item is and holds, and writes
  // only what the check accepts. The default opens nothing more, sees nothing and checks nothing.
  virtual TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind kind,
                                              const TWriteCheck&, TSeenItem& seen,
                                              const FILETIME* creation, const FILETIME* lastAccess,
                                              const FILETIME* lastWrite) {
    seen = {};
    return WriteTimes(path, kind, creation, lastAccess, lastWrite);
  }

  // The times the item itself (a link as itself) holds now, asked of the file system afresh after
  // its write has been closed, never taken from a listing, which can lag. False when they cannot
  // be read.
  virtual bool ReadBackTimes(const std::string& path, TItemKind kind, TFileEntry& entry) = 0;
  // The same through an opening of the item itself, where the quick query of ReadBackTimes may not
  // see what the item holds (a link followed to its target); asked only once a time differs.
  virtual bool ConfirmStoredTimes(const std::string& path, TItemKind kind, TFileEntry& entry) {
    return ReadBackTimes(path, kind, entry);
  }
  // The volume the item lies on. False when it cannot be told.
  virtual bool VolumeOf(const std::string& path, TItemKind kind, TVolumeInfo& volume) = 0;

  // The file-system path of the item a dropped path names; the path itself when that fails.
  virtual std::string NormalizePath(const std::string& path) = 0;

  // Bytes that are equal exactly when two paths name the same item: letter case folded as the
  // file system folds it, and nothing else.
  virtual std::string ItemKey(const std::string& path) = 0;
  // Bytes whose order is the order of item lists: the user's locale, letter case ignored, ties
  // broken by the item key, so that two keys are equal exactly when the paths are one item. Made
  // once per path, so that sorting a long list compares bytes only.
  virtual std::string OrderKey(const std::string& path) = 0;
  // The order key without its tie-break, into key: paths of one item get equal keys, and so may
  // paths the locale alone takes as equal; their item keys then decide. A sort of many paths holds
  // these and makes item keys only for ties.
  virtual void LocaleOrderKey(const std::string& path, std::string& key) { key = OrderKey(path); }

  // The same order and sameness, for two paths at a time. Where they cost no more than a byte
  // loop (SortsByKey false), item lists are sorted with them and no keys are made.
  virtual int ComparePaths(const std::string& a, const std::string& b);
  virtual bool SameItem(const std::string& a, const std::string& b);
  virtual bool SortsByKey() const { return true; }

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
