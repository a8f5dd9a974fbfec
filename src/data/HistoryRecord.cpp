#include "data/HistoryRecord.h"

#include <vector>

#include "data/RecordFraming.h"

namespace {

enum THistoryRecordType : uint8_t { rtSnapshot = 1, rtEntry = 2 };

const char header[] = "BrevHis1";

constexpr size_t stampSize = 4 + TRecordReader::timesSize + TRecordReader::idSize;

// What EncodeEntry makes of the unit, in bytes, found without making it.
size_t EntrySize(const TStampUnit& unit) {
  size_t size = TRecordWriter::framingSize + 2 + 4;
  for (const TStamp& stamp : unit.Stamps) size += stampSize + stamp.Path.size();
  return size;
}

std::string EncodeEntry(const TStampUnit& unit) {
  TRecordWriter out(rtEntry);
  out.Reserve(EntrySize(unit));
  out.Options(unit.Options);
  out.U32(uint32_t(unit.Stamps.size()));
  for (const TStamp& stamp : unit.Stamps) {
    out.Path(stamp.Path);
    out.Times(stamp);
    out.Id(stamp.Id);
  }
  return out.Framed();
}

std::string EncodeSnapshot(uint64_t sequence, int position, size_t count) {
  TRecordWriter out(rtSnapshot);
  out.U64(sequence);
  out.U32(uint32_t(position));
  out.U32(uint32_t(count));
  return out.Framed();
}

bool ReadEntry(TRecordReader& in, TStampUnit& unit) {
  if (in.U8() != rtEntry) return false;
  unit.Options = in.Options();
  unit.Stamps.resize(in.Count(stampSize));
  TPathMaker paths;
  for (TStamp& stamp : unit.Stamps) {
    stamp.Path = in.Path(paths);
    in.Times(stamp);
    in.Id(stamp.Id);
  }
  return in.AtEnd();
}

}  // namespace

std::string EncodeHistory(std::span<const TStampUnit* const> units, int position, uint64_t sequence,
                          size_t maxBytes) {
  // Sized first, so that only the entries kept are made, each added as it is made.
  std::vector<size_t> sizes;
  size_t total = sizeof header - 1 + EncodeSnapshot(0, 0, 0).size();
  for (const TStampUnit* unit : units) total += sizes.emplace_back(EntrySize(*unit));
  size_t first = 0;
  while (first < sizes.size() && total > maxBytes) total -= sizes[first++];
  const int kept = position > int(first) ? position - int(first) : 0;
  std::string bytes;
  bytes.reserve(total);
  bytes.append(header);
  bytes += EncodeSnapshot(sequence, kept, units.size() - first);
  for (size_t index = first; index < units.size(); ++index) bytes += EncodeEntry(*units[index]);
  return bytes;
}

std::string EncodeHistory(const TStampUnits& units, int position, uint64_t sequence,
                          size_t maxBytes) {
  std::vector<const TStampUnit*> entries;
  for (const TStampUnit& unit : units) entries.push_back(&unit);
  return EncodeHistory(entries, position, sequence, maxBytes);
}

bool ParseHistory(const std::string& bytes, TKeptHistory& history) {
  TKeptHistory read;
  size_t expected = 0;
  bool begun = false;
  const bool hasHeader = ReadRecords(bytes, header, [&](TRecordReader& in) {
    if (!begun) {
      if (in.U8() != rtSnapshot) return false;
      read.Sequence = in.U64();
      read.Position = int(in.U32());
      expected = in.U32();
      begun = in.AtEnd();
      return begun;
    }
    if (read.Units.size() >= expected) return false;
    TStampUnit unit;
    if (!ReadEntry(in, unit)) return false;
    read.Units.push_back(std::move(unit));
    return true;
  });
  if (!hasHeader || !begun || read.Units.size() != expected || read.Position < 0 ||
      read.Position > int(expected))
    return false;
  history = std::move(read);
  return true;
}
