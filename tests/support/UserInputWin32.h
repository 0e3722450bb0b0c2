// Test helper: a user's hand at the mouse and the keyboard. Input goes through the system's
// input queue (SendInput), as a person's does, to the window under the pointer or with the
// focus. A script plays the user from a thread of its own while the test's thread runs the
// program, so the program's modal loops (dialogs, menus, message boxes) do not stop it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// PumpUntil, for the callers that wait on what the input did.
#include "tests/support/MessagePumpWin32.h"

namespace ktest {

// ---- input through the system's queue -----------------------------------------------------

// Moves the pointer to a screen point and waits until the system has it there.
void MoveMouse(POINT screen);
void Click(POINT screen);
void DoubleClick(POINT screen);
// Presses and releases the left button where the pointer is.
void ClickHere();
void RightClick(POINT screen);
// Presses `key` while `held` keys (VK_SHIFT, VK_CONTROL, ...) are down.
void PressKeys(const std::vector<WORD>& held, WORD key);
void PressKey(WORD key);
// Types Windows-1252 text: a key stroke per character, a Unicode event where no key has it.
void TypeText(const std::string& text);
// The input PressKeys and TypeText send, for a test on the program's thread that sends it
// through SendInputAndHandle and so waits until the program took every key.
std::vector<INPUT> KeyStrokes(const std::vector<WORD>& held, WORD key);
std::vector<INPUT> CharacterStrokes(char c);

// The middle of a screen rectangle, and of a window's client area on the screen.
POINT CentreOf(const RECT& screen);
POINT ClientCentreOf(HWND window);

// The visible top-level windows of a thread with the given class ("#32770": dialogs and
// message boxes, "#32768": open menus).
std::vector<HWND> VisibleWindowsOfClass(DWORD threadId, const char* windowClass);

// ---- a user's script ----------------------------------------------------------------------

class TUserScript {
 public:
  // Made on the program's thread: the thread that runs the windows under test.
  TUserScript();
  ~TUserScript();
  TUserScript(const TUserScript&) = delete;
  TUserScript& operator=(const TUserScript&) = delete;

  // Plays `script` from the user's thread while this thread handles the program's messages.
  // False when a step failed or the script did not end within `deadlineMs`; Failures()
  // says what. After a failure the program's open menus, dialogs and modal windows are
  // closed, so the test ends instead of hanging.
  bool Play(const std::function<void(TUserScript&)>& script, int deadlineMs = 240000);
  std::string Failures() const;

  // ---- called from the script -------------------------------------------------------------
  // Runs `fn` on the program's thread (also inside its modal loops) and waits for it.
  void OnProgram(const std::function<void()>& fn);
  // Has `fn` run on the program's thread once it next handles its messages, without waiting:
  // for steps that enter a modal loop (a popup menu, a dialog) the script then drives.
  void Later(const std::function<void()>& fn);
  template <class T>
  T Read(const std::function<T()>& fn) {
    T value{};
    OnProgram([&] { value = fn(); });
    return value;
  }
  // Waits until `condition`, checked on the program's thread, holds; ends the script with a
  // failure naming `what` after `deadlineMs`.
  void WaitUntil(const std::string& what, const std::function<bool()>& condition,
                 int deadlineMs = 30000);
  // Waits for a visible top-level window of the program's thread of the given class that
  // `accept` takes (any when empty), and returns it.
  HWND WaitForWindow(const std::string& what, const char* windowClass,
                     const std::function<bool(HWND)>& accept = {}, int deadlineMs = 60000);
  void WaitUntilGone(const std::string& what, HWND window, int deadlineMs = 30000);
  // How often a menu loop of the program has waited for input or taken a message so far. A
  // menu that is opening takes clicks only once its loop runs: read this before the click
  // that opens it, then WaitForMenuInput with the value.
  int MenuWaits() const;
  void WaitForMenuInput(int menuWaitsBefore, int deadlineMs = 30000);
  // Waits for a message box, answers it with the Enter key as a user would and returns its
  // text.
  std::string AnswerMessageBox(int deadlineMs = 60000);
  // A check that does not end the script.
  void Expect(bool condition, const std::string& what);
  // Ends the script with a failure.
  [[noreturn]] void Fail(const std::string& why);
  DWORD ProgramThread() const { return programThread_; }

 private:
  void CloseWhatIsOpen(const std::vector<HWND>& keep);

  DWORD programThread_;
  HWND messenger_ = nullptr;    // a window of the program's thread that runs OnProgram calls
  HHOOK menuWatch_ = nullptr;   // counts the program's menus waiting for input
  HHOOK menuFilter_ = nullptr;  // and the messages their loops take
  std::atomic<bool> abandoned_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> failures_;
};

// The text of a window of any thread of this process.
std::string WindowTextOf(HWND window);

}  // namespace ktest
