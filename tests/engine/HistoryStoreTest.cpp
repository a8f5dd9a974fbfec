#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/HistoryStore.h"
#include "support/TempTree.h"

namespace {

TStampUnits Units(int count) {
  TStampUnits units(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    units[size_t(i)].Stamps.resize(1);
    units[size_t(i)].Stamps[0].Path = "item " + std::to_string(i);
  }
  return units;
}

// Held as the program holds its history.
std::unique_ptr<TStampHistory> Held(int count) {
  auto history = std::make_unique<TStampHistory>();
  history->Assign(Units(count), count);
  return history;
}

// Two stores on one folder are two windows: the first holds the history, the second is refused
// rather than written beside it. Saves go to the two files in turn, so a save torn on the disk
// leaves the one before it; a cleared history leaves both files empty.
TEST(HistoryStore, TheHolderKeepsItAndATornSaveLeavesThePreviousOne) {
  TTempTree tree;
  const std::vector<std::string> folders{tree.Root(), tree.AddFolder("fallback")};
  const char separator = TTempTree::Separator();
  THistoryStore first, second;
  ASSERT_TRUE(first.Open(folders, separator));
  EXPECT_TRUE(first.Load().Units.empty());
  EXPECT_FALSE(second.Open(folders, separator)) << "held by the first, and not made elsewhere";
  EXPECT_TRUE(second.HeldElsewhere());
  ASSERT_TRUE(first.Save(Held(1)->Units(), 1));
  ASSERT_TRUE(first.Save(Held(2)->Units(), 2));
  first.Close();

  const std::string newest = tree.Path(historyFileNames[1]);
  const auto size = std::ifstream(newest, std::ios::binary | std::ios::ate).tellg();
  std::filebuf torn;
  torn.open(newest, std::ios::in | std::ios::out | std::ios::binary);
  torn.pubseekpos(size - std::streamoff(3));
  torn.sputc('!');
  torn.close();
  ASSERT_TRUE(second.Open(folders, separator));
  TKeptHistory kept = second.Load();
  EXPECT_EQ(kept.Units.size(), 1u) << "the newer file is corrupt";
  EXPECT_EQ(kept.Position, 1);
  ASSERT_TRUE(second.Save(Held(3)->Units(), 0));
  second.Close();
  ASSERT_TRUE(first.Open(folders, separator));
  kept = first.Load();
  EXPECT_EQ(kept.Units.size(), 3u);
  EXPECT_EQ(kept.Position, 0);
  ASSERT_TRUE(first.Save({}, 0));
  for (const char* name : historyFileNames)
    EXPECT_EQ(std::filesystem::file_size(tree.Path(name)), 0u) << name;
  first.Remove();
  for (const char* name : historyFileNames) EXPECT_FALSE(std::filesystem::exists(tree.Path(name)));
}

}  // namespace
