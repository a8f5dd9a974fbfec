#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132500000000000000ull;

struct TItemState {
  uint32_t Attributes = 0;
  uint64_t Times[3] = {};
  bool operator==(const TItemState& other) const {
    return Attributes == other.Attributes && Times[0] == other.Times[0] &&
           Times[1] == other.Times[1] && Times[2] == other.Times[2];
  }
};
using TDisk = std::map<std::string, TItemState>;

// A process dies at the k-th write of times of a Set or an Undo (an exception ends the worker with
// no end record, as a kill ends it with none); its journal, left behind, is found as a stopped run
// and restored. The journals live in a real folder, the items in the fake.
class JournalRecoveryTest : public testing::Test {
 protected:
  TStringList AddItems(size_t n, std::mt19937& random) {
    TStringList paths;
    for (size_t i = 0; i < n; ++i) {
      paths.push_back("C:\\r\\f" + std::to_string(i));
      const uint64_t base = t0 + i * day;
      Fs.AddFile(paths.back(), random() % 3 == 0 ? faArchive | faReadOnly : faArchive, base,
                 base + 10, base + 20);
    }
    return paths;
  }

  TDisk Disk(const TStringList& paths) const {
    TDisk disk;
    for (const std::string& path : paths) {
      const TFileEntry entry = Fs.Entry(path);
      disk[path] = {entry.Attributes,
                    {FileTimeValue(entry.CreationTime), FileTimeValue(entry.LastAccessTime),
                     FileTimeValue(entry.LastWriteTime)}};
    }
    return disk;
  }

  // The run with the journal; with dieAt, it dies at that write of times.
  void RunJournaled(TJournal& journal, TOperationKind kind, const TStringList* paths,
                    TStampOptions options, int dieAt = -1) {
    int writes = 0;
    Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
      if (primitive != TPrimitive::WriteTimesSet) return;
      Reached.insert(path);
      if (writes++ == dieAt) throw std::runtime_error("killed");
    };
    RunStamper(kind, paths, Holder, History, options,
               [&](TStamper& stamper) { stamper.SetJournal(&journal); });
    Fs.OnCall = nullptr;
  }

  // Restores the first stopped run found; gives the items it wrote.
  std::set<std::string> Restore() {
    std::vector<TStoppedRun> runs = FindStoppedRuns({Folder.Root()});
    if (runs.empty()) return {};
    std::set<std::string> written;
    Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
      if (primitive == TPrimitive::WriteTimesSet) written.insert(path);
    };
    TJournal journal;
    journal.Open({Folder.Root()}, TTempTree::Separator());
    RunStamper(okRestore, nullptr, Holder, History, {}, [&](TStamper& stamper) {
      stamper.SetStoppedRun(runs.front().State);
      stamper.SetJournal(&journal);
    });
    Fs.OnCall = nullptr;
    runs.front().File->Remove();
    return written;
  }

  std::string OnlyJournal() {
    std::string found;
    PlatformFileSystem().ListFolder(Folder.Root(), [&](const TListedEntry& entry) {
      const std::string name = entry.Name;
      if (name.size() > 8 && name.substr(name.size() - 8) == ".journal") found = name;
      return true;
    });
    return found.empty() ? found : Folder.Path(found);
  }

  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TTempTree Folder;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  std::set<std::string> Reached;
};

TEST_F(JournalRecoveryTest, AKilledRunIsPutBackExactlyAndNothingItNeverReachedIsWritten) {
  int runs = 0, withAnyAttr = 0, undos = 0, maxRestored = 0;
  for (unsigned seed = 1; seed <= 24 && !HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    History.Clear();
    const TStringList paths = AddItems(1 + random() % 9000, random);
    TStampOptions options;
    options.AnyAttr = random() % 2 == 0;
    // Without Any Attr the read-only items are never written: the run dies among the others.
    int writable = 0;
    for (const std::string& path : paths)
      writable += options.AnyAttr || !(Fs.Entry(path).Attributes & faReadOnly);
    TStamp average;
    average.CRTime = average.LWTime = average.LATime = MakeFileTime(t0 - day);
    Holder.Store({average}, average, 0);
    const bool undo = seed % 3 == 0;
    TJournal journal;
    ASSERT_TRUE(journal.Open({Folder.Root()}, TTempTree::Separator()));
    if (undo) RunJournaled(journal, okSet, &paths, options);
    const TDisk before = Disk(paths);
    Reached.clear();
    RunJournaled(journal, undo ? okUndo : okSet, undo ? nullptr : &paths, options,
                 int(random() % std::max(writable, 1)));
    EXPECT_TRUE(FindStoppedRuns({Folder.Root()}).empty()) << "a living process's journal";
    journal.Close();

    const std::set<std::string> restored = Restore();
    for (const std::string& path : restored) EXPECT_TRUE(Reached.count(path)) << path;
    const TDisk after = Disk(paths);
    for (const std::string& path : paths)
      ASSERT_TRUE(after.at(path) == before.at(path))
          << path << " attributes " << after.at(path).Attributes << " for "
          << before.at(path).Attributes << ", last write " << after.at(path).Times[2] << " for "
          << before.at(path).Times[2] << (Reached.count(path) ? ", reached" : "");
    EXPECT_TRUE(OnlyJournal().empty()) << "the journals are done with";
    EXPECT_TRUE(FindStoppedRuns({Folder.Root()}).empty());
    ++runs;
    withAnyAttr += options.AnyAttr;
    undos += undo;
    maxRestored = std::max(maxRestored, int(restored.size()));
  }
  std::printf("killed runs restored: %d (%d with Any Attr, %d Undo), up to %d items each\n", runs,
              withAnyAttr, undos, maxRestored);
  EXPECT_GT(maxRestored, int(TJournal::batchItems));
}

