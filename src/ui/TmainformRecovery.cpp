#include <cstdio>
#include <string>
#include <utility>

#include "platform/LocalTime.h"
#include "ui/Tmainform.h"

namespace {

std::string StartedText(uint64_t started) {
  TLocalTime local;
  if (!ToLocalTime(MakeFileTime(started), local)) return "an unknown time";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.Year, local.Month,
                local.Day, local.Hour, local.Minute, local.Second);
  return text;
}

std::string RestoreQuestion(const TJournalState& state) {
  return OperationName(TOperationKind(state.Begin.Kind)) + " started " +
         StartedText(state.Begin.Started) + " did not end.\r\n\r\nIt may have written " +
         std::to_string(MayHaveWritten(state)) + "/" + std::to_string(state.Written.size()) +
         " item(s).\r\n\r\nPuts back their times and attributes.\r\n\r\nSure?";
}

}  // namespace

void TMainForm::StartJournal(const std::vector<std::string>& folders) {
  FStateFolders = folders;
  // The kept history first: a Restore of a stopped run becomes its newest entry.
  OpenKeptHistory(false);
  std::vector<TStoppedRun> runs = FindStoppedRuns(folders);
  FJournal = std::make_unique<TJournal>();
  FJournal->Open(folders, PlatformFileSystem().Separator());
  // One at a time: the others stay on the disk for the next start.
  if (!runs.empty()) OfferRestore(std::move(runs.front()));
}

// Cancel leaves the journal on the disk, unlocked, so that the next start asks again.
void TMainForm::OfferRestore(TStoppedRun run) {
  if (!Confirm(RestoreQuestion(run.State))) return;
  FStoppedJournal = std::move(run.File);
  if (!StartOperation(okRestore, nullptr, &run.State)) FStoppedJournal.reset();
}

// A Restore that ran to its end has put back all it could, and logged the rest; the run it put
// back is done with. A canceled one leaves that journal for the next start.
void TMainForm::EndRestore(bool canceled) {
  if (FStoppedJournal && !canceled) FStoppedJournal->Remove();
  FStoppedJournal.reset();
}
