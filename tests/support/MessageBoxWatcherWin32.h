// Test helper: answers the message boxes that the code under test opens on the test's
// thread, and records their captions and texts so tests can assert them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ktest {

struct TMessageBoxSeen {
  std::string Caption;
  std::string Text;
};

// What a dialog window holds: an edit field (a find or file dialog, not a message box), and
// its longest static text (a message box's message). Unreadable when a text could not be read
// in time from the dialog's thread, so an empty Text is not taken for an empty message.
struct TDialogParts {
  bool HasEdit = false;
  bool Unreadable = false;
  std::string Text;
};
TDialogParts InspectDialog(HWND dialog);

// Watches, from a thread of its own, for message boxes owned by the thread that made the
// watcher and presses `button` (IDOK, IDYES, ...) in each. A box that holds an edit field
// (a find or file dialog) is left alone.
class TMessageBoxWatcher {
 public:
  explicit TMessageBoxWatcher(int button = IDOK);
  ~TMessageBoxWatcher();
  TMessageBoxWatcher(const TMessageBoxWatcher&) = delete;
  TMessageBoxWatcher& operator=(const TMessageBoxWatcher&) = delete;

  // A box is answered only once this returns true (checked from the watcher's thread);
  // after `patienceMs` it is answered anyway, so a failing test ends instead of hanging.
  void SetCloseWhen(std::function<bool()> ready, int patienceMs = 10000);

  std::vector<TMessageBoxSeen> Seen() const;
  int Count() const;

 private:
  void Run();
  bool TryAnswer(HWND box, bool textMayBeEmpty);

  DWORD threadId_;
  int button_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<TMessageBoxSeen> seen_;
  std::function<bool()> ready_;
  int patienceMs_ = 10000;
  std::vector<HWND> answered_;
  std::thread thread_;
};

}  // namespace ktest
