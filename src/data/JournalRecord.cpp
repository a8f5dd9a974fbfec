#include "data/JournalRecord.h"

#include <array>

namespace {

enum TRecordType : uint8_t { rtBegin = 1, rtWritten = 2, rtEnd = 3 };

const char header[] = "BrevJnl1";
constexpr size_t headerSize = sizeof header - 1;
constexpr size_t framing = 8;  // length and checksum

void AppendU32(std::string& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(char((value >> shift) & 0xFF));
}

class TWriter {
 public:
  explicit TWriter(TRecordType type) { Bytes.push_back(char(type)); }
  void U8(uint8_t value) { Bytes.push_back(char(value)); }
  void U32(uint32_t value) { AppendU32(Bytes, value); }
  void U64(uint64_t value) {
    U32(uint32_t(value));
    U32(uint32_t(value >> 32));
  }
  void Text(const std::string& text) {
    U32(uint32_t(text.size()));
    Bytes += text;
  }
  void Times(const TStamp& stamp) {
    U64(FileTimeValue(stamp.CRTime));
    U64(FileTimeValue(stamp.LWTime));
    U64(FileTimeValue(stamp.LATime));
  }
  void Id(const TItemId& id) {
    U8(id.Known);
    U64(id.Volume);
    U64(id.Index);
  }
  // Length, checksum, then the bytes.
  std::string Framed() const {
    std::string frame;
    AppendU32(frame, uint32_t(Bytes.size()));
    AppendU32(frame, Crc32(Bytes.data(), Bytes.size()));
    return frame + Bytes;
  }

 private:
  std::string Bytes;
};

// Every read is checked against the bytes left; a count is checked against the least its items
// can take, so that no corrupt count makes a huge list.
class TReader {
 public:
  TReader(const char* data, size_t size) : Data(data), Left(size) {}
  bool Ok() const { return Good; }
  bool AtEnd() const { return Good && Left == 0; }
  uint8_t U8() { return uint8_t(Take(1) ? Data[-1] : 0); }
  uint32_t U32() {
    if (!Take(4)) return 0;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(Data[i - 4])) << (8 * i);
    return value;
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | (uint64_t(U32()) << 32);
  }
  std::string Text() {
    const uint32_t size = U32();
    if (!Take(size)) return {};
    return std::string(Data - size, size);
  }
  void Times(TStamp& stamp) {
    stamp.CRTime = MakeFileTime(U64());
    stamp.LWTime = MakeFileTime(U64());
    stamp.LATime = MakeFileTime(U64());
  }
  void Id(TItemId& id) {
    id.Known = U8() != 0;
    id.Volume = U64();
    id.Index = U64();
  }
  uint32_t Count(size_t leastEach) {
    const uint32_t count = U32();
    if (uint64_t(count) * leastEach > Left) Good = false;
    return Good ? count : 0;
  }

 private:
  bool Take(size_t size) {
    if (!Good || size > Left) {
      Good = false;
      return false;
    }
    Data += size;
    Left -= size;
    return true;
  }
  const char* Data;
  size_t Left;
  bool Good = true;
};

uint8_t OptionBits(const TStampOptions& options) {
  return uint8_t(options.Subdirs | options.Directories << 1 | options.AnyAttr << 2 |
                 options.CRTime << 3 | options.LWTime << 4 | options.LATime << 5);
}

TStampOptions OptionsOf(uint8_t bits) {
  TStampOptions options;
  options.Subdirs = bits & 1;
  options.Directories = bits & 2;
  options.AnyAttr = bits & 4;
  options.CRTime = bits & 8;
  options.LWTime = bits & 16;
  options.LATime = bits & 32;
  return options;
}

constexpr size_t timesSize = 24;
constexpr size_t idSize = 17;

bool ReadBegin(TReader& in, TJournalBegin& begin) {
  begin.Kind = in.U8();
  begin.Options = OptionsOf(in.U8());
  begin.Forward = in.U8() != 0;
  begin.Started = in.U64();
  const uint32_t count = in.Count(4 + timesSize + 4);
  begin.Backup.resize(count);
  begin.Attributes.resize(count);
  for (uint32_t i = 0; i < count && in.Ok(); ++i) {
    begin.Backup[i].Path = in.Text();
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

uint32_t Crc32(const char* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> made{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      made[n] = c;
    }
    return made;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

int TJournalState::WrittenCount() const {
  int count = 0;
  for (uint8_t written : Written) count += written;
  return count;
}

const TStamp& TJournalState::TargetOf(size_t place) const {
  return Begin.Target.size() == 1 ? Begin.Target[0] : Begin.Target[place];
}

std::string JournalHeader() { return std::string(header, headerSize); }

std::string EncodeBegin(const TJournalBegin& begin) {
  TWriter out(rtBegin);
  out.U8(uint8_t(begin.Kind));
  out.U8(OptionBits(begin.Options));
  out.U8(begin.Forward);
  out.U64(begin.Started);
  out.U32(uint32_t(begin.Backup.size()));
  for (size_t i = 0; i < begin.Backup.size(); ++i) {
    out.Text(begin.Backup[i].Path);
    out.Times(begin.Backup[i]);
    out.U32(i < begin.Attributes.size() ? begin.Attributes[i] : 0xFFFFFFFFu);
  }
  out.U32(uint32_t(begin.Target.size()));
  for (const TStamp& target : begin.Target) out.Times(target);
  return out.Framed();
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
  if (bytes.compare(0, headerSize, header, headerSize) != 0) return state;
  size_t at = headerSize;
  while (bytes.size() - at >= framing) {
    TReader frame(bytes.data() + at, framing);
    const uint32_t size = frame.U32();
    const uint32_t crc = frame.U32();
    if (size == 0 || size > bytes.size() - at - framing) break;
    const char* record = bytes.data() + at + framing;
    if (Crc32(record, size) != crc) break;
    TReader in(record, size);
    if (!Apply(in, state)) break;
    at += framing + size;
  }
  return state;
}
