#include "engine/HistoryStore.h"

#include "platform/FileSystem.h"

const char* const historyFileNames[2] = {"Brevantor-history-1.dat", "Brevantor-history-2.dat"};

bool THistoryStore::Open(const std::vector<std::string>& folders, char separator) {
  Close();
  FHeldElsewhere = false;
  for (std::string folder : folders) {
    if (folder.empty()) continue;
    if (folder.back() != separator && folder.back() != '/') folder += separator;
    if (FFiles[0].Open(folder + historyFileNames[0]) &&
        FFiles[1].Open(folder + historyFileNames[1]))
      return true;
    Close();
    // A file that is there but cannot be opened is another window's: the history is its.
    TFileEntry entry;
    for (const char* name : historyFileNames)
      if (PlatformFileSystem().FindEntry(folder + name, entry)) FHeldElsewhere = true;
    if (FHeldElsewhere) return false;
  }
  return false;
}

TKeptHistory THistoryStore::Load() {
  TKeptHistory newest;
  bool found = false;
  for (size_t index = 0; index < FFiles.size(); ++index) {
    std::string bytes;
    TKeptHistory read;
    if (!FFiles[index].ReadAll(bytes) || !ParseHistory(bytes, read)) continue;
    if (found && read.Sequence <= newest.Sequence) continue;
    newest = std::move(read);
    found = true;
    FNext = 1 - index;
  }
  FSequence = newest.Sequence + 1;
  if (!found) newest = {};
  return newest;
}

bool THistoryStore::Save(std::span<const TStampUnit* const> units, int position) {
  if (!IsOpen()) return false;
  if (units.empty()) return FFiles[0].Clear() && FFiles[1].Clear();
  TDurableFile& file = FFiles[FNext];
  const std::string bytes = EncodeHistory(units, position, FSequence, FMaxBytes);
  if (!file.Clear() || !file.Append(bytes) || !file.Flush()) return false;
  ++FSequence;
  FNext = 1 - FNext;
  return true;
}

void THistoryStore::Remove() {
  for (TDurableFile& file : FFiles) file.Remove();
}

void THistoryStore::Close() {
  for (TDurableFile& file : FFiles) file.Close();
}
