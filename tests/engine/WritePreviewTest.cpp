#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/TimeText.h"
#include "engine/Tstamper.h"
#include "engine/WritePreview.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;

// What a preview showed: its line of counts and its cells, row by row, after an optional sort.
struct TShown {
  std::string Summary;
  std::vector<TStringList> Rows;
};

class WritePreviewTest : public testing::Test {
 protected:
  WritePreviewTest() {
    // Sources s0..s2 and targets t0..t2; t1 already has s1's times, t3 is missing.
    for (int i = 0; i < 3; ++i) {
      const uint64_t source = t0 + uint64_t(i) * day, target = i == 1 ? source : source + 50 * day;
      Fs.AddFile(Source(i), faArchive, source, source + 1, source + 2);
      Fs.AddFile(Target(i), faArchive, target, target + 1, target + 2);
      Sources.push_back(Source(i));
    }
    Targets = {Target(0), Target(1), Target(2), Target(3)};
    RunStamper(okGet, &Sources, Holder, History);
  }

  static std::string Source(int i) { return "C:\\s\\s" + std::to_string(i) + ".txt"; }
  static std::string Target(int i) { return "C:\\t\\t" + std::to_string(i) + ".txt"; }
  uint64_t LastWrite(const std::string& path) const {
    return FileTimeValue(Fs.Entry(path).LastWriteTime);
  }

  // Runs with a preview that is sorted by the column given (if any), read and answered.
  TStamperResult Run(TOperationKind kind, const TStringList* paths, bool write,
                     std::optional<std::pair<size_t, bool>> sort = {}) {
    return RunStamper(kind, paths, Holder, History, {}, [&](TStamper& stamper) {
      stamper.SetPreview([&, write, sort](TWritePreview& preview) {
        if (sort) preview.SortBy(sort->first, sort->second);
        Shown = {preview.Summary(), {}};
        for (size_t row = 0; row < preview.RowCount(); ++row) {
          TStringList& cells = Shown.Rows.emplace_back();
          for (size_t column = 0; column < preview.ColumnCount(); ++column)
            cells.push_back(preview.Cell(row, column));
        }
        return write;
      });
    });
  }

  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStringList Sources, Targets;
  TShown Shown;
};

std::string Change(uint64_t from, uint64_t to) {
  return TimeText(MakeFileTime(from)) + " -> " + TimeText(MakeFileTime(to));
}

// The preview lists the items the run will write, each with its source and the times that change;
// Cancel writes nothing and ends the run as stopped, Write writes what was shown, and an Undo
// shows the way back.
TEST_F(WritePreviewTest, ShowsWhatTheRunWritesAndWritesOnlyOnWrite) {
  const TStringList three(Targets.begin(), Targets.begin() + 3);
  TStamperResult sync =
      Run(okSync, &three, false, std::pair{size_t(TWritePreview::cSource), false});
  EXPECT_TRUE(sync.Canceled);
  EXPECT_EQ(sync.SucceededCount, 0);
  EXPECT_EQ(LastWrite(Target(0)), t0 + 50 * day + 2);
  EXPECT_FALSE(History.CanUndo());
  EXPECT_EQ(Shown.Summary, "3 item(s) to write: 2 change, 1 stay as they are");
  const uint64_t s0 = t0, s2 = t0 + 2 * day, d50 = 50 * day;
  const std::vector<TStringList> expected = {
      {Target(2), Change(s2 + d50, s2), Change(s2 + d50 + 2, s2 + 2), Change(s2 + d50 + 1, s2 + 1),
       Source(2)},
      {Target(1), "", "", "", Source(1)},
      {Target(0), Change(s0 + d50, s0), Change(s0 + d50 + 2, s0 + 2), Change(s0 + d50 + 1, s0 + 1),
       Source(0)}};
  EXPECT_EQ(Shown.Rows, expected);

  sync = Run(okSync, &three, true);
  EXPECT_FALSE(sync.Canceled);
  EXPECT_EQ(sync.SucceededCount, 3);
  EXPECT_EQ(LastWrite(Target(0)), s0 + 2);
  ASSERT_EQ(Shown.Rows.size(), 3u);
  EXPECT_EQ(Shown.Rows[0][0], Target(0));

  // Sorted by the new last-write time, the rows that keep theirs come first.
  EXPECT_EQ(
      Run(okUndo, nullptr, true, std::pair{size_t(TWritePreview::cLastWrite), true}).SucceededCount,
      3);
  EXPECT_EQ(Shown.Summary, "3 item(s) to write: 2 change, 1 stay as they are");
  ASSERT_EQ(Shown.Rows.size(), 3u);
  EXPECT_EQ(Shown.Rows[0][0], Target(1));
  EXPECT_EQ(Shown.Rows[1][2], Change(s0 + 2, s0 + d50 + 2));
  EXPECT_EQ(Shown.Rows[1].size(), 4u);
  EXPECT_EQ(LastWrite(Target(0)), s0 + d50 + 2);

  // A target whose backup cannot be read is not written, so it is not listed.
  Boxes.Answer(idOk);
  const TStringList withMissing = {Target(0), Target(3)};
  EXPECT_EQ(Run(okSet, &withMissing, true).SucceededCount, 1);
  EXPECT_EQ(Shown.Summary, "1 item(s) to write: 1 change, 0 stay as they are");
}

}  // namespace
