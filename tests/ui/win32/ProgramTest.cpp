// The built program itself under Wine: its settings file after a first run, other sections kept
// when it saves, and New Window handing its settings to a second program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/TempTree.h"
#include "support/Win32WithoutUtf8CodePage.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(),
                                         int(wide.size()))));
  return wide;
}

// A visible top-level program window of the given process, or of any other one.
struct TWindowSearch {
  DWORD Process;
  bool OtherProcess = false;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchProgramWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TWindowSearch*>(data);
  char caption[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if ((pid == search.Process) == search.OtherProcess || std::string(caption) != "Brevantor" ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  search.Found = window;
  return FALSE;
}

HWND FindOtherProgramWindow(DWORD process) {
  TWindowSearch search{process, true};
  EnumWindows(MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The program copied into a folder of its own, so that its Settings.ini is the test's.
class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* build = std::getenv("BREVANTOR_BUILD_DIR");
    if (!build) GTEST_SKIP() << "BREVANTOR_BUILD_DIR is not set (run through ctest)";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Folder = std::string(temp) + "brevantor-program-" + std::to_string(GetCurrentProcessId()) +
             "-" + testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(Folder.c_str(), nullptr);
    Exe = Folder + "\\brevantor.exe";
    ASSERT_TRUE(CopyFileA((std::string(build) + "\\brevantor.exe").c_str(), Exe.c_str(), FALSE));
    Settings = Folder + "\\Settings.ini";
  }

  void TearDown() override {
    for (HANDLE process : Processes) {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
      CloseHandle(process);
    }
    DeleteFileA(Settings.c_str());
    DeleteFileA(Exe.c_str());
    RemoveDirectoryA(Folder.c_str());
  }

  // The program with parameters, started in a folder (by default its own).
  DWORD Start(const std::string& params = "", const std::string& folder = "") {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string command = "\"" + Exe + "\" " + params;
    EXPECT_TRUE(CreateProcessA(Exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               (folder.empty() ? Folder : folder).c_str(), &startup, &info));
    CloseHandle(info.hThread);
    Processes.push_back(info.hProcess);
    return info.dwProcessId;
  }

  // The program's main window: a visible top-level "Brevantor" window of the process. Starting a
  // program under Wine on a loaded machine may take long, so the bounds are a minute.
  static HWND WaitForWindow(DWORD process) {
    TWindowSearch search{process};
    for (int attempt = 0; attempt < 600 && !search.Found; ++attempt) {
      EnumWindows(MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
      if (!search.Found) Sleep(100);
    }
    return search.Found;
  }

  // Starts the program with a settings file (after `before`, which may be a byte-order mark) whose
  // saved position, 500,300, Last Position restores; gives its window, placed there.
  HWND StartAtSavedPosition(DWORD& process, const std::string& before = "") {
    WriteFile(Settings,
              before + "[Settings]\r\nValues=-1,-1,-1,-1,-1,-1,-1,0,-1,0,-1,500,300,\r\n");
    process = Start();
    HWND window = WaitForWindow(process);
    RECT place{};
    if (window) GetWindowRect(window, &place);
    EXPECT_EQ(place.left, 500);
    EXPECT_EQ(place.top, 300);
    return window;
  }

  // A start whose output goes to a file, as a script's does, run to its end while the boxes of
  // the window's process are answered OK; gives its exit status and what it wrote.
  std::pair<DWORD, std::string> RunToEnd(const std::string& params, DWORD windowProcess) {
    const std::string output = Folder + "\\output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION info{};
    std::string command = "\"" + Exe + "\" " + params;
    EXPECT_TRUE(CreateProcessA(Exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               Folder.c_str(), &startup, &info));
    CloseHandle(file);
    CloseHandle(info.hThread);
    DWORD status = 99;
    for (int attempt = 0; attempt < 1200; ++attempt) {
      if (WaitForSingleObject(info.hProcess, 100) == WAIT_OBJECT_0) break;
      AnswerBoxesOf(windowProcess);
    }
    GetExitCodeProcess(info.hProcess, &status);
    CloseHandle(info.hProcess);
    const std::string text = ReadFile(output);
    DeleteFileA(output.c_str());
    return {status, text};
  }

  // A source whose times are all `Written`, and a target to give them to.
  static constexpr uint64_t Written = 132000000000000000ull;
  static std::pair<std::string, std::string> SourceAndTarget(TTempTree& tree,
                                                             const std::string& targetName) {
    const std::string source = tree.AddFile("source.txt");
    TTempTree::SetTimes(source, {Written, Written, Written});
    return {source, tree.AddFile(targetName)};
  }

  static void AnswerBoxesOf(DWORD process) {
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          char name[16] = {};
          GetClassNameA(window, name, sizeof name);
          if (pid == DWORD(data) && std::string(name) == "#32770")
            PostMessageA(window, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        LPARAM(process));
  }

  static bool CloseAndWait(HWND window, HANDLE process) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return WaitForSingleObject(process, 60000) == WAIT_OBJECT_0;
  }

  std::string Folder, Exe, Settings;
  std::vector<HANDLE> Processes;
};

}  // namespace

TEST_F(ProgramTest, FirstRunLeavesTheDefaultsAndThePositionItEndedAt) {
  HWND window = WaitForWindow(Start());
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, 370, 248, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(CloseAndWait(window, Processes.back()));
  EXPECT_EQ(ReadFile(Settings), "[Settings]\r\nValues=-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,,0\r\n");
}

TEST_F(ProgramTest, SavingKeepsTheOtherSectionsAndKeys) {
  WriteFile(Settings,
            "[Before]\r\nKept=1\r\n\r\n[Settings]\r\nValues=0,-1,0,-1,-1,-1,-1,0,-1,0,0,10,20,\r\n"
            "Other=keep me\r\n\r\n[After]\r\nAlso=2\r\n");
  HWND window = WaitForWindow(Start());
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, 370, 248, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(CloseAndWait(window, Processes.back()));
  EXPECT_EQ(
      ReadFile(Settings),
      "[Before]\r\nKept=1\r\n\r\n[Settings]\r\nValues=0,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,,0\r\n"
      "Other=keep me\r\n\r\n[After]\r\nAlso=2\r\n");
}

// New Window, pressed as the user would (Ctrl+N): the first window saves, then starts a second
// program with "/dp", which reads those settings but keeps the system's position even though
// Last Position is on.
TEST_F(ProgramTest, NewWindowStartsASecondProgramWithTheSavedSettingsButNotThePosition) {
  DWORD first = 0;
  HWND window = StartAtSavedPosition(first);
  ASSERT_NE(window, nullptr);
  WriteFile(Settings, "");  // only the first window's save can fill it again
  // The keys go to the foreground window, which the program's window becomes only once it is shown.
  for (int attempt = 0; attempt < 100 && GetForegroundWindow() != window; ++attempt) {
    SetForegroundWindow(window);
    if (GetForegroundWindow() != window) Sleep(50);
  }
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('N', 0, 0, 0);
  keybd_event('N', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  HWND other = nullptr;
  for (int attempt = 0; attempt < 600 && !other; ++attempt) {
    other = FindOtherProgramWindow(first);
    if (!other) Sleep(100);
  }
  ASSERT_NE(other, nullptr) << "no second window";
  EXPECT_NE(ReadFile(Settings).find("Values=-1,-1,-1,-1,-1,-1,-1,0,-1,0,-1,500,300,"),
            std::string::npos);
  RECT otherPlace;
  GetWindowRect(other, &otherPlace);
  EXPECT_FALSE(otherPlace.left == 500 && otherPlace.top == 300);
  DWORD second = 0;
  GetWindowThreadProcessId(other, &second);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, second);
  ASSERT_NE(process, nullptr);
  Processes.push_back(process);
  EXPECT_TRUE(CloseAndWait(other, process));
  EXPECT_TRUE(CloseAndWait(window, Processes.front()));
}

BOOL CALLBACK CountVisibleWindows(HWND window, LPARAM data) {
  auto& [process, count] = *reinterpret_cast<std::pair<DWORD, int>*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == process && IsWindowVisible(window)) ++count;
  return TRUE;
}

