#include "skin/controls/skShellChangeNotifierWin32.h"

#include "framework/ScopeExit.h"
#include "skin/controls/skShellFolderWin32.h"
#include "skin/controls/skShellNames.h"

// ---- the worker ---------------------------------------------------------------------------

TskShellChangeThread::TskShellChangeThread(TThreadMethod handler)
    : TThread(true),
      changeEvent_(std::move(handler)),
      wakeEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

TskShellChangeThread::~TskShellChangeThread() {
  SetChangeEvent(nullptr);
  SetEvent(stopEvent_.Get());
  if (!Suspended()) {
    Terminate();
    try {
      WaitFor();
    } catch (...) {
      // Nothing may leave a destructor; the worker has ended either way.
    }
  }
}

void TskShellChangeThread::SetDirectoryOptions(const std::string& folder, bool watchSubTree,
                                               uint32_t flags) {
  {
    TCriticalSection& lock = ShellLock();
    lock.Enter();
    TScopeExit leave([&] { lock.Leave(); });
    directory_ = folder;
    watchSubTree_ = watchSubTree;
    flags_ = flags;
    waitChanged_ = true;
  }
  // The worker re-opens its notification itself: a handle it may be waiting on is never
  // closed under it.
  SetEvent(wakeEvent_.Get());
}

void TskShellChangeThread::SetChangeEvent(TThreadMethod handler) {
  TCriticalSection& lock = ShellLock();
  lock.Enter();
  changeEvent_ = std::move(handler);
  lock.Leave();
}

std::string TskShellChangeThread::WatchedDirectory() const {
  TCriticalSection& lock = ShellLock();
  lock.Enter();
  std::string watched = watched_;
  lock.Leave();
  return watched;
}

void TskShellChangeThread::RunChangeEvent() {
  TCriticalSection& lock = ShellLock();
  lock.Enter();
  TThreadMethod handler = changeEvent_;
  lock.Leave();
  if (handler) handler();
}

// Under ShellLock.
void TskShellChangeThread::OpenNotification() {
  waitHandle_.Reset();
  watched_.clear();
  waitChanged_ = false;
  HANDLE handle = FindFirstChangeNotificationA(directory_.c_str(), watchSubTree_, flags_);
  if (handle != INVALID_HANDLE_VALUE) {
    waitHandle_.Reset(handle);
    watched_ = directory_;
  }
}

void TskShellChangeThread::Execute() {
  TCriticalSection& lock = ShellLock();
  {
    lock.Enter();
    TScopeExit leave([&] { lock.Leave(); });
    OpenNotification();
    if (!waitHandle_) return;
  }
  while (!Terminated()) {
    HANDLE handles[3];
    DWORD count = 0;
    if (waitHandle_) handles[count++] = waitHandle_.Get();
    DWORD wakeIndex = count;
    handles[count++] = wakeEvent_.Get();
    handles[count++] = stopEvent_.Get();
    DWORD result = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    if (result == WAIT_FAILED) break;
    if (result == WAIT_OBJECT_0 + wakeIndex + 1) {
      Terminate();
      break;
    }
    if (waitHandle_ && result == WAIT_OBJECT_0) {
      Synchronize([this] { RunChangeEvent(); });
      if (WaitForSingleObject(stopEvent_.Get(), 0) == WAIT_TIMEOUT)
        FindNextChangeNotification(waitHandle_.Get());
    }
    lock.Enter();
    TScopeExit leave([&] { lock.Leave(); });
    if (waitChanged_) OpenNotification();
  }
}

// ---- the notifier -------------------------------------------------------------------------

TskShellChangeNotifier::TskShellChangeNotifier(TComponent* owner) : TComponent(owner) {
  StartThread();
}

TskShellChangeNotifier::~TskShellChangeNotifier() {
  onChange_ = nullptr;
  thread_.reset();
}

void TskShellChangeNotifier::SetNotifyFilters(TskNotifyFilters value) {
  notifyFilters_ = value;
  ApplyOptions();
}

void TskShellChangeNotifier::SetWatchSubTree(bool value) {
  watchSubTree_ = value;
  ApplyOptions();
}

void TskShellChangeNotifier::SetRoot(const std::string& value) {
  if (SameRootText(root_, value)) return;
  root_ = value;
  ApplyOptions();
}

void TskShellChangeNotifier::SetOnChange(TThreadMethod value) {
  onChange_ = std::move(value);
  if (thread_)
    thread_->SetChangeEvent(onChange_);
  else
    StartThread();
}

void TskShellChangeNotifier::ApplyOptions() {
  if (thread_) thread_->SetDirectoryOptions(root_, watchSubTree_, notifyFilters_);
}

void TskShellChangeNotifier::StartThread() {
  if (!onChange_) return;
  thread_ = std::make_unique<TskShellChangeThread>(onChange_);
  thread_->SetDirectoryOptions(root_, watchSubTree_, notifyFilters_);
  thread_->Start();
}
