#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/SyncPairing.h"
#include "engine/Tstamper.h"
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
  // The name after a folder must be one dropped from it; nested drops give the outer one.
  const TCase cases[] = {
      {{{"C:\\a\\b\\c", true}, {"C:\\a\\y", false}}, false, "C:\\a\\b\\c\\f", "c\\f"},
      {{{"C:\\a\\b", true}, {"C:\\a\\b\\c\\d", true}}, false, "C:\\a\\b\\c\\d\\f", "b\\c\\d\\f"},
      {{{"D:\\", true}}, true, "D:\\sub\\x.jpg", "sub\\x.jpg"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TRelativePaths(c.Dropped, c.BelowTheFolder).Of(c.Path), c.Relative) << c.Path;
}

constexpr uint64_t day = 864000000000ull;
constexpr uint64_t t0 = 131000000000000000ull;
// Last-access times ahead of the clock, which a listing of a folder leaves alone (Linux's relatime
// refreshes older ones).
constexpr uint64_t ahead = 157000000000000000ull;

// How a copied item pairs with its original (of the same name unless given): always, only where
// the file system ignores letter case (Windows, not Linux), never, or never since several
// originals have its path.
enum TPairs { Always, WhereCaseIsIgnored, Never, Several };
struct TCopied {
  std::string Name, Original = {};
  TPairs Pairs = Always;
  std::string OriginalName() const { return Original.empty() ? Name : Original; }
};
// Items below "orig" and below "copy" ("" is that folder itself, a folder's name ends in "/"),
// and the names dropped from there. Every copied item is a target.
struct TScenario {
  std::vector<std::string> Originals;
  std::vector<TCopied> Copies;
  std::vector<std::string> GetDrops, SyncDrops;
  bool IgnoreExtensions = false;
};

// clang-format off
const TScenario scenarios[] = {
    // A copy that lacks one file and has one more.
    {{"Photos/", "Photos/2020/", "Photos/2020/b.jpg", "Photos/2020/c.jpg", "Photos/a.jpg"},
     {{"Photos/"}, {"Photos/2020/"}, {"Photos/2020/b.jpg"}, {"Photos/a.jpg"},
      {"Photos/Thumbs.db", "", Never}},
     {"Photos"}, {"Photos"}},
    // Two folders dropped together: each path begins with its dropped folder's name.
    {{"Music/", "Music/cover.jpg", "Photos/", "Photos/a.jpg", "Photos/cover.jpg"},
     {{"Music/"}, {"Music/cover.jpg"}, {"Photos/"}, {"Photos/cover.jpg"}},
     {"Photos", "Music"}, {"Music", "Photos"}},
    // One folder onto its renamed copy; a file dropped alone keeps its own name.
    {{"Photos/", "Photos/a.jpg"}, {{"Photos (2)/", "Photos/"}, {"Photos (2)/a.jpg", "Photos/a.jpg"}},
     {"Photos"}, {"Photos (2)"}},
    {{"Photos/", "Photos/a.jpg"}, {{"a.jpg", "", Never}}, {"Photos"}, {"a.jpg"}},
    // Two held folders of one name: only what one of them alone holds pairs.
    {{"a/", "a/X/", "a/X/f.txt", "a/X/g.txt", "b/", "b/X/", "b/X/f.txt"},
     {{"X/", "", Several}, {"X/f.txt", "", Several}, {"X/g.txt", "a/X/g.txt"}},
     {"a/X", "b/X"}, {"X"}},
    // Letter case: été and ÉTÉ fold to one name, straße and STRASSE or cafe and café do not.
    {{"", "same.txt", "photo.jpg", "Sub/", "Sub/inner.txt", "\xC3\xA9t\xC3\xA9.txt",
      "stra\xC3\x9F" "e.txt", "cafe.txt"},
     {{""}, {"same.txt"}, {"PHOTO.JPG", "photo.jpg", WhereCaseIsIgnored},
      {"sUB/", "Sub/", WhereCaseIsIgnored}, {"sUB/INNER.txt", "Sub/inner.txt", WhereCaseIsIgnored},
      {"\xC3\x89T\xC3\x89.TXT", "\xC3\xA9t\xC3\xA9.txt", WhereCaseIsIgnored},
      {"STRASSE.txt", "", Never}, {"caf\xC3\xA9.txt", "", Never}},
     {""}, {""}},
    // Ignoring extensions: a converted copy lacking one clip and having one more; a stem held
    // twice; an exact partner preferred; folders by their whole names; a name without an
    // extension is its own stem.
    {{"Clips/", "Clips/a.MOV", "Clips/b.MOV", "Clips/c.MOV", "Clips/IMG_1.CR2", "Clips/IMG_1.JPG",
      "Clips/d.MOV", "Clips/d.mp4", "Clips/e", "Clips/v1.2/", "Clips/v1.2/f.MOV", "Clips/.cfg"},
     {{"Clips/"}, {"Clips/a.mp4", "Clips/a.MOV"}, {"Clips/b.mp4", "Clips/b.MOV"},
      {"Clips/x.mp4", "", Never}, {"Clips/IMG_1.png", "", Several}, {"Clips/d.mp4"},
      {"Clips/e.mp4", "Clips/e"}, {"Clips/v1.3/", "", Never}, {"Clips/v1.3/f.mp4", "", Never},
      {"Clips/.cfg.bak", "Clips/.cfg"}, {"Clips/C.mp4", "Clips/c.MOV", WhereCaseIsIgnored}},
     {"Clips"}, {"Clips"}, true},
};
// clang-format on

