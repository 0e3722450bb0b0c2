// Controls and forms on real windows: the WindowProc chain, class names, notifications,
// painting, layout, exceptions in handlers and worker calls inside modal loops.
#include "framework/ControlsWin32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Pump;
using ktest::Settle;

class TTestForm : public TForm {
  K_CLASS(TTestForm, TForm)
  explicit TTestForm(TComponent* owner) : TForm(owner) {}
};

// A form that is freed at the end of a test, even when an assertion fails.
struct TFormGuard {
  TTestForm* Form;
  TFormGuard() : Form(new TTestForm(Application)) {
    Form->SetBounds(40, 40, 300, 200);
    Form->SetColor(clWhite);
  }
  ~TFormGuard() { delete Form; }
  void Show() {
    Form->Show();
    Pump();
  }
};

class TSolidControl : public TCustomControl {
  K_CLASS(TSolidControl, TCustomControl)
  explicit TSolidControl(TComponent* owner) : TCustomControl(owner) {}
  TColor Fill = clRed;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

class TSolidGraphic : public TGraphicControl {
  K_CLASS(TSolidGraphic, TGraphicControl)
  explicit TSolidGraphic(TComponent* owner) : TGraphicControl(owner) {}
  TColor Fill = clBlue;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

// Records the messages a hook sees, by hook name.
struct THookLog {
  std::vector<std::string> Entries;
};

struct TRecordingHook {
  std::string Name;
  THookLog* Log;
  TControl* Control;
  TWndMethod Saved;
  void Install() {
    Saved = Control->WindowProc();
    Control->SetWindowProc(TWndMethod([this](TMessage& m) {
      if (m.Msg == WM_USER + 1) Log->Entries.push_back(Name);
      Saved(m);
    }));
  }
  void Remove() { Control->SetWindowProc(Saved); }
};

class TCountingControl : public TCustomControl {
  K_CLASS(TCountingControl, TCustomControl)
  explicit TCountingControl(TComponent* owner) : TCustomControl(owner) {}
  THookLog* Log = nullptr;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_USER + 1 && Log) Log->Entries.push_back("control");
    TCustomControl::WndProc(m);
  }
};

}  // namespace

// ---- WindowProc chain -------------------------------------------------------------------------

struct THookCase {
  const char* Name;
  std::vector<std::string> Install;   // in order
  std::vector<std::string> Remove;    // in order
  std::vector<std::string> Expected;  // who sees a message afterwards, outermost first
};

