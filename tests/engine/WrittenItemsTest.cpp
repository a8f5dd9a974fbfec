#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

#include "engine/WrittenItems.h"
#include "support/Stamps.h"

// Against a map, over identities that repeat, differ only in volume or in being known, and more
// of them than the table expected: the first place of each identity is found, with its stamp's
// flag as it is when asked.
TEST(WrittenItems, FindsTheFirstPlaceOfEachIdentityAsAMapWould) {
  const size_t count = 2000;
  const TStamps stamps(count);
  TStamps seen(count);
  std::vector<uint8_t> flags(count);
  TWrittenItems written(stamps, seen, flags, 10);
  std::map<std::tuple<uint64_t, uint64_t, bool>, size_t> model;
  std::mt19937 random(7);
  const auto randomId = [&] { return TItemId{random() % 3, random() % 900, random() % 4 != 0}; };
  for (size_t place = 0; place < count; ++place) {
    flags[place] = uint8_t(random() % 2);
    const TItemId id = randomId();
    seen[place].Id = id;
    written.Add(place);
    model.try_emplace({id.Volume, id.Index, id.Known}, place);
  }
  for (int probe = 0; probe < 5000; ++probe) {
    const TItemId id = randomId();
    const auto expected = model.find({id.Volume, id.Index, id.Known});
    const std::optional<TWrittenItem> found = written.Find(id);
    ASSERT_EQ(found.has_value(), expected != model.end());
    if (!found) continue;
    EXPECT_EQ(found->Stamp, &stamps[expected->second]);
    EXPECT_EQ(found->Flag, flags[expected->second]);
  }
}
