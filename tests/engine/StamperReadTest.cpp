#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/Tstamper.h"
#include "toolkit/Application.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"

namespace {

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 132000000000000000ull;

TStampOptions NoTimes() {
  TStampOptions options;
  options.CRTime = options.LWTime = options.LATime = false;
  return options;
}

class StamperReadTest : public testing::Test {
 protected:
  StamperReadTest() {
    Fs.AddFile("C:\\d\\a.txt", faArchive, t0 + 1 * day, t0 + 2 * day, t0 + 3 * day);
    Fs.AddFile("C:\\d\\b.txt", faArchive, t0 + 3 * day, t0 + 4 * day, t0 + 5 * day);
    Fs.AddFolder("C:\\d\\sub");
    Fs.SetTimes("C:\\d\\sub", t0 + 5 * day, t0 + 6 * day, t0 + 7 * day);
    Holder.OnChange = [this](TObject*) { ++HolderChanges; };
  }

  TStamperResult Run(TOperationKind kind, const TStringList* paths, TStampOptions options = {}) {
    return RunStamper(kind, paths, Holder, History, options);
  }

  // A stop is requested the first time the primitive is called for the path.
  TStamperResult RunStoppingAt(TOperationKind kind, const TStringList& paths, TPrimitive primitive,
                               const std::string& path) {
    TStamperResult result = RunStamper(kind, &paths, Holder, History, {}, [&](TStamper& stamper) {
      Fs.OnCall = [&stamper, primitive, path](TPrimitive called, const std::string& calledPath) {
        if (called == primitive && calledPath == path) stamper.Terminate();
      };
    });
    Fs.OnCall = nullptr;
    return result;
  }

  void StorePrevious() {
    TStamp previous;
    previous.Path = "C:\\old.txt";
    previous.LWTime = MakeFileTime(t0);
    Holder.Store({previous}, previous, 0);
    HolderChanges = 0;
  }