TEST(WindowProcChain, HooksRemovedInAnyOrderKeepTheOthersWorking) {
  const THookCase cases[] = {
      {"first removed under a later hook", {"A", "B"}, {"A"}, {"B", "control"}},
      {"last removed", {"A", "B"}, {"B"}, {"A", "control"}},
      {"both removed, first first", {"A", "B"}, {"A", "B"}, {"control"}},
      {"both removed, last first", {"A", "B"}, {"B", "A"}, {"control"}},
      {"middle of three removed", {"A", "B", "C"}, {"B"}, {"C", "A", "control"}},
      {"bottom and top of three removed", {"A", "B", "C"}, {"A", "C"}, {"B", "control"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // The log and the hooks outlive the form: hooks still installed see the messages the
    // control gets while it is destroyed.
    THookLog log;
    std::vector<std::unique_ptr<TRecordingHook>> hooks;
    TFormGuard g;
    auto* control = new TCountingControl(g.Form);
    control->SetParent(g.Form);
    control->Log = &log;
    for (const auto& name : c.Install) {
      hooks.push_back(std::make_unique<TRecordingHook>(TRecordingHook{name, &log, control, {}}));
      hooks.back()->Install();
    }
    for (const auto& name : c.Remove)
      for (auto& h : hooks)
        if (h->Name == name) h->Remove();
    control->Perform(WM_USER + 1);
    // Messages through the real window take the same path.
    SendMessageA(control->Handle(), WM_USER + 1, 0, 0);
    std::vector<std::string> twice = c.Expected;
    twice.insert(twice.end(), c.Expected.begin(), c.Expected.end());
    EXPECT_EQ(log.Entries, twice);
  }
}

TEST(WindowProcChain, AnotherControlsMethodForwardsWithoutTouchingThatControl) {
  TFormGuard g;
  auto* a = new TCountingControl(g.Form);
  auto* b = new TCountingControl(g.Form);
  THookLog logA, logB;
  a->Log = &logA;
  b->Log = &logB;
  TWndMethod savedB = b->WindowProc();
  b->SetWindowProc(a->WindowProc());  // b's messages now go to a
  b->Perform(WM_USER + 1);
  b->SetWindowProc(savedB);
  b->Perform(WM_USER + 1);
  a->Perform(WM_USER + 1);
  EXPECT_EQ(logA.Entries, (std::vector<std::string>{"control", "control"}));
  EXPECT_EQ(logB.Entries, (std::vector<std::string>{"control"}));
}

TEST(WindowProcChain, ExceptionInAHookReachesTheApplicationNotTheCaller) {
  TFormGuard g;
  g.Show();
  ktest::TMessageBoxWatcher watcher;
  TWndMethod saved = g.Form->WindowProc();
  g.Form->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_USER + 7) throw Exception("Hook failed");
    saved(m);
  }));
  LRESULT r = SendMessageA(g.Form->Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(r, 0);
  g.Form->SetWindowProc(saved);
  ASSERT_EQ(watcher.Count(), 1);
  EXPECT_EQ(watcher.Seen()[0].Text, "Hook failed");
}

// ---- windows and class names ----------------------------------------------------------------

TEST(WinControl, WindowClassIsTheFrameworkClassName) {
  TFormGuard g;
  auto* edit = new TEdit(g.Form);
  edit->SetParent(g.Form);
  g.Show();
  char name[64] = {};
  GetClassNameA(g.Form->Handle(), name, sizeof(name));
  EXPECT_STREQ(name, "TTestForm");
  GetClassNameA(edit->Handle(), name, sizeof(name));
  EXPECT_STREQ(name, "TEdit");
  // The superclassed edit keeps its behaviour.
  edit->SetText("abcdef");
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelText(), "cde");
}

namespace {
BOOL CALLBACK CollectChildWindow(HWND w, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}
}  // namespace

// The child's window asked for first makes the form's, which makes its children's: the child
// keeps that one window, with no second one left behind pointing at it.
TEST(WinControl, ChildHandleAskedBeforeItsFormsIsMadeOnce) {
  TFormGuard g;
  auto* control = new TSolidControl(g.Form);
  control->SetParent(g.Form);
  ASSERT_FALSE(g.Form->HandleAllocated());
  HWND child = control->Handle();
  ASSERT_TRUE(child);
  std::vector<HWND> windows;
  EnumChildWindows(g.Form->Handle(), CollectChildWindow, reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, std::vector<HWND>{child});
  EXPECT_EQ(TWinControl::FindControl(child), control);
}

