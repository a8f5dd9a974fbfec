#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/FakeFileSystem.h"

namespace {

using TListing = std::vector<std::pair<std::string, uint32_t>>;

TListing ListingOf(TFakeFileSystem& fs, const std::string& folder) {
  TListing entries;
  EXPECT_TRUE(fs.ListFolder(folder, [&](const TListedEntry& listed) {
    entries.emplace_back(listed.Name, listed.Entry.Attributes);
    return true;
  }));
  return entries;
}

TWriteTimesResult WriteLastWrite(TFakeFileSystem& fs, const std::string& path, uint64_t value) {
  FILETIME time = MakeFileTime(value);
  return fs.WriteTimes(path, TItemKind::Unknown, nullptr, nullptr, &time);
}

TEST(FakeFileSystem, AddingAnItemCreatesItsFoldersDownFromTheRoot) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\root\\sub\\a.txt", faArchive, 1, 2, 3);
  EXPECT_TRUE(fs.Exists("C:\\"));
  EXPECT_EQ(fs.GetAttributes("c:\\ROOT\\Sub"), faDirectory);
  EXPECT_EQ(ListingOf(fs, "C:\\"),
            (TListing{{".", faDirectory}, {"..", faDirectory}, {"root", faDirectory}}));
  EXPECT_EQ(ListingOf(fs, "C:\\root\\sub"),
            (TListing{{".", faDirectory}, {"..", faDirectory}, {"a.txt", faArchive}}));

  TFileEntry entry;
  ASSERT_TRUE(fs.FindEntry("C:\\Root\\Sub\\A.TXT", entry));
  EXPECT_EQ(FileTimeValue(entry.CreationTime), 1u);
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), 2u);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), 3u);
  EXPECT_FALSE(fs.FindEntry("C:\\root\\", entry));
  EXPECT_FALSE(fs.FindEntry("C:\\root\\sub\\a.tx?", entry));
  EXPECT_FALSE(fs.FindEntry("C:\\root\\sub\\*", entry));
}

TEST(FakeFileSystem, WithTheSlashSeparatorTheRootIsAnEntry) {
  TFakeFileSystem fs('/');
  fs.AddFolder("/root");
  TFileEntry entry;
  EXPECT_TRUE(fs.FindEntry("/", entry));
  EXPECT_EQ(ListingOf(fs, "/").back(), (std::pair<std::string, uint32_t>{"root", faDirectory}));
}

TEST(FakeFileSystem, AnInjectedFailureHitsOnlyThatPrimitiveAndPath) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\r\\a", faArchive, 1, 2, 3);
  fs.AddFile("C:\\r\\b", faArchive, 1, 2, 3);
  fs.Fail(TPrimitive::FindEntry, "C:\\R\\A");
  fs.Fail(TPrimitive::GetAttributes, "C:\\r\\a");
  fs.Fail(TPrimitive::SetAttributes, "C:\\r\\a");
  fs.Fail(TPrimitive::ListFolder, "C:\\r");
  fs.Fail(TPrimitive::FolderId, "C:\\r");
  fs.Fail(TPrimitive::WriteTimesOpen, "C:\\r\\a");
  fs.Fail(TPrimitive::WriteTimesSet, "C:\\r\\b");

  TFileEntry entry;
  TFolderId id;
  EXPECT_FALSE(fs.FindEntry("C:\\r\\a", entry));
  EXPECT_TRUE(fs.FindEntry("C:\\r\\b", entry));
  EXPECT_EQ(fs.GetAttributes("C:\\r\\a"), faInvalid);
  EXPECT_FALSE(fs.SetAttributes("C:\\r\\a", faNormal));
  EXPECT_FALSE(fs.ListFolder("C:\\r", [](const TListedEntry&) { return true; }));
  EXPECT_FALSE(fs.FolderId("C:\\r", id));
  EXPECT_TRUE(fs.FolderId("C:\\", id));
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\a", 9), TWriteTimesResult::NoWriteAccess);
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\b", 9), TWriteTimesResult::SetFailed);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\r\\a").LastWriteTime), 3u);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\r\\b").LastWriteTime), 3u);
}

TEST(FakeFileSystem, WritesAreRefusedAsWindowsRefusesThem) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\r\\read-only", faReadOnly | faArchive, 1, 2, 3);
  fs.AddFile("C:\\r\\file", faArchive, 1, 2, 3);
  fs.AddFolder("C:\\r\\folder");
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\read-only", 9), TWriteTimesResult::NoWriteAccess);
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\missing", 9), TWriteTimesResult::NoWriteAccess);
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\folder", 9), TWriteTimesResult::Written);

  fs.SetCanWriteCreationTime(false);
  FILETIME time = MakeFileTime(9);
  EXPECT_EQ(fs.WriteTimes("C:\\r\\file", TItemKind::Unknown, &time, &time, &time),
            TWriteTimesResult::SetFailed);
  TFileEntry entry = fs.Entry("C:\\r\\file");
  EXPECT_EQ(FileTimeValue(entry.LastAccessTime), 2u);
  EXPECT_EQ(FileTimeValue(entry.LastWriteTime), 3u);
  EXPECT_EQ(fs.WriteTimes("C:\\r\\file", TItemKind::Unknown, nullptr, &time, nullptr),
            TWriteTimesResult::Written);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\r\\file").LastAccessTime), 9u);
}

