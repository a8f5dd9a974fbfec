#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/Common.h"
#include "data/DroppedItems.h"
#include "data/PackedPaths.h"
#include "data/Tstamp.h"
#include "engine/StampProgress.h"
#include "engine/StoredTimes.h"
#include "engine/WrittenItems.h"
#include "platform/FileSystem.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"

// One byte per stamp: 1 while the item is still good, 0 once it failed or is to be skipped.
using TFlags = std::vector<uint8_t>;

// The file-system work of one operation, run on its worker thread: dropped paths to items, reading
// and writing times, averages and the Properties report, and message boxes on the main thread.
// Every loop stops early once the thread is asked to terminate. Flag arrays hold one flag per
// stamp.
class TStamperBase : public TThread {
 public:
  // Suspended, and frees itself when its run has ended.
  TStamperBase();
  ~TStamperBase() override;

  std::string NormalizePath(const std::string& path);
  // Replaces the dropped paths by the sorted, duplicate-free item paths the options select, and
  // keeps the entries their listings gave, for the reading of the same items that follows. With
  // droppedItems, it also gives the dropped items as normalised, in their order. A folder that
  // cannot be listed adds nothing below it and, with errorLog, one line there.
  void ExpandItems(TStringList& list, TStampOptions options, TDroppedItems* droppedItems = nullptr,
                   TStringList* errorLog = nullptr);
  // The same, giving the item paths as the stamps hold them, those of one folder sharing its
  // text: a million paths as strings would be some 130 bytes each.
  TItemPaths ExpandPaths(const TStringList& dropped, TStampOptions options,
                         TDroppedItems* droppedItems = nullptr, TStringList* errorLog = nullptr);
  // With attributes, it ends with one per stamp: the attributes found, faInvalid where it found
  // nothing. A stamp without an identity takes the one its entry tells.
  int ReadStamps(TStringList& errorLog, TStamps& stamps, int& folderCount, TFlags& flags,
                 std::vector<uint32_t>* attributes = nullptr);
  int GetStamps(TStringList& errorLog, TStamps& stamps, int& folderCount);
  void RemoveFailedUnits(TStamps& stamps, const TFlags& flags);
  // A flag stays 1 only where the file system, read back, kept every time written (within its
  // precision). With timesWritten, it ends with one byte per stamp: 1 exactly where the times were
  // written, whatever became of the attributes afterwards or the file system kept. The attributes
  // a read of the same stamps gave tell each item's kind and, without AnyAttr, whether it may be
  // written. An item is written only while it is still the item its stamp's identity names (its
  // stamp in seen, where given), and a file reached under several paths once. With seen, each
  // stamp there whose item the write opened gets what that opening saw: its times just before
  // and its identity.
  int WriteStamps(TStringList& errorLog, const TStamps& stamps, TStampOptions options, bool forward,
                  TFlags& flags, TFlags* timesWritten = nullptr,
                  const std::vector<uint32_t>* attributes = nullptr, TStamps* seen = nullptr);
  static std::string AttributeText(uint32_t attrs);
  // Of the items this run wrote and counted, those whose times the file system rounded within
  // what it can hold.
  int RoundedCount() const { return FRoundedCount; }
  // Shows the box on the main thread and waits for the answer.
  int ShowMessageBox(const std::string& text, int style);

  TStamp AverageStamp(const TStamps& stamps);
  // With a rule, the rule stands where the average would.
  void ShowProperties(int fileCount, int dirCount, const TStamp& average,
                      const TTimeChoice* rule = nullptr);

  // How far the reading or writing of items is; safe to read from the main thread during the run.
  const TStampProgress& Progress() const { return FProgress; }

 protected:
  // Told of each item a WriteStamps with seen passes, in the order of writing: its place, whether
  // its times were written, and its stamp in seen.
  virtual void ItemPassed(size_t place, bool written, const TStamp& before);

  // The expanded items were narrowed to those at the places kept, in this order: the entries
  // their listings gave follow them, so that the read of the items kept still finds them.
  void NarrowListedEntries(const std::vector<size_t>& kept);

  std::string MessageText;
  int MessageFlags = 0;
  int MessageResult = 0;

 private:
  // An entry of a folder's listing that waits while the walk is below an earlier one.
  struct TPendingEntry {
    std::string Name;
    TFileEntry Entry;
    bool HasTimes = false;
  };
  // A folder being walked: the walk's path up to Length. Its identity once asked for: asking
  // costs an opening of the folder, so where only links lead back it waits until the walk meets
  // one. And the entries of its listing not taken yet.
  struct TWalkedFolder {
    size_t Length = 0;
    uint32_t Listing = 0;    // the number of its listing among the expansion's
    bool BelowLink = false;  // it, or a folder above it in the walk, is a link
    bool Asked = false;
    bool HasId = false;
    TFolderId Id;
    std::vector<TPendingEntry> Pending;
    size_t Next = 0;
  };
  // One walk below a dropped folder. The folders being walked are its own stack, outermost first,
  // so that no depth of tree is too deep for the thread's stack; Path is the item at hand.
  struct TWalk {
    std::string Path;
    std::vector<TWalkedFolder> Descent;
    bool EveryFolderAsked = false;  // the volume can show a folder again below itself unmarked
    TStringList* ErrorLog = nullptr;
  };