TEST(WinControl, HandleIsMadeOnDemandAndRecreatedWithItsState) {
  TFormGuard g;
  auto* list = new TListBox(g.Form);
  list->SetParent(g.Form);
  list->Items()->Add("one");
  list->Items()->Add("two");
  EXPECT_FALSE(list->HandleAllocated());
  list->SetItemIndex(1);
  HWND first = list->Handle();
  ASSERT_TRUE(first);
  EXPECT_EQ(SendMessageA(first, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetMultiSelect(true);  // needs a new window
  EXPECT_NE(list->Handle(), first);
  ASSERT_TRUE(list->Handle());
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_EXTENDEDSEL, LBS_EXTENDEDSEL);
}

// ---- notifications ------------------------------------------------------------------------

TEST(ControlNotifications, PropertyChangesSendTheirMessages) {
  struct TCase {
    const char* Name;
    UINT Message;
    std::function<void(TWinControl*)> Change;
  };
  const TCase cases[] = {
      {"Visible", CM_VISIBLECHANGED, [](TWinControl* c) { c->SetVisible(false); }},
      {"Enabled", CM_ENABLEDCHANGED, [](TWinControl* c) { c->SetEnabled(false); }},
      {"Color", CM_COLORCHANGED, [](TWinControl* c) { c->SetColor(clLime); }},
      {"Font", CM_FONTCHANGED, [](TWinControl* c) { c->Font()->SetSize(14); }},
      {"Text", CM_TEXTCHANGED, [](TWinControl* c) { c->SetText("new"); }},
  };
  EXPECT_EQ(CM_VISIBLECHANGED, 0xB00Bu);
  EXPECT_EQ(CM_SHOWINGCHANGED, 0xB019u);
  EXPECT_EQ(CM_MOUSEENTER, 0xB013u);
  EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
  EXPECT_EQ(CM_RECREATEWND, 0xB033u);
  EXPECT_EQ(CN_COMMAND, 0xBD11u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormGuard g;
    auto* panel = new TSolidControl(g.Form);
    panel->SetParent(g.Form);
    g.Show();
    std::vector<UINT> seen;
    TWndMethod saved = panel->WindowProc();
    panel->SetWindowProc(TWndMethod([&](TMessage& m) {
      if (m.Msg >= CM_BASE && m.Msg < CM_BASE + 0x100) seen.push_back(m.Msg);
      saved(m);
    }));
    c.Change(panel);
    EXPECT_NE(std::find(seen.begin(), seen.end(), c.Message), seen.end());
    panel->SetWindowProc(saved);
  }
}

TEST(ControlNotifications, HidingAWindowedControlSendsVisibleThenShowingChanged) {
  TFormGuard g;
  auto* panel = new TSolidControl(g.Form);
  panel->SetParent(g.Form);
  g.Show();
  ASSERT_TRUE(panel->Showing());
  std::vector<UINT> seen;
  TWndMethod saved = panel->WindowProc();
  panel->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == CM_VISIBLECHANGED || m.Msg == CM_SHOWINGCHANGED) seen.push_back(m.Msg);
    saved(m);
  }));
  panel->SetVisible(false);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  EXPECT_FALSE(panel->Showing());
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  panel->SetWindowProc(saved);
}

TEST(ControlNotifications, ParentFontAndColorFollowTheParentUntilSetOwn) {
  TFormGuard g;
  auto* label = new TLabel(g.Form);
  label->SetParent(g.Form);
  g.Form->Font()->SetName("Courier New");
  g.Form->SetColor(clYellow);
  EXPECT_EQ(label->Font()->Name(), "Courier New");
  EXPECT_EQ(label->Color(), clYellow);
  label->Font()->SetName("Arial");
  EXPECT_FALSE(label->ParentFont());
  g.Form->Font()->SetName("Times New Roman");
  EXPECT_EQ(label->Font()->Name(), "Arial");
}

// ---- painting -------------------------------------------------------------------------------

TEST(Painting, CustomControlPaintsItsCanvasOnTheScreen) {
  TFormGuard g;
  auto* c = new TSolidControl(g.Form);
  c->SetParent(g.Form);
  c->SetBounds(10, 10, 60, 40);
  g.Show();
  Settle(g.Form->Handle());
  EXPECT_EQ(ktest::ClientPixel(c->Handle(), 30, 20), RGB(255, 0, 0));
  c->Fill = clLime;
  c->Repaint();
  Settle(g.Form->Handle());
  EXPECT_EQ(ktest::ClientPixel(c->Handle(), 30, 20), RGB(0, 255, 0));
}

