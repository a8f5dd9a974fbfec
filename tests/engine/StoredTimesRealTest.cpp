#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/FileSystem.h"
#include "platform/WinConst.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

constexpr uint64_t second = 10000000;
constexpr uint64_t unixEpoch = 116444736000000000ull;
constexpr uint64_t oddSecond = unixEpoch + 1591012803 * second;  // 2020-06-01 12:00:03 UTC
constexpr uint64_t in1974 = unixEpoch + 141868803 * second;      // 1974-07-01 00:00:03 UTC

TStamp StampOf(uint64_t creation, uint64_t lastWrite, uint64_t lastAccess) {
  TStamp stamp;
  stamp.CRTime = MakeFileTime(creation);
  stamp.LWTime = MakeFileTime(lastWrite);
  stamp.LATime = MakeFileTime(lastAccess);
  return stamp;
}

// A Set of one stamp onto a real tree of two files and a folder with a file in it, dropped as its
// folder, and what each of its items held before.
class RealVolume {
 public:
  explicit RealVolume(const std::string& parent) : Tree(parent) {
    Tree.AddFolder("sub");
    for (const char* name : {"a.txt", "b.txt", "sub/c.txt"}) Tree.AddFile(FixSeparators(name), "x");
    Dropped = {Tree.Root()};
    // Listing a folder moves its last-access time once (relatime) after a change inside it; done
    // here, the Set's own listing leaves the folders' times as they were read.
    for (const std::string& folder : {Tree.Root(), Tree.Path("sub")})
      PlatformFileSystem().ListFolder(folder, [](const TListedEntry&) { return true; });
  }

  TStamperResult Run(TOperationKind kind, TStampOptions options, const TStamp& stamp = {}) {
    if (kind == okSet) Holder.Store(TStamps{stamp}, stamp, 0);
    return RunStamper(kind, kind == okSet ? &Dropped : nullptr, Holder, History, options);
  }

  // Every item of the run: the dropped folder and what is below it.
  TStringList Items() const {
    return {Tree.Root(), Tree.Path("a.txt"), Tree.Path("b.txt"), Tree.Path("sub"),
            Tree.Path(FixSeparators("sub/c.txt"))};
  }

  // The times the runs judge and restore: not the creation time, which some platforms make up.
  std::vector<TItemTimes> OnDisk() const {
    std::vector<TItemTimes> times;
    for (const std::string& item : Items()) {
      times.push_back(TTempTree::Times(item));
      times.back().Creation = 0;
    }
    return times;
  }

  TStampHistory History;

 private:
  static std::string FixSeparators(std::string name) {
    for (char& c : name)
      if (c == '/') c = TTempTree::Separator();
    return name;
  }

  TTempTree Tree;
  TStringList Dropped;
  TStampHolder Holder;
};

TStampOptions WithoutCreation() {
  TStampOptions options;
  options.CRTime = false;
  return options;
}

}  // namespace

// A folder on a FAT image that tests/fat-volume mounts for the run (BREVANTOR_FAT_FOLDER): FAT
// holds a last-write time to 2 s and no time before 1980. Creation times are left out, which
// neither Linux nor Wine can set on it.
TEST(FatVolume, RoundedTimesCountAndTimesNotKeptAreLoggedAndUndone) {
  const char* folder = std::getenv("BREVANTOR_FAT_FOLDER");
  if (!folder || FileSystem().GetAttributes(folder) == faInvalid)
    GTEST_SKIP() << "no FAT volume mounted: it needs root, FUSE and fusefat (tools/install-deps)";
  RealVolume volume(folder);
  const std::vector<TItemTimes> first = volume.OnDisk();
  const int items = int(volume.Items().size());

  const TStamperResult rounded = volume.Run(okSet, WithoutCreation(), StampOf(0, oddSecond, oddSecond));
  EXPECT_EQ(rounded.ErrorLog, TStringList());
  EXPECT_EQ(rounded.SucceededCount, items);
  EXPECT_EQ(rounded.RoundedCount, items);
  const std::vector<TItemTimes> afterRounding = volume.OnDisk();
  EXPECT_NE(afterRounding[1].LastWrite, oddSecond) << "FAT cannot hold an odd second";

  const TStamperResult lost = volume.Run(okSet, WithoutCreation(), StampOf(0, in1974, in1974));
  TStringList expected;
  for (const std::string& item : volume.Items())
    expected.push_back("last-write and last-access times not kept: " + item);
  EXPECT_EQ(lost.ErrorLog, expected);
  EXPECT_EQ(lost.SucceededCount, 0);
  EXPECT_EQ(volume.History.Count(), 2);

  for (const auto& before : {afterRounding, first}) {
    const TStamperResult undone = volume.Run(okUndo, {});
    EXPECT_EQ(undone.ErrorLog, TStringList());
    EXPECT_EQ(undone.SucceededCount, items);
    EXPECT_EQ(undone.RoundedCount, 0);
    EXPECT_EQ(volume.OnDisk(), before);
  }
}

// Wine on ext4 accepts a creation time and drops it: every item is logged, none counts, and the
// Undo still brings back the times that were kept.
TEST(CreationTimes, ACreationTimeTheFileSystemDropsIsLoggedAndUndone) {
  TTempTree probe;
  const std::string file = probe.AddFile("probe");
  const FILETIME creation = MakeFileTime(oddSecond);
  if (PlatformFileSystem().WriteTimes(file, TItemKind::File, &creation, nullptr, nullptr) !=
      TWriteTimesResult::Written)
    GTEST_SKIP() << "this platform cannot set a creation time";
  if (probe.KeepsCreationTime()) GTEST_SKIP() << "this file system keeps creation times";
  RealVolume volume(probe.Root());
  const std::vector<TItemTimes> first = volume.OnDisk();

  const TStamperResult set =
      volume.Run(okSet, {}, StampOf(oddSecond - 50 * second, oddSecond, oddSecond + 70 * second));
  TStringList expected;
  for (const std::string& item : volume.Items())
    expected.push_back("creation time not kept: " + item);
  EXPECT_EQ(set.ErrorLog, expected);
  EXPECT_EQ(set.SucceededCount, 0);

  volume.Run(okUndo, {});
  EXPECT_EQ(volume.OnDisk(), first);
}
