// Adopting windows the framework did not create: subclass links on common controls and dialog
// children, removal from the middle of a chain, release at destruction, and the window events.
#include "framework/WindowSubclassWin32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Settle;

// A window of a system class, made and destroyed without the framework.
struct TForeignWindow {
  HWND Wnd;
  explicit TForeignWindow(const char* className, const char* text = "",
                          DWORD style = WS_POPUP | WS_VISIBLE)
      : Wnd(CreateWindowExA(0, className, text, style, 60, 60, 160, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr)) {}
  ~TForeignWindow() {
    if (IsWindow(Wnd)) DestroyWindow(Wnd);
  }
  TForeignWindow(const TForeignWindow&) = delete;
  TForeignWindow& operator=(const TForeignWindow&) = delete;
};

constexpr int kEditId = 100;

INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// A modeless dialog from an in-memory template with one edit field (kEditId).
HWND CreateDialogWithEdit() {
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  dword(WS_POPUP | WS_VISIBLE | WS_CAPTION);  // style
  dword(0);                                   // extended style
  for (WORD w : {WORD(1), WORD(10), WORD(10), WORD(120), WORD(60)}) t.push_back(w);
  t.push_back(0);                    // no menu
  t.push_back(0);                    // standard dialog class
  t.push_back(0);                    // no title
  if (t.size() % 2) t.push_back(0);  // items start on a DWORD
  dword(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
  dword(0);
  for (WORD w : {WORD(5), WORD(5), WORD(100), WORD(14), WORD(kEditId)}) t.push_back(w);
  t.push_back(0xFFFF);
  t.push_back(0x0081);  // the system's edit class
  t.push_back(0);       // no text
  t.push_back(0);       // no creation data
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                    reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr,
                                    &DialogProc, 0);
}

TEST(WindowSubclass, AdoptedCommonControlAnswersWhatTheHandlerTakesAndPassesTheRest) {
  TForeignWindow edit("EDIT", "abc");
  ASSERT_NE(edit.Wnd, nullptr);
  int setTexts = 0;
  TWindowSubclass link(edit.Wnd, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_SETTEXT) ++setTexts;
    if (msg != WM_GETTEXTLENGTH) return false;
    result = 42;
    return true;
  });
  EXPECT_TRUE(link.Attached());
  EXPECT_EQ(link.Handle(), edit.Wnd);

  SetWindowTextA(edit.Wnd, "hello");
  EXPECT_EQ(setTexts, 1);
  EXPECT_EQ(GetWindowTextLengthA(edit.Wnd), 42);
  char text[16] = {};
  GetWindowTextA(edit.Wnd, text, sizeof text);
  EXPECT_STREQ(text, "hello");  // passed on to the edit's own procedure
  EXPECT_EQ(link.CallNext(WM_GETTEXTLENGTH, 0, 0), 5);

  link.Detach();
  EXPECT_FALSE(link.Attached());
  EXPECT_EQ(GetWindowTextLengthA(edit.Wnd), 5);
  SetWindowTextA(edit.Wnd, "again");
  EXPECT_EQ(setTexts, 1);
}

TEST(WindowSubclass, AdoptedWindowPaintsWhatTheHandlerDrawsUntilTheLinkGoes) {
  TForeignWindow label("STATIC");
  ASSERT_NE(label.Wnd, nullptr);
  auto link = std::make_unique<TWindowSubclass>(
      label.Wnd, [](HWND wnd, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT r;
        GetClientRect(wnd, &r);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, red);
        DeleteObject(red);
        EndPaint(wnd, &ps);
        result = 0;
        return true;
      });
  InvalidateRect(label.Wnd, nullptr, TRUE);
  Settle(label.Wnd);
  EXPECT_EQ(ktest::ClientPixel(label.Wnd, 80, 50), RGB(255, 0, 0));

  link.reset();
  InvalidateRect(label.Wnd, nullptr, TRUE);
  Settle(label.Wnd);
  EXPECT_NE(ktest::ClientPixel(label.Wnd, 80, 50), RGB(255, 0, 0));
}

TEST(WindowSubclass, DialogChildIsAdoptedAndReleasedWhenTheDialogGoes) {
  HWND dialog = CreateDialogWithEdit();
  ASSERT_NE(dialog, nullptr);
  HWND edit = GetDlgItem(dialog, kEditId);
  ASSERT_NE(edit, nullptr);
  std::vector<UINT> seen;
  TWindowSubclass link(edit, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_SETTEXT || msg == WM_NCDESTROY) seen.push_back(msg);
    return false;
  });
  SetDlgItemTextA(dialog, kEditId, "typed");
  char text[16] = {};
  GetDlgItemTextA(dialog, kEditId, text, sizeof text);
  EXPECT_STREQ(text, "typed");

  DestroyWindow(dialog);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_SETTEXT, WM_NCDESTROY}));
  EXPECT_FALSE(link.Attached());  // let go at WM_NCDESTROY; the destructor has nothing left

  // The same object adopts another window afterwards.
  TForeignWindow other("EDIT");
  EXPECT_TRUE(link.Attach(other.Wnd, [](HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }));
  EXPECT_EQ(link.Handle(), other.Wnd);
}

// Three links on one window; each records its name for WM_APP and passes it on.
struct WindowSubclassChain : ::testing::Test {
  TForeignWindow Window{"STATIC"};
  std::string Order;
  TWindowSubclass::THandler Recorder(char name) {
    return [this, name](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg == WM_APP) Order += name;
      return false;
    };
  }
  std::string Send() {
    Order.clear();
    SendMessageA(Window.Wnd, WM_APP, 0, 0);
    return Order;
  }
};

