#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/StoredTimes.h"
#include "platform/FileSystem.h"
#include "platform/WinConst.h"

// The primitives a test can make fail or watch. A write of times is two steps: opening the item
// (its failure is NoWriteAccess) and setting the times (SetFailed).
enum class TPrimitive {
  FindEntry,
  ListFolder,
  FolderId,
  GetAttributes,
  SetAttributes,
  WriteTimesOpen,
  WriteTimesSet,
  OnlyLinksLeadBack,
  ReadBack,
  NormalizePath,
  VolumeOf
};

// An in-memory tree that behaves like the Windows file system as the engine sees it: letter case
// (ASCII) is ignored in every path, a folder lists "." and ".." first, a read-only item refuses the
// write of its times, a folder is opened for writing only as a folder (a write told it is a file
// has no access). Listings carry no times unless SetListingHasTimes(true) asks for the Windows
// listing's; an item whose FindEntry is made to fail is then listed without them. With the
// separator '\\', a path ending in it or holding '*' or '?' has no entry, as FindFirstFileA gives
// none. Only links lead back to a folder above, unless SetOnlyLinksLeadBack(false) asks the walk to
// compare every folder, as on a share or Linux. Case sensitive, it holds names that differ only in
// letter case, as a Linux folder seen from Windows does; its item keys still fold case, as Windows
// does. Any primitive can be made to fail for a chosen path. Safe to use from one worker thread and
// the test's thread.
class TFakeFileSystem : public TFileSystem {
 public:
  explicit TFakeFileSystem(char separator = '\\', bool caseSensitive = false);

  // Both create missing parent folders; adding a path that exists replaces its entry.
  void AddFolder(const std::string& path, uint32_t attributes = faDirectory);
  void AddFile(const std::string& path, uint32_t attributes = faArchive, uint64_t creation = 0,
               uint64_t lastAccess = 0, uint64_t lastWrite = 0);
  // A linked folder (faDirectory | faReparsePoint): read and written as itself, listed as the
  // target, and every path below it leads into the target. Unmarked, it looks a plain folder, as
  // a share shows a link that its server follows.
  void AddFolderLink(const std::string& path, const std::string& target, bool marked = true);
  // The item at the path is another one from now on, with the same entry, as after an editor's
  // save by rename and replace; false when there is none.
  bool Replace(const std::string& path);
  // The three times of an existing item; false when there is none.
  bool SetTimes(const std::string& path, uint64_t creation, uint64_t lastAccess,
                uint64_t lastWrite);

  // NormalizePath(from) gives to; every other path comes back unchanged.
  void MapNormalized(const std::string& from, const std::string& to);
  // That primitive fails for that path (letter case ignored) from now on.
  void Fail(TPrimitive primitive, const std::string& path);
  // Every primitive works again, as when a volume that went away is back.
  void ClearFailures();
  // False: a write that asks for a creation time gives SetFailed and writes nothing.
  void SetCanWriteCreationTime(bool can);
  void SetListingHasTimes(bool has);
  // What a write stores of each time it is given, from the time asked and the time held before;
  // by default the time asked. The volume VolumeOf tells, by default an unnamed local one.
  using TStoreRule = std::function<uint64_t(TTimeKind kind, uint64_t asked, uint64_t held)>;
  void SetStoreRule(TStoreRule rule);
  void SetVolume(const TVolumeInfo& volume);
  void SetOnlyLinksLeadBack(bool only);
  // Every folder's identity then has the index 0, as on some network volumes.
  void SetFolderIndexesZero(bool zero);

  bool Exists(const std::string& path) const;
  // The item's current attributes and times; Attributes is faInvalid when there is no such item.
  TFileEntry Entry(const std::string& path) const;

  // Called at the start of every primitive, before the fake looks at anything (and for a write
  // of times once more before the times are set), without the fake's lock held.
  std::function<void(TPrimitive, const std::string& path)> OnCall;

  bool FindEntry(const std::string& path, TFileEntry& entry) override;
  bool ListFolder(const std::string& folder, const TEntryVisitor& visit) override;
  bool ListingHasTimes() const override;
  bool OnlyLinksLeadBack(const std::string& folder) override;
  bool FolderId(const std::string& path, TFolderId& id) override;
  uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  TWriteTimesResult WriteTimes(const std::string& path, TItemKind kind, const FILETIME* creation,
                               const FILETIME* lastAccess, const FILETIME* lastWrite) override;
  TWriteTimesResult WriteTimesChecked(const std::string& path, TItemKind kind,
                                      const TWriteCheck& check, TSeenItem& seen,
                                      const FILETIME* creation, const FILETIME* lastAccess,
                                      const FILETIME* lastWrite) override;
  bool ReadBackTimes(const std::string& path, TItemKind kind, TFileEntry& entry) override;
  bool VolumeOf(const std::string& path, TItemKind kind, TVolumeInfo& volume) override;
  std::string NormalizePath(const std::string& path) override;
  std::string ItemKey(const std::string& path) override;
  std::string OrderKey(const std::string& path) override;
  char Separator() const override { return PathSeparator; }

 private:
  // Letter case folded unless the file system is case sensitive.
  struct TFoldedHash {
    bool CaseSensitive;
    size_t operator()(const std::string& path) const;
  };
  struct TFoldedEqual {
    bool CaseSensitive;
    bool operator()(const std::string& a, const std::string& b) const;
  };
  template <typename T>
  using TPathMap = std::unordered_map<std::string, T, TFoldedHash, TFoldedEqual>;
  using TPathSet = std::unordered_set<std::string, TFoldedHash, TFoldedEqual>;

  // Map nodes never move, so a node can point at its own key and at its children.
  struct TNode {
    const std::string* Path = nullptr;
    TFileEntry Entry;
    uint64_t Id = 0;
    std::vector<const TNode*> Children;
  };

  TNode& Add(const std::string& path, const TFileEntry& entry);
  std::string ParentOf(const std::string& path) const;
  const char* NameOf(const TNode& node) const;
  std::string Resolved(const std::string& path) const;
  const TNode* Find(const std::string& path) const;
  TNode* Find(const std::string& path);
  const TNode* Followed(const std::string& path) const;
  bool Fails(TPrimitive primitive, const std::string& path) const;
  void Notify(TPrimitive primitive, const std::string& path) const;
  bool OpensForTimes(const std::string& path, TItemKind kind) const;
  bool WindowsStyle() const { return PathSeparator == '\\'; }

  const char PathSeparator;
  mutable std::mutex Mutex;
  TPathMap<TNode> Nodes;
  TPathMap<std::string> LinkTargets;
  std::unordered_map<std::string, std::string> Normalized;
  std::array<TPathSet, size_t(TPrimitive::VolumeOf) + 1> Failures;
  bool CanWriteCreationTime = true;
  TStoreRule StoreRule;
  TVolumeInfo Volume;
  bool ListingTimes = false;
  bool OnlyLinks = true;
  bool ZeroIndexes = false;
  uint64_t LastId = 0;
};