// Each scenario on disk, every item with times of its own; where the platform cannot set a
// creation time (Linux), the runs leave it out and so do the checks.
class SyncByNameTest : public testing::TestWithParam<TScenario> {
 protected:
  SyncByNameTest() {
    const std::string probe = Tree.AddFile("probe");
    TTempTree::SetTimes(probe, {t0, ahead, t0});
    Options.CRTime = TTempTree::Times(probe).Creation == t0;
  }

  static std::string Local(std::string name) {
    if (name.ends_with('/')) name.pop_back();
    std::replace(name.begin(), name.end(), '/', TTempTree::Separator());
    return name;
  }
  std::string Path(const std::string& name) const { return Tree.Path(Local(name)); }

  // Times are set once every item is there, since adding an item changes its folder's.
  void Make(const std::string& folder, const std::vector<std::string>& names, uint64_t first) {
    Tree.AddFolder(folder);
    for (const std::string& name : names) {
      const std::string relative = Local(folder + "/" + name);
      if (name.ends_with('/')) Tree.AddFolder(relative);
      if (!name.empty() && !name.ends_with('/')) Tree.AddFile(relative);
    }
    for (const std::string& name : names) {
      const uint64_t offset = day * first++;
      TTempTree::SetTimes(Path(folder + "/" + name),
                          {t0 + offset, ahead + offset, t0 + offset + 7});
    }
  }

  TItemTimes OnDisk(const std::string& name) const {
    TItemTimes times = TTempTree::Times(Path(name));
    if (!Options.CRTime) times.Creation = 0;
    return times;
  }
  std::vector<TItemTimes> OnDisk(const std::vector<std::string>& names) const {
    std::vector<TItemTimes> times;
    for (const std::string& name : names) times.push_back(OnDisk("copy/" + name));
    return times;
  }

  TStamperResult Run(TOperationKind kind, const std::string& folder = "",
                     const std::vector<std::string>& names = {}) {
    TStringList paths;
    for (const std::string& name : names) paths.push_back(Path(folder + "/" + name));
    return RunStamper(kind, names.empty() ? nullptr : &paths, Holder, History, Options,
                      [this](TStamper& stamper) {
                        stamper.SetSyncByName(true);
                        stamper.SetIgnoreExtensions(GetParam().IgnoreExtensions);
                      });
  }

  TTempTree Tree;
  TStampHolder Holder;
  TStampHistory History;
  TScriptedMessageBoxes Boxes;
  TStampOptions Options;
};

// Every paired item gets its own original's times, the others are logged and left alone, and Undo
// puts every written item back.
TEST_P(SyncByNameTest, EachCopiedItemGetsItsOwnOriginalsTimes) {
  const TScenario& scenario = GetParam();
  std::vector<std::string> copies;
  for (const TCopied& copied : scenario.Copies) copies.push_back(copied.Name);
  Make("orig", scenario.Originals, 1);
  Make("copy", copies, 50);
  const std::vector<TItemTimes> before = OnDisk(copies);

  Run(okGet, "orig", scenario.GetDrops);
  const TStamperResult sync = Run(okSync, "copy", scenario.SyncDrops);
  const bool caseIgnored = TTempTree::Separator() == '\\';
  int paired = 0;
  for (size_t i = 0; i < copies.size(); ++i) {
    const TCopied& copied = scenario.Copies[i];
    const bool pairs =
        copied.Pairs == Always || (copied.Pairs == WhereCaseIsIgnored && caseIgnored);
    const std::string line =
        (copied.Pairs == Several ? "several source items: " : "no source item: ") +
        Path("copy/" + copied.Name);
    EXPECT_EQ(std::count(sync.ErrorLog.begin(), sync.ErrorLog.end(), line), pairs ? 0 : 1) << line;
    EXPECT_EQ(OnDisk("copy/" + copied.Name),
              pairs ? OnDisk("orig/" + copied.OriginalName()) : before[i])
        << copied.Name;
    paired += pairs;
  }
  EXPECT_EQ(sync.ErrorLog.size(), copies.size() - size_t(paired));
  EXPECT_EQ(sync.SucceededCount, paired);
  EXPECT_EQ(sync.ItemCount, int(copies.size()));
  EXPECT_EQ(Boxes.Texts(),
            paired ? TStringList{} : TStringList{"No operation.\r\n\r\nNo data to process."});

  EXPECT_EQ(paired ? Run(okUndo).SucceededCount : 0, paired);
  EXPECT_EQ(OnDisk(copies), before);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SyncByNameTest, testing::ValuesIn(scenarios));

}  // namespace
