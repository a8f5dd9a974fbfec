#include <gtest/gtest.h>

#include <string>

#include "platform/DurableFile.h"
#include "support/TempTree.h"

namespace {

// The lock is what tells a journal whose process lives from one left behind: while one holder has
// the file, no other opening gets it, and once it is closed the next one reads what was flushed.
TEST(DurableFile, HeldExclusivelyAndReadBackWholeByTheNextHolder) {
  TTempTree tree;
  const std::string path = tree.Path("a.journal");
  TDurableFile first;
  ASSERT_TRUE(first.Open(path));
  const std::string bytes = std::string("one\0two", 7) + std::string(70000, 'x');
  ASSERT_TRUE(first.Append(bytes));
  ASSERT_TRUE(first.Append("end"));
  ASSERT_TRUE(first.Flush());
  TDurableFile second;
  EXPECT_FALSE(second.Open(path)) << "held by the first";
  std::string read;
  ASSERT_TRUE(first.ReadAll(read));
  EXPECT_EQ(read, bytes + "end");
  first.Close();

  ASSERT_TRUE(second.Open(path));
  ASSERT_TRUE(second.ReadAll(read));
  EXPECT_EQ(read, bytes + "end");
  ASSERT_TRUE(second.Clear());
  ASSERT_TRUE(second.Append("new"));
  ASSERT_TRUE(second.ReadAll(read));
  EXPECT_EQ(read, "new");
  EXPECT_TRUE(second.Remove());
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Append("x"));
  TDurableFile third;
  ASSERT_TRUE(third.Open(path));
  ASSERT_TRUE(third.ReadAll(read));
  EXPECT_EQ(read, "") << "removed, so made anew";
  EXPECT_TRUE(third.Remove());
}

}  // namespace
