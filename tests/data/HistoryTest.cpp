#include <gtest/gtest.h>

#include "data/Tstamp.h"

namespace {

// A unit named by the path of its one stamp, so that entries can be told apart.
TStampUnit Unit(const std::string& name, bool anyAttr = false) {
  TStampUnit unit;
  TStamp stamp;
  stamp.Path = name;
  unit.Stamps.push_back(stamp);
  unit.Options.AnyAttr = anyAttr;
  return unit;
}

std::vector<std::string> Names(const TStampHistory& history) {
  std::vector<std::string> names;
  for (const TStampUnit* unit : history.Units()) names.push_back(unit->Stamps.at(0).Path);
  return names;
}

class HistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    History.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &History);
      ++Events;
    };
  }
  void Fill(std::initializer_list<const char*> names, int position) {
    for (const char* name : names) History.Add(Unit(name));
    while (History.Position() > position) History.CommitUndo(History.UndoUnit());
    Events = 0;
  }
  TStampHistory History;
  int Events = 0;
};

using Names_ = std::vector<std::string>;

}  // namespace

TEST_F(HistoryTest, WorkedSequenceEndsWithB1B4AtPositionTwo) {
  EXPECT_FALSE(History.CanUndo() || History.CanRedo());
  History.Add(Unit("B1"));
  EXPECT_TRUE(History.CanUndo());
  EXPECT_FALSE(History.CanRedo());
  History.Add(Unit("B2"));
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, "B2");
  History.CommitUndo(Unit("R2"));
  EXPECT_EQ(Names(History), (Names_{"B1", "R2"}));
  EXPECT_EQ(History.Position(), 1);
  EXPECT_TRUE(History.CanUndo() && History.CanRedo());
  EXPECT_EQ(History.RedoUnit().Stamps[0].Path, "R2");
  History.CommitRedo(Unit("U2"));
  EXPECT_EQ(Names(History), (Names_{"B1", "U2"}));
  EXPECT_EQ(History.Position(), 2);
  History.CommitUndo(Unit("R3"));
  EXPECT_EQ(Names(History), (Names_{"B1", "R3"}));
  History.Add(Unit("B4"));
  EXPECT_EQ(Names(History), (Names_{"B1", "B4"}));
  EXPECT_EQ(History.Position(), 2);
  EXPECT_FALSE(History.CanRedo());
  EXPECT_EQ(Events, 6);
}

TEST_F(HistoryTest, AddAfterUndosDropsEveryRedoEntry) {
  Fill({"E0", "E1", "E2"}, 1);
  EXPECT_TRUE(History.CanUndo() && History.CanRedo());
  History.Add(Unit("N"));
  EXPECT_EQ(Names(History), (Names_{"E0", "N"}));
  EXPECT_EQ(History.Position(), 2);
  EXPECT_FALSE(History.CanRedo());
  EXPECT_EQ(Events, 1);
}

TEST_F(HistoryTest, CommitsReplaceTheEntryWithStampsAndOptionsAndKeepTheCount) {
  Fill({"E0", "E1"}, 2);
  History.CommitUndo(Unit("R", true));
  EXPECT_EQ(History.Count(), 2);
  EXPECT_EQ(History.RedoUnit().Stamps[0].Path, "R");
  EXPECT_TRUE(History.RedoUnit().Options.AnyAttr);
  History.CommitRedo(Unit("U", false));
  EXPECT_EQ(History.UndoUnit().Stamps[0].Path, "U");
  EXPECT_FALSE(History.UndoUnit().Options.AnyAttr);
  EXPECT_EQ(Events, 2);
}

TEST_F(HistoryTest, DiscardsRemoveTheEntryAtTheRightSide) {
  Fill({"E0", "E1", "E2"}, 2);
  History.DiscardUndo();
  EXPECT_EQ(Names(History), (Names_{"E0", "E2"}));
  EXPECT_EQ(History.Position(), 1);

  TStampHistory other;
  for (const char* name : {"E0", "E1", "E2"}) other.Add(Unit(name));
  other.CommitUndo(other.UndoUnit());
  other.DiscardRedo();
  EXPECT_EQ(Names(other), (Names_{"E0", "E1"}));
  EXPECT_EQ(other.Position(), 2);
  EXPECT_EQ(Events, 1);
}

