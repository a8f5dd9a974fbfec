#include "EngineRun.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "toolkit/Application.h"
#include "platform/Thread.h"
#include "platform/WinConst.h"

TEngineRun RunOperation(TOperationKind kind, const TStringList* paths, TStampHolder& holder,
                        TStampHistory& history, TStampOptions options) {
  using Clock = std::chrono::steady_clock;
  MainThreadQueue().BindToCurrentThread();
  Application().MessageBoxHook = [](const std::string&, const std::string&, int) { return idOk; };
  TEngineRun run;
  bool ended = false;
  auto* stamper = new TStamper(kind, paths, &holder, &history, options);
  stamper->OnTerminate = [&](TObject*) {
    run.ItemCount = stamper->ItemCount();
    run.SucceededCount = stamper->SucceededCount();
    run.Canceled = stamper->Canceled();
    ended = true;
  };
  stamper->Start();
  while (!ended) {
    // Polling keeps the waiting out of the measured steps: only the steps themselves are timed.
    const auto start = Clock::now();
    if (MainThreadQueue().ProcessPending() == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(50));
      continue;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.LongestStepMs = std::max(run.LongestStepMs, ms);
  }
  return run;
}
