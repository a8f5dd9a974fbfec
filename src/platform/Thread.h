#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Object.h"

// The queue of steps that worker threads hand to the main thread. A worker posts a step and waits
// until the main thread has run it; the main thread runs the steps between its own messages. The
// backend's wake-up call tells a sleeping message loop that a step is waiting.
class TMainThreadQueue {
 public:
  TMainThreadQueue();

  // Runs the step on the main thread and returns once it has run. Called on the main thread
  // itself, it runs the step at once.
  void RunAndWait(const std::function<void()>& step);

  // Main thread: runs every waiting step; gives the number run.
  int ProcessPending();
  // Main thread: whether a step runs now beneath the caller (a message box the step shows runs the
  // caller from its own message loop); that step's worker waits until the caller has returned.
  bool StepRunning() const { return StepsRunning > 0; }

  // Main thread: waits until a step arrives or the time is up; gives whether one is waiting.
  bool WaitForSteps(std::chrono::milliseconds timeout);
  // Main thread: waits until a step arrives or the time is up, then runs what is waiting.
  bool WaitAndProcess(std::chrono::milliseconds timeout);

  bool IsMainThread() const;
  void BindToCurrentThread();
  void SetWakeUp(std::function<void()> wakeUp);

 private:
  struct TStep {
    const std::function<void()>* Step;
    bool Done = false;
  };
  std::mutex Mutex;
  std::condition_variable Arrived;
  std::condition_variable Finished;
  std::deque<TStep*> Steps;
  std::function<void()> WakeUp;
  std::thread::id MainThread;
  // Touched on the main thread only.
  int StepsRunning = 0;
};

TMainThreadQueue& MainThreadQueue();

// A worker thread. Created suspended; Start runs Execute on a thread of its own, then the end event
// on the main thread, then, with FreeOnTerminate, deletes the object.
class TThread : public TObject {
 public:
  TThread();
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Throws std::system_error when the system refuses a thread; nothing has run then, and the
  // object stays the caller's to free.
  void Start();
  // Asks the thread to stop; the body polls Terminated. Never cleared.
  void Terminate() { TerminateRequested = true; }
  bool Terminated() const { return TerminateRequested; }

  bool FreeOnTerminate = false;
  // Runs on the main thread after the body, while the worker waits.
  TNotifyEvent OnTerminate;

 protected:
  virtual void Execute() = 0;
  // The end-of-run step: runs OnTerminate on the main thread. Overrides call it in their place.
  virtual void DoTerminate();
  // Runs the step on the main thread while this thread waits.
  void Synchronize(const std::function<void()>& step) { MainThreadQueue().RunAndWait(step); }

 private:
  void Run();
  std::atomic<bool> TerminateRequested{false};
  std::thread Worker;
};

// Makes the system refuse every new thread for the guard's lifetime (tests).
class TThreadRefusal {
 public:
  TThreadRefusal();
  ~TThreadRefusal();
  TThreadRefusal(const TThreadRefusal&) = delete;
  TThreadRefusal& operator=(const TThreadRefusal&) = delete;
};
