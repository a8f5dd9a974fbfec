#include "data/HistoryRecord.h"

#include <vector>

#include "data/RecordFraming.h"

namespace {

enum THistoryRecordType : uint8_t { rtSnapshot = 1, rtEntry = 2 };

const char header[] = "BrevHis1";

std::string EncodeEntry(const TStampUnit& unit) {
  TRecordWriter out(rtEntry);
  out.Options(unit.Options);
  out.U32(uint32_t(unit.Stamps.size()));
  for (const TStamp& stamp : unit.Stamps) {
    out.Text(stamp.Path);
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
  unit.Stamps.resize(in.Count(4 + TRecordReader::timesSize + TRecordReader::idSize));
  for (TStamp& stamp : unit.Stamps) {
    stamp.Path = in.Text();
    in.Times(stamp);
    in.Id(stamp.Id);
  }
  return in.AtEnd();
}

}  // namespace

std::string EncodeHistory(const TStampUnits& units, int position, uint64_t sequence,
                          size_t maxBytes) {
  std::vector<std::string> entries;
  size_t total = sizeof header - 1 + EncodeSnapshot(0, 0, 0).size();
  for (const TStampUnit& unit : units) {
    entries.push_back(EncodeEntry(unit));
    total += entries.back().size();
  }
  size_t first = 0;
  while (first < entries.size() && total > maxBytes) total -= entries[first++].size();
  const int kept = position > int(first) ? position - int(first) : 0;
  std::string bytes = header + EncodeSnapshot(sequence, kept, entries.size() - first);
  for (size_t index = first; index < entries.size(); ++index) bytes += entries[index];
  return bytes;
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