TEST(Painting, GraphicControlIsPaintedByItsParentAtItsPlace) {
  TFormGuard g;
  auto* gc = new TSolidGraphic(g.Form);
  gc->SetParent(g.Form);
  gc->SetBounds(100, 50, 40, 30);
  g.Show();
  HWND wnd = g.Form->Handle();
  Settle(wnd);
  EXPECT_EQ(ktest::ClientPixel(wnd, 120, 65), RGB(0, 0, 255));
  EXPECT_EQ(ktest::ClientPixel(wnd, 95, 65), RGB(255, 255, 255));  // form colour beside it
  gc->SetVisible(false);
  Settle(wnd);
  EXPECT_EQ(ktest::ClientPixel(wnd, 120, 65), RGB(255, 255, 255));
}

TEST(Painting, PaintToDrawsTheControlAndItsChildrenIntoAnyDC) {
  TFormGuard g;
  auto* panel = new TSolidControl(g.Form);
  panel->SetParent(g.Form);
  panel->SetBounds(0, 0, 100, 80);
  panel->Fill = clLime;
  auto* inner = new TSolidControl(g.Form);
  inner->SetParent(panel);
  inner->SetBounds(20, 20, 30, 30);
  auto* dot = new TSolidGraphic(g.Form);
  dot->SetParent(panel);
  dot->SetBounds(60, 10, 10, 10);
  g.Show();
  TWindowDC screen(nullptr);
  TDCHandle memory(CreateCompatibleDC(screen.Get()));
  TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 120, 100));
  TSelectObject select(memory.Get(), bitmap.Get());
  PatBlt(memory.Get(), 0, 0, 120, 100, WHITENESS);
  panel->PaintTo(memory.Get(), 10, 5);
  EXPECT_EQ(GetPixel(memory.Get(), 15, 10), RGB(0, 255, 0));    // the panel
  EXPECT_EQ(GetPixel(memory.Get(), 40, 35), RGB(255, 0, 0));    // the windowed child
  EXPECT_EQ(GetPixel(memory.Get(), 75, 20), RGB(0, 0, 255));    // the graphic child
  EXPECT_EQ(GetPixel(memory.Get(), 5, 2), RGB(255, 255, 255));  // outside: untouched
  EXPECT_FALSE(panel->ControlState().Contains(csPaintCopy));
}

// ---- layout -------------------------------------------------------------------------------

TEST(Layout, AlignedControlsShareTheClientArea) {
  TFormGuard g;
  g.Form->SetClientSize(200, 100);
  auto make = [&](TAlign a, int size) {
    auto* c = new TSolidControl(g.Form);
    c->SetBounds(0, 0, size, size);
    c->SetAlign(a);
    c->SetParent(g.Form);
    return c;
  };
  TControl* top = make(alTop, 10);
  TControl* bottom = make(alBottom, 20);
  TControl* left = make(alLeft, 30);
  TControl* client = make(alClient, 5);
  g.Show();
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 10));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 80, 200, 100));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 10, 30, 80));
  EXPECT_EQ(client->BoundsRect(), Rect(30, 10, 200, 80));
  g.Form->SetClientSize(300, 150);
  Pump();
  EXPECT_EQ(client->BoundsRect(), Rect(30, 10, 300, 130));
}

TEST(Layout, RightAndBottomAnchorsKeepTheirDistance) {
  TFormGuard g;
  g.Form->SetClientSize(200, 100);
  auto* moving = new TSolidControl(g.Form);
  moving->SetParent(g.Form);
  moving->SetBounds(150, 70, 40, 20);
  moving->SetAnchors({akRight, akBottom});
  auto* stretching = new TSolidControl(g.Form);
  stretching->SetParent(g.Form);
  stretching->SetBounds(10, 10, 100, 20);
  stretching->SetAnchors({akLeft, akTop, akRight});
  g.Show();
  g.Form->SetClientSize(260, 130);
  Pump();
  EXPECT_EQ(moving->BoundsRect(), Bounds(210, 100, 40, 20));
  EXPECT_EQ(stretching->BoundsRect(), Bounds(10, 10, 160, 20));
}

