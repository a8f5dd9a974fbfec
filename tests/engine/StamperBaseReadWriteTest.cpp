#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Tstamperbase.h"
#include "support/FakeFileSystem.h"
#include "support/Stamps.h"
#include "support/TestStamper.h"

namespace {

std::vector<std::string> Paths(const TStamps& stamps) {
  std::vector<std::string> paths;
  for (const TStamp& stamp : stamps) paths.push_back(stamp.Path);
  return paths;
}

TStampOptions AnyAttr(bool on) {
  TStampOptions options;
  options.AnyAttr = on;
  return options;
}

class StamperBaseFilesTest : public testing::Test {
 protected:
  // Writes one stamp with the times 100, 200, 300 onto the path; gives what the write left.
  struct TOneWrite {
    TStringList Log;
    int Count = 0;
    uint8_t Flag = 1;
    uint8_t TimesWritten = 0;
  };
  TOneWrite WriteOne(const std::string& path, TStampOptions options) {
    TOneWrite result;
    TStamps stamps{MakeStamp(path, 100, 200, 300)};
    TFlags flags{1};
    TFlags written;
    result.Count = Stamper.WriteStamps(result.Log, stamps, options, true, flags, &written);
    result.Flag = flags[0];
    result.TimesWritten = written.at(0);
    return result;
  }

  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TTestStamper Stamper;
  TStringList Log;
};

TEST_F(StamperBaseFilesTest, GetStampsReadsItemsAndErasesThoseThatFail) {
  Fs.AddFolder("C:\\d");
  Fs.SetTimes("C:\\d", 7, 8, 9);
  Fs.AddFile("C:\\d\\f.txt", faArchive, 1, 2, 3);
  TStamps stamps{MakeStamp("C:\\d"), MakeStamp("C:\\missing"), MakeStamp("C:\\"),
                 MakeStamp("C:\\d\\f.txt")};
  int folderCount = -1;
  EXPECT_EQ(Stamper.GetStamps(Log, stamps, folderCount), 2);
  EXPECT_EQ(folderCount, 1);
  EXPECT_EQ(Log, (TStringList{"failed to get data: C:\\missing", "failed to get data: C:\\"}));
  ASSERT_EQ(Paths(stamps), (std::vector<std::string>{"C:\\d", "C:\\d\\f.txt"}));
  EXPECT_EQ(FileTimeValue(stamps[0].CRTime), 7u);
  EXPECT_EQ(FileTimeValue(stamps[0].LATime), 8u);
  EXPECT_EQ(FileTimeValue(stamps[0].LWTime), 9u);
  EXPECT_EQ(FileTimeValue(stamps[1].CRTime), 1u);
  EXPECT_EQ(FileTimeValue(stamps[1].LATime), 2u);
  EXPECT_EQ(FileTimeValue(stamps[1].LWTime), 3u);
}

TEST_F(StamperBaseFilesTest, GetStampsOfNothingLeavesTheFolderCount) {
  TStamps stamps;
  int folderCount = 7;
  EXPECT_EQ(Stamper.GetStamps(Log, stamps, folderCount), 0);
  EXPECT_EQ(folderCount, 7);
  EXPECT_TRUE(Log.empty());
}

TEST_F(StamperBaseFilesTest, ReadStampsPassesOverFailedItems) {
  Fs.AddFile("C:\\a", faArchive, 1, 1, 1);
  Fs.AddFolder("C:\\skipped");
  std::vector<std::string> visited;
  Fs.OnCall = [&](TPrimitive, const std::string& path) { visited.push_back(path); };
  TStamps stamps{MakeStamp("C:\\skipped"), MakeStamp("C:\\a")};
  TFlags flags{0, 1};
  int folderCount = 5;
  EXPECT_EQ(Stamper.ReadStamps(Log, stamps, folderCount, flags), 1);
  EXPECT_EQ(folderCount, 0);
  EXPECT_EQ(flags, (TFlags{0, 1}));
  EXPECT_EQ(visited, std::vector<std::string>{"C:\\a"});
  EXPECT_TRUE(Log.empty());
}

TEST_F(StamperBaseFilesTest, ReadStampsStopsBeforeTheNextStamp) {
  Fs.AddFile("C:\\a", faArchive, 1, 1, 1);
  Fs.AddFile("C:\\b", faArchive, 2, 2, 2);
  Fs.OnCall = [&](TPrimitive, const std::string& path) {
    if (path == "C:\\a") Stamper.Terminate();
  };
  TStamps stamps{MakeStamp("C:\\a"), MakeStamp("C:\\b")};
  TFlags flags{1, 1};
  int folderCount = 0;
  EXPECT_EQ(Stamper.ReadStamps(Log, stamps, folderCount, flags), 1);
  EXPECT_EQ(FileTimeValue(stamps[0].CRTime), 1u);
  EXPECT_EQ(FileTimeValue(stamps[1].CRTime), 0u);
}

TEST_F(StamperBaseFilesTest, RemoveFailedUnitsKeepsTheGoodInOrder) {
  TStamps stamps{MakeStamp("a", 1), MakeStamp("b", 2), MakeStamp("c", 3), MakeStamp("d", 4),
                 MakeStamp("e", 5)};
  Stamper.RemoveFailedUnits(stamps, TFlags{1, 0, 1, 0, 1});
  ASSERT_EQ(Paths(stamps), (std::vector<std::string>{"a", "c", "e"}));
  EXPECT_EQ(FileTimeValue(stamps[1].CRTime), 3u);
  EXPECT_EQ(FileTimeValue(stamps[2].CRTime), 5u);
  Stamper.RemoveFailedUnits(stamps, TFlags{0, 0, 0});
  EXPECT_TRUE(stamps.empty());
}

TEST_F(StamperBaseFilesTest, RemoveFailedUnitsAfterAStopLeavesTheStampsNotReached) {
  TStamps stamps{MakeStamp("a"), MakeStamp("b"), MakeStamp("c")};
  Stamper.Terminate();
  Stamper.RemoveFailedUnits(stamps, TFlags{0, 1, 0});
  EXPECT_EQ(Paths(stamps), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(StamperBaseFilesTest, EachWriteFailureLeavesItsLine) {
  Fs.AddFile("C:\\ro", faArchive | faReadOnly);
  EXPECT_EQ(WriteOne("C:\\ro", AnyAttr(false)).Log, TStringList{"failed write access: C:\\ro"});

  Fs.AddFile("C:\\noattrs");
  Fs.Fail(TPrimitive::GetAttributes, "C:\\noattrs");
  const TOneWrite unread = WriteOne("C:\\noattrs", AnyAttr(true));
  EXPECT_EQ(unread.Log, TStringList{"failed to get file attributes: C:\\noattrs"});
  EXPECT_EQ(unread.Count, 1) << "the write goes on";

  Fs.AddFile("C:\\stuck", faArchive | faReadOnly);
  Fs.Fail(TPrimitive::SetAttributes, "C:\\stuck");
  EXPECT_EQ(WriteOne("C:\\stuck", AnyAttr(true)).Log,
            (TStringList{"failed to normalize file attributes: C:\\stuck",
                         "failed write access: C:\\stuck"}));

  Fs.AddFile("C:\\noset");
  Fs.Fail(TPrimitive::WriteTimesSet, "C:\\noset");
  EXPECT_EQ(WriteOne("C:\\noset", AnyAttr(false)).Log,
            TStringList{"failed to set file times: C:\\noset"});
}

TEST_F(StamperBaseFilesTest, AFailedRestoreUndoesTheFlagButNotTheTimes) {
  Fs.AddFile("C:\\r", faArchive | faReadOnly);
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::WriteTimesSet) Fs.Fail(TPrimitive::SetAttributes, path);
  };
  const TOneWrite write = WriteOne("C:\\r", AnyAttr(true));
  EXPECT_EQ(write.Log, TStringList{"failed to restore file attributes: C:\\r (+A-D-H-N+R-S-T)"});
  EXPECT_EQ(write.Count, 0);
  EXPECT_EQ(write.Flag, 0);
  EXPECT_EQ(write.TimesWritten, 1);
  EXPECT_EQ(FileTimeValue(Fs.Entry("C:\\r").LastWriteTime), 200u);
}

// Setting attributes fails throughout, so a line shows each attempt: none before the write, the
// same attributes again after it.
TEST_F(StamperBaseFilesTest, ExactlyNormalOrDirectoryIsOnlySetAgainAfterTheWrite) {
  Fs.AddFile("C:\\plain", faNormal);
  Fs.AddFolder("C:\\dir");
  Fs.Fail(TPrimitive::SetAttributes, "C:\\plain");
  Fs.Fail(TPrimitive::SetAttributes, "C:\\dir");
  const TOneWrite file = WriteOne("C:\\plain", AnyAttr(true));
  EXPECT_EQ(file.Log, TStringList{"failed to restore file attributes: C:\\plain (-A-D-H+N-R-S-T)"});
  EXPECT_EQ(file.TimesWritten, 1);
  const TOneWrite folder = WriteOne("C:\\dir", AnyAttr(true));
  EXPECT_EQ(folder.Log, TStringList{"failed to restore file attributes: C:\\dir (-A+D-H-N-R-S-T)"});
  EXPECT_EQ(folder.TimesWritten, 1) << "a folder is opened as a folder";
}

// A volume that cannot be told is asked again once, then judged by the loosest rounding of any
// volume: a last-write time a second off counts, one that stayed where it was is logged.
TEST_F(StamperBaseFilesTest, AnUnknownVolumeNeitherCallsARoundingALossNorMissesADrop) {
  const uint64_t second = 10000000;
  Fs.AddFile("C:\\a.txt");
  Fs.AddFile("C:\\b.txt", faArchive, 1, 3, 3600 * second);
  Fs.Fail(TPrimitive::VolumeOf, "C:\\a.txt");
  Fs.Fail(TPrimitive::VolumeOf, "C:\\b.txt");
  int asked = 0;
  Fs.OnCall = [&](TPrimitive primitive, const std::string&) {
    asked += primitive == TPrimitive::VolumeOf;
  };
  Fs.SetStoreRule([&](TTimeKind kind, uint64_t time, uint64_t held) {
    return kind != TTimeKind::LastWrite ? time : time == 100 + second ? held : time + second;
  });
  const TOneWrite rounded = WriteOne("C:\\a.txt", AnyAttr(false));
  EXPECT_EQ(rounded.Count, 1);
  EXPECT_TRUE(rounded.Log.empty());
  EXPECT_EQ(asked, 2);
  TStamps stamps{MakeStamp("C:\\b.txt", 100, 100 + second, 300)};
  TFlags flags{1}, written;
  EXPECT_EQ(Stamper.WriteStamps(Log, stamps, AnyAttr(false), true, flags, &written), 0);
  EXPECT_EQ(Log, TStringList{"last-write time not kept: C:\\b.txt"});
}

TEST_F(StamperBaseFilesTest, WritesOnlyTheTimesChosen) {
  Fs.AddFile("C:\\f", faArchive, 1, 2, 3);
  TStampOptions lastWriteOnly;
  lastWriteOnly.CRTime = false;
  lastWriteOnly.LATime = false;
  EXPECT_EQ(WriteOne("C:\\f", lastWriteOnly).Count, 1);
  const TFileEntry entry = Fs.Entry("C:\\f");
  EXPECT_EQ(FileTimeValue(entry.CreationTime), 1u);
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), 2u);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), 200u);
}

