#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/Tstamper.h"
#include "platform/LocalTime.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"
#include "support/Zone.h"

std::ostream& operator<<(std::ostream& out, const TItemTimes& times) {
  return out << "{CR " << times.Creation << ", LA " << times.LastAccess << ", LW "
             << times.LastWrite << "}";
}

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 131000000000000000ull;

TItemTimes Times(int n) {
  return {t0 + uint64_t(n) * day, t0 + uint64_t(n) * day + 3000, t0 + uint64_t(n) * day + 7000};
}

// Operations on real files, checked on disk. Where the platform cannot set a creation time
// (Linux), the runs leave it out and so do the checks.
class StamperRealTreeTest : public testing::Test {
 protected:
  StamperRealTreeTest() {
    const std::string probe = Tree.AddFile("probe");
    TTempTree::SetTimes(probe, Times(1));
    Options.CRTime = TTempTree::Times(probe).Creation == Times(1).Creation;
  }

  std::string AddFile(const std::string& name, const TItemTimes& times) {
    const std::string path = Tree.AddFile(name, "contents");
    TTempTree::SetTimes(path, times);
    return path;
  }

  TItemTimes Writable(TItemTimes times) const {
    if (!Options.CRTime) times.Creation = 0;
    return times;
  }

  TItemTimes OnDisk(const std::string& path) const { return Writable(TTempTree::Times(path)); }

  void Run(TOperationKind kind, const TStringList* paths = nullptr) {
    TStamperResult result = RunStamper(kind, paths, Holder, History, Options);
    EXPECT_TRUE(result.ErrorLog.empty()) << OperationName(kind) << ": " << result.ErrorLog[0];
    EXPECT_EQ(result.SucceededCount, result.ItemCount) << OperationName(kind);
  }

  void ExpectTargets(const TItemTimes& a, const TItemTimes& b, int position, int count) {
    EXPECT_EQ(OnDisk(A), Writable(a));
    EXPECT_EQ(OnDisk(B), Writable(b));
    EXPECT_EQ(History.Position(), position);
    EXPECT_EQ(History.Count(), count);
  }

  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
  std::string A = AddFile("a.txt", Times(10));
  std::string B = AddFile("b.txt", Times(20));
};

TEST_F(StamperRealTreeTest, SetSyncUndoRedoWalkTheHistoryBackAndForth) {
  const TStringList source = {AddFile("s.txt", Times(30))};
  const TStringList pair = {AddFile("g2.txt", Times(50)), AddFile("g1.txt", Times(40))};
  const TStringList targets = {B, A};

  Run(okGet, &source);
  Run(okSet, &targets);
  ExpectTargets(Times(30), Times(30), 1, 1);

  Run(okGet, &pair);
  Run(okSync, &targets);
  ExpectTargets(Times(40), Times(50), 2, 2);

  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);
  Run(okRedo);
  ExpectTargets(Times(40), Times(50), 2, 2);
  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);

  Run(okSet, &targets);
  ExpectTargets(Times(45), Times(45), 2, 2);
  EXPECT_FALSE(History.CanRedo());

  Run(okUndo);
  ExpectTargets(Times(30), Times(30), 1, 2);
  Run(okUndo);
  ExpectTargets(Times(10), Times(20), 0, 2);
  EXPECT_EQ(Boxes.Count(), 0u);
}

// The target turned read-only after the Set, without "Any Attr": its Undo fails, and its way back
// stays in the entry until it can be written.
TEST_F(StamperRealTreeTest, AnUndoRefusedForOneItemKeepsItUndoablePermission) {
  const TStringList source = {AddFile("s.txt", Times(30))};
  const TStringList targets = {A, B};
  Run(okGet, &source);
  Run(okSet, &targets);
  TTempTree::SetReadOnly(B, true);

  const TStamperResult refused = RunStamper(okUndo, nullptr, Holder, History, Options);
  EXPECT_EQ(refused.ErrorLog, TStringList{"failed write access: " + B});
  ExpectTargets(Times(10), Times(30), 1, 2);
  ASSERT_EQ(History.UndoUnit().Stamps.size(), 1u);
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, B);

  TTempTree::SetReadOnly(B, false);
  Run(okUndo);
  ExpectTargets(Times(10), Times(20), 0, 2);
}