// ---- exceptions and worker calls ------------------------------------------------------------

TEST(ApplicationLoop, ExceptionInAClickHandlerIsShownAndTheLoopGoesOn) {
  TFormGuard g;
  auto* button = new TButton(g.Form);
  button->SetParent(g.Form);
  int clicks = 0;
  button->SetOnClick(TNotifyEvent([&](TObject*) {
    ++clicks;
    throw EConvertError("'abc' is not a valid integer value");
  }));
  g.Show();
  ktest::TMessageBoxWatcher watcher;
  PostMessageA(button->Handle(), BM_CLICK, 0, 0);
  Pump();
  PostMessageA(button->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(clicks, 2);
  auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Text, "'abc' is not a valid integer value");
  EXPECT_EQ(seen[0].Caption, Application->Title());
}

TEST(ApplicationLoop, SilentAbortShowsNothing) {
  TFormGuard g;
  auto* button = new TButton(g.Form);
  button->SetParent(g.Form);
  button->SetOnClick(TNotifyEvent([](TObject*) { throw EAbort(""); }));
  g.Show();
  ktest::TMessageBoxWatcher watcher;
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(watcher.Count(), 0);
}

namespace {
BOOL CALLBACK NoteMessageBox(HWND w, LPARAM lp) {
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof(cls));
  if (IsWindowVisible(w) && std::string(cls) == "#32770") *reinterpret_cast<bool*>(lp) = true;
  return TRUE;
}

class TTickThread : public TThread {
 public:
  explicit TTickThread(std::atomic<bool>* ran) : TThread(false), ran_(ran) {}

 protected:
  void Execute() override {
    Synchronize(TThreadMethod([this] {
      // Runs on the main thread; the message box is still open then.
      bool boxOpen = false;
      EnumThreadWindows(GetCurrentThreadId(), NoteMessageBox, reinterpret_cast<LPARAM>(&boxOpen));
      if (boxOpen && TThread::IsMainThread()) *ran_ = true;
    }));
  }

 private:
  std::atomic<bool>* ran_;
};

std::unique_ptr<TThread> tickWorker;
std::atomic<bool>* tickFlag = nullptr;

// Starts the worker from inside the message box's own loop.
void CALLBACK StartTickWorker(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  tickWorker.reset(TThread::New<TTickThread>(tickFlag));
}
}  // namespace

TEST(ApplicationLoop, WorkerSynchronizeRunsWhileAModalMessageBoxIsOpen) {
  std::atomic<bool> ran{false};
  ktest::TMessageBoxWatcher watcher;
  watcher.SetCloseWhen([&] { return ran.load(); });
  tickFlag = &ran;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, StartTickWorker);
  Application->MessageBox("Waiting for the worker", "Test", MB_OK);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(tickWorker);
  tickWorker->WaitFor();
  tickWorker.reset();
  EXPECT_TRUE(ran.load());
  EXPECT_EQ(watcher.Count(), 1);
}

// ---- forms built in code ----------------------------------------------------------------------

namespace {
class TLoadProbe : public TSolidControl {
  K_CLASS(TLoadProbe, TSolidControl)
  explicit TLoadProbe(TComponent* owner) : TSolidControl(owner) {}
  int LoadedCalls = 0;
  std::string CaptionAtLoaded;
  int WidthAtLoaded = 0;
  bool LoadingDuringSet = false;
  void SetProbeCaption(const std::string& s) {
    LoadingDuringSet = ComponentState().Contains(csLoading);
    SetCaption(s);
  }
  void Loaded() override {
    TSolidControl::Loaded();
    ++LoadedCalls;
    CaptionAtLoaded = Caption();
    WidthAtLoaded = Width();
  }
};

class TBuiltForm : public TForm {
  K_CLASS(TBuiltForm, TForm)
  TLoadProbe* Probe1;
  TLoadProbe* Probe2;
  int FormLoaded = 0;
  explicit TBuiltForm(TComponent* owner) : TForm(owner) {
    Probe1 = new TLoadProbe(this);
    Probe2 = new TLoadProbe(this);
    BeginLoading();
    SetCaption("Built");
    Probe1->SetParent(this);
    Probe1->SetProbeCaption("one");
    Probe1->SetBounds(0, 0, 50, 10);
    Probe2->SetParent(Probe1);
    Probe2->SetProbeCaption("two");
    Probe2->SetWidth(77);
    EndLoading();
  }
  void Loaded() override {
    TForm::Loaded();
    ++FormLoaded;
  }
};
}  // namespace

