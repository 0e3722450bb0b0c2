#include "framework/Thread.h"

#include <chrono>
#include <deque>

#include "framework/SysUtils.h"

namespace {

const std::thread::id kMainThreadId = std::this_thread::get_id();

// One Synchronize call waiting for the main thread.
struct TSyncRequest {
  TThreadMethod method;
  std::exception_ptr error;
  bool done = false;
};

struct TSyncQueue {
  std::mutex mutex;
  std::condition_variable done;
  std::deque<TSyncRequest*> waiting;
};

TSyncQueue& SyncQueue() {
  static TSyncQueue queue;
  return queue;
}

}  // namespace

TThread::TThread(bool createSuspended) : createSuspended_(createSuspended) {}

TThread::~TThread() {
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();  // freed by itself (FreeOnTerminate)
    } else {
      Terminate();
      try {
        WaitFor();
      } catch (...) {
        // Nothing may leave a destructor.
      }
      thread_.join();
    }
  }
}

void TThread::AfterConstruction() {
  if (!createSuspended_ && !started_) Start();
}

void TThread::Start() {
  if (started_.exchange(true)) throw EThread("Thread already started");
  // The worker waits until thread_ holds it: a thread that frees itself on terminating
  // could otherwise finish and be deleted before the assignment, which would then write
  // into freed memory.
  std::lock_guard<std::mutex> lock(mutex_);
  thread_ = std::thread([this] {
    { std::lock_guard<std::mutex> startGate(mutex_); }
    Run();
  });
}

void TThread::Run() noexcept {
  try {
    Execute();
  } catch (...) {
    fatalException_ = std::current_exception();
  }
  try {
    DoTerminate();
  } catch (...) {
    if (!fatalException_) fatalException_ = std::current_exception();
  }
  bool freeSelf = freeOnTerminate_;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  finishedCv_.notify_all();
  if (freeSelf) delete this;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!started_) throw EThread("Thread not started");
  if (thread_.get_id() == std::this_thread::get_id())
    throw EThread("Thread cannot wait for itself");
  std::unique_lock<std::mutex> lock(mutex_);
  if (IsMainThread()) {
    // The worker may be waiting for us in Synchronize: keep serving it.
    while (!finished_) {
      lock.unlock();
      CheckSynchronize();
      lock.lock();
      finishedCv_.wait_for(lock, std::chrono::milliseconds(5), [this] { return finished_.load(); });
    }
  } else {
    finishedCv_.wait(lock, [this] { return finished_.load(); });
  }
  return returnValue_;
}

void TThread::Synchronize(const TThreadMethod& method) { Synchronize(this, method); }

void TThread::Synchronize(TThread*, const TThreadMethod& method) {
  if (!method) return;
  if (IsMainThread()) {
    method();
    return;
  }
  TSyncRequest request;
  request.method = method;
  TSyncQueue& q = SyncQueue();
  {
    std::lock_guard<std::mutex> lock(q.mutex);
    q.waiting.push_back(&request);
  }
  if (WakeMainThread != nullptr) WakeMainThread();
  std::unique_lock<std::mutex> lock(q.mutex);
  q.done.wait(lock, [&request] { return request.done; });
  if (request.error) std::rethrow_exception(request.error);
}

bool TThread::CheckSynchronize() {
  if (!IsMainThread())
    throw EThread("CheckSynchronize called from a thread other than the main thread");
  TSyncQueue& q = SyncQueue();
  bool ran = false;
  while (true) {
    TSyncRequest* request;
    {
      std::lock_guard<std::mutex> lock(q.mutex);
      if (q.waiting.empty()) break;
      request = q.waiting.front();
      q.waiting.pop_front();
    }
    try {
      request->method();
    } catch (...) {
      request->error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(q.mutex);
      request->done = true;
    }
    q.done.notify_all();
    ran = true;
  }
  return ran;
}

bool TThread::IsMainThread() { return std::this_thread::get_id() == kMainThreadId; }
