#include "data/RecordFraming.h"

#include <array>
#include <utility>

namespace {

constexpr size_t framing = TRecordWriter::framingSize;  // length and checksum

void AppendU32(std::string& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(char((value >> shift) & 0xFF));
}

}  // namespace

uint32_t Crc32(const char* data, size_t size, uint32_t before) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> made{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      made[n] = c;
    }
    return made;
  }();
  uint32_t crc = before ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void TRecordWriter::U32(uint32_t value) { AppendU32(Bytes, value); }

void TRecordWriter::Path(const TItemPath& path) {
  const auto [folder, name] = path.Parts();
  U32(uint32_t(folder.size() + name.size()));
  Bytes.append(folder).append(name);
}

void TRecordWriter::Times(const TStamp& stamp) {
  U64(FileTimeValue(stamp.CRTime));
  U64(FileTimeValue(stamp.LWTime));
  U64(FileTimeValue(stamp.LATime));
}

void TRecordWriter::Id(const TItemId& id) {
  U8(id.Known);
  U64(id.Volume);
  U64(id.Index);
}

void TRecordWriter::Options(const TStampOptions& options) {
  U8(uint8_t(options.Subdirs | options.Directories << 1 | options.AnyAttr << 2 |
             options.CRTime << 3 | options.LWTime << 4 | options.LATime << 5));
}

std::string TRecordWriter::Framed() {
  const size_t size = Bytes.size() - framing;
  Bytes.replace(0, framing, Frame(uint32_t(size), Crc32(Bytes.data() + framing, size)));
  return std::exchange(Bytes, {});
}

std::string TRecordWriter::TakePiece() {
  std::string piece = Bytes.substr(PieceStart);
  Bytes.clear();
  PieceStart = 0;
  return piece;
}

std::string TRecordWriter::Frame(uint32_t size, uint32_t crc) {
  std::string frame;
  AppendU32(frame, size);
  AppendU32(frame, crc);
  return frame;
}

uint32_t TRecordReader::U32() {
  if (!Take(4)) return 0;
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(Data[i - 4])) << (8 * i);
  return value;
}

std::string TRecordReader::Text() {
  const uint32_t size = U32();
  if (!Take(size)) return {};
  return std::string(Data - size, size);
}

TItemPath TRecordReader::Path(TPathMaker& maker) {
  const uint32_t size = U32();
  if (!Take(size)) return {};
  return maker.Make(std::string_view(Data - size, size));
}

void TRecordReader::Times(TStamp& stamp) {
  stamp.CRTime = MakeFileTime(U64());
  stamp.LWTime = MakeFileTime(U64());
  stamp.LATime = MakeFileTime(U64());
}

void TRecordReader::Id(TItemId& id) {
  id.Known = U8() != 0;
  id.Volume = U64();
  id.Index = U64();
}

TStampOptions TRecordReader::Options() {
  const uint8_t bits = U8();
  TStampOptions options;
  options.Subdirs = bits & 1;
  options.Directories = bits & 2;
  options.AnyAttr = bits & 4;
  options.CRTime = bits & 8;
  options.LWTime = bits & 16;
  options.LATime = bits & 32;
  return options;
}

uint32_t TRecordReader::Count(size_t leastEach) {
  const uint32_t count = U32();
  if (uint64_t(count) * leastEach > Left) Good = false;
  return Good ? count : 0;
}

bool TRecordReader::Take(size_t size) {
  if (!Good || size > Left) {
    Good = false;
    return false;
  }
  Data += size;
  Left -= size;
  return true;
}

bool ReadRecords(const std::string& bytes, const std::string& header,
                 const std::function<bool(TRecordReader&)>& take) {
  if (bytes.compare(0, header.size(), header) != 0) return false;
  size_t at = header.size();
  while (bytes.size() - at >= framing) {
    TRecordReader frame(bytes.data() + at, framing);
    const uint32_t size = frame.U32();
    const uint32_t crc = frame.U32();
    if (size == 0 || size > bytes.size() - at - framing) break;
    const char* record = bytes.data() + at + framing;
    if (Crc32(record, size) != crc) break;
    TRecordReader in(record, size);
    if (!take(in)) break;
    at += framing + size;
  }
  return true;
}
