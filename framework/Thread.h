// TThread: a worker thread with the classic life cycle (Execute, Terminate, WaitFor,
// FreeOnTerminate, OnTerminate) and Synchronize to run a method on the main thread.
//
// The main thread runs queued Synchronize calls in CheckSynchronize(). The Win32 framework
// calls it from its message loop and sets WakeMainThread so that a waiting loop wakes up;
// tests call CheckSynchronize() themselves.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

#include "framework/Events.h"
#include "framework/System.h"

using TThreadMethod = TMethod<void()>;

class TThread : public TObject {
  K_CLASS(TThread, TObject)

  // The thread starts with Start() (or Resume()). A thread made with createSuspended
  // false also starts in AfterConstruction(): `TThread::New<TMyThread>(false, ...)` makes
  // and starts one in a single call. It never starts from the constructor, where the
  // descendant's Execute would not exist yet.
  explicit TThread(bool createSuspended);
  // Asks a running thread to terminate and waits for it (unless called on the thread itself).
  // A descendant whose Execute uses its own members terminates and waits in its own
  // destructor: by the time this one runs, those members are gone.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  template <class T, class... A>
  static T* New(A&&... args) {
    T* t = new T(std::forward<A>(args)...);
    t->AfterConstruction();
    return t;
  }
  void AfterConstruction() override;

  // Raises EThread "Thread already started" when it runs or ran.
  void Start();
  void Resume() { Start(); }
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Suspended() const { return !started_; }
  bool Finished() const { return finished_; }
  // Waits until Execute and OnTerminate are done; answers ReturnValue. On the main thread
  // it keeps serving Synchronize calls meanwhile.
  int WaitFor();

  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  int ReturnValue() const { return returnValue_; }
  // The exception that ended Execute, if any.
  std::exception_ptr FatalException() const { return fatalException_; }
  // Run on the main thread (through Synchronize) after Execute ends.
  TNotifyEvent OnTerminate;

  // Runs `method` on the main thread and waits for it; on the main thread it runs at once.
  // An exception of the method is raised again in the calling thread.
  void Synchronize(const TThreadMethod& method);
  static void Synchronize(TThread* thread, const TThreadMethod& method);
  // Main thread: runs every waiting Synchronize call; true when it ran any.
  static bool CheckSynchronize();
  static bool IsMainThread();
  // Called (from the worker) when a Synchronize call is queued; nullptr by default.
  static inline void (*WakeMainThread)() = nullptr;

 protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();  // fires OnTerminate through Synchronize
  void SetReturnValue(int value) { returnValue_ = value; }

 private:
  void Run() noexcept;

  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> finished_{false};
  bool createSuspended_;
  bool freeOnTerminate_ = false;
  int returnValue_ = 0;
  std::exception_ptr fatalException_;
  std::mutex mutex_;
  std::condition_variable finishedCv_;
};
