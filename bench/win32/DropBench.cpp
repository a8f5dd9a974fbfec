// A drop of many files from one folder onto the Get target of the real window, through the
// system's own OLE drag loop, against a drop of their folder in the same run. Then where the time
// of the dropped names goes, step by step with the program's own calls on this thread.
// Usage: brevantor_drop.exe LIMIT_SECONDS FOLDER... (a drop of the files that runs past the limit
// ends the program, said so). Prints the figures of each folder.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchBase.h"
#include "engine/DroppedPaths.h"
#include "platform/FileSystem.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"
#include "platform/win32/WideText.h"
#include "support/ProgramPlace.h"
#include "support/Win32OleDrag.h"
#include "toolkit/Toolkit.h"
#include "toolkit/win32/WinDropHandle.h"
#include "toolkit/win32/WinWindow.h"
#include "ui/Tmainform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename F>
double Seconds(F&& work) {
  const auto start = Clock::now();
  work();
  return Since(start);
}

struct TDropRun {
  double HeldSeconds = 0;  // from the release of the button until the drop target returned
  double DoneSeconds = 0;  // from the release until the Get had ended
  std::string Status;
};

// Ends the program once a drop has run past the limit: the figure is then "more than" it.
class TWatchdog {
 public:
  TWatchdog(int count, double limit)
      : Thread([this, count, limit] {
          const auto start = Clock::now();
          while (!Ended) {
            if (Since(start) > limit) {
              std::printf("%d files: %s after %.0f s\n", count,
                          Held ? "the drag still held" : "the Get not done", limit);
              std::fflush(stdout);
              std::_Exit(0);
            }
            Sleep(50);
          }
        }) {}
  ~TWatchdog() {
    Ended = true;
    Thread.join();
  }
  std::atomic<bool> Held{true};

 private:
  std::atomic<bool> Ended{false};
  std::thread Thread;
};

// The names dropped on the window's Get target as its operation number; the drag's last stop
// marks the release.
TDropRun DropOnGet(TMainForm& form, const std::vector<std::string>& names, int number,
                   std::atomic<bool>* held = nullptr) {
  const std::string ended = std::to_string(number) + ": Get - Done";
  const TPoint target = form.GetPanel.ClientToScreen({3, 3});
  Clock::time_point released;
  TOleDrag::Run(names, {{{target.X, target.Y}, [&] { released = Clock::now(); }}});
  TDropRun run;
  run.HeldSeconds = Since(released);
  if (held) *held = false;
  while (form.Stamper() || form.StatusBar.SimpleText().rfind(ended, 0) != 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Application().ProcessMessages();
  }
  run.DoneSeconds = Since(released);
  run.Status = form.StatusBar.SimpleText();
  return run;
}

// The steps of a Get of the dropped names, each timed alone with the program's own calls.
struct TBreakdown {
  double Names = 0, ShellPerName = 0, Normalise = 0, Expansion = 0, Times = 0;
};

constexpr size_t ShellSample = 1000;

// What the expansion spends before it sorts: each name normalised and its attributes read.
void NormaliseAsTheExpansionDoes(const TStringList& names) {
  TFileSystem& fs = FileSystem();
  const std::vector<TDroppedEntry> entries = ListDroppedNames(fs, names, [] { return false; });
  for (size_t i = 0; i < names.size(); ++i)
    if (!entries[i].Normal) fs.GetAttributes(fs.NormalizePath(names[i]));
}

TBreakdown Breakdown(const std::vector<std::string>& names) {
  TBreakdown spent;
  TStringList read;
  spent.Names = Seconds([&] {
    THDropHandle drop(HDROP(DropBlock(names, {0, 0})));
    for (int i = 0; i < drop.Count(); ++i) read.push_back(drop.Name(i));
    drop.Finish();
  });
  // The shell's round trip, on names spread over the whole folder.
  const size_t step = std::max<size_t>(1, read.size() / ShellSample);
  size_t asked = 0;
  spent.ShellPerName = Seconds([&] {
                         for (size_t i = 0; i < read.size(); i += step, ++asked)
                           FileSystem().NormalizePath(read[i]);
                       }) /
                       double(asked);
  spent.Normalise = Seconds([&] { NormaliseAsTheExpansionDoes(read); });
  TBenchBase base;
  spent.Expansion = Seconds([&] { base.ExpandItems(read, TStampOptions()); });
  TStamps stamps(read.size());
  for (size_t i = 0; i < read.size(); ++i) stamps[i].Path = std::move(read[i]);
  TStringList log;
  int folders = 0;
  spent.Times = Seconds([&] { base.GetStamps(log, stamps, folders); });
  return spent;
}

// The files of the folder, as one listing gives them: made by bench/run from Linux, since Wine
// looks through the whole folder for every name it makes.
std::vector<std::string> FilesOf(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW(Utf8ToWide(folder + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(folder + "\\" + WideToUtf8(data.cFileName));
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return names;
}

void Measure(const std::string& folder, double limit) {
  const std::vector<std::string> files = FilesOf(folder);
  const int count = int(files.size());
  // The settings file goes beside the folder, which bench/run removes.
  TProgramPlace place({folder.substr(0, folder.find_last_of('\\')) + "\\brevantor.exe"});
  auto form = std::make_unique<TMainForm>();
  form->Show();
  SetForegroundWindow(WindowHandle(*form));
  Application().ProcessMessages();
  const TDropRun ofFolder = DropOnGet(*form, {folder}, 1);
  TDropRun ofFiles;
  {
    TWatchdog watchdog(count, limit);
    ofFiles = DropOnGet(*form, files, 2, &watchdog.Held);
  }
  std::printf(
      "%d files: drag held %.3f s, Get %.2f s (%s); folder: held %.3f s, Get %.2f s (%s);"
      " ratio %.2f\n",
      count, ofFiles.HeldSeconds, ofFiles.DoneSeconds, ofFiles.Status.c_str(), ofFolder.HeldSeconds,
      ofFolder.DoneSeconds, ofFolder.Status.c_str(), ofFiles.DoneSeconds / ofFolder.DoneSeconds);
  std::fflush(stdout);
  form.reset();
  const TBreakdown spent = Breakdown(files);
  std::printf(
      "%d files: reading the names %.3f s, the shell %.2f ms a name, normalising and "
      "attributes %.3f s, whole expansion %.3f s, reading times %.3f s\n",
      count, spent.Names, 1000 * spent.ShellPerName, spent.Normalise, spent.Expansion, spent.Times);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  MainThreadQueue().BindToCurrentThread();
  Application().Initialize();
  // A box would hold the run: each is told and answered OK.
  Application().MessageBoxHook = [](const std::string& text, const std::string&, int) {
    std::fprintf(stderr, "box: %s\n", text.c_str());
    return idOk;
  };
  const double limit = argc > 1 ? std::atof(argv[1]) : 600;
  for (int i = 2; i < argc; ++i) Measure(argv[i], limit);
  return 0;
}
