#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "data/JournalRecord.h"

namespace {

TStamp Times(uint64_t base, std::string path = {}) {
  TStamp stamp;
  stamp.Path = std::move(path);
  stamp.CRTime = MakeFileTime(base);
  stamp.LWTime = MakeFileTime(base + 7);
  stamp.LATime = MakeFileTime(base + 11);
  return stamp;
}

bool SameTimes(const TStamp& a, const TStamp& b) {
  return FileTimeValue(a.CRTime) == FileTimeValue(b.CRTime) &&
         FileTimeValue(a.LWTime) == FileTimeValue(b.LWTime) &&
         FileTimeValue(a.LATime) == FileTimeValue(b.LATime);
}

// Everything a restore would act on.
bool Same(const TJournalState& a, const TJournalState& b) {
  if (a.HasOperation != b.HasOperation || a.Ended != b.Ended || a.Written != b.Written ||
      a.Passed != b.Passed) {
    return false;
  }
  if (!a.HasOperation) return true;
  const TJournalBegin& x = a.Begin;
  const TJournalBegin& y = b.Begin;
  if (x.Kind != y.Kind || !(x.Options == y.Options) || x.Started != y.Started ||
      x.Forward != y.Forward || x.Attributes != y.Attributes ||
      x.Backup.size() != y.Backup.size() || x.Target.size() != y.Target.size()) {
    return false;
  }
  for (size_t i = 0; i < x.Backup.size(); ++i) {
    if (x.Backup[i].Path != y.Backup[i].Path || !SameTimes(x.Backup[i], y.Backup[i])) return false;
    if (a.Written[i] && (!SameTimes(a.Seen[i], b.Seen[i]) || !(a.Seen[i].Id == b.Seen[i].Id)))
      return false;
  }
  for (size_t i = 0; i < x.Target.size(); ++i)
    if (!SameTimes(x.Target[i], y.Target[i])) return false;
  return true;
}

// Two operations, the first ended, the second cut short after some batches; with the state each
// whole record leaves and the offset where it ends.
struct TSampleJournal {
  std::string Bytes;
  std::vector<size_t> Ends;
  std::vector<TJournalState> States;

  explicit TSampleJournal(std::mt19937& random) {
    Bytes = JournalHeader();
    Record({});
    for (int operation = 0; operation < 2; ++operation) {
      const size_t n = 1 + random() % 40;
      TJournalBegin begin;
      begin.Kind = 1 + operation;
      begin.Options.AnyAttr = operation == 1;
      begin.Started = 133000000000000000ull + random();
      begin.Forward = operation == 0;
      for (size_t i = 0; i < n; ++i) {
        std::string path = "C:\\t\\";
        for (size_t c = random() % 12; c > 0; --c) path += char(random() % 256);
        begin.Backup.push_back(Times(random(), path));
        begin.Attributes.push_back(random() % 2 ? 0x20 : 0x21);
      }
      begin.Target = operation == 0 ? TStamps{Times(5)} : TStamps(n, Times(9));
      // Written in pieces as the journal writes it, pieces of any size.
      std::string start;
      EncodeBegin(begin, 1 + random() % 64, [&](const std::string& piece) {
        start += piece;
        return true;
      });
      Add(start);
      for (size_t place = 0; place < n;) {
        TJournalWritten batch;
        for (size_t count = 1 + random() % 5; count > 0 && place < n; --count, ++place) {
          TStamp seen = Times(random());
          seen.Id = {random(), random(), random() % 2 == 0};
          batch.Places.push_back(uint32_t(begin.Forward ? place : n - 1 - place));
          batch.Wrote.push_back(random() % 4 != 0);
          batch.Seen.push_back(seen);
        }
        Add(EncodeWritten(batch));
      }
      if (operation == 0) Add(EncodeEnd());
    }
  }

  void Add(const std::string& record) {
    Bytes += record;
    Record(ParseJournal(Bytes));
  }
  void Record(const TJournalState& state) {
    Ends.push_back(Bytes.size());
    States.push_back(state);
  }
  // The state of the whole records within the first size bytes.
  const TJournalState& StateWithin(size_t size) const {
    size_t k = 0;
    while (k + 1 < Ends.size() && Ends[k + 1] <= size) ++k;
    return States[k];
  }
  bool IsSomePrefix(const TJournalState& state) const {
    for (const TJournalState& prefix : States)
      if (Same(state, prefix)) return true;
    return false;
  }
};

TEST(JournalRecord, WholeRecordsReadBackAsWritten) {
  std::mt19937 random(7);
  const TSampleJournal journal(random);
  const TJournalState last = journal.States.back();
  ASSERT_TRUE(last.HasOperation);
  EXPECT_FALSE(last.Ended);
  EXPECT_EQ(last.Passed, std::vector<uint8_t>(last.Passed.size(), 1));
  EXPECT_GT(last.WrittenCount(), 0);
  EXPECT_LT(last.WrittenCount(), int(last.Written.size()));
  EXPECT_TRUE(last.Begin.Options.AnyAttr);
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
}

// A journal torn anywhere, at a record's end or inside one, gives exactly the records before the
// tear; flipped bits, garbage or a foreign file give the state of some whole records or nothing,
// never a record that was not written.
TEST(JournalRecord, TornOrCorruptJournalsNeverGiveARecordNotWritten) {
  int torn = 0, flipped = 0, foreign = 0;
  for (unsigned seed = 1; seed <= 5 && !testing::Test::HasFailure(); ++seed) {
    std::mt19937 random(seed);
    const TSampleJournal journal(random);
    for (size_t size = 0; size <= journal.Bytes.size(); ++size, ++torn) {
      const TJournalState state = ParseJournal(journal.Bytes.substr(0, size));
      ASSERT_TRUE(Same(state, journal.StateWithin(size))) << "torn at " << size;
    }
    for (int i = 0; i < 400; ++i, ++flipped) {
      std::string bytes = journal.Bytes;
      for (int flips = 1 + int(random() % 3); flips > 0; --flips)
        bytes[random() % bytes.size()] ^= char(1 << (random() % 8));
      if (random() % 4 == 0) bytes += std::string(random() % 64, char(random()));
      ASSERT_TRUE(journal.IsSomePrefix(ParseJournal(bytes))) << "seed " << seed << " flip " << i;
    }
    for (int i = 0; i < 100; ++i, ++foreign) {
      std::string bytes = i % 2 ? JournalHeader() : std::string();
      for (size_t n = random() % 300; n > 0; --n) bytes += char(random());
      EXPECT_FALSE(ParseJournal(bytes).HasOperation);
    }
  }
  std::printf("journal fuzz: %d tears, %d corrupted, %d foreign journals\n", torn, flipped, foreign);
}

}  // namespace
