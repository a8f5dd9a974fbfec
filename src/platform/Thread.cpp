#include "platform/Thread.h"

#include <system_error>

namespace {

std::atomic<int> threadRefusals{0};

}  // namespace

TThreadRefusal::TThreadRefusal() { ++threadRefusals; }

TThreadRefusal::~TThreadRefusal() { --threadRefusals; }

TMainThreadQueue::TMainThreadQueue() : MainThread(std::this_thread::get_id()) {}

// Never destroyed: a worker that frees itself may still be leaving the queue while the program
// ends, and must not find it gone.
TMainThreadQueue& MainThreadQueue() {
  static auto* queue = new TMainThreadQueue;
  return *queue;
}

bool TMainThreadQueue::IsMainThread() const { return std::this_thread::get_id() == MainThread; }

void TMainThreadQueue::BindToCurrentThread() {
  std::lock_guard lock(Mutex);
  MainThread = std::this_thread::get_id();
}

void TMainThreadQueue::SetWakeUp(std::function<void()> wakeUp) {
  std::lock_guard lock(Mutex);
  WakeUp = std::move(wakeUp);
}

void TMainThreadQueue::RunAndWait(const std::function<void()>& step) {
  if (IsMainThread()) {
    step();
    return;
  }
  TStep queued{&step};
  std::function<void()> wakeUp;
  {
    std::lock_guard lock(Mutex);
    Steps.push_back(&queued);
    wakeUp = WakeUp;
  }
  Arrived.notify_all();
  if (wakeUp) wakeUp();
  std::unique_lock lock(Mutex);
  Finished.wait(lock, [&] { return queued.Done; });
}

int TMainThreadQueue::ProcessPending() {
  int count = 0;
  for (;;) {
    TStep* next;
    {
      std::lock_guard lock(Mutex);
      if (Steps.empty()) return count;
      next = Steps.front();
      Steps.pop_front();
    }
    // A step that throws must still release its worker; the exception is the step's own fault.
    ++StepsRunning;
    try {
      (*next->Step)();
    } catch (...) {
    }
    --StepsRunning;
    {
      std::lock_guard lock(Mutex);
      next->Done = true;
    }
    Finished.notify_all();
    ++count;
  }
}

bool TMainThreadQueue::WaitForSteps(std::chrono::milliseconds timeout) {
  std::unique_lock lock(Mutex);
  return Arrived.wait_for(lock, timeout, [&] { return !Steps.empty(); });
}

bool TMainThreadQueue::WaitAndProcess(std::chrono::milliseconds timeout) {
  if (!WaitForSteps(timeout)) return false;
  ProcessPending();
  return true;
}

TThread::TThread() = default;

TThread::~TThread() {
  if (Worker.joinable()) {
    if (Worker.get_id() == std::this_thread::get_id())
      Worker.detach();
    else
      Worker.join();
  }
}

void TThread::Start() {
  if (threadRefusals > 0)
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  // A thread that frees itself may be gone before this returns, so nothing of it is kept here.
  if (FreeOnTerminate) {
    std::thread([this] { Run(); }).detach();
    return;
  }
  Worker = std::thread([this] { Run(); });
}

void TThread::Run() {
  // Nothing may escape into the thread's entry: an exception here would end the whole program.
  try {
    Execute();
  } catch (...) {
  }
  try {
    DoTerminate();
  } catch (...) {
  }
  if (FreeOnTerminate) delete this;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}
