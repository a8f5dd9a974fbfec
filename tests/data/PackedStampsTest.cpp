#include <gtest/gtest.h>

#include <string>

#include "data/PackedStamps.h"
#include "support/Stamps.h"

// Paths with and without folders, roots, folders met again after others, either separator, and
// identities that begin part way through the list: each stamp comes back as it went in.
TEST(PackedStamps, GivesBackEveryStampAsStored) {
  const char* const paths[] = {"C:\\",         "C:\\a\\x.txt", "C:\\a\\y.txt",  "C:\\a\\",
                               "C:\\b\\x.txt", "C:\\a\\z.txt", "name",          "",
                               "/home/u/f",    "/home/u/g",    "\\\\srv\\s\\f", "C:\\a\\y.txt"};
  TStamps stamps;
  for (const char* path : paths) {
    const uint64_t n = stamps.size() + 1;
    stamps.push_back(MakeStamp(path, n, 10 * n, 100 * n));
    if (n > 3) stamps.back().Id = {n % 2, 1000 + n, n % 2 == 0};
  }
  const TStamps original = stamps;
  const TPackedStamps packed(std::move(stamps));
  EXPECT_TRUE(stamps.empty());
  const TStamps unpacked = packed.Unpacked();
  ASSERT_EQ(unpacked.size(), original.size());
  for (size_t i = 0; i < original.size(); ++i) {
    SCOPED_TRACE(original[i].Path.View());
    EXPECT_EQ(packed.Path(i), original[i].Path.View());
    EXPECT_EQ(unpacked[i].Path, original[i].Path);
    EXPECT_EQ(unpacked[i].CRTime, original[i].CRTime);
    EXPECT_EQ(unpacked[i].LWTime, original[i].LWTime);
    EXPECT_EQ(unpacked[i].LATime, original[i].LATime);
    EXPECT_EQ(unpacked[i].Id, original[i].Id);
  }
}
