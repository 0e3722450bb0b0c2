#include "tests/support/UserInputWin32.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "framework/FormsWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace ktest {

namespace {

using Clock = std::chrono::steady_clock;

bool Passed(Clock::time_point start, int deadlineMs) {
  return Clock::now() - start > std::chrono::milliseconds(deadlineMs);
}

void Send(std::vector<INPUT> input) {
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT i{};
  i.type = INPUT_MOUSE;
  i.mi.dx = dx;
  i.mi.dy = dy;
  i.mi.dwFlags = flags;
  return i;
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT i{};
  i.type = INPUT_KEYBOARD;
  i.ki.wVk = vk;
  i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return i;
}

// Absolute input positions are in 1/65536 of the primary screen.
LONG Normalized(LONG value, int extent) {
  return static_cast<LONG>((static_cast<long long>(value) * 65536 + extent - 1) / extent);
}

// A press and release that carry their place. The pointer can be where the test put it and
// still be moved back for a moment: under Wine a late echo of an earlier pointer move from
// the display puts it back where it was, and a press without a place would land there.
INPUT ButtonAt(POINT screen, DWORD button) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  return MouseInput(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalized(screen.x, w),
                    Normalized(screen.y, h));
}

void ClickWith(POINT screen, DWORD down, DWORD up) {
  MoveMouse(screen);
  Send({ButtonAt(screen, down), ButtonAt(screen, up)});
}

// The one character a Windows-1252 byte stands for.
wchar_t WideOf(char c) {
  wchar_t wide = 0;
  MultiByteToWideChar(1252, 0, &c, 1, &wide, 1);
  return wide;
}

struct TWindowsOfClass {
  const char* Class;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectOfClass(HWND wnd, LPARAM lp) {
  auto* search = reinterpret_cast<TWindowsOfClass*>(lp);
  char cls[64] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (IsWindowVisible(wnd) && lstrcmpiA(cls, search->Class) == 0) search->Found.push_back(wnd);
  return TRUE;
}

BOOL CALLBACK CollectTopLevel(HWND wnd, LPARAM lp) {
  if (IsWindowVisible(wnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
  return TRUE;
}

// The message that carries an OnProgram call to the program's thread.
constexpr UINT kRunOnProgram = WM_APP + 0x2F1;

constexpr UINT kRunLater = WM_APP + 0x2F2;

LRESULT CALLBACK MessengerProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kRunLater) {
    std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(l));
    try {
      (*call)();
    } catch (...) {
    }
    return 0;
  }
  if (msg == kRunOnProgram) {
    auto* call = reinterpret_cast<std::function<void()>*>(l);
    try {
      (*call)();
    } catch (...) {
      return 0;  // no exception crosses the window procedure; the caller sees 0
    }
    return 1;
  }
  return DefWindowProcA(wnd, msg, w, l);
}

const char* MessengerClass() {
  static const char* const name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MessengerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KestravaTestUserScript";
    RegisterClassA(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

// A menu's loop tells its owner with WM_ENTERIDLE when it waits for input.
std::atomic<int> menuWaits{0};

LRESULT CALLBACK WatchMenuIdle(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
    if (sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU) ++menuWaits;
  }
  return CallNextHookEx(nullptr, code, w, l);
}

// A menu's loop also hands every message it takes to the message filter: a loop kept busy
// by timers never goes idle, but it is running.
LRESULT CALLBACK WatchMenuMessages(int code, WPARAM w, LPARAM l) {
  if (code == MSGF_MENU) ++menuWaits;
  return CallNextHookEx(nullptr, code, w, l);
}

// Thrown through the script to end it; caught in Play.
struct TScriptEnded {};

}  // namespace

// ---- input ----------------------------------------------------------------------------------

