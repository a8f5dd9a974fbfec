#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Tstamper.h"
#include "platform/win32/WideText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/StamperRun.h"
#include "support/TempTree.h"

namespace {

uint64_t Day(int n) { return 131000000000000000ull + uint64_t(n) * 864000000000ull; }

// Another program's handle on a file, opened for reading and writing its data with the sharing
// given, held for the life of the object.
class THeldOpen {
 public:
  THeldOpen(const std::string& path, DWORD share)
      : Handle(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~THeldOpen() { CloseHandle(Handle); }
  bool IsOpen() const { return Handle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE Handle;
};

// Sharing modes guard a file's data, not its attributes: a Set and its Undo write files that are
// held open in each mode, and a read-only file without "Any Attr" is still refused.
TEST(HeldOpenFiles, AreWrittenAndRestoredWhateverTheirSharing) {
  TTempTree tree;
  TStampHolder holder;
  TStampHistory history;
  TScriptedMessageBoxes boxes;
  TStampOptions options;
  options.CRTime = options.LATime = false;
  const std::vector<DWORD> shares{0, FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE};
  TStringList targets;
  std::vector<std::unique_ptr<THeldOpen>> held;
  for (size_t i = 0; i < shares.size(); ++i) {
    targets.push_back(tree.AddFile("held" + std::to_string(i), "contents"));
    TTempTree::SetTimes(targets.back(), {0, 0, Day(int(i))});
    held.push_back(std::make_unique<THeldOpen>(targets.back(), shares[i]));
    ASSERT_TRUE(held.back()->IsOpen());
  }
  const std::string readOnly = tree.AddFile("read-only", "contents");
  TTempTree::SetTimes(readOnly, {0, 0, Day(5)});
  TTempTree::SetReadOnly(readOnly, true);
  const TStringList source{tree.AddFile("source", "contents")};
  TTempTree::SetTimes(source[0], {0, 0, Day(9)});
  RunStamper(okGet, &source, holder, history, options);

  TStringList dropped = targets;
  dropped.push_back(readOnly);
  const TStamperResult set = RunStamper(okSet, &dropped, holder, history, options);
  EXPECT_EQ(set.ErrorLog, TStringList{"failed write access: " + readOnly});
  for (const std::string& target : targets) EXPECT_EQ(TTempTree::Times(target).LastWrite, Day(9));
  EXPECT_EQ(TTempTree::Times(readOnly).LastWrite, Day(5));

  const TStamperResult undo = RunStamper(okUndo, nullptr, holder, history, options);
  EXPECT_EQ(undo.ErrorLog, TStringList{});
  for (size_t i = 0; i < targets.size(); ++i)
    EXPECT_EQ(TTempTree::Times(targets[i]).LastWrite, Day(int(i))) << targets[i];
}

}  // namespace