// A rule on a tree with folders, on disk: each time made from the item's own, Undo and Redo exact,
// and results outside the valid range logged and not written.
TEST_F(StamperRealTreeTest, ARuleOnATreeWithFoldersIsWrittenUndoneAndRedoneExactly) {
  const std::string folder = Tree.AddFolder("f");
  const std::string inner = AddFile(std::string("f") + TTempTree::Separator() + "c.txt", Times(30));
  TTempTree::SetTimes(folder, Times(5));
  // Its first listing after a change moves a folder's last-access time (relatime): done here,
  // the Set's own listing leaves the times its backup reads as they were.
  PlatformFileSystem().ListFolder(folder, [](const TListedEntry&) { return true; });
  TTimeShifts shifts = IdentityShifts();
  shifts[0] = {TTimeSource::LastWrite, 0};
  shifts[1] = {TTimeSource::LastWrite, -int64_t(day)};
  shifts[2] = {TTimeSource::LastWrite, 3600 * TicksPerSecond};
  Holder.Store(TTimeChoice::Rule(shifts));
  const TStringList items = {A, folder, inner};
  std::vector<TItemTimes> before, made;
  for (const std::string& item : items) {
    before.push_back(OnDisk(item));
    const uint64_t write = TTempTree::Times(item).LastWrite;
    made.push_back(Writable({write, write + 3600 * TicksPerSecond, write - day}));
  }
  const auto expect = [&](const std::vector<TItemTimes>& times, const char* step) {
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(OnDisk(items[i]), times[i]) << step << i;
  };

  const TStringList dropped = {A, folder};
  Run(okSet, &dropped);
  expect(made, "Set");
  Run(okUndo);
  expect(before, "Undo");
  Run(okRedo);
  expect(made, "Redo");

  shifts[1].Offset = -200000 * int64_t(day);
  Holder.Store(TTimeChoice::Rule(shifts));
  const TStamperResult refused = RunStamper(okSet, &dropped, Holder, History, Options);
  EXPECT_EQ(refused.ErrorLog.front(), "time out of range: " + A);
  EXPECT_EQ(refused.SucceededCount, 0);
  EXPECT_EQ(OnDisk(A), made[0]);
}

struct TZoneSeasons {
  const char* Name;
  const char* Rule;
  int JanuaryMinutes, JulyMinutes;  // east of UTC
  // Local hours of 2024-03-10T06:30Z (the night the clocks go on in America) an hour on and a
  // day back.
  int HourOn, DayBack;
};

class ChosenTimesInZone : public StamperRealTreeTest,
                          public testing::WithParamInterface<TZoneSeasons> {};

// Local times typed for either season are written in that date's own offset and read back as
// typed, whatever season it is now.
TEST_P(ChosenTimesInZone, TypedLocalTimesAreWrittenInTheirDatesOffset) {
  TZone zone(GetParam().Rule);
  if (!zone.Pinned) GTEST_SKIP() << zone.Why();
  const TLocalTime january{2024, 1, 15, 12, 0, 0, 0}, july{2024, 7, 15, 12, 0, 0, 0};
  FILETIME winter, summer;
  ASSERT_TRUE(FromLocalTime(january, winter) && FromLocalTime(july, summer));
  EXPECT_EQ(FileTimeValue(winter),
            FileTimeValue(*FileTimeOfCalendar(january, GetParam().JanuaryMinutes)));
  EXPECT_EQ(FileTimeValue(summer),
            FileTimeValue(*FileTimeOfCalendar(july, GetParam().JulyMinutes)));
  Holder.Store(TTimeChoice::Typed(winter, summer, winter));
  const TStringList targets = {A};
  Run(okSet, &targets);
  EXPECT_EQ(OnDisk(A),
            Writable({FileTimeValue(winter), FileTimeValue(winter), FileTimeValue(summer)}));
  TLocalTime shown;
  ASSERT_TRUE(ToLocalTime(MakeFileTime(TTempTree::Times(A).LastWrite), shown));
  EXPECT_EQ(shown.Month * 100 + shown.Hour, 712);
  Run(okUndo);
  EXPECT_EQ(OnDisk(A), Writable(Times(10)));

  // Offsets are absolute time: an hour on is 3,600 s, across the change to summer time too.
  const uint64_t eve = FileTimeValue(*FileTimeOfCalendar({2024, 3, 10, 6, 30, 0, 0}, 0));
  TTempTree::SetTimes(A, {eve, eve, eve});
  TTimeShifts shifts = IdentityShifts();
  shifts[1] = {TTimeSource::LastWrite, 3600 * TicksPerSecond};
  shifts[2] = {TTimeSource::LastWrite, -24 * 3600 * TicksPerSecond};
  Holder.Store(TTimeChoice::Rule(shifts));
  Run(okSet, &targets);
  EXPECT_EQ(OnDisk(A), Writable({eve, eve - 864000000000ull, eve + 36000000000ull}));
  TLocalTime on, back;
  ASSERT_TRUE(ToLocalTime(MakeFileTime(TTempTree::Times(A).LastWrite), on) &&
              ToLocalTime(MakeFileTime(TTempTree::Times(A).LastAccess), back));
  EXPECT_EQ(on.Hour * 100 + on.Minute, GetParam().HourOn * 100 + 30);
  EXPECT_EQ(back.Hour * 100 + back.Minute, GetParam().DayBack * 100 + 30);
  Run(okUndo);
  EXPECT_EQ(OnDisk(A), Writable({eve, eve, eve}));
}

INSTANTIATE_TEST_SUITE_P(Zones, ChosenTimesInZone,
                         testing::Values(TZoneSeasons{"Utc", "UTC0", 0, 0, 7, 6},
                                         TZoneSeasons{"NineHoursEast", "JST-9", 540, 540, 16, 15},
                                         TZoneSeasons{"FiveHoursWest", "EST5EDT,M3.2.0,M11.1.0",
                                                      -300, -240, 3, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
