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

// Names in one case-sensitive folder, each with its place in Listed as its last-write time; each
// wanted name reads the entry named in From, or fails its own lookup where From is empty.
const struct {
  TNames Listed, Wanted, From;
} twinCases[] = {
    {{"a.txt", "A.txt", "b.txt"}, {"A.txt", "b.txt"}, {"A.txt", "b.txt"}},
    {{"a.txt", "A.txt"}, {"a.txt", "A.txt"}, {"a.txt", "A.txt"}},
    {{"a.txt", "A.txt", "B.txt"}, {"A.TXT", "b.txt"}, {"", "B.txt"}},
    {{"a.txt", "A.txt", "A.TXT"}, {"a.txt", "A.txt", "a.TXT"}, {"a.txt", "A.txt", ""}},
};

TEST(StamperBaseCaseTwins, EachItemReadsItsOwnEntryInEveryListingOrder) {
  for (const auto& row : twinCases) {
    const auto timeOf = [&](const std::string& name) {
      return uint64_t(std::find(row.Listed.begin(), row.Listed.end(), name) - row.Listed.begin());
    };
    TNames order = row.Listed;
    std::sort(order.begin(), order.end());
    do {
      TFakeFileSystem fs('\\', true);
      fs.SetListingHasTimes(true);
      for (const std::string& name : order) fs.AddFile("C:\\d\\" + name, 0, 0, 0, timeOf(name) + 1);
      TFileSystemOverride guard(fs);
      TTestStamper stamper;
      TStamps stamps;
      for (const std::string& name : row.Wanted) stamps.push_back(MakeStamp("C:\\d\\" + name));
      TFlags flags(stamps.size(), 1);
      TStringList log;
      int folders = 0;
      stamper.ReadStamps(log, stamps, folders, flags);
      for (size_t i = 0; i < stamps.size(); ++i) {
        EXPECT_EQ(flags[i] ? FileTimeValue(stamps[i].LWTime) : 0,
                  row.From[i].empty() ? 0 : timeOf(row.From[i]) + 1)
            << row.Wanted[i] << " in " << testing::PrintToString(order);
      }
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

}  // namespace
