#include <gtest/gtest.h>

#include <string>

#include "engine/Tstamperbase.h"
#include "support/FakeFileSystem.h"
#include "support/TestStamper.h"

namespace {

TStampOptions Walk(bool subdirs, bool directories) {
  TStampOptions options;
  options.Subdirs = subdirs;
  options.Directories = directories;
  return options;
}

class ExpandItemsTest : public testing::Test {
 protected:
  ExpandItemsTest() {
    Fs.AddFile("C:\\top\\a.txt");
    Fs.AddFile("C:\\top\\sub\\b.txt");
    Fs.AddFile("C:\\top\\sub\\deep\\c.txt");
  }

  TStringList Expand(TStringList dropped, TStampOptions options = Walk(true, true)) {
    Stamper.ExpandItems(dropped, options, nullptr, &Log);
    return dropped;
  }

  TStringList Log;
  TFakeFileSystem Fs;
  TFileSystemOverride Guard{Fs};
  TTestStamper Stamper;
};

TEST_F(ExpandItemsTest, OptionsChooseFoldersAndDepth) {
  EXPECT_EQ(Expand({"C:\\top"}, Walk(true, true)),
            (TStringList{"C:\\top", "C:\\top\\a.txt", "C:\\top\\sub", "C:\\top\\sub\\b.txt",
                         "C:\\top\\sub\\deep", "C:\\top\\sub\\deep\\c.txt"}));
  EXPECT_EQ(Expand({"C:\\top"}, Walk(true, false)),
            (TStringList{"C:\\top\\a.txt", "C:\\top\\sub\\b.txt", "C:\\top\\sub\\deep\\c.txt"}));
  EXPECT_EQ(Expand({"C:\\top"}, Walk(false, true)), TStringList{"C:\\top"});
  EXPECT_EQ(Expand({"C:\\top"}, Walk(false, false)), TStringList{});
  EXPECT_EQ(Expand({"C:\\top\\a.txt"}, Walk(false, false)), TStringList{"C:\\top\\a.txt"});
}

TEST_F(ExpandItemsTest, SortsIgnoringCaseWhateverTheDropOrder) {
  Fs.AddFile("C:\\B.txt");
  Fs.AddFile("C:\\a.txt");
  Fs.AddFile("C:\\z.txt");
  const TStringList sorted{"C:\\a.txt", "C:\\B.txt", "C:\\top\\a.txt", "C:\\z.txt"};
  EXPECT_EQ(Expand({"C:\\z.txt", "C:\\top\\a.txt", "C:\\B.txt", "C:\\a.txt"}), sorted);
  EXPECT_EQ(Expand({"C:\\a.txt", "C:\\B.txt", "C:\\top\\a.txt", "C:\\z.txt"}), sorted);
}

TEST_F(ExpandItemsTest, GivesEachItemOnce) {
  EXPECT_EQ(Expand({"C:\\top\\a.txt", "C:\\top\\a.txt"}), TStringList{"C:\\top\\a.txt"});
  EXPECT_EQ(Expand({"C:\\top\\sub\\deep\\c.txt", "C:\\top\\sub\\deep"}),
            (TStringList{"C:\\top\\sub\\deep", "C:\\top\\sub\\deep\\c.txt"}));
  Fs.MapNormalized("C:\\TOP~1\\A.TXT", "C:\\top\\a.txt");
  EXPECT_EQ(Expand({"C:\\TOP~1\\A.TXT", "C:\\top\\a.txt"}), TStringList{"C:\\top\\a.txt"});
  // Of two spellings of one item, the one collected first stays.
  EXPECT_EQ(Expand({"C:\\TOP\\A.txt", "C:\\top\\a.txt"}), TStringList{"C:\\TOP\\A.txt"});
}

// A locale's collation may call two names equal that are different items (it ignores a soft
// hyphen, the file system does not); the order then breaks the tie by the item key, and both stay.
class TCollatingFileSystem : public TFakeFileSystem {
 public:
  std::string OrderKey(const std::string& path) override {
    return ItemKey(WithoutSoftHyphens(path)) + '\0' + ItemKey(path);
  }

