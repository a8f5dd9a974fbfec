#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/Common.h"
#include "data/Tstamp.h"
#include "engine/Tstamperbase.h"

enum TOperationKind : int8_t {
  okGet = 0,
  okSet = 1,
  okSync = 2,
  okUndo = 3,
  okRedo = 4,
  okProperties = 5
};

// "Get" .. "Properties"; "(Unknown)" for any other value.
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

 protected:
  void DoTerminate() override;
  void Execute() override;

 private:
  void Body();
  bool PassesTimeCheck();
  bool PassesItemCheck();
  void Refuse(const std::string& reason);
  int PathCount() const { return FPaths ? int(FPaths->size()) : 0; }
  void TakePaths(TStamps& stamps);

  void ReadOperation();
  void ReportGetData();
  void ReadItems();

  void WriteOperation();
  TStampUnit FetchUnit();
  bool CountsMatch(const TStampUnit& unit);
  // The Get data's stamps become the paired targets with their partners' times; every target
  // without a partner leaves a line in the error log.
  void PairTargetsByName(TStamps& stamps);
  bool ConfirmIncompleteBackup(int read, int total);
  void CommitHistory(TStampUnit&& backup);
  void CommitStopped(TStampUnit&& written, TStampUnit&& rest);

  int FItemCount = 0;
  int FSucceededCount = 0;
  bool FCanceled = false;
  std::string FRefusal;
  TStringList FErrorLog;
  bool FSyncByName = false;
  TOperationKind FKind;
  std::optional<TStringList> FPaths;
  TDroppedItems FDropped;
  TStampHolder* FHolder;
  TStampHistory* FHistory;
  TStampOptions FOptions;
};