// The journal of a killed run torn or corrupted at random: the restore may put back less, but it
// writes onto an item nothing but the times it had before the run.
TEST_F(JournalRecoveryTest, ACorruptJournalNeverWritesAWrongTime) {
  std::mt19937 random(99);
  const TStringList paths = AddItems(6000, random);
  TStampOptions options;
  options.AnyAttr = true;
  TStamp average;
  average.CRTime = average.LWTime = average.LATime = MakeFileTime(t0 - day);
  Holder.Store({average}, average, 0);
  const TDisk before = Disk(paths);
  {
    TJournal journal;
    ASSERT_TRUE(journal.Open({Folder.Root()}, TTempTree::Separator()));
    RunJournaled(journal, okSet, &paths, options, 5000);
  }
  const std::string path = OnlyJournal();
  ASSERT_FALSE(path.empty());
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const TDisk killed = Disk(paths);
  int partly = 0;
  for (int round = 0; round < 30 && !HasFailure(); ++round) {
    // The start was flushed before the first write; the tail may be torn anywhere after it.
    const size_t begun = JournalHeader().size() + 8 + (uint8_t(bytes[8]) | uint8_t(bytes[9]) << 8 |
                                                      uint8_t(bytes[10]) << 16 |
                                                      size_t(uint8_t(bytes[11])) << 24);
    std::string corrupt = bytes.substr(0, begun + random() % (bytes.size() - begun + 1));
    for (int flips = int(random() % 3); flips > 0 && !corrupt.empty(); --flips)
      corrupt[random() % corrupt.size()] ^= char(1 << (random() % 8));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << corrupt;
    for (const auto& [item, state] : killed) {
      Fs.SetAttributes(item, state.Attributes);
      Fs.SetTimes(item, state.Times[0], state.Times[1], state.Times[2]);
    }
    History.Clear();
    Restore();
    const TDisk now = Disk(paths);
    int back = 0;
    for (const std::string& item : paths) {
      EXPECT_TRUE(now.at(item) == killed.at(item) || now.at(item) == before.at(item)) << item;
      back += now.at(item) == before.at(item) && !(killed.at(item) == before.at(item));
    }
    partly += back > 0;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  EXPECT_GT(partly, 0);
}

// A start larger than a piece goes to the file piece by piece and reads back as one whole record.
TEST_F(JournalRecoveryTest, AStartOfManyPiecesReadsBackWhole) {
  TJournalBegin begin;
  begin.Kind = okSync;
  for (size_t i = 0; begin.Backup.size() < 3 * TJournal::beginPiece / 100; ++i) {
    TStamp stamp;
    stamp.Path = "C:\\pieces\\" + std::string(60, char('a' + i % 26)) + std::to_string(i);
    stamp.LWTime = MakeFileTime(t0 + i);
    begin.Backup.push_back(stamp);
    begin.Attributes.push_back(uint32_t(i));
  }
  begin.Target = begin.Backup;
  {
    TJournal journal;
    ASSERT_TRUE(journal.Open({Folder.Root()}, TTempTree::Separator()));
    ASSERT_TRUE(journal.Begin(begin));
  }
  std::vector<TStoppedRun> runs = FindStoppedRuns({Folder.Root()});
  ASSERT_EQ(runs.size(), 1u);
  const TJournalBegin& read = runs.front().State.Begin;
  ASSERT_EQ(read.Backup.size(), begin.Backup.size());
  for (size_t i = 0; i < begin.Backup.size(); ++i) {
    ASSERT_EQ(read.Backup[i].Path, begin.Backup[i].Path);
    ASSERT_EQ(FileTimeValue(read.Backup[i].LWTime), t0 + i);
    ASSERT_EQ(FileTimeValue(read.Target[i].LWTime), t0 + i);
  }
  EXPECT_EQ(read.Attributes, begin.Attributes);
  runs.front().File->Remove();
}

}  // namespace
