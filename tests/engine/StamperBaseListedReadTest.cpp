// The shortcuts of the Windows backend must come out exactly as the plain way: reading items from
// the entries their listings gave and by folder, as reading each item with a lookup of its own;
// asking folder identities only from a link down, as asking every folder's. The same items, stamps,
// log lines, flags and counts, on random trees (with links) and drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "engine/Tstamperbase.h"
#include "platform/WinConst.h"
#include "support/FakeFileSystem.h"
#include "support/Stamps.h"
#include "support/TestStamper.h"

namespace {

using TRandom = std::mt19937;

int Pick(TRandom& random, int count) {
  return std::uniform_int_distribution<int>(0, count - 1)(random);
}

bool Chance(TRandom& random, int percent) { return Pick(random, 100) < percent; }

// Folders up to three deep below C:\r, files with their own times and attributes; some items
// cannot be read, some folders cannot be listed. Gives every path made.
std::vector<std::string> BuildTree(TFakeFileSystem& fs, TRandom& random) {
  std::vector<std::string> folders{"C:\\r"}, paths{"C:\\r"};
  fs.AddFolder("C:\\r");
  const int items = 5 + Pick(random, 40);
  for (int i = 0; i < items; ++i) {
    const std::string parent = folders[size_t(Pick(random, int(folders.size())))];
    const std::string path = parent + "\\n" + std::to_string(i) + (Chance(random, 50) ? "X" : "y");
    if (Chance(random, 25) && std::count(parent.begin(), parent.end(), '\\') < 4) {
      fs.AddFolder(path, Chance(random, 30) ? faHidden : 0);
      folders.push_back(path);
    } else {
      const uint32_t attributes = Chance(random, 20) ? faReadOnly | faArchive : faArchive;
      fs.AddFile(path, attributes, 1000 + i, 2000 + i, 3000 + i);
    }
    if (Chance(random, 8)) fs.Fail(TPrimitive::FindEntry, path);
    paths.push_back(path);
  }
  if (Chance(random, 20)) fs.Fail(TPrimitive::ListFolder, folders.back());
  // Links to folders above them, beside them or to each other's folders, some of which cannot be
  // identified.
  for (int i = Pick(random, 3); i > 0; --i) {
    const std::string& parent = folders[size_t(Pick(random, int(folders.size())))];
    const std::string path = parent + "\\link" + std::to_string(i);
    fs.AddFolderLink(path, folders[size_t(Pick(random, int(folders.size())))]);
    if (Chance(random, 10)) fs.Fail(TPrimitive::FolderId, path);
    paths.push_back(path);
  }
  return paths;
}

std::string CaseVariant(std::string path, TRandom& random) {
  for (char& c : path) {
    if (Chance(random, 30)) c = char(std::toupper(static_cast<unsigned char>(c)));
  }
  return path;
}

// Items of the tree, some twice or in another letter case, and names that name nothing, beside
// existing items and in folders of their own.
std::vector<std::string> RandomPaths(const std::vector<std::string>& tree, TRandom& random) {
  std::vector<std::string> paths;
  const int count = 1 + Pick(random, 12);
  for (int i = 0; i < count; ++i) {
    const std::string& path = tree[size_t(Pick(random, int(tree.size())))];
    const int kind = Pick(random, 10);
    if (kind == 0)
      paths.push_back(path + "\\missing" + std::to_string(i));
    else if (kind == 1)
      paths.push_back("C:\\nowhere\\m" + std::to_string(i));
    else if (kind == 2)
      paths.push_back(CaseVariant(path, random));
    else
      paths.push_back(path);
    if (Chance(random, 15)) paths.push_back(paths.back());
  }
  return paths;
}

struct TOutcome {
  TStringList Items;
  std::vector<std::string> Stamps;
  TStringList Log;
  TFlags Flags;
  int Count = 0;
  int Folders = 0;
  std::vector<std::string> Entries;
  bool operator==(const TOutcome&) const = default;
};

std::string Describe(const TStamp& stamp) {
  return stamp.Path + " " + std::to_string(FileTimeValue(stamp.CRTime)) + " " +
         std::to_string(FileTimeValue(stamp.LWTime)) + " " +
         std::to_string(FileTimeValue(stamp.LATime));
}

void Record(TOutcome& outcome, const TStamps& stamps) {
  for (const TStamp& stamp : stamps) outcome.Stamps.push_back(Describe(stamp));
}

// Each item's entry after the write, so that a write that took a folder for a file shows.
void RecordEntries(TOutcome& outcome, TFakeFileSystem& fs, const std::vector<std::string>& tree) {
  for (const std::string& path : tree) {
    const TFileEntry entry = fs.Entry(path);
    outcome.Entries.push_back(path + " " + std::to_string(entry.Attributes) + " " +
                              std::to_string(FileTimeValue(entry.LastWriteTime)));
  }
}

TStampOptions RandomOptions(TRandom& random) {
  TStampOptions options;
  options.Subdirs = Chance(random, 70);
  options.Directories = Chance(random, 70);
  options.AnyAttr = Chance(random, 50);
  options.CRTime = Chance(random, 50);
  return options;
}

// The file system's ways; both off is the plain way.
struct TWays {
  bool ListingHasTimes = false;
  bool OnlyLinksLeadBack = false;
};

// A Get of dropped paths: expansion and the read of its items.
TOutcome Get(TWays ways, unsigned seed) {
  TRandom random(seed);
  TFakeFileSystem fs;
  fs.SetListingHasTimes(ways.ListingHasTimes);
  fs.SetOnlyLinksLeadBack(ways.OnlyLinksLeadBack);
  const std::vector<std::string> tree = BuildTree(fs, random);
  const TStringList dropped = RandomPaths(tree, random);
  const TStampOptions options = RandomOptions(random);
  TFileSystemOverride guard(fs);
  TTestStamper stamper;
  TOutcome outcome;
  outcome.Items = dropped;
  stamper.ExpandItems(outcome.Items, options, nullptr, &outcome.Log);
  TStamps stamps(outcome.Items.size());
  for (size_t i = 0; i < stamps.size(); ++i) stamps[i].Path = outcome.Items[i];
  outcome.Count = stamper.GetStamps(outcome.Log, stamps, outcome.Folders);
  Record(outcome, stamps);
  return outcome;
}

// The backup read and write of items that no listing found, as an Undo has them; the write
// learns from the read whether each item is a folder.
TOutcome ReadAndWrite(bool listingHasTimes, unsigned seed) {
  TRandom random(seed);
  TFakeFileSystem fs;
  fs.SetListingHasTimes(listingHasTimes);
  const std::vector<std::string> tree = BuildTree(fs, random);
  const std::vector<std::string> paths = RandomPaths(tree, random);
  const TStampOptions options = RandomOptions(random);
  TFileSystemOverride guard(fs);
  TTestStamper stamper;
  TOutcome outcome;
  TStamps backup;
  for (const std::string& path : paths) backup.push_back(MakeStamp(path));
  outcome.Flags.assign(backup.size(), 1);
  if (Chance(random, 20)) outcome.Flags[size_t(Pick(random, int(backup.size())))] = 0;
  std::vector<uint32_t> attributes;
  outcome.Count =
      stamper.ReadStamps(outcome.Log, backup, outcome.Folders, outcome.Flags, &attributes);
  Record(outcome, backup);
  TStamps write = backup;
  for (TStamp& stamp : write) stamp.LWTime = MakeFileTime(9000);
  // The reference write knows nothing of the read and leaves the backend to ask for each kind.
  outcome.Count +=
      1000 * stamper.WriteStamps(outcome.Log, write, options, Chance(random, 50), outcome.Flags,
                                 nullptr, listingHasTimes ? &attributes : nullptr);
  RecordEntries(outcome, fs, tree);
  return outcome;
}

TEST(StamperBaseListedRead, ComesOutAsTheLookupOfEachItem) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const TOutcome plain = Get(TWays(), seed);
    EXPECT_EQ(Get({.ListingHasTimes = true}, seed), plain);
    EXPECT_EQ(Get({.OnlyLinksLeadBack = true}, seed), plain);
    EXPECT_EQ(ReadAndWrite(true, seed), ReadAndWrite(false, seed));
    if (HasFailure()) break;
  }
}

}  // namespace

// A stop takes effect within the folder listing that sees it: no further folder is listed and no
// item is looked up or counted.
TEST(StamperBaseListedRead, StopsWithinOneFolderListing) {
  TFakeFileSystem fs;
  fs.SetListingHasTimes(true);
  TStamps stamps;
  for (const char* folder : {"C:\\a", "C:\\b", "C:\\c"}) {
    for (const char* name : {"\\1", "\\2"}) {
      fs.AddFile(std::string(folder) + name);
      stamps.push_back(MakeStamp(std::string(folder) + name));
    }
  }
  TFileSystemOverride guard(fs);
  TTestStamper stamper;
  std::vector<std::string> calls;
  fs.OnCall = [&](TPrimitive primitive, const std::string& path) {
    calls.push_back(path);
    if (primitive == TPrimitive::ListFolder && path == "C:\\b") stamper.Terminate();
  };
  TFlags flags(stamps.size(), 1);
  TStringList log;
  int folders = 0;
  EXPECT_EQ(stamper.ReadStamps(log, stamps, folders, flags), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"C:\\a", "C:\\b"}));
  EXPECT_TRUE(log.empty());
}
