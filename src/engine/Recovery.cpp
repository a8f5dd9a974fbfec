#include "engine/Recovery.h"

#include <algorithm>

#include "engine/Journal.h"
#include "platform/FileSystem.h"
#include "platform/WinConst.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The places in the order the run wrote them.
std::vector<size_t> WritingOrder(const TJournalState& state) {
  const size_t n = state.Written.size();
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = state.Begin.Forward ? i : n - 1 - i;
  return order;
}

// The places after the last one a batch named, as far as one batch reaches: the write passes
// every place in its order, and notes each.
std::vector<size_t> UnflushedBatch(const TJournalState& state) {
  const std::vector<size_t> order = WritingOrder(state);
  size_t next = 0;
  for (size_t i = 0; i < order.size(); ++i)
    if (state.Passed[order[i]]) next = i + 1;
  const size_t end = std::min(order.size(), next + TJournal::batchItems);
  return std::vector<size_t>(order.begin() + std::ptrdiff_t(next),
                             order.begin() + std::ptrdiff_t(end));
}

// An item the batch did not name was written when a time the run wrote differs from the one it
// held before; attributes left normal by the write show it too.
bool ShowsWrite(const TJournalState& state, size_t place) {
  const TStamp& before = state.Begin.Backup[place];
  const uint32_t attributes = state.Begin.Attributes[place];
  if (attributes == faInvalid) return false;
  TFileEntry now;
  if (!FileSystem().FindEntry(before.Path, now)) return false;
  const TStampOptions& options = state.Begin.Options;
  const auto differs = [](const FILETIME& a, const FILETIME& b) {
    return FileTimeValue(a) != FileTimeValue(b);
  };
  return (options.CRTime && differs(now.CreationTime, before.CRTime)) ||
         (options.LWTime && differs(now.LastWriteTime, before.LWTime)) ||
         (options.LATime && differs(now.LastAccessTime, before.LATime)) ||
         (options.AnyAttr && now.Attributes != attributes);
}

}  // namespace

std::vector<TStoppedRun> FindStoppedRuns(const std::vector<std::string>& folders) {
  std::vector<TStoppedRun> runs;
  TFileSystem& fs = PlatformFileSystem();
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string base = folder;
    if (base.back() != fs.Separator() && base.back() != '/') base += fs.Separator();
    std::vector<std::string> names;
    fs.ListFolder(folder, [&](const TListedEntry& entry) {
      if (EndsWith(entry.Name, journalSuffix)) names.emplace_back(entry.Name);
      return true;
    });
    for (const std::string& name : names) {
      auto file = std::make_unique<TDurableFile>();
      std::string bytes;
      // A journal its process still holds cannot be opened.
      if (!file->Open(base + name) || !file->ReadAll(bytes)) continue;
      TJournalState state = ParseJournal(bytes);
      if (!state.HasOperation || state.Ended) {
        file->Remove();
        continue;
      }
      runs.push_back({std::move(file), std::move(state)});
    }
  }
  return runs;
}

int MayHaveWritten(const TJournalState& state) {
  return state.WrittenCount() + int(UnflushedBatch(state).size());
}

TRestoreWork RestoreWork(const TJournalState& state) {
  TRestoreWork work;
  work.Unit.Options = state.Begin.Options;
  const auto take = [&](size_t place, const TStamp& times) {
    TStamp stamp = times;
    stamp.Path = state.Begin.Backup[place].Path;
    work.Unit.Stamps.push_back(std::move(stamp));
    work.Attributes.push_back(state.Begin.Attributes[place]);
  };
  for (size_t place : WritingOrder(state))
    if (state.Written[place]) take(place, state.Seen[place]);
  for (size_t place : UnflushedBatch(state))
    if (ShowsWrite(state, place)) take(place, state.Begin.Backup[place]);
  return work;
}