  void ExpectPreviousKept() {
    ASSERT_EQ(Holder.Count(), 1);
    EXPECT_EQ(Holder.Stamps()[0].Path, "C:\\old.txt");
    EXPECT_EQ(HolderChanges, 0);
  }

  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  int HolderChanges = 0;
};

TEST(OperationNameTest, NamesTheSevenKindsAndNothingElse) {
  const char* names[] = {"Get", "Set", "Sync", "Undo", "Redo", "Properties", "Restore"};
  for (int kind = 0; kind < 7; ++kind) EXPECT_EQ(OperationName(TOperationKind(kind)), names[kind]);
  for (int other : {7, 127, -1, -128}) EXPECT_EQ(OperationName(TOperationKind(other)), "(Unknown)");
}

TEST_F(StamperReadTest, SetAndSyncWithoutTimeOptionsAreRefusedBeforeAnyExpansion) {
  int calls = 0;
  Fs.OnCall = [&](TPrimitive, const std::string&) { ++calls; };
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\sub"};
  for (TOperationKind kind : {okSet, okSync}) {
    TStamperResult result = Run(kind, &paths, NoTimes());
    EXPECT_EQ(result.ItemCount, 3);
    EXPECT_EQ(result.SucceededCount, 0);
    EXPECT_FALSE(result.Canceled);
  }
  EXPECT_EQ(calls, 0);
  ASSERT_EQ(Boxes.Count(), 2u);
  for (const TShownMessageBox& box : Boxes.Shown()) {
    EXPECT_EQ(box.Text, "No operation.\r\n\r\nNo time parameter to process.");
    EXPECT_EQ(box.Caption, Application().Title);
    EXPECT_EQ(box.Flags, 48);
  }
}

TEST_F(StamperReadTest, GetWithoutTimeOptionsStillReadsAllThreeTimes) {
  const TStringList paths = {"C:\\d\\a.txt"};
  TStamperResult result = Run(okGet, &paths, NoTimes());
  EXPECT_EQ(result.SucceededCount, 1);
  ASSERT_EQ(Holder.Count(), 1);
  EXPECT_EQ(FileTimeValue(Holder.Stamps()[0].CRTime), t0 + 1 * day);
  EXPECT_EQ(FileTimeValue(Holder.Stamps()[0].LATime), t0 + 2 * day);
  EXPECT_EQ(FileTimeValue(Holder.Stamps()[0].LWTime), t0 + 3 * day);
}

TEST_F(StamperReadTest, AFolderThatExpandsToNothingIsNoItem) {
  TStampOptions options;
  options.Subdirs = options.Directories = false;
  const TStringList paths = {"C:\\d\\sub"};
  TStamperResult result = Run(okGet, &paths, options);
  EXPECT_EQ(Boxes.Texts(), TStringList{"No operation.\r\n\r\nNo item to process."});
  EXPECT_EQ(Boxes.Shown()[0].Flags, 48);
  EXPECT_EQ(result.ItemCount, 0);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(Holder.Count(), 0);
}

TEST_F(StamperReadTest, GetStoresTheReadableItemsSortedWithAverageAndFolderCount) {
  const TStringList paths = {"C:\\d\\e.txt", "C:\\d\\sub", "C:\\d\\b.txt", "C:\\d\\c.txt",
                             "C:\\d\\a.txt"};
  TStamperResult result = Run(okGet, &paths);
  EXPECT_EQ(result.Kind, okGet);
  EXPECT_EQ(result.ItemCount, 5);
  EXPECT_EQ(result.SucceededCount, 3);
  EXPECT_FALSE(result.Canceled);
  EXPECT_EQ(result.ErrorLog,
            (TStringList{"failed to get data: C:\\d\\c.txt", "failed to get data: C:\\d\\e.txt"}));
  EXPECT_EQ(Boxes.Count(), 0u);
  ASSERT_EQ(Holder.Count(), 3);
  EXPECT_EQ(Holder.Stamps()[0].Path, "C:\\d\\a.txt");
  EXPECT_EQ(Holder.Stamps()[1].Path, "C:\\d\\b.txt");
  EXPECT_EQ(Holder.Stamps()[2].Path, "C:\\d\\sub");
  EXPECT_EQ(FileTimeValue(Holder.Stamps()[1].LWTime), t0 + 5 * day);
  EXPECT_EQ(Holder.DirCount(), 1);
  EXPECT_EQ(FileTimeValue(Holder.Average().CRTime), t0 + 3 * day);
  EXPECT_EQ(FileTimeValue(Holder.Average().LATime), t0 + 4 * day);
  EXPECT_EQ(FileTimeValue(Holder.Average().LWTime), t0 + 5 * day);
  EXPECT_EQ(HolderChanges, 1);
}

TEST_F(StamperReadTest, GetOfNothingReadableKeepsThePreviousGetData) {
  StorePrevious();
  const TStringList paths = {"C:\\d\\x.txt", "C:\\d\\y.txt"};
  TStamperResult result = Run(okGet, &paths);
  EXPECT_EQ(Boxes.Texts(), TStringList{"No operation.\r\n\r\nFailed all items.\r\n\r\nGet data "
                                       "is not registered."});
  EXPECT_EQ(Boxes.Shown()[0].Flags, 48);
  EXPECT_EQ(result.ItemCount, 2);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(result.ErrorLog.size(), 2u);
  ExpectPreviousKept();
}

TEST_F(StamperReadTest, PropertiesOfDroppedItemsReportsThemAndNeverTouchesTheGetData) {
  StorePrevious();
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\sub", "C:\\d\\gone.txt"};
  TStamperResult result = Run(okProperties, &paths);
  EXPECT_EQ(result.ItemCount, 3);
  EXPECT_EQ(result.SucceededCount, 2);
  ASSERT_EQ(Boxes.Count(), 1u);
  EXPECT_EQ(Boxes.Shown()[0].Flags, 64);
  EXPECT_EQ(Boxes.Shown()[0].Text.rfind(
                "[Contents]\r\nFile Count: 1\r\nDir Count: 1\r\nFile and Dir Total: 2\r\n", 0),
            0u);
  ExpectPreviousKept();

  const TStringList unreadable = {"C:\\d\\gone.txt"};
  Run(okProperties, &unreadable);
  EXPECT_EQ(Boxes.Texts().back(), "No operation.\r\n\r\nFailed to get properties.");
  ExpectPreviousKept();
}

TEST_F(StamperReadTest, PropertiesWithoutPathsReportsTheGetData) {
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\sub"};
  Run(okGet, &paths);
  HolderChanges = 0;
  TStamperResult result = Run(okProperties, nullptr);
  EXPECT_EQ(result.ItemCount, 3);
  EXPECT_EQ(result.SucceededCount, 3);
  ASSERT_EQ(Boxes.Count(), 1u);
  EXPECT_EQ(Boxes.Shown()[0].Text.rfind(
                "[Contents]\r\nFile Count: 2\r\nDir Count: 1\r\nFile and Dir Total: 3\r\n", 0),
            0u);
  EXPECT_EQ(HolderChanges, 0);
}

TEST_F(StamperReadTest, AStopDuringTheExpansionEndsCanceledWithTheDroppedCount) {
  StorePrevious();
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\sub", "C:\\d\\b.txt"};
  TStamperResult result = RunStoppingAt(okGet, paths, TPrimitive::GetAttributes, "C:\\d\\sub");
  EXPECT_TRUE(result.Canceled);
  EXPECT_EQ(result.ItemCount, 3);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(Boxes.Count(), 0u);
  ExpectPreviousKept();
}

TEST_F(StamperReadTest, AStopDuringOrAfterTheReadKeepsTheGetData) {
  StorePrevious();
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\sub"};
  for (const char* stopAt : {"C:\\d\\b.txt", "C:\\d\\sub"}) {
    TStamperResult result = RunStoppingAt(okGet, paths, TPrimitive::FindEntry, stopAt);
    EXPECT_TRUE(result.Canceled) << stopAt;
    EXPECT_EQ(result.ItemCount, 3) << stopAt;
  }
  EXPECT_EQ(Boxes.Count(), 0u);
  ExpectPreviousKept();
}

TEST_F(StamperReadTest, AnExceptionInTheBodyEndsTheRunSilently) {
  StorePrevious();
  Fs.OnCall = [](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::FindEntry && path == "C:\\d\\b.txt")
      throw std::runtime_error("disk on fire");
  };
  const TStringList paths = {"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\sub"};
  TStamperResult result = Run(okGet, &paths);
  EXPECT_FALSE(result.Canceled);
  EXPECT_EQ(result.ItemCount, 3);
  EXPECT_EQ(result.SucceededCount, 0);
  EXPECT_EQ(Boxes.Count(), 0u);
  ExpectPreviousKept();
}

}  // namespace