 private:
  static std::string WithoutSoftHyphens(std::string path) {
    std::erase(path, '\xAD');
    return path;
  }
};

TEST(ExpandItems, KeepsItemsThatOnlyTheOrderCallsEqual) {
  TCollatingFileSystem fs;
  fs.AddFile("C:\\co\xADop.txt");
  fs.AddFile("C:\\coop.txt");
  fs.AddFile("C:\\b.txt");
  TFileSystemOverride guard(fs);
  TTestStamper stamper;
  TStringList items{"C:\\co\xADop.txt", "C:\\cop.txt", "C:\\b.txt", "C:\\coop.txt",
                    "C:\\co\xADop.txt"};
  stamper.ExpandItems(items, Walk(true, true));
  EXPECT_EQ(items, (TStringList{"C:\\b.txt", "C:\\coop.txt", "C:\\co\xADop.txt", "C:\\cop.txt"}));
}

TEST_F(ExpandItemsTest, TakesHiddenAndSystemFiles) {
  Fs.AddFile("C:\\top\\hidden.sys", faHidden | faSystem);
  Fs.AddFile("C:\\top\\locked.txt", faReadOnly);
  EXPECT_EQ(Expand({"C:\\top"}, Walk(false, false)), TStringList{});
  EXPECT_EQ(Expand({"C:\\top"}, Walk(true, false)),
            (TStringList{"C:\\top\\a.txt", "C:\\top\\hidden.sys", "C:\\top\\locked.txt",
                         "C:\\top\\sub\\b.txt", "C:\\top\\sub\\deep\\c.txt"}));
}

// A folder that cannot be listed is logged, so that the user learns which part of the tree was
// left out; a path naming nothing fails later, when it is read.
TEST_F(ExpandItemsTest, KeepsAPathNamingNothingAndAFolderThatCannotBeListed) {
  Fs.Fail(TPrimitive::ListFolder, "C:\\top\\sub");
  EXPECT_EQ(Expand({"C:\\nothing\\here", "C:\\top"}),
            (TStringList{"C:\\nothing\\here", "C:\\top", "C:\\top\\a.txt", "C:\\top\\sub"}));
  EXPECT_EQ(Log, TStringList{"failed to list folder: C:\\top\\sub"});
}

TEST_F(ExpandItemsTest, JoinsNamesToARootWithOneSeparator) {
  Fs.AddFile("C:\\root.txt");
  EXPECT_EQ(Expand({"C:\\"}, Walk(false, true)), TStringList{"C:\\"});
  EXPECT_EQ(Expand({"C:\\"}, Walk(true, false)),
            (TStringList{"C:\\root.txt", "C:\\top\\a.txt", "C:\\top\\sub\\b.txt",
                         "C:\\top\\sub\\deep\\c.txt"}));
}

TEST_F(ExpandItemsTest, TakesALinkBackToAnAncestorWithoutWalkingItAgain) {
  Fs.AddFolderLink("C:\\top\\sub\\deep\\up", "C:\\top");
  Fs.AddFolderLink("C:\\top\\self", "C:\\top");
  EXPECT_EQ(Expand({"C:\\top"}),
            (TStringList{"C:\\top", "C:\\top\\a.txt", "C:\\top\\self", "C:\\top\\sub",
                         "C:\\top\\sub\\b.txt", "C:\\top\\sub\\deep", "C:\\top\\sub\\deep\\c.txt",
                         "C:\\top\\sub\\deep\\up"}));
}

TEST_F(ExpandItemsTest, WalksALinkToAFolderOutsideTheDescent) {
  Fs.AddFile("C:\\other\\x.txt");
  Fs.AddFolderLink("C:\\top\\sub\\toOther", "C:\\other");
  Fs.AddFolderLink("C:\\top\\sibling", "C:\\top\\sub\\deep");
  EXPECT_EQ(Expand({"C:\\top"}, Walk(true, false)),
            (TStringList{"C:\\top\\a.txt", "C:\\top\\sibling\\c.txt", "C:\\top\\sub\\b.txt",
                         "C:\\top\\sub\\deep\\c.txt", "C:\\top\\sub\\toOther\\x.txt"}));
}

TEST_F(ExpandItemsTest, StopsBeforeTheNextDroppedPath) {
  Fs.AddFile("C:\\z.txt");
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::GetAttributes && path == "C:\\top\\a.txt") Stamper.Terminate();
  };
  EXPECT_EQ(Expand({"C:\\z.txt", "C:\\top\\a.txt", "C:\\top\\sub"}),
            (TStringList{"C:\\top\\a.txt", "C:\\z.txt"}));
}

