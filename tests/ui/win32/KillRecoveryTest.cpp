// The built program killed in the middle of a Set at random moments, then started again: the
// recovery it offers puts back exactly what the Set wrote, times and attributes, and writes no item
// the Set had not reached. BREVANTOR_KILL_RUNS and BREVANTOR_KILL_ITEMS set the size of the test,
// BREVANTOR_KILL_SEED its moments.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/TempTree.h"

namespace {

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

struct TItemState {
  TItemTimes Times;
  DWORD Attributes = 0;
  bool operator==(const TItemState&) const = default;
};

struct TProcess {
  HANDLE Handle = nullptr;
  DWORD Id = 0;
};

TProcess Launch(const std::string& exe, const std::string& params) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"" + exe + "\" " + params;
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return {};
  CloseHandle(info.hThread);
  return {info.hProcess, info.dwProcessId};
}

DWORD WaitAndClose(TProcess& process, DWORD milliseconds = 120000) {
  DWORD status = 99;
  if (WaitForSingleObject(process.Handle, milliseconds) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.Handle, &status);
  CloseHandle(process.Handle);
  process = {};
  return status;
}

void Kill(TProcess& process) {
  TerminateProcess(process.Handle, 9);
  WaitAndClose(process);
}

// The windows of one process: its main window (not a box), and the texts of the boxes it shows,
// each answered OK.
struct TWindowsOf {
  DWORD Process;
  HWND Main = nullptr;
  std::vector<std::string> Boxes;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
  auto& seen = *reinterpret_cast<TWindowsOf*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != seen.Process || !IsWindowVisible(window)) return TRUE;
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770") {
    seen.Main = window;
    return TRUE;
  }
  char text[1024] = {};
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  seen.Boxes.push_back(text);
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// Whether a journal in the folder holds more than nothing: a writing operation has begun.
bool JournalBegun(const std::string& folder) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((folder + "\\*.journal").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool begun = false;
  do begun = begun || found.nFileSizeLow > 0;
  while (FindNextFileA(find, &found));
  FindClose(find);
  return begun;
}

// The items: files in folders of 1,000, every seventh read-only, each with times of its own.
class TItems {
 public:
  TItems(TTempTree& tree, int count) : Root(tree.AddFolder("items")) {
    for (int i = 0; i < count; ++i) {
      if (i % 1000 == 0) tree.AddFolder("items\\d" + std::to_string(i / 1000));
      Paths.push_back(
          tree.AddFile("items\\d" + std::to_string(i / 1000) + "\\f" + std::to_string(i) + ".txt"));
    }
  }
  // Gives every item its original times and attributes; the seconds it took.
  double Reset() {
    const ULONGLONG start = GetTickCount64();
    for (size_t i = 0; i < Paths.size(); ++i) {
      TTempTree::SetReadOnly(Paths[i], false);
      TTempTree::SetTimes(Paths[i], {0, first + i * 7919, first + i * 10000000});
      if (i % 7 == 0) TTempTree::SetReadOnly(Paths[i], true);
    }
    return double(GetTickCount64() - start) / 1000;
  }
  std::vector<TItemState> States() const {
    std::vector<TItemState> states;
    for (const std::string& path : Paths) {
      // No Set here writes it, and Wine on ext4 keeps none.
      TItemState state{TTempTree::Times(path), GetFileAttributesA(path.c_str())};
      state.Times.Creation = 0;
      states.push_back(state);
    }
    return states;
  }
  // Every change an item's inode takes, times and attributes alike, moves it.
  std::vector<uint64_t> ChangeTimes() const {
    std::vector<uint64_t> times;
    for (const std::string& path : Paths) {
      const HANDLE file =
          CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING, 0, nullptr);
      FILE_BASIC_INFO info{};
      GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info);
      CloseHandle(file);
      times.push_back(uint64_t(info.ChangeTime.QuadPart));
    }
    return times;
  }

  const std::string Root;
  std::vector<std::string> Paths;

 private:
  static constexpr uint64_t first = 125000000000000000ull;
};

struct TRunResult {
  int KilledAfterMs = 0;
  int Written = 0;
  bool Asked = false;
};

class KillRecovery : public testing::Test {
 protected:
  void SetUp() override {
    const char* build = std::getenv("BREVANTOR_BUILD_DIR");
    if (!build) GTEST_SKIP() << "BREVANTOR_BUILD_DIR is not set (run through ctest)";
    Program = Tree.AddFolder("program");
    Exe = Program + "\\brevantor.exe";
    ASSERT_TRUE(CopyFileA((std::string(build) + "\\brevantor.exe").c_str(), Exe.c_str(), FALSE));
    Source = Tree.AddFile("source.txt");
    TTempTree::SetTimes(Source, {0, setTime + 3, setTime});
  }
  void TearDown() override {
    for (TProcess* process : {&Window, &Request})
      if (process->Handle) Kill(*process);
  }

