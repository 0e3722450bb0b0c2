// Watches one folder and runs a handler on the main thread each time the system reports a
// change there. One worker thread per notifier with a handler blocks on the system's change
// notification, a wake-up event (new options) and a stop event; it shares only its options,
// under ShellLock, and the handler, which it hands to the main thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/HandlesWin32.h"
#include "framework/Thread.h"

// Kinds of change reported; the bits are the FILE_NOTIFY_CHANGE_* flags.
enum TskNotifyFilter : uint32_t {
  nfFileNameChange = 0x001,
  nfDirNameChange = 0x002,
  nfAttributeChange = 0x004,
  nfSizeChange = 0x008,
  nfWriteChange = 0x010,
  nfSecurityChange = 0x100,
};
using TskNotifyFilters = uint32_t;

class TskShellChangeThread : public TThread {
  K_CLASS(TskShellChangeThread, TThread)
  explicit TskShellChangeThread(TThreadMethod handler);
  // Stops the worker and waits for it whenever it was started, also when it has not reached
  // its loop yet; only then are the handles closed.
  ~TskShellChangeThread() override;

  // New options; the worker picks them up at once, woken by its event.
  void SetDirectoryOptions(const std::string& folder, bool watchSubTree, uint32_t flags);
  // Runs on the main thread; nullptr stops further calls, also ones already on their way.
  void SetChangeEvent(TThreadMethod handler);
  // The folder the worker's notification watches now; empty while it watches none.
  std::string WatchedDirectory() const;

 protected:
  void Execute() override;

 private:
  // On the main thread: the handler as it is now (it may have been cleared meanwhile).
  void RunChangeEvent();
  void OpenNotification();

  TThreadMethod changeEvent_;
  TEventHandle wakeEvent_;  // auto-reset: options changed
  TEventHandle stopEvent_;  // manual-reset: stop the worker
  // Opened, re-armed and closed by the worker alone (and closed here after it ended).
  TChangeNotificationHandle waitHandle_;
  std::string directory_, watched_;
  bool watchSubTree_ = false;
  bool waitChanged_ = false;
  uint32_t flags_ = 0;
};

class TskShellChangeNotifier : public TComponent {
  K_CLASS(TskShellChangeNotifier, TComponent)
  explicit TskShellChangeNotifier(TComponent* owner);
  ~TskShellChangeNotifier() override;

  TskNotifyFilters NotifyFilters() const { return notifyFilters_; }
  void SetNotifyFilters(TskNotifyFilters value);
  bool WatchSubTree() const { return watchSubTree_; }
  void SetWatchSubTree(bool value);
  const std::string& Root() const { return root_; }
  void SetRoot(const std::string& value);
  const TThreadMethod& OnChange() const { return onChange_; }
  // Assigning the first handler starts the worker.
  void SetOnChange(TThreadMethod value);

  // The worker, or nullptr while no handler was ever given.
  TskShellChangeThread* Thread() const { return thread_.get(); }

 private:
  void ApplyOptions();
  void StartThread();

  TskNotifyFilters notifyFilters_ = nfFileNameChange | nfDirNameChange;
  bool watchSubTree_ = true;
  std::string root_ = "C:\\";
  std::unique_ptr<TskShellChangeThread> thread_;
  TThreadMethod onChange_;
};