TEST(FakeFileSystem, SetAttributesKeepsTheKindOfItemAsWindowsDoes) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\r\\file", faReadOnly | faArchive);
  fs.AddFolder("C:\\r\\folder", faDirectory | faHidden);
  ASSERT_TRUE(fs.SetAttributes("C:\\r\\file", faNormal));
  EXPECT_EQ(fs.GetAttributes("C:\\r\\file"), faNormal);
  ASSERT_TRUE(fs.SetAttributes("C:\\r\\file", faReadOnly | faNormal));
  EXPECT_EQ(fs.GetAttributes("C:\\r\\file"), faReadOnly);
  ASSERT_TRUE(fs.SetAttributes("C:\\r\\folder", faNormal));
  EXPECT_EQ(fs.GetAttributes("C:\\r\\folder"), faDirectory);
  EXPECT_FALSE(fs.SetAttributes("C:\\r\\missing", faNormal));
}

TEST(FakeFileSystem, ALinkedFolderIsItselfButLeadsIntoItsTarget) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\target\\a.txt", faArchive, 1, 2, 3);
  fs.AddFolderLink("C:\\r\\link", "C:\\target");
  fs.SetTimes("C:\\r\\link", 4, 5, 6);

  EXPECT_EQ(fs.GetAttributes("C:\\r\\link"), faDirectory | faReparsePoint);
  EXPECT_EQ(ListingOf(fs, "C:\\r\\link").back(),
            (std::pair<std::string, uint32_t>{"a.txt", faArchive}));
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\r\\link\\a.txt").LastWriteTime), 3u);
  TFolderId linkId, targetId;
  ASSERT_TRUE(fs.FolderId("C:\\r\\link", linkId));
  ASSERT_TRUE(fs.FolderId("C:\\target", targetId));
  EXPECT_EQ(linkId, targetId);

  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\link", 9), TWriteTimesResult::Written);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\r\\link").LastWriteTime), 9u);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\target").LastWriteTime), 0u);
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\link\\a.txt", 8), TWriteTimesResult::Written);
  EXPECT_EQ(FileTimeValue(fs.Entry("C:\\target\\a.txt").LastWriteTime), 8u);
}

TEST(FakeFileSystem, ALinkBackToAnAncestorGivesTheAncestorsIdentity) {
  TFakeFileSystem fs;
  fs.AddFolderLink("C:\\r\\sub\\loop", "C:\\r");
  TFolderId ancestor, deep;
  ASSERT_TRUE(fs.FolderId("C:\\r", ancestor));
  ASSERT_TRUE(fs.FolderId("C:\\r\\sub\\loop\\sub\\loop\\sub\\loop", deep));
  EXPECT_EQ(deep, ancestor);
  fs.AddFolderLink("C:\\x", "C:\\y");
  fs.AddFolderLink("C:\\y", "C:\\x");
  EXPECT_FALSE(fs.FolderId("C:\\x", deep));
}

TEST(FakeFileSystem, NormalizePathGivesOnlyWhatIsMapped) {
  TFakeFileSystem fs;
  fs.MapNormalized("C:\\PROGRA~1", "C:\\Program Files");
  fs.MapNormalized("C:\\other", "C:\\Other");
  fs.Fail(TPrimitive::NormalizePath, "C:\\other");
  EXPECT_EQ(fs.NormalizePath("C:\\PROGRA~1"), "C:\\Program Files");
  EXPECT_EQ(fs.NormalizePath("C:\\progra~1"), "C:\\progra~1");
  EXPECT_EQ(fs.NormalizePath("C:\\other"), "C:\\other");
}

TEST(FakeFileSystem, CallbacksMayUseTheFakeAgain) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\r\\sub\\a.txt");
  std::vector<std::pair<TPrimitive, std::string>> calls;
  fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    calls.emplace_back(primitive, path);
    EXPECT_TRUE(fs.Exists(path) || primitive == TPrimitive::FindEntry);
  };
  int found = 0;
  ASSERT_TRUE(fs.ListFolder("C:\\r", [&](const TListedEntry& listed) {
    if (std::string(listed.Name) == "sub")
      fs.ListFolder("C:\\r\\sub", [&](const TListedEntry&) {
        ++found;
        return true;
      });
    return true;
  }));
  EXPECT_EQ(found, 3);
  EXPECT_EQ(WriteLastWrite(fs, "C:\\r\\sub\\a.txt", 1), TWriteTimesResult::Written);
  using TCalls = decltype(calls);
  EXPECT_EQ(calls, (TCalls{{TPrimitive::ListFolder, "C:\\r"},
                           {TPrimitive::ListFolder, "C:\\r\\sub"},
                           {TPrimitive::WriteTimesOpen, "C:\\r\\sub\\a.txt"},
                           {TPrimitive::WriteTimesSet, "C:\\r\\sub\\a.txt"}}));
}

TEST(FakeFileSystem, AWorkerMayAddWhileTheTestReads) {
  TFakeFileSystem fs;
  fs.AddFile("C:\\r\\a", faArchive, 1, 2, 3);
  constexpr int added = 2000;
  std::thread worker([&] {
    for (int i = 0; i < added; ++i) fs.AddFile("C:\\r\\f" + std::to_string(i));
  });
  int misread = 0;
  while (!fs.Exists("C:\\r\\f" + std::to_string(added - 1))) {
    misread += FileTimeValue(fs.Entry("C:\\r\\a").LastWriteTime) != 3u;
  }
  worker.join();
  EXPECT_EQ(misread, 0);
  EXPECT_EQ(ListingOf(fs, "C:\\r").size(), size_t(added + 3));
}

}  // namespace
