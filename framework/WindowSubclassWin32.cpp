#include "framework/WindowSubclassWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "framework/FormsWin32.h"
#include "framework/SysUtils.h"

namespace {
// No exception leaves a window or hook procedure: the application reports it.
void ReportHandlerException() noexcept {
  try {
    if (Application) Application->HandleException(nullptr);
  } catch (...) {
  }
}
}  // namespace

// ---- TWindowSubclass ----------------------------------------------------------------------

TWindowSubclass::TWindowSubclass(HWND wnd, THandler handler) {
  if (!Attach(wnd, std::move(handler))) throw EOSError("Window could not be subclassed");
}

TWindowSubclass::~TWindowSubclass() { Detach(); }

bool TWindowSubclass::Attach(HWND wnd, THandler handler) {
  Detach();
  if (wnd == nullptr || !handler) return false;
  auto link = std::make_shared<TLink>(TLink{wnd, std::move(handler)});
  if (!::SetWindowSubclass(wnd, &Procedure, reinterpret_cast<UINT_PTR>(this), 0)) return false;
  link_ = std::move(link);
  return true;
}

void TWindowSubclass::Detach() noexcept {
  if (!link_) return;
  const std::shared_ptr<TLink> link = std::move(link_);
  if (link->wnd == nullptr) return;  // already released with its window
  // comctl32 keeps the chain walking past a link removed while it runs, so this is safe
  // from inside the handler; the running call holds the link's state (see Procedure).
  ::RemoveWindowSubclass(std::exchange(link->wnd, nullptr), &Procedure,
                         reinterpret_cast<UINT_PTR>(this));
}

LRESULT TWindowSubclass::CallNext(UINT msg, WPARAM wp, LPARAM lp) const {
  return ::DefSubclassProc(Handle(), msg, wp, lp);
}

LRESULT CALLBACK TWindowSubclass::Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                            DWORD_PTR) {
  // While the link is in the chain its object lives, so `self` is sound here; the handler
  // may detach or free it, so afterwards only the shared state is read.
  const std::shared_ptr<TLink> link = reinterpret_cast<TWindowSubclass*>(id)->link_;
  LRESULT result = 0;
  bool handled = false;
  if (link && link->wnd == wnd) {
    try {
      handled = link->handler(wnd, msg, wp, lp, result);
    } catch (...) {
      ReportHandlerException();
    }
  }
  if (msg == WM_NCDESTROY && link && link->wnd == wnd) {
    // The window goes: the link leaves the chain before the window's last procedure runs.
    ::RemoveWindowSubclass(wnd, &Procedure, id);
    link->wnd = nullptr;
  }
  return handled ? result : ::DefSubclassProc(wnd, msg, wp, lp);
}

// ---- TWindowEventSubscription ------------------------------------------------------------

TWindowEventSubscription::TWindowEventSubscription(TWindowEventSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

TWindowEventSubscription& TWindowEventSubscription::operator=(
    TWindowEventSubscription&& other) noexcept {
  if (this != &other) {
    Reset();
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void TWindowEventSubscription::Reset() noexcept {
  if (id_ != 0) TWindowEvents::Current().Unsubscribe(std::exchange(id_, 0));
}

// ---- TWindowEvents ----------------------------------------------------------------------

TWindowEvents& TWindowEvents::Current() {
  // Hooks and windows belong to threads, so each thread has its own registry.
  thread_local TWindowEvents events;
  return events;
}

TWindowEventSubscription TWindowEvents::Subscribe(THandler handler) {
  if (!hook_.Valid()) {
    hook_.Reset(::SetWindowsHookExA(WH_CBT, &HookProcedure, nullptr, ::GetCurrentThreadId()));
    if (!hook_.Valid()) throw EOSError("Window creation hook could not be installed");
  }
  const size_t id = nextId_++;
  subscribers_.push_back({id, std::move(handler)});
  return TWindowEventSubscription(id);
}

void TWindowEvents::Unsubscribe(size_t id) noexcept {
  std::erase_if(subscribers_, [id](const TSubscriber& s) { return s.id == id; });
  if (subscribers_.empty()) hook_.Reset();
}

void TWindowEvents::NotifyHandleCreated(HWND wnd, TWinControl* control) {
  if (!subscribers_.empty()) Dispatch({TWindowEventKind::HandleCreated, wnd, control});
}

void TWindowEvents::Dispatch(const TWindowEvent& event) noexcept {
  // Subscribers may come and go while an event is handed round: each one present when the
  // event starts, and still present when its turn comes, hears it once.
  std::vector<size_t> ids;
  ids.reserve(subscribers_.size());
  for (const TSubscriber& s : subscribers_) ids.push_back(s.id);
  for (size_t id : ids) {
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(),
                           [id](const TSubscriber& s) { return s.id == id; });
    if (it == subscribers_.end()) continue;
    const THandler handler = it->handler;
    try {
      handler(event);
    } catch (...) {
      ReportHandlerException();
    }
  }
}

LRESULT CALLBACK TWindowEvents::HookProcedure(int code, WPARAM wp, LPARAM lp) {
  TWindowEvents& events = Current();
  HHOOK hook = events.hook_.Get();
  if (code == HCBT_CREATEWND)
    events.Dispatch({TWindowEventKind::Created, reinterpret_cast<HWND>(wp), nullptr});
  else if (code == HCBT_DESTROYWND)
    events.Dispatch({TWindowEventKind::Destroyed, reinterpret_cast<HWND>(wp), nullptr});
  return ::CallNextHookEx(hook, code, wp, lp);
}
