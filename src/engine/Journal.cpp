#include "engine/Journal.h"

#include <random>
#include <utility>

const char* const journalSuffix = ".journal";

namespace {

std::string RandomName() {
  std::random_device device;
  const uint64_t value = (uint64_t(device()) << 32) ^ device() ^
                         uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  static const char digits[] = "0123456789abcdef";
  std::string name = "Brevantor-";
  for (int shift = 60; shift >= 0; shift -= 4) name += digits[(value >> shift) & 15];
  return name + journalSuffix;
}

}  // namespace

TJournal::~TJournal() { Close(); }

bool TJournal::Open(const std::vector<std::string>& folders, char separator) {
  for (std::string folder : folders) {
    if (folder.empty()) continue;
    if (folder.back() != separator && folder.back() != '/') folder += separator;
    FPath = folder + RandomName();
    if (FFile.Open(FPath) && FFile.Clear()) return true;
    FFile.Remove();
  }
  FPath.clear();
  return false;
}

bool TJournal::Begin(const TJournalBegin& head, const TStamps& backup, const TStamps& target) {
  FBatch = {};
  const auto append = [this](const std::string& bytes) { return FFile.Append(bytes); };
  FWriting = FFile.Clear() && append(JournalHeader()) &&
             EncodeBegin(head, backup, target, beginPiece, append) && FFile.Flush();
  return FWriting;
}

void TJournal::Note(uint32_t place, bool wrote, const TStamp& seen) {
  if (!FWriting) return;
  if (FBatch.Places.empty()) FBatchStart = std::chrono::steady_clock::now();
  FBatch.Places.push_back(place);
  FBatch.Wrote.push_back(wrote);
  FBatch.Seen.push_back(seen);
  if (FBatch.Places.size() >= batchItems ||
      std::chrono::steady_clock::now() - FBatchStart >= batchAge) {
    FlushBatch();
  }
}

bool TJournal::FlushBatch() {
  if (FBatch.Places.empty()) return true;
  const bool flushed = FFile.Append(EncodeWritten(FBatch)) && FFile.Flush();
  FBatch = {};
  return flushed;
}

bool TJournal::End() {
  if (!FWriting) return false;
  FWriting = false;
  return FlushBatch() && FFile.Append(EncodeEnd()) && FFile.Flush();
}

// A journal whose operation has not ended stays on the disk, for the next start to find.
void TJournal::Close() {
  if (FWriting)
    FFile.Close();
  else
    FFile.Remove();
  FPath.clear();
}
