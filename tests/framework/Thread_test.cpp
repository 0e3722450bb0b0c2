#include "framework/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "framework/SyncObjs.h"
#include "framework/SysUtils.h"

namespace {

// Counts until told to stop; reports each round through an event.
class TCounterThread : public TThread {
 public:
  explicit TCounterThread(bool suspended, TEvent* started)
      : TThread(suspended), started_(started) {}
  ~TCounterThread() override {
    Terminate();
    if (!Suspended()) WaitFor();
  }
  std::atomic<int> Rounds{0};

 protected:
  void Execute() override {
    started_->SetEvent();
    do {
      ++Rounds;
      std::this_thread::yield();
    } while (!Terminated());
    SetReturnValue(Rounds);
  }

 private:
  TEvent* started_;
};

class TFailingThread : public TThread {
 public:
  TFailingThread() : TThread(true) {}

 protected:
  void Execute() override { throw EInOutError("disk gone"); }
};

class TSyncThread : public TThread {
 public:
  TSyncThread() : TThread(true) {}
  std::atomic<bool> RanOnMain{false};
  std::string Error;

 protected:
  void Execute() override {
    Synchronize([this] { RanOnMain = IsMainThread(); });
    try {
      Synchronize([] { throw EConvertError("bad"); });
    } catch (const EConvertError& e) {
      Error = e.Message();
    }
  }
};

}  // namespace

TEST(Thread, SuspendedThreadRunsAfterStartAndStopsOnTerminate) {
  TEvent started;
  TCounterThread t(true, &started);
  EXPECT_TRUE(t.Suspended());
  EXPECT_EQ(started.WaitFor(20), wrTimeout);  // not running yet
  t.Start();
  EXPECT_THROW(t.Start(), EThread);
  ASSERT_EQ(started.WaitFor(), wrSignaled);
  t.Terminate();
  int result = t.WaitFor();
  EXPECT_TRUE(t.Finished());
  EXPECT_GT(result, 0);
  EXPECT_EQ(result, t.ReturnValue());
}

TEST(Thread, NewStartsANonSuspendedThreadAfterConstruction) {
  TEvent started;
  auto* t = TThread::New<TCounterThread>(false, &started);
  EXPECT_EQ(started.WaitFor(), wrSignaled);
  delete t;  // terminates and waits
}

TEST(Thread, ExceptionsInExecuteAreKeptNotThrownAcrossTheThread) {
  TFailingThread t;
  int terminated = 0;
  t.OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, &t);
    EXPECT_TRUE(TThread::IsMainThread());  // delivered through Synchronize
    ++terminated;
  };
  t.Start();
  t.WaitFor();  // serves the OnTerminate call meanwhile
  EXPECT_EQ(terminated, 1);
  ASSERT_TRUE(t.FatalException());
  try {
    std::rethrow_exception(t.FatalException());
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "disk gone");
  }
}

TEST(Thread, SynchronizeRunsOnTheMainThreadAndCarriesExceptionsBack) {
  TSyncThread t;
  t.Start();
  while (!t.Finished()) TThread::CheckSynchronize();
  t.WaitFor();
  EXPECT_TRUE(t.RanOnMain);
  EXPECT_EQ(t.Error, "bad");
  EXPECT_FALSE(TThread::CheckSynchronize());  // nothing left
}

TEST(Thread, FreeOnTerminateFreesTheObject) {
  struct TSelfFreeing : TThread {
    TSelfFreeing(TEvent* done) : TThread(true), done_(done) { SetFreeOnTerminate(true); }
    ~TSelfFreeing() override { done_->SetEvent(); }
    void Execute() override {}
    TEvent* done_;
  };
  // Many rounds: a thread with nothing to do may finish, and free itself, before Start
  // has stored it (ASan reports the write into freed memory).
  for (int round = 0; round < 200; ++round) {
    TEvent done;
    (new TSelfFreeing(&done))->Start();
    ASSERT_EQ(done.WaitFor(), wrSignaled);  // ASan reports a leak if it never frees itself
  }
}

TEST(SyncEvent, ManualAndAutoResetSemantics) {
  TEvent manual(nullptr, true, false, "");
  EXPECT_EQ(manual.WaitFor(0), wrTimeout);
  manual.SetEvent();
  EXPECT_EQ(manual.WaitFor(0), wrSignaled);
  EXPECT_EQ(manual.WaitFor(0), wrSignaled);  // stays set
  manual.ResetEvent();
  EXPECT_EQ(manual.WaitFor(10), wrTimeout);

  TEvent autoReset(false, true);
  EXPECT_EQ(autoReset.WaitFor(0), wrSignaled);
  EXPECT_EQ(autoReset.WaitFor(0), wrTimeout);  // the wait cleared it

  TEvent crossThread;
  std::thread setter([&] { crossThread.SetEvent(); });
  EXPECT_EQ(crossThread.WaitFor(), wrSignaled);
  setter.join();
#ifdef _WIN32
  EXPECT_NE(manual.Handle(), nullptr);
#endif
}

TEST(CriticalSection, IsReentrantAndExcludesOtherThreads) {
  TCriticalSection cs;
  cs.Enter();
  cs.Acquire();  // the holder may enter again
  std::atomic<bool> otherGotIt{true};
  std::thread other([&] {
    otherGotIt = cs.TryEnter();
    if (otherGotIt) cs.Leave();
  });
  other.join();
  EXPECT_FALSE(otherGotIt);
  cs.Release();
  cs.Leave();
  std::thread again([&] {
    otherGotIt = cs.TryEnter();
    if (otherGotIt) cs.Leave();
  });
  again.join();
  EXPECT_TRUE(otherGotIt);
}
