#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Tstamperbase.h"
#include "support/FakeFileSystem.h"
#include "support/Stamps.h"
#include "support/TestStamper.h"

namespace {

using TNames = std::vector<std::string>;

// Each name in a folder with its own last-write time; a wanted name gets the times of the entry
// named in From, or fails to be read where From is empty.
struct TTwinCase {
  TNames Listed;
  TNames Wanted;
  TNames From;
};

const TTwinCase twinCases[] = {
    {{"a.txt", "A.txt", "b.txt"}, {"A.txt", "b.txt"}, {"A.txt", "b.txt"}},
    {{"a.txt", "A.txt"}, {"a.txt", "A.txt"}, {"a.txt", "A.txt"}},
    {{"a.txt", "b.txt"}, {"A.TXT", "b.txt"}, {"a.txt", "b.txt"}},
    {{"a.txt", "A.txt", "b.txt"}, {"A.TXT", "b.txt"}, {"", "b.txt"}},
    {{"a.txt", "A.txt", "B.txt"}, {"a.txt", "b.txt"}, {"a.txt", "B.txt"}},
    {{"a.txt", "A.txt", "A.TXT"}, {"a.txt", "A.txt", "a.TXT"}, {"a.txt", "A.txt", ""}},
};

uint64_t TimeOf(const TNames& listed, const std::string& name) {
  return 1000 + uint64_t(std::find(listed.begin(), listed.end(), name) - listed.begin());
}

// In a case-sensitive folder, the read by folder gives every item its own times, whatever the
// order of the listing; a name that only folding letter case matches takes an entry only where it
// is the one such entry.
TEST(StamperBaseCaseTwins, EachItemReadsItsOwnEntryInEveryListingOrder) {
  for (const TTwinCase& row : twinCases) {
    TNames order = row.Listed;
    std::sort(order.begin(), order.end());
    do {
      SCOPED_TRACE(testing::PrintToString(order) + " wanted " + testing::PrintToString(row.Wanted));
      TFakeFileSystem fs('\\', true);
      fs.SetListingHasTimes(true);
      for (const std::string& name : order)
        fs.AddFile("C:\\d\\" + name, faArchive, 0, 0, TimeOf(row.Listed, name));
      TFileSystemOverride guard(fs);
      TTestStamper stamper;
      TStamps stamps;
      for (const std::string& name : row.Wanted) stamps.push_back(MakeStamp("C:\\d\\" + name));
      TFlags flags(stamps.size(), 1);
      TStringList log;
      int folders = 0;
      stamper.ReadStamps(log, stamps, folders, flags);
      for (size_t i = 0; i < stamps.size(); ++i) {
        SCOPED_TRACE(row.Wanted[i]);
        EXPECT_EQ(flags[i], row.From[i].empty() ? 0 : 1);
        if (!row.From[i].empty()) {
          EXPECT_EQ(FileTimeValue(stamps[i].LWTime), TimeOf(row.Listed, row.From[i]));
        }
      }
    } while (std::next_permutation(order.begin(), order.end()) && !testing::Test::HasFailure());
  }
}

// A share shows a link that its server follows as a plain folder, so there every folder's identity
// is asked; the volume is asked once a dropped folder, and a local volume keeps asking none.
TEST(StamperBaseUnmarkedLoops, AShareLoopGivesEveryItemOnce) {
  TFakeFileSystem fs;
  fs.MarkShare("S:");
  fs.AddFile("C:\\top\\a.txt");
  fs.AddFile("S:\\top\\a.txt");
  fs.AddFile("S:\\top\\sub\\b.txt");
  fs.AddFolderLink("S:\\top\\loop", "S:\\top", false);
  fs.AddFolderLink("S:\\top\\sub\\up", "S:\\top\\sub", false);
  TFileSystemOverride guard(fs);
  TTestStamper stamper;
  int volumesAsked = 0, idsAsked = 0;
  fs.OnCall = [&](TPrimitive primitive, const std::string&) {
    volumesAsked += primitive == TPrimitive::OnlyLinksLeadBack;
    idsAsked += primitive == TPrimitive::FolderId;
  };
  TStampOptions options;
  options.Subdirs = options.Directories = true;
  TStringList items{"S:\\top"};
  stamper.ExpandItems(items, options);
  EXPECT_EQ(items, (TStringList{"S:\\top", "S:\\top\\a.txt", "S:\\top\\loop", "S:\\top\\sub",
                                "S:\\top\\sub\\b.txt", "S:\\top\\sub\\up"}));
  EXPECT_EQ(volumesAsked, 1);
  EXPECT_EQ(idsAsked, 4);  // top, sub, up and loop, each once
  idsAsked = 0;
  TStringList dropped{"C:\\top", "S:\\top\\sub"};
  stamper.ExpandItems(dropped, options);
  EXPECT_EQ(dropped.size(), 5u);
  EXPECT_EQ(idsAsked, 2);  // sub and its up; none on the local volume
  EXPECT_EQ(volumesAsked, 3);
}

}  // namespace