TEST(FormsBuiltInCode, LoadedRunsOncePerComponentAfterAllPropertiesAreSet) {
  std::unique_ptr<TBuiltForm> f(new TBuiltForm(Application));
  EXPECT_EQ(f->FormLoaded, 1);
  for (TLoadProbe* p : {f->Probe1, f->Probe2}) {
    EXPECT_EQ(p->LoadedCalls, 1);
    EXPECT_TRUE(p->LoadingDuringSet);
    EXPECT_FALSE(p->ComponentState().Contains(csLoading));
  }
  EXPECT_EQ(f->Probe1->CaptionAtLoaded, "one");
  EXPECT_EQ(f->Probe2->CaptionAtLoaded, "two");
  EXPECT_EQ(f->Probe2->WidthAtLoaded, 77);
}

// ---- modal forms ------------------------------------------------------------------------------

TEST(Forms, ShowModalReturnsTheResultOfTheButtonPressed) {
  TFormGuard g;
  auto* ok = new TButton(g.Form);
  ok->SetParent(g.Form);
  ok->SetModalResult(mrOk);
  int begins = 0, ends = 0;
  Application->SetOnModalBegin(TNotifyEvent([&](TObject*) { ++begins; }));
  Application->SetOnModalEnd(TNotifyEvent([&](TObject*) { ++ends; }));
  g.Form->SetOnShow(TNotifyEvent([&](TObject*) { PostMessageA(ok->Handle(), BM_CLICK, 0, 0); }));
  EXPECT_EQ(g.Form->ShowModal(), mrOk);
  EXPECT_FALSE(g.Form->Visible());
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  Application->SetOnModalBegin(nullptr);
  Application->SetOnModalEnd(nullptr);
  EXPECT_THROW(
      {
        g.Form->Show();
        g.Form->ShowModal();
      },
      EInvalidOperation);
}

TEST(Forms, CloseActionsHideOrFreeASecondaryForm) {
  TFormGuard g;
  g.Show();
  g.Form->Close();
  EXPECT_FALSE(g.Form->Visible());
  EXPECT_FALSE(IsWindowVisible(g.Form->Handle()));

  auto* freed = new TTestForm(Application);
  bool destroyed = false;
  freed->SetOnClose(
      TMethod<void(TObject*, TCloseAction&)>([](TObject*, TCloseAction& a) { a = caFree; }));
  freed->SetOnDestroy(TNotifyEvent([&](TObject*) { destroyed = true; }));
  freed->Show();
  Pump();
  int before = Screen->FormCount();
  freed->Close();
  Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), before - 1);
}

