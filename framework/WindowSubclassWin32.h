// Adopting windows the framework did not create: a subclass of any window (dialog children,
// message boxes, common controls) through comctl32's subclass chain, and one registry that
// tells subscribers when windows are created, get a control's handle, and are destroyed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "framework/HandlesWin32.h"

class TWinControl;

// One link in a window's subclass chain, owned by this object. The handler sees each message
// before the procedures below it; a message it leaves unhandled goes on down the chain.
// comctl32 keeps the chain, so this link can go while others stay, in any order, even while
// one of its own messages is being handled. The link lets go by itself at WM_NCDESTROY.
// The object's address names the link, so it is neither copied nor moved.
class TWindowSubclass {
 public:
  // Returns true when it answered the message in `result`; false passes the message on.
  using THandler = std::function<bool(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;

  TWindowSubclass() = default;
  // Attaches at once; throws EOSError when the window cannot be subclassed.
  TWindowSubclass(HWND wnd, THandler handler);
  ~TWindowSubclass();
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Attaches to a window (leaving the one attached before); false when comctl32 refuses.
  bool Attach(HWND wnd, THandler handler);
  // Leaves the chain; safe when not attached and while one of this link's messages runs.
  void Detach() noexcept;

  HWND Handle() const noexcept { return link_ ? link_->wnd : nullptr; }
  bool Attached() const noexcept { return Handle() != nullptr; }

  // Passes a message to the procedures below this link (for handlers that act around them).
  LRESULT CallNext(UINT msg, WPARAM wp, LPARAM lp) const;

 private:
  static LRESULT CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR data);

  // Shared with a running call, which may outlive this object when a handler frees it.
  struct TLink {
    HWND wnd;
    THandler handler;
  };
  std::shared_ptr<TLink> link_;
};

enum class TWindowEventKind {
  Created,        // any window of this thread, before it sees its first message
  HandleCreated,  // a framework control's window, once the control owns it
  Destroyed,      // any window of this thread, as destruction begins
};

struct TWindowEvent {
  TWindowEventKind kind;
  HWND wnd;
  TWinControl* control;  // the framework control for HandleCreated, else nullptr
};

class TWindowEvents;

// A subscriber's place in the registry; leaving it unsubscribes. Belongs to its thread.
class TWindowEventSubscription {
 public:
  TWindowEventSubscription() = default;
  ~TWindowEventSubscription() { Reset(); }
  TWindowEventSubscription(TWindowEventSubscription&& other) noexcept;
  TWindowEventSubscription& operator=(TWindowEventSubscription&& other) noexcept;
  TWindowEventSubscription(const TWindowEventSubscription&) = delete;
  TWindowEventSubscription& operator=(const TWindowEventSubscription&) = delete;

  void Reset() noexcept;
  bool Active() const noexcept { return id_ != 0; }

 private:
  friend class TWindowEvents;
  explicit TWindowEventSubscription(size_t id) : id_(id) {}
  size_t id_ = 0;
};

// The registry of window events of the calling thread. It owns the one creation hook (a
// computer-based-training hook on this thread), installed with the first subscriber and
// removed with the last, so a program without subscribers runs no hook at all.
class TWindowEvents {
 public:
  using THandler = std::function<void(const TWindowEvent& event)>;

  static TWindowEvents& Current();

  // Throws EOSError when the hook cannot be installed.
  [[nodiscard]] TWindowEventSubscription Subscribe(THandler handler);
  // Framework controls report their new handles here.
  void NotifyHandleCreated(HWND wnd, TWinControl* control);

  bool HookInstalled() const noexcept { return hook_.Valid(); }
  size_t SubscriberCount() const noexcept { return subscribers_.size(); }

 private:
  friend class TWindowEventSubscription;
  struct TSubscriber {
    size_t id;
    THandler handler;
  };
  void Unsubscribe(size_t id) noexcept;
  void Dispatch(const TWindowEvent& event) noexcept;
  static LRESULT CALLBACK HookProcedure(int code, WPARAM wp, LPARAM lp);

  std::vector<TSubscriber> subscribers_;
  size_t nextId_ = 1;
  THookHandle hook_;
};
