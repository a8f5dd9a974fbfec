#include "support/StamperRun.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/Thread.h"

namespace {

using namespace std::chrono_literals;

[[noreturn]] void Hang(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Shared by the test and the worker, so that whichever lets go last frees it.
struct TGone {
  std::mutex Mutex;
  std::condition_variable Signal;
  bool Gone = false;
};

// Tells when the stamper's own deletion, at the end of its thread, has come.
class TWatchedStamper : public TStamper {
 public:
  TWatchedStamper(std::shared_ptr<TGone> gone, TOperationKind kind, const TStringList* paths,
                  TStampHolder& holder, TStampHistory& history, TStampOptions options)
      : TStamper(kind, paths, &holder, &history, options), Watch(std::move(gone)) {}

  ~TWatchedStamper() override {
    std::lock_guard lock(Watch->Mutex);
    Watch->Gone = true;
    Watch->Signal.notify_all();
  }

 private:
  std::shared_ptr<TGone> Watch;
};

void AwaitGone(TGone& gone) {
  std::unique_lock lock(gone.Mutex);
  if (!gone.Signal.wait_for(lock, 60s, [&] { return gone.Gone; }))
    Hang("RunStamper: the stamper did not free itself after its end event");
}

}  // namespace

// A ctest entry whose runs are slow by design (a very deep tree under Wine) allows more.
void PumpUntil(const std::function<bool()>& done) {
  const char* seconds = std::getenv("BREVANTOR_QUIET_SECONDS");
  const std::chrono::seconds limit(seconds ? std::atoi(seconds) : 60);
  while (!done()) {
    if (!MainThreadQueue().WaitAndProcess(limit))
      Hang("PumpUntil: nothing arrived on the main-thread queue for the time allowed");
  }
}

TStamperResult RunStamper(TOperationKind kind, const TStringList* paths, TStampHolder& holder,
                          TStampHistory& history, TStampOptions options,
                          const TStamperPrepare& prepare) {
  auto gone = std::make_shared<TGone>();
  auto* stamper = new TWatchedStamper(gone, kind, paths, holder, history, options);
  if (prepare) prepare(*stamper);
  TStamperResult result;
  bool ended = false;
  stamper->OnTerminate = [&, callerEvent = stamper->OnTerminate](TObject* sender) {
    result.ErrorLog = stamper->ErrorLog();
    result.ItemCount = stamper->ItemCount();
    result.SucceededCount = stamper->SucceededCount();
    result.RoundedCount = stamper->RoundedCount();
    result.Canceled = stamper->Canceled();
    result.Kind = stamper->Kind();
    ended = true;
    if (callerEvent) callerEvent(sender);
  };
  stamper->Start();
  PumpUntil([&] { return ended; });
  AwaitGone(*gone);
  return result;
}
