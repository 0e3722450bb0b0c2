#include "tests/support/MessageBoxWatcherWin32.h"

#include <algorithm>
#include <chrono>

namespace ktest {

namespace {

std::string ClassOf(HWND wnd) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof(name));
  return name;
}

// False when the text could not be read now (the box's thread did not answer in time).
bool ReadText(HWND wnd, std::string& text) {
  char buffer[2048] = {};
  // WM_GETTEXT crosses threads; the box's thread is pumping its modal loop.
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 10000, &copied))
    return false;
  text = buffer;
  return true;
}

BOOL CALLBACK InspectChild(HWND child, LPARAM lp) {
  auto* parts = reinterpret_cast<ktest::TDialogParts*>(lp);
  std::string cls = ClassOf(child);
  if (_stricmp(cls.c_str(), "Edit") == 0 || _stricmp(cls.c_str(), "ComboBox") == 0 ||
      _stricmp(cls.c_str(), "ComboBoxEx32") == 0)
    parts->HasEdit = true;
  if (_stricmp(cls.c_str(), "Static") == 0) {
    std::string t;
    if (!ReadText(child, t)) parts->Unreadable = true;
    if (t.size() > parts->Text.size()) parts->Text = t;
  }
  return TRUE;
}

struct TFound {
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND wnd, LPARAM lp) {
  if (IsWindowVisible(wnd) && ClassOf(wnd) == "#32770")
    reinterpret_cast<TFound*>(lp)->boxes.push_back(wnd);
  return TRUE;
}

}  // namespace

TMessageBoxWatcher::TMessageBoxWatcher(int button)
    : threadId_(GetCurrentThreadId()), button_(button), thread_([this] { Run(); }) {}

TMessageBoxWatcher::~TMessageBoxWatcher() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void TMessageBoxWatcher::SetCloseWhen(std::function<bool()> ready, int patienceMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  ready_ = std::move(ready);
  patienceMs_ = patienceMs;
}

std::vector<TMessageBoxSeen> TMessageBoxWatcher::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

TDialogParts InspectDialog(HWND dialog) {
  TDialogParts parts;
  EnumChildWindows(dialog, InspectChild, reinterpret_cast<LPARAM>(&parts));
  return parts;
}

int TMessageBoxWatcher::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(seen_.size());
}

bool TMessageBoxWatcher::TryAnswer(HWND box, bool textMayBeEmpty) {
  const TDialogParts parts = InspectDialog(box);
  if (parts.HasEdit) return false;
  // A box can be visible a moment before its text is set: wait for the text. What could not
  // be read now is read again on the next round instead of being taken as empty.
  if (parts.Unreadable || (parts.Text.empty() && !textMayBeEmpty)) return false;
  HWND button = GetDlgItem(box, button_);
  if (!button) return false;
  std::string caption;
  if (!ReadText(box, caption)) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back({caption, parts.Text});
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

void TMessageBoxWatcher::Run() {
  using clock = std::chrono::steady_clock;
  clock::time_point firstSeen{};
  HWND waiting = nullptr;
  while (!stop_) {
    TFound found;
    EnumThreadWindows(threadId_, CollectBox, reinterpret_cast<LPARAM>(&found));
    for (HWND box : found.boxes) {
      if (std::find(answered_.begin(), answered_.end(), box) != answered_.end() && IsWindow(box))
        continue;
      std::function<bool()> ready;
      int patience;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ready = ready_;
        patience = patienceMs_;
      }
      if (box != waiting) {
        waiting = box;
        firstSeen = clock::now();
      }
      bool overdue = clock::now() - firstSeen > std::chrono::milliseconds(patience);
      if (ready && !ready() && !overdue) continue;
      // Only a box whose text stays empty for the whole patience is taken as one without
      // text: a busy machine may set a box's text late, never wrongly.
      if (TryAnswer(box, overdue)) answered_.push_back(box);
    }
    answered_.erase(
        std::remove_if(answered_.begin(), answered_.end(), [](HWND w) { return !IsWindow(w); }),
        answered_.end());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace ktest
