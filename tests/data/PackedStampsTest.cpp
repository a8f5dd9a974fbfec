#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

#include "data/PackedPaths.h"
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
    SCOPED_TRACE(original[i].Path.Text());
    EXPECT_EQ(packed.Path(i), original[i].Path.Text());
    EXPECT_EQ(unpacked[i].Path, original[i].Path);
    EXPECT_EQ(unpacked[i].CRTime, original[i].CRTime);
    EXPECT_EQ(unpacked[i].LWTime, original[i].LWTime);
    EXPECT_EQ(unpacked[i].LATime, original[i].LATime);
    EXPECT_EQ(unpacked[i].Id, original[i].Id);
  }
}

// Paths added whole and as a folder with a name in it, in any mix, come back as given, also into
// one reused string.
TEST(PackedPaths, GivesBackEachPathHoweverItWasAdded) {
  const std::pair<std::string, std::string> added[] = {
      {"C:\\a\\", "x"}, {"C:\\a\\y", ""}, {"C:\\a\\", "z"}, {"", "name"},    {"C:\\", ""},
      {"C:\\b\\", "x"}, {"C:\\a\\", "w"}, {"", ""},         {"C:\\a", "\\v"}};
  TPackedPaths paths;
  for (size_t i = 0; i < std::size(added); ++i) {
    const auto& [folder, name] = added[i];
    if (i % 2 == 0)
      paths.Add(folder, name);
    else
      paths.Add(folder + name);
  }
  ASSERT_EQ(paths.size(), std::size(added));
  std::string reused = "longer than any path here";
  for (size_t i = std::size(added); i-- > 0;) {
    const std::string expected = added[i].first + added[i].second;
    EXPECT_EQ(paths.Path(i), expected);
    paths.PathInto(i, reused);
    EXPECT_EQ(reused, expected);
  }
}
