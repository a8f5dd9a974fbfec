#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/OrderKeys.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Keys that share more or less of the first one, end inside it, or run past it, over bytes that
// include the zero byte and those above 0x7F; and one longer than a chunk of the store.
std::vector<std::string> MixedKeys() {
  std::mt19937 random(31);
  const std::string first = "\x10\x20\x30\x40\x50\x60\x70\x80\x90";
  std::vector<std::string> keys{
      first, "", first, first + '\0', first.substr(0, 4), std::string((1 << 20) + 5, '\x30')};
  const std::string bytes("\0\x01\x30\x40\x7f\x80\xff", 7);
  for (int i = 0; i < 300; ++i) {
    std::string key = first.substr(0, random() % (first.size() + 1));
    for (size_t extra = random() % 4; extra > 0; --extra) key += bytes[random() % bytes.size()];
    keys.push_back(key);
  }
  return keys;
}

TEST(OrderKeys, ComparesAsTheWholeKeysDo) {
  const std::vector<std::string> keys = MixedKeys();
  TOrderKeys packed;
  packed.Reserve(keys.size());
  for (const std::string& key : keys) packed.Add(key);
  ASSERT_EQ(packed.size(), keys.size());
  for (size_t a = 0; a < keys.size(); ++a)
    for (size_t b = 0; b < keys.size(); ++b)
      ASSERT_EQ(packed.Compare(a, b), Sign(keys[a].compare(keys[b])))
          << "keys " << a << " and " << b;
}

}  // namespace