class StamperBaseWriteOrderTest : public StamperBaseFilesTest,
                                  public testing::WithParamInterface<bool> {};

TEST_P(StamperBaseWriteOrderTest, FlagsAndCountsComeOutAlikeInEitherOrder) {
  const bool forward = GetParam();
  Fs.AddFile("C:\\1");
  Fs.AddFile("C:\\2", faReadOnly);
  Fs.AddFile("C:\\3");
  Fs.AddFile("C:\\4");
  Fs.AddFile("C:\\5");
  Fs.Fail(TPrimitive::WriteTimesSet, "C:\\5");
  std::vector<std::string> opened;
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::WriteTimesOpen) opened.push_back(path);
  };
  TStamps stamps{MakeStamp("C:\\1", 1), MakeStamp("C:\\2", 2), MakeStamp("C:\\3", 3),
                 MakeStamp("C:\\4", 4), MakeStamp("C:\\5", 5)};
  TFlags flags{1, 1, 0, 1, 1};
  TFlags written(9, 7);
  EXPECT_EQ(Stamper.WriteStamps(Log, stamps, AnyAttr(false), forward, flags, &written), 2);
  EXPECT_EQ(flags, (TFlags{1, 0, 0, 1, 0}));
  EXPECT_EQ(written, (TFlags{1, 0, 0, 1, 0}));
  // The read-only file is refused by its attributes, before any opening.
  const std::vector<std::string> order{"C:\\1", "C:\\4", "C:\\5"};
  EXPECT_EQ(opened, forward ? order : std::vector<std::string>(order.rbegin(), order.rend()));
  EXPECT_EQ(FileTimeValue(Fs.Entry("C:\\3").CreationTime), 0u) << "a failed item is left alone";
  const TStringList lines{"failed write access: C:\\2", "failed to set file times: C:\\5"};
  EXPECT_EQ(Log, forward ? lines : TStringList(lines.rbegin(), lines.rend()));
}

INSTANTIATE_TEST_SUITE_P(Order, StamperBaseWriteOrderTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Forward" : "Backward";
                         });

TEST_F(StamperBaseFilesTest, WriteStampsStopsBeforeTheNextStamp) {
  Fs.AddFile("C:\\a");
  Fs.AddFile("C:\\b");
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::WriteTimesSet && path == "C:\\a") Stamper.Terminate();
  };
  TStamps stamps{MakeStamp("C:\\a", 1), MakeStamp("C:\\b", 2)};
  TFlags flags{1, 1};
  TFlags written;
  EXPECT_EQ(Stamper.WriteStamps(Log, stamps, AnyAttr(false), true, flags, &written), 1);
  EXPECT_EQ(written, (TFlags{1, 0}));
  EXPECT_EQ(FileTimeValue(Fs.Entry("C:\\a").CreationTime), 1u);
  EXPECT_EQ(FileTimeValue(Fs.Entry("C:\\b").CreationTime), 0u);
}

}  // namespace