void MoveMouse(POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  Send({MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalized(screen.x, w),
                   Normalized(screen.y, h))});
  // The press that follows must land where the pointer is meant to be.
  const auto start = Clock::now();
  POINT at{};
  while (GetCursorPos(&at) && (at.x != screen.x || at.y != screen.y) && !Passed(start, 5000))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void Click(POINT screen) { ClickWith(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void DoubleClick(POINT screen) {
  MoveMouse(screen);
  // Both clicks in one batch: the system sees them within its double-click time.
  Send({ButtonAt(screen, MOUSEEVENTF_LEFTDOWN), ButtonAt(screen, MOUSEEVENTF_LEFTUP),
        ButtonAt(screen, MOUSEEVENTF_LEFTDOWN), ButtonAt(screen, MOUSEEVENTF_LEFTUP)});
}

void ClickHere() { Send({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)}); }

void RightClick(POINT screen) { ClickWith(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

std::vector<INPUT> KeyStrokes(const std::vector<WORD>& held, WORD key) {
  std::vector<INPUT> input;
  for (WORD h : held) input.push_back(KeyInput(h, false));
  input.push_back(KeyInput(key, false));
  input.push_back(KeyInput(key, true));
  for (auto it = held.rbegin(); it != held.rend(); ++it) input.push_back(KeyInput(*it, true));
  return input;
}

std::vector<INPUT> CharacterStrokes(char c) {
  const SHORT scan = static_cast<unsigned char>(c) < 0x80 ? VkKeyScanA(c) : -1;
  if (scan != -1 && !(scan & 0x600)) {
    std::vector<WORD> held;
    if (scan & 0x100) held.push_back(VK_SHIFT);
    return KeyStrokes(held, static_cast<WORD>(scan & 0xFF));
  }
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wScan = WideOf(c);
  down.ki.dwFlags = KEYEVENTF_UNICODE;
  INPUT up = down;
  up.ki.dwFlags |= KEYEVENTF_KEYUP;
  return {down, up};
}

void PressKeys(const std::vector<WORD>& held, WORD key) { Send(KeyStrokes(held, key)); }

void PressKey(WORD key) { PressKeys({}, key); }

void TypeText(const std::string& text) {
  for (char c : text) Send(CharacterStrokes(c));
}

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT ClientCentreOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  POINT p = CentreOf(r);
  ClientToScreen(window, &p);
  return p;
}

std::vector<HWND> VisibleWindowsOfClass(DWORD threadId, const char* windowClass) {
  TWindowsOfClass search{windowClass, {}};
  EnumThreadWindows(threadId, CollectOfClass, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string WindowTextOf(HWND window) {
  char text[2048] = {};
  // WM_GETTEXT crosses threads: the window's thread answers it in its message loop.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

// ---- the script -----------------------------------------------------------------------------

TUserScript::TUserScript() : programThread_(GetCurrentThreadId()) {
  messenger_ = CreateWindowExA(0, MessengerClass(), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  menuWatch_ = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenuIdle, nullptr, programThread_);
  menuFilter_ = SetWindowsHookExA(WH_MSGFILTER, WatchMenuMessages, nullptr, programThread_);
}

TUserScript::~TUserScript() {
  if (menuFilter_) UnhookWindowsHookEx(menuFilter_);
  if (menuWatch_) UnhookWindowsHookEx(menuWatch_);
  if (messenger_) DestroyWindow(messenger_);
}

int TUserScript::MenuWaits() const { return menuWaits.load(); }

void TUserScript::WaitForMenuInput(int menuWaitsBefore, int deadlineMs) {
  const auto start = Clock::now();
  while (menuWaits.load() <= menuWaitsBefore) {
    if (abandoned_ || Passed(start, deadlineMs)) Fail("no menu waits for input");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool TUserScript::Play(const std::function<void(TUserScript&)>& script, int deadlineMs) {
  std::atomic<bool> ended{false};
  // What was open before the script stays open after a failure.
  std::vector<HWND> before;
  EnumThreadWindows(programThread_, CollectTopLevel, reinterpret_cast<LPARAM>(&before));
  std::thread user([&] {
    try {
      script(*this);
    } catch (const TScriptEnded&) {
    } catch (const std::exception& e) {
      std::lock_guard<std::mutex> lock(mutex_);
      failures_.push_back(std::string("the script raised: ") + e.what());
    }
    bool failed;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      failed = !failures_.empty();
    }
    if (failed) {
      // What the user saw when the script failed, for the one who reads the failure.
      SaveScreenshot(GetDesktopWindow(), "user_script_failure");
      CloseWhatIsOpen(before);
    }
    ended = true;
  });
  const bool inTime = PumpUntil([&] { return ended.load(); }, deadlineMs);
  if (!inTime) {
    abandoned_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    failures_.push_back("the script did not end in time");
  }
  // The user's last waits end at once once abandoned; their calls still need this thread.
  PumpUntil([&] { return ended.load(); }, 120000);
  user.join();
  std::lock_guard<std::mutex> lock(mutex_);
  return failures_.empty();
}

std::string TUserScript::Failures() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string all;
  for (const std::string& f : failures_) all += f + "\n";
  return all;
}

void TUserScript::OnProgram(const std::function<void()>& fn) {
  std::function<void()> call = fn;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(messenger_, kRunOnProgram, 0, reinterpret_cast<LPARAM>(&call),
                           SMTO_NORMAL, 60000, &result))
    Fail("the program did not answer");
  if (result != 1) Fail("a step on the program's thread raised an exception");
}

void TUserScript::Later(const std::function<void()>& fn) {
  auto call = std::make_unique<std::function<void()>>(fn);
  if (PostMessageA(messenger_, kRunLater, 0, reinterpret_cast<LPARAM>(call.get()))) call.release();
}

void TUserScript::WaitUntil(const std::string& what, const std::function<bool()>& condition,
                            int deadlineMs) {
  const auto start = Clock::now();
  while (!Read<bool>(condition)) {
    if (abandoned_ || Passed(start, deadlineMs)) Fail("waited in vain: " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

HWND TUserScript::WaitForWindow(const std::string& what, const char* windowClass,
                                const std::function<bool(HWND)>& accept, int deadlineMs) {
  const auto start = Clock::now();
  for (;;) {
    for (HWND w : VisibleWindowsOfClass(programThread_, windowClass))
      if (!accept || accept(w)) return w;
    if (abandoned_ || Passed(start, deadlineMs)) Fail("no window: " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void TUserScript::WaitUntilGone(const std::string& what, HWND window, int deadlineMs) {
  const auto start = Clock::now();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (abandoned_ || Passed(start, deadlineMs)) Fail("still open: " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string TUserScript::AnswerMessageBox(int deadlineMs) {
  TDialogParts parts;
  HWND box = WaitForWindow(
      "a message box", "#32770",
      [&](HWND w) {
        parts = InspectDialog(w);
        // A box is visible a moment before its text is set.
        return !parts.HasEdit && !parts.Unreadable && !parts.Text.empty();
      },
      deadlineMs);
  // The key goes to the active window: the box, once it has taken the focus.
  const auto start = Clock::now();
  while (GetForegroundWindow() != box && !Passed(start, 10000))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  PressKey(VK_RETURN);
  WaitUntilGone("the message box \"" + parts.Text + "\"", box);
  return parts.Text;
}

void TUserScript::Expect(bool condition, const std::string& what) {
  if (condition) return;
  std::lock_guard<std::mutex> lock(mutex_);
  failures_.push_back(what);
}

void TUserScript::Fail(const std::string& why) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    failures_.push_back(why);
  }
  throw TScriptEnded{};
}

void TUserScript::CloseWhatIsOpen(const std::vector<HWND>& keep) {
  // Menus end, dialogs are cancelled and other windows closed until the program's thread
  // is back in Play's loop; a window that refuses is left after a while.
  const auto start = Clock::now();
  while (!Passed(start, 30000)) {
    std::vector<HWND> open;
    EnumThreadWindows(programThread_, CollectTopLevel, reinterpret_cast<LPARAM>(&open));
    bool any = false;
    for (HWND w : open) {
      if (w == messenger_ || std::find(keep.begin(), keep.end(), w) != keep.end()) continue;
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (lstrcmpA(cls, "#32768") == 0) {
        PressKey(VK_ESCAPE);
      } else if (lstrcmpA(cls, "#32770") == 0) {
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      } else if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) {
        continue;  // hints and the like close themselves
      } else {
        PostMessageA(w, WM_CLOSE, 0, 0);
      }
      any = true;
    }
    if (!any) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

}  // namespace ktest