// Logoff: the program agrees, saves its settings although its window never closes, and asks
// nothing, although it holds no data that closing would ask about. A file an editor saved with a
// UTF-8 byte-order mark loads (the saved position is restored) and keeps its mark.
TEST_F(ProgramTest, ASessionEndSavesTheSettingsWithoutAQuestion) {
  DWORD process = 0;
  HWND window = StartAtSavedPosition(process, "\xEF\xBB\xBF");
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, 370, 248, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  DWORD_PTR agreed = 0;
  ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK,
                                  60000, &agreed));
  EXPECT_EQ(agreed, DWORD_PTR(TRUE));
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 60000,
                                  &ignored));
  EXPECT_EQ(ReadFile(Settings),
            "\xEF\xBB\xBF[Settings]\r\nValues=-1,-1,-1,-1,-1,-1,-1,0,-1,0,-1,370,248,,0\r\n");
  std::pair<DWORD, int> visible{process, 0};
  EnumWindows(CountVisibleWindows, reinterpret_cast<LPARAM>(&visible));
  EXPECT_EQ(visible.second, 1) << "a box or window besides the main window";
}

// In the legacy code page, as on Windows before 1903, the program still finds its folder, whose
// name is Greek and an emoji, and keeps its settings there.
TEST_F(ProgramTest, TheLegacyCodePageStillFindsAFolderOfAnyName) {
  const std::string folder = Folder + "\\\xCE\xB1\xF0\x9F\x93\x81";
  const std::wstring wideFolder = Wide(folder);
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  const std::wstring exe = wideFolder + L"\\brevantor.exe";
  const std::wstring settings = wideFolder + L"\\Settings.ini";
  ASSERT_TRUE(CopyWithoutUtf8CodePage(Exe, folder + "\\brevantor.exe"));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + exe + L"\"";
  ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info));
  CloseHandle(info.hThread);
  Processes.push_back(info.hProcess);
  HWND window = WaitForWindow(info.dwProcessId);
  ASSERT_NE(window, nullptr);
  SetWindowPos(window, nullptr, 370, 248, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(CloseAndWait(window, info.hProcess));
  EXPECT_EQ(ReadFile(folder + "\\Settings.ini"),
            "[Settings]\r\nValues=-1,-1,0,-1,-1,-1,-1,0,-1,0,0,370,248,,0\r\n");
  DeleteFileW(settings.c_str());
  DeleteFileW(exe.c_str());
  RemoveDirectoryW(wideFolder.c_str());
}

