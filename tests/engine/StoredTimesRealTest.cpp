#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/WinConst.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

constexpr uint64_t second = 10000000;
constexpr uint64_t oddSecond = 132354864030000000ull;  // 2020-06-01 12:00:03 UTC
constexpr uint64_t in1974 = 117863424030000000ull;     // 1974-07-01 00:00:03 UTC

// Sets of one stamp onto a real tree, dropped as its folder: two files and a folder with a file.
class TRealVolume {
 public:
  explicit TRealVolume(const std::string& parent) : Tree(parent) {
    Items = {Tree.Root(), Tree.AddFile("a"), Tree.AddFile("b"), Tree.AddFolder("sub")};
    Items.push_back(Tree.AddFile(std::string("sub") + TTempTree::Separator() + "c"));
    // Listing a folder moves its last-access time once after a change inside it (relatime);
    // done here, the Set's own listing leaves the times read before it as they are.
    for (const std::string& folder : {Items[0], Items[3]})
      PlatformFileSystem().ListFolder(folder, [](const TListedEntry&) { return true; });
  }

  TStamperResult Set(uint64_t creation, uint64_t time, TStampOptions options) {
    TStamp stamp;
    stamp.CRTime = MakeFileTime(creation);
    stamp.LWTime = stamp.LATime = MakeFileTime(time);
    Holder.Store(TStamps{stamp}, stamp, 0);
    const TStringList dropped{Tree.Root()};
    return RunStamper(okSet, &dropped, Holder, History, options);
  }
  TStamperResult Undo() { return RunStamper(okUndo, nullptr, Holder, History); }

  // The times written and restored: not the creation time, which some platforms make up.
  std::vector<TItemTimes> OnDisk() const {
    std::vector<TItemTimes> times;
    for (const std::string& item : Items)
      times.push_back({0, TTempTree::Times(item).LastAccess, TTempTree::Times(item).LastWrite});
    return times;
  }

  TStringList Lines(const std::string& start) const {
    TStringList lines;
    for (const std::string& item : Items) lines.push_back(start + item);
    return lines;
  }

  TTempTree Tree;
  TStringList Items;
  TStampHolder Holder;
  TStampHistory History;
};

}  // namespace

// A FAT image that tests/fat-volume mounts for the run: FAT holds a last-write time to 2 s and
// nothing before 1980. Creation times are left out: neither Linux nor Wine sets them there.
TEST(FatVolume, RoundedTimesCountAndTimesNotKeptAreLoggedAndUndone) {
  const char* folder = std::getenv("BREVANTOR_FAT_FOLDER");
  if (!folder || FileSystem().GetAttributes(folder) == faInvalid)
    GTEST_SKIP() << "no FAT volume mounted: it needs root, FUSE and fusefat (tools/install-deps)";
  TRealVolume volume(folder);
  TStampOptions options;
  options.CRTime = false;
  const std::vector<TItemTimes> first = volume.OnDisk();
  const int items = int(volume.Items.size());

  TStamperResult set = volume.Set(0, oddSecond, options);
  EXPECT_EQ(set.ErrorLog, TStringList());
  EXPECT_EQ(set.SucceededCount, items);
  EXPECT_EQ(set.RoundedCount, items);
  const std::vector<TItemTimes> rounded = volume.OnDisk();
  EXPECT_NE(rounded[1].LastWrite, oddSecond) << "FAT cannot hold an odd second";

  set = volume.Set(0, in1974, options);
  EXPECT_EQ(set.ErrorLog, volume.Lines("last-write and last-access times not kept: "));
  EXPECT_EQ(set.SucceededCount, 0);
  for (const auto& before : {rounded, first}) {
    const TStamperResult undo = volume.Undo();
    EXPECT_EQ(undo.ErrorLog, TStringList());
    EXPECT_EQ(undo.SucceededCount, items);
    EXPECT_EQ(volume.OnDisk(), before);
  }
}

// Wine on ext4 accepts a creation time and drops it; the Undo still restores the other times.
TEST(CreationTimes, ACreationTimeTheFileSystemDropsIsLoggedAndUndone) {
  TTempTree probe;
  const std::string file = probe.AddFile("probe");
  const FILETIME creation = MakeFileTime(oddSecond);
  if (PlatformFileSystem().WriteTimes(file, TItemKind::File, &creation, nullptr, nullptr) !=
      TWriteTimesResult::Written)
    GTEST_SKIP() << "this platform cannot set a creation time";
  if (probe.KeepsCreationTime()) GTEST_SKIP() << "this file system keeps creation times";
  TRealVolume volume(probe.Root());
  const std::vector<TItemTimes> first = volume.OnDisk();

  const TStamperResult set = volume.Set(oddSecond - 50 * second, oddSecond, {});
  EXPECT_EQ(set.ErrorLog, volume.Lines("creation time not kept: "));
  EXPECT_EQ(set.SucceededCount, 0);
  volume.Undo();
  EXPECT_EQ(volume.OnDisk(), first);
}