  // CR Time off (Wine on ext4 keeps no creation time), Directories off, so that the items are
  // the files alone.
  void WriteSettings(bool anyAttr) {
    std::ofstream(Program + "\\Settings.ini", std::ios::binary)
        << "[Settings]\r\nValues=-1,0," << (anyAttr ? "-1" : "0")
        << ",0,-1,-1,-1,0,-1,0,0,100,100,,0\r\n";
  }
  // The window's main window, once it shows; the boxes it shows meanwhile are answered OK.
  HWND VisitWindow() {
    TWindowsOf seen{Window.Id, nullptr, {}};
    EnumWindows(::VisitWindow, reinterpret_cast<LPARAM>(&seen));
    Boxes.insert(Boxes.end(), seen.Boxes.begin(), seen.Boxes.end());
    return seen.Main;
  }
  void StartWindow() {
    Window = Launch(Exe, "");
    Boxes.clear();
    HWND main = nullptr;
    for (int attempt = 0; attempt < 600 && !(main = VisitWindow()); ++attempt) Sleep(100);
    ASSERT_NE(main, nullptr) << "no window";
  }
  // A request handed to the window, run to its end.
  void HandOver(const std::string& params) {
    Request = Launch(Exe, params);
    while (WaitForSingleObject(Request.Handle, 100) == WAIT_TIMEOUT) VisitWindow();
    EXPECT_EQ(WaitAndClose(Request), 0u) << params;
  }

  // Half the runs are killed within the first half of the time the Set should take, so that the
  // test never depends on one of several long delays falling inside it.
  TRunResult Run(TItems& items, bool anyAttr, bool early, std::mt19937& random) {
    TRunResult result;
    WriteSettings(anyAttr);
    const double resetSeconds = items.Reset();
    const std::vector<TItemState> original = items.States();
    StartWindow();
    HandOver("/get \"" + Source + "\"");
    Request = Launch(Exe, "/set \"" + items.Root + "\"");
    for (int attempt = 0; attempt < 6000 && !JournalBegun(Program); ++attempt) Sleep(10);
    // A Set takes about as long as the loop that gave the items their times; some kills come
    // after its end.
    result.KilledAfterMs = int(random() % unsigned(resetSeconds * (early ? 500 : 1500) + 1));
    Sleep(DWORD(result.KilledAfterMs));
    Kill(Window);
    WaitAndClose(Request);
    const std::vector<TItemState> killed = items.States();
    const std::vector<uint64_t> changedBefore = items.ChangeTimes();

    StartWindow();
    HandOver("/get \"" + Source + "\"");
    for (const std::string& box : Boxes)
      EXPECT_NE(box.find(" did not end.\r\n\r\nIt may have written "), std::string::npos) << box;
    result.Asked = !Boxes.empty();
    const std::vector<TItemState> after = items.States();
    const std::vector<uint64_t> changedAfter = items.ChangeTimes();
    Kill(Window);
    int wrong = 0, strayWrites = 0, notRewritten = 0;
    for (size_t i = 0; i < items.Paths.size(); ++i) {
      const bool written = !(killed[i] == original[i]);
      result.Written += written;
      // Without a question, the Set had ended and stays.
      wrong += !(after[i] == (result.Asked ? original[i] : killed[i]));
      const bool rewritten = changedAfter[i] != changedBefore[i];
      strayWrites += !written && rewritten;
      notRewritten += result.Asked && written && !rewritten;
    }
    EXPECT_EQ(wrong, 0) << "items not as they were before the Set";
    EXPECT_EQ(strayWrites, 0) << "items the Set had not reached, written by the recovery";
    EXPECT_EQ(notRewritten, 0) << "items put back without a write that shows";
    return result;
  }

  static constexpr uint64_t setTime = 133000000000000000ull;
  TTempTree Tree;
  std::string Program, Exe, Source;
  TProcess Window, Request;
  std::vector<std::string> Boxes;
};

TEST_F(KillRecovery, PutsBackEveryWrittenItemAndWritesNoOther) {
  const int runs = Setting("BREVANTOR_KILL_RUNS", 4);
  const unsigned seed = unsigned(Setting("BREVANTOR_KILL_SEED", int(GetTickCount() % 100000)));
  TItems items(Tree, Setting("BREVANTOR_KILL_ITEMS", 4000));
  std::mt19937 random(seed);
  int interrupted = 0;
  for (int run = 0; run < runs && !HasFailure(); ++run) {
    const bool anyAttr = run % 2 == 1;
    const TRunResult result = Run(items, anyAttr, run % 4 < 2, random);
    interrupted += result.Asked;
    std::printf(
        "run %d (seed %u): Any Attr %s, killed %d ms into the Set, %d of %zu items "
        "written, %s\n",
        run, seed, anyAttr ? "on" : "off", result.KilledAfterMs, result.Written, items.Paths.size(),
        result.Asked ? "recovered" : "the Set had ended");
  }
  EXPECT_GT(interrupted, 0) << "no kill came during a Set";
}

}  // namespace