TEST_F(ExpandItemsTest, StopsAfterTheListedEntryAndKeepsWhatWasCollected) {
  Fs.AddFile("C:\\top\\z.txt");
  Fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    if (primitive == TPrimitive::ListFolder && path == "C:\\top\\sub") Stamper.Terminate();
  };
  EXPECT_EQ(Expand({"C:\\top", "C:\\B.txt"}),
            (TStringList{"C:\\top", "C:\\top\\a.txt", "C:\\top\\sub"}));
}

// Opening a folder to identify it costs as much as listing it, so it waits for a link.
TEST_F(ExpandItemsTest, AsksForFolderIdsOnlyFromALinkDown) {
  int asked = 0;
  Fs.OnCall = [&](TPrimitive primitive, const std::string&) {
    if (primitive == TPrimitive::FolderId) ++asked;
  };
  Expand({"C:\\top"}, Walk(true, true));
  EXPECT_EQ(asked, 0);
  Fs.AddFolderLink("C:\\top\\sub\\up", "C:\\top\\sub");
  Expand({"C:\\top"}, Walk(true, true));
  EXPECT_EQ(asked, 3);  // the link, and the folders above it down to the one it leads back to
}

// A share shows a link that its server follows as a plain folder: the volume is asked once, and then
// every folder entered is compared, each asked once.
TEST_F(ExpandItemsTest, EndsAShareLoopWithEveryItemOnce) {
  int volumesAsked = 0, idsAsked = 0;
  Fs.OnCall = [&](TPrimitive primitive, const std::string&) {
    volumesAsked += primitive == TPrimitive::OnlyLinksLeadBack;
    idsAsked += primitive == TPrimitive::FolderId;
  };
  Fs.SetOnlyLinksLeadBack(false);
  Fs.AddFolderLink("C:\\top\\sub\\loop", "C:\\top", false);
  EXPECT_EQ(Expand({"C:\\top\\sub"}, Walk(true, false)),
            (TStringList{"C:\\top\\sub\\b.txt", "C:\\top\\sub\\deep\\c.txt",
                         "C:\\top\\sub\\loop\\a.txt"}));
  EXPECT_EQ(volumesAsked, 1);
  EXPECT_EQ(idsAsked, 4);  // sub, deep, loop (top) and the sub below it, sub again
  EXPECT_EQ(Log, TStringList{"folder loop skipped: C:\\top\\sub\\loop\\sub"});
}

// Some network volumes give every folder the index 0: no folder is then taken for another.
TEST_F(ExpandItemsTest, AFolderIndexOfZeroIsNoIdentity) {
  Fs.SetOnlyLinksLeadBack(false);
  Fs.SetFolderIndexesZero(true);
  EXPECT_EQ(Expand({"C:\\top"}, Walk(true, false)),
            (TStringList{"C:\\top\\a.txt", "C:\\top\\sub\\b.txt", "C:\\top\\sub\\deep\\c.txt"}));
  EXPECT_TRUE(Log.empty());
}

}  // namespace