TEST(Forms, BorderStylesGiveTheirWindowStyles) {
  struct TCase {
    TFormBorderStyle Style;
    DWORD MustHave;
    DWORD MustNotHave;
  };
  const TCase cases[] = {
      {bsNone, WS_POPUP, WS_CAPTION},
      {bsSingle, WS_CAPTION, WS_THICKFRAME},
      {bsSizeable, WS_CAPTION | WS_THICKFRAME, WS_POPUP},
      {bsDialog, WS_CAPTION | WS_POPUP, WS_MINIMIZEBOX | WS_THICKFRAME},
      {bsToolWindow, WS_CAPTION, WS_THICKFRAME | WS_MINIMIZEBOX},
      {bsSizeToolWin, WS_CAPTION | WS_THICKFRAME, WS_MINIMIZEBOX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    TFormGuard g;
    g.Form->SetBorderStyle(c.Style);
    g.Form->SetBorderIcons({biSystemMenu, biMinimize});
    DWORD style = static_cast<DWORD>(GetWindowLongA(g.Form->Handle(), GWL_STYLE));
    EXPECT_EQ(style & c.MustHave, c.MustHave);
    EXPECT_EQ(style & c.MustNotHave, 0u);
  }
}

TEST(Forms, ScreenCenterPlacesTheFormInTheMiddleAtFirstShow) {
  TFormGuard g;
  g.Form->SetPosition(poScreenCenter);
  g.Form->SetBounds(0, 0, 200, 100);
  g.Show();
  EXPECT_EQ(g.Form->Left(), (Screen->Width() - 200) / 2);
  EXPECT_EQ(g.Form->Top(), (Screen->Height() - 100) / 2);
}

// ---- application object and screen ----------------------------------------------------------

TEST(ApplicationObject, HooksOnTheApplicationWindowSeeItsMessagesFirst) {
  std::vector<UINT> seen;
  TWindowHook hook([&](TMessage& m) {
    if (m.Msg == 48307 || m.Msg == 48308) {
      seen.push_back(m.Msg);
      m.Result = 1;
      return m.Msg == 48307;  // handled: the window's own procedure does not see it
    }
    return false;
  });
  Application->HookMainWindow(hook);
  PostMessageA(Application->Handle(), 48307, 0, 0);
  EXPECT_EQ(SendMessageA(Application->Handle(), 48308, 0, 0), 0);  // not handled: default answer
  Pump();
  Application->UnhookMainWindow(hook);
  PostMessageA(Application->Handle(), 48307, 0, 0);
  Pump();
  EXPECT_EQ(seen, (std::vector<UINT>{48308, 48307}));
}

namespace {
class TCreatedForm;
TCreatedForm* CreatedForm = nullptr;

// OnCreate is bound in the constructor, as a form's stored events would be.
class TCreatedForm : public TForm {
  K_CLASS(TCreatedForm, TForm)
  explicit TCreatedForm(TComponent* owner) : TForm(owner) {
    SetOnCreate(TNotifyEvent([this](TObject*) { ReferenceSetInOnCreate = CreatedForm == this; }));
  }
  bool ReferenceSetInOnCreate = false;
};
}  // namespace

TEST(ApplicationObject, CreateFormSetsTheReferenceBeforeOnCreateAndMakesTheMainForm) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->CreateForm(CreatedForm);
  ASSERT_TRUE(CreatedForm);
  EXPECT_TRUE(CreatedForm->ReferenceSetInOnCreate);
  EXPECT_EQ(Application->MainForm(), CreatedForm);
  EXPECT_EQ(CreatedForm->Owner(), Application);
  delete CreatedForm;
  CreatedForm = nullptr;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(ApplicationObject, MainFormMinimizeCommandsPassTheApplicationHooksFirst) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->CreateForm(CreatedForm);
  std::unique_ptr<TCreatedForm> owner(CreatedForm);
  CreatedForm->Show();
  Pump();
  bool swallow = true;
  std::vector<WPARAM> commands;
  TWindowHook hook([&](TMessage& m) {
    if (m.Msg != WM_SYSCOMMAND) return false;
    commands.push_back(m.WParam & 0xFFF0);
    return swallow;
  });
  Application->HookMainWindow(hook);
  SendMessageA(CreatedForm->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(Application->Minimized());  // the hook took the command
  swallow = false;
  SendMessageA(CreatedForm->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(Application->Minimized());
  Application->Restore();
  EXPECT_FALSE(Application->Minimized());
  Application->UnhookMainWindow(hook);
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MINIMIZE, SC_MINIMIZE}));
  owner.reset();
  CreatedForm = nullptr;
}