BOOL CALLBACK MatchSetTarget(HWND window, LPARAM found) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::string(text) != "Set: drop, paste or press Enter to choose items") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Whether a program window, seen from another process, holds Get data: the Set target's icon and
// label are enabled exactly then.
bool HoldsGetData(HWND window) {
  HWND set = nullptr;
  EnumChildWindows(window, MatchSetTarget, reinterpret_cast<LPARAM>(&set));
  const HWND icon = set ? GetWindow(set, GW_CHILD) : nullptr;
  return icon && IsWindowEnabled(icon);
}

// A window started with /get holds Get data; a later start of the same program file with /set
// and a path relative to its own folder hands the path over whole and ends at once, and the
// first window writes the times. No second window appears.
TEST_F(ProgramTest, ASecondStartWithSetHandsItsPathsToTheRunningWindowAndEnds) {
  const uint64_t written = Written;
  TTempTree tree;
  const auto [source, target] = SourceAndTarget(tree, "target with spaces.txt");
  const DWORD first = Start("/get \"" + source + "\"");
  const HWND window = WaitForWindow(first);
  ASSERT_NE(window, nullptr);
  for (int attempt = 0; attempt < 200 && !HoldsGetData(window); ++attempt) Sleep(100);
  ASSERT_TRUE(HoldsGetData(window));

  Start("/dp /SET \"target with spaces.txt\"", tree.Root());
  ASSERT_EQ(WaitForSingleObject(Processes.back(), 20000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(Processes.back(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  for (int attempt = 0; attempt < 200 && TTempTree::Times(target).LastWrite != written; ++attempt)
    Sleep(100);
  EXPECT_EQ(TTempTree::Times(target).LastWrite, written);
  EXPECT_EQ(FindOtherProgramWindow(first), nullptr);
}

// A script's steps against a running window: each start hands its request over, waits until the
// window has run it, writes the status line where its output goes and ends with the status, so
// that the Set runs after the Get and a refusal is told apart from success.
TEST_F(ProgramTest, StartsThatHandOverWaitForTheirRequestAndEndWithItsStatus) {
  TTempTree tree;
  const auto [source, target] = SourceAndTarget(tree, "target.txt");
  const DWORD window = Start();
  ASSERT_NE(WaitForWindow(window), nullptr);
  const std::string missing = tree.Path("missing.txt");
  const struct {
    std::string Params;
    DWORD Status;
    std::string Output;
  } steps[] = {
      {"/get \"" + source + "\"", 0, "1: Get - Done 1/1 item(s)\r\n"},
      {"/set \"" + target + "\"", 0, "2: Set - Done 1/1 item(s)\r\n"},
      {"/set \" \"", 3, "No operation.\r\n\r\nAn empty or blank name names no item.\r\n"},
      {"/properties \"" + missing + "\"", 3,
       "3: Properties - Done 0/1 item(s)\r\nNo operation.\r\n\r\nFailed to get properties.\r\n"},
  };
  for (const auto& step : steps) {
    const auto [status, output] = RunToEnd(step.Params, window);
    EXPECT_EQ(status, step.Status) << step.Params;
    EXPECT_EQ(output.substr(0, step.Output.size()), step.Output) << step.Params;
    if (&step == &steps[1]) {
      EXPECT_EQ(TTempTree::Times(target).LastWrite, Written);
    }
  }
  EXPECT_EQ(FindOtherProgramWindow(window), nullptr);
}