TEST_F(HistoryTest, OperationsWhoseConditionFailsChangeNothingAndFireNothing) {
  History.CommitUndo(Unit("x"));
  History.DiscardUndo();
  History.CommitRedo(Unit("x"));
  History.DiscardRedo();
  EXPECT_EQ(History.Count(), 0);
  Fill({"E0"}, 1);
  History.CommitRedo(Unit("x"));
  History.DiscardRedo();
  EXPECT_EQ(Names(History), (Names_{"E0"}));
  Fill({}, 0);
  History.CommitUndo(Unit("x"));
  History.DiscardUndo();
  EXPECT_EQ(Names(History), (Names_{"E0"}));
  EXPECT_EQ(Events, 0);
}

TEST_F(HistoryTest, ClearFiresAlsoWhenEmptyAndEntriesHaveNoLimit) {
  History.Clear();
  EXPECT_EQ(Events, 1);
  for (int i = 0; i < 1000; ++i) History.Add(Unit(std::to_string(i)));
  EXPECT_EQ(History.Count(), 1000);
  EXPECT_EQ(History.Units().front()->Stamps[0].Path, "0");
  History.Clear();
  EXPECT_EQ(History.Count(), 0);
  EXPECT_EQ(History.Position(), 0);
  EXPECT_EQ(Events, 1002);
}

TEST_F(HistoryTest, SplitsLeaveTheRestOnItsSideAndTheWrittenNextOnTheOther) {
  Fill({"E0", "E1", "E2"}, 2);
  History.SplitUndo(Unit("W1", true), Unit("rest1"));
  EXPECT_EQ(Names(History), (Names_{"E0", "rest1", "W1", "E2"}));
  EXPECT_EQ(History.Position(), 2);
  EXPECT_TRUE(History.RedoUnit().Options.AnyAttr);
  History.SplitRedo(Unit("V1"), Unit("rest2"));
  EXPECT_EQ(Names(History), (Names_{"E0", "rest1", "V1", "rest2", "E2"}));
  EXPECT_EQ(History.Position(), 3);
  EXPECT_EQ(Events, 2);

  // An empty side takes no place: the split is then a commit, or a discard when both are empty.
  History.SplitUndo(Unit("W2"), TStampUnit());
  EXPECT_EQ(Names(History), (Names_{"E0", "rest1", "W2", "rest2", "E2"}));
  EXPECT_EQ(History.Position(), 2);
  History.SplitRedo(TStampUnit(), Unit("rest3"));
  EXPECT_EQ(Names(History), (Names_{"E0", "rest1", "rest3", "rest2", "E2"}));
  EXPECT_EQ(History.Position(), 2);
  History.SplitUndo(TStampUnit(), TStampUnit());
  EXPECT_EQ(Names(History), (Names_{"E0", "rest3", "rest2", "E2"}));
  EXPECT_EQ(History.Position(), 1);
  EXPECT_EQ(Events, 5);

  Fill({}, 0);
  History.SplitUndo(Unit("x"), Unit("y"));
  Fill({"F"}, 1);
  History.SplitRedo(Unit("x"), Unit("y"));
  EXPECT_EQ(Names(History), (Names_{"F"}));
  EXPECT_EQ(Events, 0);
}

// A run holds its entry shared while it writes: whatever the history does meanwhile, commits,
// splits, an assignment or a clear, the entry it holds stays exactly as it was taken.
TEST_F(HistoryTest, AnEntryHeldSharedOutlivesEveryChangeOfTheHistory) {
  Fill({"A", "B", "C"}, 2);
  const TSharedUnit undo = History.SharedUndoUnit();
  const TSharedUnit redo = History.SharedRedoUnit();
  EXPECT_EQ(undo.get(), &History.UndoUnit()) << "shared, not copied";
  History.SplitUndo(Unit("written"), Unit("rest"));
  History.CommitRedo(Unit("R"));
  TStampUnits assigned(2, Unit("new"));
  History.Assign(std::move(assigned), 1);
  History.Clear();
  EXPECT_EQ(Names(History), Names_{});
  EXPECT_EQ(undo->Stamps.at(0).Path, "B");
  EXPECT_EQ(redo->Stamps.at(0).Path, "C");
}