TEST_F(WindowSubclassChain, LinkRemovedFromTheMiddleLeavesTheOthersInOrder) {
  TWindowSubclass a(Window.Wnd, Recorder('A'));
  auto b = std::make_unique<TWindowSubclass>(Window.Wnd, Recorder('B'));
  TWindowSubclass c(Window.Wnd, Recorder('C'));
  EXPECT_EQ(Send(), "CBA");  // the link attached last runs first
  b.reset();
  EXPECT_EQ(Send(), "CA");
  // A link attached afterwards goes on top of the remaining ones.
  TWindowSubclass d(Window.Wnd, Recorder('D'));
  EXPECT_EQ(Send(), "DCA");
}

TEST_F(WindowSubclassChain, LinkInTheMiddleCanLeaveWhileHandlingItsOwnMessage) {
  struct TCase {
    const char* name;
    bool destroyLink;  // the handler frees its own link instead of detaching it
  };
  for (const TCase& tc : {TCase{"detach", false}, TCase{"destroy", true}}) {
    SCOPED_TRACE(tc.name);
    TWindowSubclass a(Window.Wnd, Recorder('A'));
    std::unique_ptr<TWindowSubclass> b = std::make_unique<TWindowSubclass>();
    b->Attach(Window.Wnd, [&, this](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg != WM_APP) return false;
      Order += 'B';
      if (tc.destroyLink)
        b.reset();
      else
        b->Detach();
      return false;
    });
    TWindowSubclass c(Window.Wnd, Recorder('C'));
    EXPECT_EQ(Send(), "CBA");  // the message still reaches the link below
    EXPECT_EQ(Send(), "CA");
  }
}

TEST_F(WindowSubclassChain, HandlerExceptionStopsAtTheWindowProcedure) {
  TWindowSubclass a(Window.Wnd, Recorder('A'));
  TWindowSubclass b(Window.Wnd, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) -> bool {
    if (msg == WM_APP) throw EAbort("silent");  // the application stays quiet for EAbort
    return false;
  });
  EXPECT_EQ(Send(), "A");
}

class TEventForm : public TForm {
  K_CLASS(TEventForm, TForm)
  explicit TEventForm(TComponent* owner) : TForm(owner) {}
};

struct TRecorded {
  std::vector<TWindowEvent> Events;
  bool Has(TWindowEventKind kind, HWND wnd, TWinControl* control = nullptr) const {
    return std::any_of(Events.begin(), Events.end(), [&](const TWindowEvent& e) {
      return e.kind == kind && e.wnd == wnd && e.control == control;
    });
  }
};

TEST(WindowEvents, ForeignWindowsDialogsAndControlHandlesAreReported) {
  TWindowEvents& events = TWindowEvents::Current();
  ASSERT_FALSE(events.HookInstalled());
  TRecorded seen;
  TWindowEventSubscription sub =
      events.Subscribe([&](const TWindowEvent& e) { seen.Events.push_back(e); });
  EXPECT_TRUE(events.HookInstalled());

  HWND foreign;
  {
    TForeignWindow window("BUTTON");
    foreign = window.Wnd;
    EXPECT_TRUE(seen.Has(TWindowEventKind::Created, foreign));
    EXPECT_FALSE(seen.Has(TWindowEventKind::Destroyed, foreign));
  }
  EXPECT_TRUE(seen.Has(TWindowEventKind::Destroyed, foreign));

  HWND dialog = CreateDialogWithEdit();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(seen.Has(TWindowEventKind::Created, dialog));
  EXPECT_TRUE(seen.Has(TWindowEventKind::Created, GetDlgItem(dialog, kEditId)));
  DestroyWindow(dialog);
  EXPECT_TRUE(seen.Has(TWindowEventKind::Destroyed, dialog));

  std::unique_ptr<TEventForm> form(new TEventForm(Application));
  HWND formWnd = form->Handle();
  EXPECT_TRUE(seen.Has(TWindowEventKind::Created, formWnd));
  EXPECT_TRUE(seen.Has(TWindowEventKind::HandleCreated, formWnd, form.get()));
  form.reset();
  EXPECT_TRUE(seen.Has(TWindowEventKind::Destroyed, formWnd));

  sub.Reset();
  EXPECT_FALSE(events.HookInstalled());
  seen.Events.clear();
  TForeignWindow unseen("STATIC");
  EXPECT_TRUE(seen.Events.empty());
}

TEST(WindowEvents, HookStaysUntilTheLastSubscriberGoesEvenWhenOneLeavesDuringAnEvent) {
  TWindowEvents& events = TWindowEvents::Current();
  int firstHeard = 0, secondHeard = 0;
  TWindowEventSubscription first;
  first = events.Subscribe([&](const TWindowEvent& e) {
    if (e.kind != TWindowEventKind::Created) return;
    ++firstHeard;
    first.Reset();  // leaves from inside its own event
  });
  TWindowEventSubscription second = events.Subscribe([&](const TWindowEvent& e) {
    if (e.kind == TWindowEventKind::Created) ++secondHeard;
  });
  EXPECT_EQ(events.SubscriberCount(), 2u);

  { TForeignWindow a("STATIC"); }
  EXPECT_EQ(firstHeard, 1);
  EXPECT_EQ(secondHeard, 1);  // still hears the event the first one left during
  EXPECT_FALSE(first.Active());
  EXPECT_TRUE(events.HookInstalled());

  { TForeignWindow b("STATIC"); }
  EXPECT_EQ(firstHeard, 1);
  EXPECT_EQ(secondHeard, 2);

  TWindowEventSubscription moved = std::move(second);
  EXPECT_TRUE(events.HookInstalled());
  moved.Reset();
  EXPECT_FALSE(events.HookInstalled());
  EXPECT_EQ(events.SubscriberCount(), 0u);
}

}  // namespace
