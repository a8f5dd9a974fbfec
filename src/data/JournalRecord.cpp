#include "data/JournalRecord.h"

namespace {

enum TRecordType : uint8_t { rtBegin = 1, rtWritten = 2, rtEnd = 3 };

const char header[] = "BrevJnl1";

using TWriter = TRecordWriter;
using TReader = TRecordReader;

constexpr size_t timesSize = TRecordReader::timesSize;
constexpr size_t idSize = TRecordReader::idSize;

bool ReadBegin(TReader& in, TJournalBegin& begin) {
  begin.Kind = in.U8();
  begin.Options = in.Options();
  begin.Forward = in.U8() != 0;
  begin.Started = in.U64();
  const uint32_t count = in.Count(4 + timesSize + 4);
  begin.Backup.resize(count);
  begin.Attributes.resize(count);
  TPathMaker paths;
  for (uint32_t i = 0; i < count && in.Ok(); ++i) {
    begin.Backup[i].Path = in.Path(paths);
    in.Times(begin.Backup[i]);
    begin.Attributes[i] = in.U32();
  }
  const uint32_t targets = in.Count(timesSize);
  if (targets != 1 && targets != count) return false;
  begin.Target.resize(targets);
  for (TStamp& target : begin.Target) in.Times(target);
  return in.AtEnd() && count > 0;
}

bool ReadWritten(TReader& in, TJournalState& state) {
  const uint32_t count = in.Count(4 + 1 + timesSize + idSize);
  for (uint32_t i = 0; i < count && in.Ok(); ++i) {
    const uint32_t place = in.U32();
    const bool wrote = in.U8() != 0;
    TStamp seen;
    in.Times(seen);
    in.Id(seen.Id);
    if (!in.Ok() || place >= state.Written.size()) return false;
    state.Passed[place] = 1;
    if (!wrote) continue;
    state.Written[place] = 1;
    state.Seen[place] = seen;
  }
  return in.AtEnd();
}

// False for a record that does not fit where it stands: then it and all after it are ignored.
bool Apply(TReader& in, TJournalState& state) {
  switch (in.U8()) {
    case rtBegin: {
      TJournalState next;
      if (!ReadBegin(in, next.Begin)) return false;
      next.HasOperation = true;
      next.Written.assign(next.Begin.Backup.size(), 0);
      next.Passed.assign(next.Begin.Backup.size(), 0);
      next.Seen.resize(next.Begin.Backup.size());
      state = std::move(next);
      return true;
    }
    case rtWritten: {
      if (!state.HasOperation || state.Ended) return false;
      TJournalState next = state;
      if (!ReadWritten(in, next)) return false;
      state = std::move(next);
      return true;
    }
    case rtEnd:
      if (!state.HasOperation || state.Ended || !in.AtEnd()) return false;
      state.Ended = true;
      return true;
  }
  return false;
}

}  // namespace

int TJournalState::WrittenCount() const {
  int count = 0;
  for (uint8_t written : Written) count += written;
  return count;
}

const TStamp& TJournalState::TargetOf(size_t place) const {
  return Begin.Target.size() == 1 ? Begin.Target[0] : Begin.Target[place];
}

std::string JournalHeader() { return header; }

namespace {

// The start's bytes after its framing, in pieces of about pieceSize bytes; false once take
// refuses one.
template <class Take>
bool WriteBegin(const TJournalBegin& head, const TStamps& backup, const TStamps& target,
                size_t pieceSize, Take&& take) {
  TWriter out(rtBegin);
  out.U8(uint8_t(head.Kind));
  out.Options(head.Options);
  out.U8(head.Forward);
  out.U64(head.Started);
  out.U32(uint32_t(backup.size()));
  for (size_t i = 0; i < backup.size(); ++i) {
    out.Path(backup[i].Path);
    out.Times(backup[i]);
    out.U32(i < head.Attributes.size() ? head.Attributes[i] : 0xFFFFFFFFu);
    if (out.PieceSize() >= pieceSize && !take(out.TakePiece())) return false;
  }
  out.U32(uint32_t(target.size()));
  for (const TStamp& stamp : target) out.Times(stamp);
  return take(out.TakePiece());
}

}  // namespace

// Made twice, the first time for the length and checksum the framing puts ahead of the bytes.
bool EncodeBegin(const TJournalBegin& head, const TStamps& backup, const TStamps& target,
                 size_t pieceSize, const std::function<bool(const std::string&)>& take) {
  uint32_t size = 0, crc = 0;
  WriteBegin(head, backup, target, pieceSize, [&](const std::string& piece) {
    size += uint32_t(piece.size());
    crc = Crc32(piece.data(), piece.size(), crc);
    return true;
  });
  return take(TWriter::Frame(size, crc)) && WriteBegin(head, backup, target, pieceSize, take);
}

bool EncodeBegin(const TJournalBegin& begin, size_t pieceSize,
                 const std::function<bool(const std::string&)>& take) {
  return EncodeBegin(begin, begin.Backup, begin.Target, pieceSize, take);
}

std::string EncodeBegin(const TJournalBegin& begin) {
  std::string bytes;
  EncodeBegin(begin, SIZE_MAX, [&](const std::string& piece) {
    bytes += piece;
    return true;
  });
  return bytes;
}

std::string EncodeWritten(const TJournalWritten& written) {
  TWriter out(rtWritten);
  out.U32(uint32_t(written.Places.size()));
  for (size_t i = 0; i < written.Places.size(); ++i) {
    out.U32(written.Places[i]);
    out.U8(written.Wrote[i]);
    out.Times(written.Seen[i]);
    out.Id(written.Seen[i].Id);
  }
  return out.Framed();
}

std::string EncodeEnd() { return TWriter(rtEnd).Framed(); }

TJournalState ParseJournal(const std::string& bytes) {
  TJournalState state;
  ReadRecords(bytes, header, [&](TRecordReader& in) { return Apply(in, state); });
  return state;
}
