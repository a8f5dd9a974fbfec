#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/Tstamp.h"

// The framing the program's own files share: after a header, records, each its length and a
// CRC-32 of its bytes, then the bytes, so that a torn or corrupt tail is never taken for a record.

// With the checksum of the bytes before them, that of the whole.
uint32_t Crc32(const char* data, size_t size, uint32_t before = 0);

// The record is made in place behind room for its length and checksum, so that a record of a
// million items is never copied to be framed.
class TRecordWriter {
 public:
  explicit TRecordWriter(uint8_t type) : Bytes(framingSize, '\0') { Bytes.push_back(char(type)); }
  static constexpr size_t framingSize = 8;
  // Room for this many bytes more, for a writer that knows its record's size.
  void Reserve(size_t bytes) { Bytes.reserve(Bytes.size() + bytes); }
  void U8(uint8_t value) { Bytes.push_back(char(value)); }
  void U32(uint32_t value);
  void U64(uint64_t value) {
    U32(uint32_t(value));
    U32(uint32_t(value >> 32));
  }
  void Text(std::string_view text) {
    U32(uint32_t(text.size()));
    Bytes += text;
  }
  // As Text writes the path's text.
  void Path(const TItemPath& path);
  void Times(const TStamp& stamp);
  void Id(const TItemId& id);
  void Options(const TStampOptions& options);
  // Length, checksum, then the bytes; the writer is left empty.
  std::string Framed();
  // A record too large to hold whole is made in pieces: the bytes since the last piece, without
  // the room for the framing, which Frame makes once every piece is known.
  size_t PieceSize() const { return Bytes.size() - PieceStart; }
  std::string TakePiece();
  static std::string Frame(uint32_t size, uint32_t crc);

 private:
  std::string Bytes;
  size_t PieceStart = framingSize;
};

// Every read is checked against the bytes left; a count is checked against the least its items
// can take, so that no corrupt count makes a huge list.
class TRecordReader {
 public:
  static constexpr size_t timesSize = 24;
  static constexpr size_t idSize = 17;

  TRecordReader(const char* data, size_t size) : Data(data), Left(size) {}
  bool Ok() const { return Good; }
  bool AtEnd() const { return Good && Left == 0; }
  uint8_t U8() { return uint8_t(Take(1) ? Data[-1] : 0); }
  uint32_t U32();
  uint64_t U64() {
    const uint64_t low = U32();
    return low | (uint64_t(U32()) << 32);
  }
  std::string Text();
  // A text as a path, sharing its folder with the path made before where it is the same.
  TItemPath Path(TPathMaker& maker);
  void Times(TStamp& stamp);
  void Id(TItemId& id);
  TStampOptions Options();
  uint32_t Count(size_t leastEach);

 private:
  bool Take(size_t size);
  const char* Data;
  size_t Left;
  bool Good = true;
};

// Hands each record after the header to the reader, in order, while it takes them (returns true);
// stops at the first that is torn or fails its check. False when the header is not there.
bool ReadRecords(const std::string& bytes, const std::string& header,
                 const std::function<bool(TRecordReader&)>& take);