  // What is known of the item at one place of a list. The fingerprint of its path ties it to that
  // place: a list of other items, or in another order, finds no entry there. The entry's fields
  // are laid out flat, its flags in what would be padding: 56 bytes an item, not 72.
  class TKnownEntry {
   public:
    uint64_t Fingerprint = 0;
    bool Known() const { return FKnown; }
    TFileEntry Entry() const;
    void SetEntry(const TFileEntry& entry);

   private:
    FILETIME FTimes[3]{};  // creation, last access, last write
    uint64_t FVolume = 0;
    uint64_t FIndex = 0;
    uint32_t FAttributes = 0;
    bool FIdKnown = false;
    bool FKnown = false;
  };
  using TKnownEntries = std::vector<TKnownEntry>;

  // The item paths found, packed until they are sorted, and the entries their listings gave
  // beside them. Entries stays empty while no listing gives times (always on Linux), so that the
  // paths alone are carried and sorted there.
  // Each path with the listing that found it (0 for a dropped item).
  struct TFoundItems {
    TPackedPaths Paths;
    TKnownEntries Entries;
    std::vector<uint32_t> Listings;
    uint32_t ListingCount = 0;
    TStampProgress* Progress = nullptr;
    void Add(std::string_view path, const TListedEntry* listed, uint32_t listing);
    // The entry of a listing, whose folder's path ends in the separator.
    void Add(std::string_view folder, const TListedEntry& listed, uint32_t listing);
    void Found(const TListedEntry* listed, uint32_t listing);
  };

  static bool IsFolder(uint32_t attributes);
  static void AskId(const TWalk& walk, TWalkedFolder& folder);
  static bool LeadsBack(TWalk& walk, TWalkedFolder& folder);
  static uint64_t Fingerprint(const TItemPath& path);

  void WalkFolder(TFoundItems& items, std::string folder, uint32_t attributes,
                  const TStampOptions& options, TStringList* errorLog);
  void TakeEntry(TWalk& walk, TFoundItems& items, const TPendingEntry& entry,
                 const TStampOptions& options);
  void EnterFolder(TWalk& walk, TFoundItems& items, bool isLink);
  // The paths found in their order, of those naming one item only the first; the entries follow.
  static TItemPaths SortedWithoutDuplicates(TFoundItems& items);
  void KeepListedEntries(TFoundItems& items, const TItemPaths& paths);

  // A read under way: the stamps it fills and, for each, whether its entry is in it yet.
  struct TRead {
    enum : uint8_t { NotFound, FoundFile, FoundFolder };
    TStamps& Stamps;
    std::vector<uint32_t>* Attributes = nullptr;
    TFlags Found;
    void Take(size_t place, const TFileEntry& entry);
  };
  void TakeListedEntries(TRead& read, const TFlags& flags);
  void ReadByFolder(TRead& read, const TFlags& flags);
  void PickFromListing(const std::string& folder, const std::vector<size_t>& places, TRead& read);
  // One item on its way through the write: what is known of it before, what its opening saw.
  struct TWriteItem {
    const TStamp& Stamp;
    uint32_t Attributes = faInvalid;  // not known yet
    TItemId Expected;
    TSeenItem Seen;
  };
  bool WriteStamp(TStringList& errorLog, TWriteItem& item, const TStampOptions& options,
                  uint8_t& flag, const TWrittenItems& written);
  bool WriteTimes(TStringList& errorLog, TWriteItem& item, const TStampOptions& options,
                  const TWrittenItems& written, std::optional<TWrittenItem>& first);
  void CompleteVolume(std::string_view path, TItemId& id);

  // What the file system kept of an item's write, read back after it; logs the times not kept.
  TKeeping ReadBack(TStringList& errorLog, const TStamp& stamp, TItemKind kind,
                    const TStampOptions& options);
  const TVolumeInfo& VolumeOfFolder(const std::string& path, TItemKind kind);

  // The volume of each folder whose items came back other than written.
  std::unordered_map<std::string, TVolumeInfo> FVolumes;
  // The volume serial number of each folder an item was written in, 0 where it cannot be told.
  std::unordered_map<std::string, uint64_t> FFolderVolumes;
  int FRoundedCount = 0;
  // Entries the last expansion's listings gave, in the order of its result, until a read takes
  // them.
  TKnownEntries FListed;
  TStampProgress FProgress;
};
