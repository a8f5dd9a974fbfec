#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/DroppedItems.h"
#include "data/ItemPath.h"
#include "data/TimeRule.h"
#include "platform/FileTime.h"
#include "platform/ItemId.h"
#include "platform/Object.h"

// One item, a file or a folder, with its three times as the file system reports them (UTC). Not a
// base class: no virtual destructor, so that a million of them carry no table pointer.
class TStamp {
 public:
  TStamp() = default;
  TStamp(const TStamp&) = default;
  TStamp(TStamp&&) noexcept = default;
  TStamp& operator=(const TStamp&) = default;
  TStamp& operator=(TStamp&&) noexcept = default;
  ~TStamp() = default;

  TItemPath Path;
  FILETIME CRTime{};
  FILETIME LWTime{};
  FILETIME LATime{};
  // The item its write reached, where the file system told: an Undo or Redo writes only onto it.
  TItemId Id;
};

using TStamps = std::vector<TStamp>;

// The six switches that steer an operation, in the order the settings file stores them.
class TStampOptions {
 public:
  TStampOptions() = default;
  TStampOptions(const TStampOptions&) = default;
  TStampOptions& operator=(const TStampOptions&) = default;
  virtual ~TStampOptions() = default;
  bool operator==(const TStampOptions& other) const;

  bool Subdirs = true;
  bool Directories = true;
  bool AnyAttr = false;
  bool CRTime = true;
  bool LWTime = true;
  bool LATime = true;
};

// Stamps with the options they are written with: the work of one writing operation, and one
// entry of the Undo/Redo history.
class TStampUnit {
 public:
  TStampUnit() = default;
  TStampUnit(const TStampUnit&) = default;
  TStampUnit(TStampUnit&&) noexcept = default;
  TStampUnit& operator=(const TStampUnit&) = default;
  TStampUnit& operator=(TStampUnit&&) noexcept = default;
  virtual ~TStampUnit() = default;

  TStamps Stamps;
  TStampOptions Options;
};

using TStampUnits = std::vector<TStampUnit>;
// An entry of the history, shared: a run that undoes or redoes it reads it where it is held.
using TSharedUnit = std::shared_ptr<const TStampUnit>;

// A time is known when it is above zero and below 2^63.
bool IsValidFileTime(const FILETIME& time);
void ClearFileTime(FILETIME& time);

class TPackedStamps;

// The Get data: the items of the last Get that read anything, their average and folder count; or
// times the user chose instead, which no item holds.
class TStampHolder : public TObject {
 public:
  TStampHolder() = default;
  ~TStampHolder() override = default;
  TStampHolder(const TStampHolder&) = delete;
  TStampHolder& operator=(const TStampHolder&) = delete;

  // The items, unpacked: each call makes the list anew.
  TStamps Stamps() const;
  // The items as held: a worker unpacks them on its own thread, and the list stays its own while a
  // later Get replaces the Get data.
  std::shared_ptr<const TPackedStamps> Packed() const { return FStamps; }
  const TStamp& Average() const { return FAverage; }
  int Count() const;
  int DirCount() const { return FDirCount; }
  int FileCount() const { return Count() - FDirCount; }
  // The items the Get was dropped with, which the stamps' paths begin with.
  const TDroppedItems& Dropped() const { return FDropped; }

  void Store(const TStamps& stamps, const TStamp& average, int dirCount,
             TDroppedItems dropped = {});
  // Takes the list over instead of copying it, for callers that no longer need theirs.
  void Store(TStamps&& stamps, const TStamp& average, int dirCount, TDroppedItems dropped = {});
  void Store(TPackedStamps&& stamps, const TStamp& average, int dirCount,
             TDroppedItems dropped = {});
  // Chosen times replace the Get data as a Get does; typed times become the average of no items.
  void Store(const TTimeChoice& choice);
  void Clear();

  const std::optional<TTimeChoice>& Choice() const { return FChoice; }
  // Items, or chosen times, that a Set can write.
  bool HasData() const { return Count() > 0 || FChoice.has_value(); }

  TNotifyEvent OnChange;
  void Changed();

 private:
  std::shared_ptr<const TPackedStamps> FStamps;
  TStamp FAverage;
  int FDirCount = 0;
  TDroppedItems FDropped;
  std::optional<TTimeChoice> FChoice;
};

// The Undo/Redo entries, oldest first; the first Position entries can be undone, the rest redone.
class TStampHistory : public TObject {
 public:
  TStampHistory() = default;
  ~TStampHistory() override = default;
  TStampHistory(const TStampHistory&) = delete;
  TStampHistory& operator=(const TStampHistory&) = delete;

  bool CanUndo() const { return FPosition != 0; }
  bool CanRedo() const { return FPosition < int(FUnits.size()); }
  // Only while CanUndo (CanRedo) holds.
  const TStampUnit& UndoUnit() const { return *SharedUndoUnit(); }
  const TStampUnit& RedoUnit() const { return *SharedRedoUnit(); }
  // The entry itself, not a copy: it stays the holder's while the history moves on.
  TSharedUnit SharedUndoUnit() const { return FUnits[size_t(FPosition - 1)]; }
  TSharedUnit SharedRedoUnit() const { return FUnits[size_t(FPosition)]; }
  int Position() const { return FPosition; }
  int Count() const { return int(FUnits.size()); }
  // The entries, oldest first, as they are held.
  std::vector<const TStampUnit*> Units() const;

  void Add(const TStampUnit& unit);
  void Add(TStampUnit&& unit);
  void CommitUndo(const TStampUnit& unit);
  void CommitUndo(TStampUnit&& unit);
  void CommitRedo(const TStampUnit& unit);
  void CommitRedo(TStampUnit&& unit);
  void DiscardUndo();
  void DiscardRedo();
  // A stopped Undo (Redo) that wrote only some items of its entry: the entry gives way to two,
  // so that both sides stay reachable. The items not written keep their times on the side they
  // were (rest); the times the written items had just before become the entry next on the other
  // side (written). An empty unit takes no place. Only while CanUndo (CanRedo) holds.
  void SplitUndo(TStampUnit&& written, TStampUnit&& rest);
  void SplitRedo(TStampUnit&& written, TStampUnit&& rest);
  void Clear();
  // The entries and position a history kept from an earlier run had.
  void Assign(TStampUnits&& units, int position);

  TNotifyEvent OnChange;
  void Changed();

 private:
  void ReplaceEntry(size_t index, TStampUnit&& first, TStampUnit&& second);

  std::vector<TSharedUnit> FUnits;
  int FPosition = 0;
};
