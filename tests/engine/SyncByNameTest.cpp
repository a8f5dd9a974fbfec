#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "engine/SyncPairing.h"
#include "engine/Tstamper.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

TEST(RelativePaths, BeginBelowTheFolderEachItemWasDroppedFrom) {
  TFakeFileSystem fs;
  TFileSystemOverride guard(fs);
  struct TCase {
    TDroppedItems Dropped;
    bool BelowTheFolder;
    std::string Path, Relative;
  };
  const TCase cases[] = {
      {{{"C:\\a\\Photos", true}}, false, "C:\\a\\Photos\\x.jpg", "Photos\\x.jpg"},
      {{{"C:\\a\\Photos", true}}, false, "C:\\a\\Photos", "Photos"},
      {{{"C:\\a\\Photos", true}}, true, "C:\\a\\Photos\\x.jpg", "x.jpg"},
      {{{"C:\\a\\Photos", true}}, true, "C:\\a\\Photos", ""},
      {{{"D:\\", true}}, true, "D:\\sub\\x.jpg", "sub\\x.jpg"},
      {{{"D:\\", true}}, true, "D:\\", ""},
      {{{"C:\\a\\x.jpg", false}, {"C:\\a\\y", true}}, false, "C:\\a\\y\\z", "y\\z"},
      // Dropped from two folders: the name after a folder must be one dropped from it.
      {{{"C:\\a\\b\\c", true}, {"C:\\a\\y", false}}, false, "C:\\a\\b\\c\\f", "c\\f"},
      {{{"C:\\a\\b\\c", true}, {"C:\\a\\y", false}}, false, "C:\\a\\y", "y"},
      // An item found from two nested drops belongs to the outer one.
      {{{"C:\\a\\b", true}, {"C:\\a\\b\\c\\d", true}}, false, "C:\\a\\b\\c\\d\\f", "b\\c\\d\\f"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TRelativePaths(c.Dropped, c.BelowTheFolder).Of(c.Path), c.Relative) << c.Path;
}

// Where listings carry times, the expansion's listing serves the backup read of the targets paired,
// also when some had no partner.
TEST(SyncByNameListings, ATargetWithoutPartnerCostsTheReadNoListing) {
  TFakeFileSystem fs;
  fs.SetListingHasTimes(true);
  TFileSystemOverride guard(fs);
  for (const char* name : {"a.txt", "b.txt"}) fs.AddFile(std::string("C:\\orig\\") + name);
  for (const char* name : {"a.txt", "b.txt", "Thumbs.db"})
    fs.AddFile(std::string("C:\\copy\\") + name);
  TStampHolder holder;
  TStampHistory history;
  const TStringList original{"C:\\orig"}, copy{"C:\\copy"};
  RunStamper(okGet, &original, holder, history);
  std::atomic<int> listings = 0;
  fs.OnCall = [&](TPrimitive primitive, const std::string&) {
    listings += primitive == TPrimitive::ListFolder;
  };
  const TStamperResult sync = RunStamper(okSync, &copy, holder, history, {},
                                         [](TStamper& stamper) { stamper.SetSyncByName(true); });
  EXPECT_EQ(sync.SucceededCount, 3);
  EXPECT_EQ(sync.ErrorLog, TStringList{"no source item: C:\\copy\\Thumbs.db"});
  EXPECT_EQ(listings, 1);
}

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 131000000000000000ull;
// Last-access times ahead of the clock, which a listing of a folder leaves alone (Linux's relatime
// refreshes older ones).
constexpr uint64_t ahead = 157000000000000000ull;

TItemTimes Times(int n) {
  return {t0 + uint64_t(n) * day, ahead + uint64_t(n) * day, t0 + uint64_t(n) * day + 7000};
}

// Trees and their copies on disk, every item with times of its own. Names are written with "/",
// a folder's ending in it. Where the platform cannot set a creation time (Linux), the runs leave
// it out and so do the checks.
class SyncByNameTest : public testing::Test {
 protected:
  SyncByNameTest() {
    const std::string probe = Tree.AddFile("probe");
    TTempTree::SetTimes(probe, Times(1));
    Options.CRTime = TTempTree::Times(probe).Creation == Times(1).Creation;
  }

  static std::string Local(std::string name) {
    if (name.ends_with('/')) name.pop_back();
    std::replace(name.begin(), name.end(), '/', TTempTree::Separator());
    return name;
  }
  std::string Path(const std::string& name) const { return Tree.Path(Local(name)); }

  // The folder and the items below it, numbered from first on; times are set once every item is
  // there, since adding an item changes its folder's.
  void Make(const std::string& folder, const std::vector<std::string>& names, int first) {
    Tree.AddFolder(folder);
    for (const std::string& name : names) {
      const std::string relative = Local(folder + "/" + name);
      name.ends_with('/') ? Tree.AddFolder(relative) : Tree.AddFile(relative);
    }
    TTempTree::SetTimes(Path(folder), Times(first));
    for (const std::string& name : names)
      TTempTree::SetTimes(Path(folder + "/" + name), Times(++first));
  }

  TItemTimes OnDisk(const std::string& name) const {
    TItemTimes times = TTempTree::Times(Path(name));
    if (!Options.CRTime) times.Creation = 0;
    return times;
  }

  std::map<std::string, TItemTimes> Snapshot(const std::string& folder,
                                             const std::vector<std::string>& names) const {
    std::map<std::string, TItemTimes> times;
    for (const std::string& name : names) times[name] = OnDisk(folder + "/" + name);
    return times;
  }

  TStamperResult Run(TOperationKind kind, const std::vector<std::string>& names = {}) {
    TStringList paths;
    for (const std::string& name : names) paths.push_back(Path(name));
    return RunStamper(kind, names.empty() ? nullptr : &paths, Holder, History, Options,
                      [](TStamper& stamper) { stamper.SetSyncByName(true); });
  }

  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
};

TEST_F(SyncByNameTest, ACopyGetsItsOriginalsTimesItemByItemAndUndoPutsThemBack) {
  Make("orig",
       {"Photos/", "Photos/2020/", "Photos/2020/b.jpg", "Photos/2020/c.jpg", "Photos/a.jpg"}, 1);
  const std::vector<std::string> copied = {"Photos/", "Photos/2020/", "Photos/2020/b.jpg",
                                           "Photos/a.jpg", "Photos/Thumbs.db"};
  Make("copy", copied, 50);
  const auto before = Snapshot("copy", copied);

  Run(okGet, {"orig/Photos"});
  const TStamperResult sync = Run(okSync, {"copy/Photos"});
  EXPECT_EQ(sync.ErrorLog, TStringList{"no source item: " + Path("copy/Photos/Thumbs.db")});
  EXPECT_EQ(sync.SucceededCount, 4);
  EXPECT_EQ(sync.ItemCount, 5);
  for (const std::string name : {"Photos", "Photos/2020", "Photos/2020/b.jpg", "Photos/a.jpg"})
    EXPECT_EQ(OnDisk("copy/" + name), OnDisk("orig/" + name)) << name;
  EXPECT_EQ(OnDisk("copy/Photos/Thumbs.db"), before.at("Photos/Thumbs.db"));
  ASSERT_EQ(History.Count(), 1);
  EXPECT_EQ(History.UndoUnit().Stamps.size(), 4u);

  const TStamperResult undo = Run(okUndo);
  EXPECT_EQ(undo.SucceededCount, 4);
  EXPECT_EQ(Snapshot("copy", copied), before);
  EXPECT_EQ(Boxes.Count(), 0u);
}

TEST_F(SyncByNameTest, TwoFoldersDroppedTogetherPairWithinTheirOwnNames) {
  Make("orig", {"Music/", "Music/cover.jpg", "Photos/", "Photos/a.jpg", "Photos/cover.jpg"}, 1);
  Make("copy", {"Music/", "Music/cover.jpg", "Photos/", "Photos/cover.jpg"}, 50);
  Run(okGet, {"orig/Photos", "orig/Music"});
  const TStamperResult sync = Run(okSync, {"copy/Music", "copy/Photos"});
  EXPECT_TRUE(sync.ErrorLog.empty());
  EXPECT_EQ(sync.SucceededCount, 4);
  EXPECT_EQ(sync.ItemCount, 4);
  for (const std::string name : {"Music", "Music/cover.jpg", "Photos", "Photos/cover.jpg"})
    EXPECT_EQ(OnDisk("copy/" + name), OnDisk("orig/" + name)) << name;
}

TEST_F(SyncByNameTest, OneFolderPairsWithItsRenamedCopyButNotWithAFile) {
  Make("orig", {"Photos/", "Photos/a.jpg"}, 1);
  Make("copy", {"Photos (2)/", "Photos (2)/a.jpg", "a.jpg"}, 50);
  const TItemTimes file = OnDisk("copy/a.jpg");
  Run(okGet, {"orig/Photos"});
  const TStamperResult folder = Run(okSync, {"copy/Photos (2)"});
  EXPECT_TRUE(folder.ErrorLog.empty());
  EXPECT_EQ(folder.SucceededCount, 2);
  EXPECT_EQ(OnDisk("copy/Photos (2)"), OnDisk("orig/Photos"));
  EXPECT_EQ(OnDisk("copy/Photos (2)/a.jpg"), OnDisk("orig/Photos/a.jpg"));

  // A file dropped alone keeps its own name, which the held folder's items lack.
  const TStamperResult alone = Run(okSync, {"copy/a.jpg"});
  EXPECT_EQ(Boxes.Texts(), TStringList{"No operation.\r\n\r\nNo data to process."});
  EXPECT_EQ(alone.ErrorLog, TStringList{"no source item: " + Path("copy/a.jpg")});
  EXPECT_EQ(alone.SucceededCount, 0);
  EXPECT_EQ(alone.ItemCount, 1);
  EXPECT_EQ(OnDisk("copy/a.jpg"), file);
  EXPECT_EQ(History.Count(), 1);
}

// Windows' file systems ignore letter case as the system's ordinal table folds it; Linux's do not.
TEST_F(SyncByNameTest, LetterCaseCountsAsTheFileSystemCountsIt) {
  enum TPairs { Always, WhereCaseIsIgnored, Never };
  struct TRow {
    std::string Original, Copy;
    TPairs Pairs;
  };
  const TRow rows[] = {
      {"same.txt", "same.txt", Always},
      {"photo.jpg", "PHOTO.JPG", WhereCaseIsIgnored},
      {"Sub/", "sUB/", WhereCaseIsIgnored},
      {"Sub/inner.txt", "sUB/INNER.txt", WhereCaseIsIgnored},
      {"\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89.TXT", WhereCaseIsIgnored},  // été, ÉTÉ
      {"stra\xC3\x9F"
       "e.txt",
       "STRASSE.txt", Never},                  // straße
      {"cafe.txt", "caf\xC3\xA9.txt", Never},  // café
  };
  const bool caseIgnored = TTempTree::Separator() == '\\';
  std::vector<std::string> originals, copies;
  for (const TRow& row : rows) {
    originals.push_back(row.Original);
    copies.push_back(row.Copy);
  }
  Make("orig", originals, 1);
  Make("copy", copies, 50);
  const auto before = Snapshot("copy", copies);

  Run(okGet, {"orig"});
  const TStamperResult sync = Run(okSync, {"copy"});
  int paired = 1;  // the two dropped folders
  for (const TRow& row : rows) {
    const bool pairs = row.Pairs == Always || (row.Pairs == WhereCaseIsIgnored && caseIgnored);
    const std::string logLine = "no source item: " + Path("copy/" + row.Copy);
    const bool logged =
        std::find(sync.ErrorLog.begin(), sync.ErrorLog.end(), logLine) != sync.ErrorLog.end();
    EXPECT_EQ(OnDisk("copy/" + row.Copy),
              pairs ? OnDisk("orig/" + row.Original) : before.at(row.Copy))
        << row.Copy;
    EXPECT_NE(logged, pairs) << row.Copy;
    paired += pairs;
  }
  EXPECT_EQ(sync.SucceededCount, paired);
  EXPECT_EQ(sync.ItemCount, int(std::size(rows)) + 1);
  EXPECT_EQ(sync.ErrorLog.size(), std::size(rows) + 1 - size_t(paired));
}

}  // namespace
