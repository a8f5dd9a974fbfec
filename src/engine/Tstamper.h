#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "engine/Tstamperbase.h"

enum TOperationKind : int8_t {
  okGet = 0,
  okSet = 1,
  okSync = 2,
  okUndo = 3,
  okRedo = 4,
  okProperties = 5,
  okRestore = 6  // puts back what a run that was cut short had written
};

class TWritePreview;

// Why a Sync cannot run on chosen times, after "No operation.".
std::string ChoiceSyncRefusal(const TTimeChoice& choice);

// "Get" .. "Properties", "Restore"; "(Unknown)" for any other value.
std::string OperationName(TOperationKind kind);

// The worker thread of one operation. It borrows the holder and the history, touches them only in
// short steps on the main thread, shows its own messages and hands its counts and error log to
// the end event. It frees itself after its end.
class TStamper : public TStamperBase {
 public:
  // Paths may be null (Undo, Redo, Properties of the Get data); the caller keeps its own list.
  TStamper(TOperationKind kind, const TStringList* paths, TStampHolder* holder,
           TStampHistory* history, TStampOptions options);

  // Readable in the end event.
  const TStringList& ErrorLog() const { return FErrorLog; }
  int ItemCount() const { return FItemCount; }
  int SucceededCount() const { return FSucceededCount; }
  bool Canceled() const { return FCanceled; }
  // The text of the box by which the run refused to go on ("No operation. ..."); empty when it
  // did not refuse.
  const std::string& Refusal() const { return FRefusal; }
  TOperationKind Kind() const { return FKind; }

  // A Sync pairs its targets with the Get data by their paths relative to the drops, not by
  // their places. Set before the start.
  bool SyncByName() const { return FSyncByName; }
  void SetSyncByName(bool byName) { FSyncByName = byName; }
  // Paired by name, a target without a partner of its own name takes one that differs only in
  // its last extension. Set before the start.
  void SetIgnoreExtensions(bool ignore) { FIgnoreExtensions = ignore; }
  // Asked on the main thread once a Set, Sync, Undo or Redo has read its backup and before its
  // first write, with what it is about to write; false writes nothing and ends the run as
  // stopped. Set before the start; without one the run asks nothing.
  using TPreviewAnswer = std::function<bool(TWritePreview& preview)>;
  void SetPreview(TPreviewAnswer preview) { FPreview = std::move(preview); }
  // The journal a writing operation keeps its way back in; none keeps no journal. Set before the
  // start; the journal is not touched by anyone else until the end event.
  void SetJournal(TJournal* journal) { FJournal = journal; }
  // The run a Restore puts back, as its journal tells it. Set before the start.
  void SetStoppedRun(TJournalState state) { FStoppedRun = std::move(state); }

 protected:
  void DoTerminate() override;
  void Execute() override;
  void ItemPassed(size_t place, bool written, const TStamp& before) override;

 private:
  void Body();
  bool PassesTimeCheck();
  bool PassesItemCheck();
  void Refuse(const std::string& reason);
  // The dropped paths until the expansion has made them the item paths.
  int PathCount() const {
    return int(FDropPaths && !FDropPaths->empty() ? FDropPaths->size() : FPaths.size());
  }
  void TakePaths(TStamps& stamps);

  void ReadOperation();
  void ReportGetData();
  void ReadItems();

  void WriteOperation();
  TStampUnit FetchUnit();
  TSharedUnit FetchEntry();
  bool CountsMatch(const TStampUnit& unit);
  bool ApplyRule(TStampUnit& unit, const TStampUnit& backup, TFlags& flags);
  // The Get data's stamps become the paired targets with their partners' times; every target
  // without a partner leaves a line in the error log.
  void PairTargetsByName(TStamps& stamps);
  bool ConfirmIncompleteBackup(int read, int total);
  bool ConfirmPreview(const TStampUnit& unit, const TStampUnit& backup, const TFlags& flags);
  // A Sync's source of each stamp, kept for its preview.
  void KeepSources(const TStamps& sources);
  // False when the run is not to write: its start is not on the disk, and the user, asked once,
  // did not choose to go on without it.
  bool JournalBegin(const TStampUnit& unit, const TStampUnit& backup, const TFlags& flags,
                    std::vector<uint32_t> attributes);
  void PutBackAttributes(const TStamps& stamps, const TFlags& timesWritten);
  void Commit(TStampUnit&& backup, const TStampUnit& unit, const TFlags& timesWritten,
              bool stopped);
  void CommitHistory(TStampUnit&& backup);
  void CommitSplit(TStampUnit&& written, TStampUnit&& rest);

  int FItemCount = 0;
  int FSucceededCount = 0;
  bool FCanceled = false;
  std::string FRefusal;
  TStringList FErrorLog;
  bool FSyncByName = false;
  bool FIgnoreExtensions = false;
  TPreviewAnswer FPreview;
  TStringList FSources;
  TOperationKind FKind;
  std::optional<TStringList> FDropPaths;
  TItemPaths FPaths;
  TDroppedItems FDropped;
  TStampHolder* FHolder;
  TStampHistory* FHistory;
  TStampOptions FOptions;
  // A Set's rule, held instead of times; a Sync's refusal of chosen times.
  std::optional<TTimeChoice> FRule;
  std::string FSyncRefusal;
  TJournal* FJournal = nullptr;
  TJournalState FStoppedRun;
  TRestoreWork FRestore;
};
