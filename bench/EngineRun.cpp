#include "EngineRun.h"

#include <algorithm>
#include <chrono>

#include "toolkit/Application.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"

TEngineRun RunOperation(TOperationKind kind, const TStringList* paths, TStampHolder& holder,
                        TStampHistory& history, TStampOptions options, bool syncByName,
                        TJournal* journal, bool ignoreExtensions) {
  using Clock = std::chrono::steady_clock;
  MainThreadQueue().BindToCurrentThread();
  Application().MessageBoxHook = [](const std::string&, const std::string&, int) { return idOk; };
  TEngineRun run;
  bool ended = false;
  auto* stamper = new TStamper(kind, paths, &holder, &history, options);
  stamper->SetSyncByName(syncByName);
  stamper->SetIgnoreExtensions(ignoreExtensions);
  stamper->SetJournal(journal);
  stamper->OnTerminate = [&](TObject*) {
    run.ItemCount = stamper->ItemCount();
    run.SucceededCount = stamper->SucceededCount();
    run.Canceled = stamper->Canceled();
    ended = true;
  };
  stamper->Start();
  while (!ended) {
    // The main thread sleeps until a step comes, as the program's message loop does. Polling
    // instead would keep a processor awake for the worker: under Wine that alone halves the cost
    // of every call the worker makes to the Wine server, which the bare loops never get.
    if (!MainThreadQueue().WaitForSteps(std::chrono::milliseconds(100))) continue;
    const auto start = Clock::now();
    MainThreadQueue().ProcessPending();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.LongestStepMs = std::max(run.LongestStepMs, ms);
  }
  return run;
}