TEST(ApplicationObject, ScreenCursorOverridesTheControlsCursors) {
  TFormGuard g;
  auto* edit = new TEdit(g.Form);
  edit->SetParent(g.Form);
  edit->SetBounds(0, 0, 200, 100);
  g.Show();
  Screen->SetCursor(crSQLWait);
  SendMessageA(edit->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  SendMessageA(edit->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
}

TEST(Focus, FormWithKeyPreviewSeesAndCanSwallowKeysFirst) {
  TFormGuard g;
  auto* edit = new TEdit(g.Form);
  edit->SetParent(g.Form);
  std::vector<std::string> log;
  g.Form->SetOnKeyDown(TKeyEvent([&](TObject*, WORD& key, TShiftState) {
    log.push_back("form " + std::to_string(key));
    if (key == VK_F5) key = 0;
  }));
  edit->SetOnKeyDown(TKeyEvent(
      [&](TObject*, WORD& key, TShiftState) { log.push_back("edit " + std::to_string(key)); }));
  g.Show();
  SendMessageA(edit->Handle(), WM_KEYDOWN, 'A', 0);
  g.Form->SetKeyPreview(true);
  SendMessageA(edit->Handle(), WM_KEYDOWN, 'B', 0);
  SendMessageA(edit->Handle(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"edit 65", "form 66", "edit 66", "form 116"}));
}

TEST(Focus, MovingFocusTellsBothControlsAndTheWholeForm) {
  TFormGuard g;
  auto* first = new TEdit(g.Form);
  first->SetParent(g.Form);
  auto* second = new TEdit(g.Form);
  second->SetParent(g.Form);
  second->SetTop(40);
  auto* watcher = new TSolidGraphic(g.Form);
  watcher->SetParent(g.Form);
  std::vector<std::string> log;
  first->SetOnExit(TNotifyEvent([&](TObject*) { log.push_back("first exit"); }));
  second->SetOnEnter(TNotifyEvent([&](TObject*) { log.push_back("second enter"); }));
  TControl* focusedSeen = nullptr;
  TWndMethod saved = watcher->WindowProc();
  watcher->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == CM_FOCUSCHANGED) focusedSeen = reinterpret_cast<TControl*>(m.LParam);
    saved(m);
  }));
  g.Show();
  SetForegroundWindow(g.Form->Handle());
  first->SetFocus();
  Pump();
  log.clear();
  second->SetFocus();
  Pump();
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(g.Form->ActiveControl(), second);
  EXPECT_EQ(log, (std::vector<std::string>{"first exit", "second enter"}));
  EXPECT_EQ(focusedSeen, second);
  watcher->SetWindowProc(saved);
}

// ---- a whole program ----------------------------------------------------------------------

namespace {
struct TFoundWindow {
  DWORD Process = 0;
  HWND Window = nullptr;
};
BOOL CALLBACK FindProcessForm(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<TFoundWindow*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof(cls));
  if (pid == f->Process && IsWindowVisible(w) && std::string(cls) == "TDemoForm") f->Window = w;
  return TRUE;
}
}  // namespace

TEST(WholeProgram, ClosingTheMainFormEndsTheRunLoopAndTheProgram) {
  const char* dir = getenv("KESTRAVA_BINARY_DIR");
  ASSERT_NE(dir, nullptr);
  std::string exe = std::string(dir) + "/tests/framework/framework_form_demo.exe";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  TKernelHandle process(pi.hProcess), thread(pi.hThread);
  TFoundWindow found{pi.dwProcessId, nullptr};
  // A new program starts slowly on a busy machine: up to a minute.
  for (int i = 0; i < 1200 && !found.Window; ++i) {
    EnumWindows(FindProcessForm, reinterpret_cast<LPARAM>(&found));
    if (!found.Window) Sleep(50);
  }
  ASSERT_TRUE(found.Window) << "the program showed no form";
  char caption[64] = {};
  GetWindowTextA(found.Window, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Kestrava framework form");
  PostMessageA(found.Window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
}
