#include "engine/Tstamper.h"

#include <utility>

#include "data/PackedStamps.h"
#include "platform/WinConst.h"

std::string OperationName(TOperationKind kind) {
  switch (kind) {
    case okGet:
      return "Get";
    case okSet:
      return "Set";
    case okSync:
      return "Sync";
    case okUndo:
      return "Undo";
    case okRedo:
      return "Redo";
    case okProperties:
      return "Properties";
    case okRestore:
      return "Restore";
  }
  return "(Unknown)";
}

TStamper::TStamper(TOperationKind kind, const TStringList* paths, TStampHolder* holder,
                   TStampHistory* history, TStampOptions options)
    : FKind(kind), FHolder(holder), FHistory(history), FOptions(options) {
  if (paths) FDropPaths = *paths;
}

void TStamper::Execute() {
  // Whatever goes wrong inside the body ends the run quietly; the end event still follows.
  try {
    Body();
  } catch (...) {
  }
}

void TStamper::ItemPassed(size_t place, bool written, const TStamp& before) {
  if (FJournal) FJournal->Note(uint32_t(place), written, before);
}

void TStamper::DoTerminate() {
  FCanceled = Terminated();
  TStamperBase::DoTerminate();
  TStringList().swap(FErrorLog);
  FDropPaths.reset();
  TItemPaths().swap(FPaths);
  TDroppedItems().swap(FDropped);
}

void TStamper::Body() {
  if (!PassesTimeCheck() || Terminated()) return;
  if (!PassesItemCheck() || Terminated()) return;
  switch (FKind) {
    case okGet:
    case okProperties:
      ReadOperation();
      break;
    case okSet:
    case okSync:
    case okUndo:
    case okRedo:
    case okRestore:
      WriteOperation();
      break;
  }
}

bool TStamper::PassesTimeCheck() {
  FItemCount = PathCount();
  if (FKind != okSet && FKind != okSync) return true;
  if (FOptions.CRTime || FOptions.LWTime || FOptions.LATime) return true;
  Refuse("No time parameter to process.");
  return false;
}

bool TStamper::PassesItemCheck() {
  if (!FDropPaths) return true;
  FPaths = ExpandPaths(*FDropPaths, FOptions, &FDropped, &FErrorLog);
  TStringList().swap(*FDropPaths);
  // A stopped expansion is incomplete: its count would mislead, so the dropped count stays.
  if (Terminated()) return false;
  FItemCount = PathCount();
  if (FItemCount >= 1) return true;
  Refuse("No item to process.");
  return false;
}

void TStamper::Refuse(const std::string& reason) {
  FRefusal = "No operation.\r\n\r\n" + reason;
  ShowMessageBox(FRefusal, mbOk | mbIconExclamation);
}

void TStamper::TakePaths(TStamps& stamps) {
  // From here on the item paths are needed only as the stamps' paths, which take them over. The
  // identity of a Get item is not the target's.
  for (size_t i = 0; i < stamps.size(); ++i) {
    stamps[i].Path = std::move(FPaths[i]);
    stamps[i].Id = {};
  }
  TItemPaths().swap(FPaths);
}

void TStamper::ReadOperation() {
  if (FKind == okProperties && !FDropPaths)
    ReportGetData();
  else
    ReadItems();
}

void TStamper::ReportGetData() {
  int fileCount = 0;
  int dirCount = 0;
  TStamp average;
  std::optional<TTimeChoice> choice;
  Synchronize([&] {
    fileCount = FHolder->FileCount();
    dirCount = FHolder->DirCount();
    average = FHolder->Average();
    choice = FHolder->Choice();
  });
  ShowProperties(fileCount, dirCount, average, choice && choice->IsRule() ? &*choice : nullptr);
  FItemCount = FSucceededCount = fileCount + dirCount;
}

void TStamper::ReadItems() {
  TStamps stamps(static_cast<size_t>(PathCount()));
  TakePaths(stamps);
  FItemCount = int(stamps.size());
  int folderCount = 0;
  FSucceededCount = GetStamps(FErrorLog, stamps, folderCount);
  if (Terminated()) return;
  if (FSucceededCount <= 0) {
    Refuse(FKind == okGet ? "Failed all items.\r\n\r\nGet data is not registered."
                          : "Failed to get properties.");
    return;
  }
  TStamp average = AverageStamp(stamps);
  if (Terminated()) return;
  if (FKind == okGet) {
    // Packed here, so that the main thread only takes the list over.
    TPackedStamps packed(std::move(stamps));
    Synchronize(
        [&] { FHolder->Store(std::move(packed), average, folderCount, std::move(FDropped)); });
  } else
    ShowProperties(int(stamps.size()) - folderCount, folderCount, average);
}
