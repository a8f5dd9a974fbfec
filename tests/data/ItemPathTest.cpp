#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "data/ItemPath.h"

TEST(TItemPath, CopiesShareOneBlockUntilOneIsGivenNewText) {
  const TItemPath original("C:\\photos\\a.jpg");
  TItemPath copy = original;
  TItemPath moved = TItemPath(copy);
  const TItemPath equalText("C:\\photos\\a.jpg");
  EXPECT_TRUE(copy.SharesWith(original) && moved.SharesWith(original));
  EXPECT_FALSE(equalText.SharesWith(original));
  EXPECT_EQ(equalText, original);

  copy = std::string("C:\\photos\\b.jpg");
  EXPECT_FALSE(copy.SharesWith(original));
  EXPECT_EQ(original, "C:\\photos\\a.jpg");
  EXPECT_EQ(moved, "C:\\photos\\a.jpg");
  EXPECT_LT(original, copy);
  EXPECT_EQ("failed: " + copy + " (x)", "failed: C:\\photos\\b.jpg (x)");
  EXPECT_EQ(std::string(copy).size(), copy.size());

  moved = TItemPath();
  copy = "";
  EXPECT_TRUE(moved.empty() && copy.empty() && moved.SharesWith(copy));
  EXPECT_EQ(moved, copy);
  EXPECT_NE(moved, original);
}

// Lists handed between the worker and the main thread copy and drop the same paths on both.
TEST(TItemPath, CopiesMadeAndDroppedOnTwoThreadsLeaveTheTextIntact) {
  const TItemPath shared("D:\\a folder\\an item");
  const auto churn = [&shared] {
    for (int round = 0; round < 2000; ++round) std::vector<TItemPath> copies(16, shared);
  };
  std::thread other(churn);
  churn();
  other.join();
  EXPECT_EQ(shared, "D:\\a folder\\an item");
}
