#include "engine/Tstamperbase.h"

#include "toolkit/Application.h"
#include "platform/WinConst.h"

TStamperBase::TStamperBase() { FreeOnTerminate = true; }

TStamperBase::~TStamperBase() = default;

std::string TStamperBase::NormalizePath(const std::string& path) {
  return FileSystem().NormalizePath(path);
}

TFileEntry TStamperBase::TKnownEntry::Entry() const {
  TFileEntry entry;
  entry.Attributes = FAttributes;
  entry.CreationTime = FTimes[0];
  entry.LastAccessTime = FTimes[1];
  entry.LastWriteTime = FTimes[2];
  entry.Id = {FVolume, FIndex, FIdKnown};
  return entry;
}

void TStamperBase::TKnownEntry::SetEntry(const TFileEntry& entry) {
  FAttributes = entry.Attributes;
  FTimes[0] = entry.CreationTime;
  FTimes[1] = entry.LastAccessTime;
  FTimes[2] = entry.LastWriteTime;
  FVolume = entry.Id.Volume;
  FIndex = entry.Id.Index;
  FIdKnown = entry.Id.Known;
  FKnown = true;
}

void TStamperBase::NarrowListedEntries(const std::vector<size_t>& kept) {
  if (FListed.empty()) return;
  TKnownEntries narrowed;
  narrowed.reserve(kept.size());
  for (size_t place : kept) narrowed.push_back(FListed.at(place));
  FListed = std::move(narrowed);
}

bool TStamperBase::IsFolder(uint32_t attributes) {
  return attributes != faInvalid && (attributes & faDirectory) != 0;
}

std::string TStamperBase::AttributeText(uint32_t attrs) {
  struct TLetter {
    char Letter;
    uint32_t Bit;
  };
  static constexpr TLetter letters[] = {{'A', faArchive},  {'D', faDirectory}, {'H', faHidden},
                                        {'N', faNormal},   {'R', faReadOnly},  {'S', faSystem},
                                        {'T', faTemporary}};
  std::string text;
  for (const TLetter& row : letters) {
    text += (attrs & row.Bit) ? '+' : '-';
    text += row.Letter;
  }
  return text;
}

int TStamperBase::ShowMessageBox(const std::string& text, int style) {
  MessageText = text;
  MessageFlags = style;
  Synchronize([this] {
    MessageResult = Application().MsgBox(MessageText, Application().Title, MessageFlags);
  });
  return MessageResult;
}
