// The skin manager at run time under Wine: a broadcast reaches every control of a form
// exactly once, the creation hook lives exactly while a skin is broadcast, the application
// window hook goes with its manager, threaded ticks arrive during a message box, and a skin
// command from another thread or process, or a posted one, with a garbage LParam changes
// nothing.
#include "skin/core/runtime/sSkinRuntimeWin32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "framework/ExtCtrlsWin32.h"
#include "framework/IconWin32.h"
#include "framework/MenusWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/runtime/skThdTimer.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/skin/core/TestSkinProviderWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

using skintest::TProviderForm;
using skintest::TTestProvider;

// Counts the skin commands a window receives and answers CmdIsSkinned, as a skinned control
// will; stays on the window for the test's life.
struct TCommandCounter {
  std::map<HWND, std::map<int, int>> counts;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
    if (msg == SM_SKINCMD) {
      auto* self = reinterpret_cast<TCommandCounter*>(data);
      ++self->counts[wnd][SkinCmdOf(w)];
      if (SkinCmdOf(w) == CmdIsSkinned) return 1;
      return 0;
    }
    return DefSubclassProc(wnd, msg, w, l);
  }
  void Watch(HWND wnd) { SetWindowSubclass(wnd, Proc, 1, reinterpret_cast<DWORD_PTR>(this)); }
  static void Unwatch(HWND wnd) { RemoveWindowSubclass(wnd, Proc, 1); }
  int Received(HWND wnd, int cmd) { return counts[wnd][cmd]; }
};

struct SkinRuntime : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    fixture.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n[EDIT]\nCOLOR=65280\n");
    runtime = InstallSkinRuntime(*fixture.Manager);
    Application->CreateForm(form);  // the main form, as the program's own
    form->SetBounds(20, 20, 400, 300);
    for (int i = 0; i < 12; ++i) {
      TWinControl* c = i % 3 == 0   ? static_cast<TWinControl*>(new TButton(form))
                       : i % 3 == 1 ? static_cast<TWinControl*>(new TEdit(form))
                                    : static_cast<TWinControl*>(new TCheckBox(form));
      c->SetParent(form);
      c->SetBounds(10 + (i % 4) * 90, 10 + (i / 4) * 30, 80, 22);
      controls.push_back(c);
    }
    form->Show();
    Application->ProcessMessages();
    for (TWinControl* c : controls) counter.Watch(c->Handle());
  }
  void TearDown() override {
    for (TWinControl* c : controls) TCommandCounter::Unwatch(c->Handle());
    delete form;
  }
  int EachControlReceived(int cmd) {
    int least = 1 << 30, most = -1;
    for (TWinControl* c : controls) {
      least = std::min(least, counter.Received(c->Handle(), cmd));
      most = std::max(most, counter.Received(c->Handle(), cmd));
    }
    return least == most ? least : -1;  // -1: not the same for every control
  }

  skintest::TManagerFixture fixture;
  TsSkinRuntime* runtime = nullptr;
  TForm* form = nullptr;
  std::vector<TWinControl*> controls;
  TCommandCounter counter;
};

// Start-up reads the platform: Wine reports the NT family; glows are offered only where
// layered windows exist and a 32-bit program on 64-bit Windows has desktop composition.
TEST_F(SkinRuntime, StartUpReadsThePlatformFlags) {
  EXPECT_TRUE(IsNTPlatform);
  EXPECT_EQ(TskSkinEffects::GlowingAvailable(), HasLayeredWindows() && !Wow64WithoutComposition);
}

// The program's own shell icons are there for the title bars, each handle at the size asked
// for; a file that does not exist has no icon.
TEST_F(SkinRuntime, StartUpTakesTheProgramsSmallAndLargeShellIcons) {
  struct TCase {
    TIcon* Icon;
    int Size;
  };
  for (const TCase& c : {TCase{AppSmallIcon.get(), GetSystemMetrics(SM_CXSMICON)},
                         TCase{AppLargeIcon.get(), GetSystemMetrics(SM_CXICON)}}) {
    ASSERT_NE(c.Icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(IconHandle(c.Icon), &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, c.Size);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  EXPECT_EQ(GetShellFileIcon("C:\\no such folder\\no such program.exe", SHGFI_SMALLICON),
            nullptr);
}

// Popup items get the menu painter's handlers only while the manager skins popups, and
// measuring one tells that a skinned menu is showing.
TEST_F(SkinRuntime, PopupItemsArePaintedOnlyWhenPopupsAreSkinned) {
  TsSkinableMenus menus(fixture.Manager.get());
  TPopupMenu popup(nullptr);
  auto* item = new TMenuItem(&popup);
  item->SetCaption("Open");
  popup.Items()->Add(item);
  fixture.Manager->SetSkinnedPopups(false);
  menus.InitPopupMenu(&popup, true);
  EXPECT_FALSE(item->OnMeasureItem());
  fixture.Manager->SetSkinnedPopups(true);
  menus.InitPopupMenu(&popup, true);
  ASSERT_TRUE(item->OnMeasureItem());

  SkinnedMenuShowing = false;
  TBitmap canvasOwner;
  canvasOwner.SetSize(10, 10);
  int width = 0, height = 0;
  item->OnMeasureItem()(item, canvasOwner.Canvas(), width, height);
  EXPECT_TRUE(SkinnedMenuShowing);
  EXPECT_GT(width, 0);
  SkinnedMenuShowing = false;
  menus.InitPopupMenu(&popup, false);
}

TEST_F(SkinRuntime, ABroadcastReachesEveryControlOnceAndRemovalNone) {
  fixture.Manager->SetSkinName("Plain");
  ASSERT_TRUE(fixture.Manager->CurrentSkin().Active);
  EXPECT_EQ(EachControlReceived(CmdSkinChanged), 1);
  EXPECT_EQ(EachControlReceived(CmdRemoveSkin), 0);

  fixture.Manager->SetActive(false);
  EXPECT_EQ(EachControlReceived(CmdRemoveSkin), 1);
  EXPECT_EQ(EachControlReceived(CmdSkinChanged), 1);  // nothing new after the removal
}

TEST_F(SkinRuntime, UnskinnedContainersPassTheBroadcastToTheirChildren) {
  auto* panel = new TPanel(form);  // a standard panel does not answer CmdIsSkinned
  panel->SetParent(form);
  panel->SetBounds(10, 150, 200, 100);
  auto* inner = new TButton(form);
  inner->SetParent(panel);
  inner->SetBounds(5, 5, 60, 22);
  Application->ProcessMessages();
  counter.Watch(inner->Handle());
  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(counter.Received(inner->Handle(), CmdSkinChanged), 1);
  TCommandCounter::Unwatch(inner->Handle());
}

TEST_F(SkinRuntime, CreationHookExistsExactlyWhileASkinIsBroadcast) {
  EXPECT_FALSE(SkinCbtHookInstalled());
  const size_t subscribers = TWindowEvents::Current().SubscriberCount();
  fixture.Manager->SetSkinName("Plain");
  EXPECT_TRUE(SkinCbtHookInstalled());
  EXPECT_TRUE(TWindowEvents::Current().HookInstalled());
  EXPECT_EQ(TWindowEvents::Current().SubscriberCount(), subscribers + 1);
  fixture.Manager->SetActive(false);
  EXPECT_FALSE(SkinCbtHookInstalled());
  EXPECT_EQ(TWindowEvents::Current().SubscriberCount(), subscribers);
  fixture.Manager->SetActive(true);
  EXPECT_TRUE(SkinCbtHookInstalled());
  fixture.Manager.reset();  // the manager goes, and its hooks with it
  EXPECT_FALSE(SkinCbtHookInstalled());
}

TEST_F(SkinRuntime, TheApplicationWindowHookGoesWithItsManager) {
  EXPECT_TRUE(runtime->AppWindowHooked());
  fixture.Manager->SetSkinName("Plain");
  // Without desktop composition the hook minimizes the program itself (no provider here).
  TMessage minimize{WM_SYSCOMMAND, SC_MINIMIZE, 0, 0};
  const bool minimizedByHook = Application->CallHooks(minimize);
  EXPECT_EQ(minimizedByHook, !IsCompositionEnabled());
  EXPECT_EQ(runtime->SysCmdPending, 2);
  EXPECT_EQ(IsIconic(form->Handle()) != FALSE, minimizedByHook);
  ShowWindow(form->Handle(), SW_RESTORE);
  TMessage theme{WM_THEMECHANGED, 0, 0, 0};
  EXPECT_TRUE(Application->CallHooks(theme));  // swallowed while the manager lives
  fixture.Manager.reset();
  EXPECT_FALSE(Application->CallHooks(theme));
}

// A skinned receiver of the test: its skin data answers through the portable handler.
struct TSkinnedReceiver {
  explicit TSkinnedReceiver(TWinControl* control)
      : wnd(control->Handle()), host(control), data(&host) {
    SetWindowSubclass(wnd, Proc, 2, reinterpret_cast<DWORD_PTR>(this));
  }
  ~TSkinnedReceiver() { RemoveWindowSubclass(wnd, Proc, 2); }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    if (msg != SM_SKINCMD) return DefSubclassProc(wnd, msg, w, l);
    auto* self = reinterpret_cast<TSkinnedReceiver*>(ref);
    TSkinCmdMessage m = ReadSkinCmd(w, l);
    ProcessSkinCommand(m, &self->data);
    return m.Result;
  }
  HWND wnd;
  TControlSkinHost host;
  TsCommonData data;
};

TEST_F(SkinRuntime, ForeignSkinCommandsWithGarbageChangeNothing) {
  fixture.Manager->SetSkinName("Plain");
  TSkinnedReceiver receiver(controls[1]);
  receiver.data.SetSkinSection("EDIT");
  ASSERT_GE(receiver.data.SectionIndex, 0);
  receiver.data.BackgroundDirty = false;
  HWND wnd = controls[1]->Handle();
  const LPARAM garbage = static_cast<LPARAM>(0x00000DEADBEEF0LL & static_cast<LPARAM>(~0u));

  // From another thread: SendMessage across threads, as another process's would arrive.
  std::atomic<bool> done{false};
  std::atomic<int> lost{0};  // sends that timed out, which would test nothing
  std::thread foreign([&] {
    for (int cmd = 0; cmd <= 64; ++cmd)
      for (LPARAM l :
           {LPARAM{0}, LPARAM{1}, garbage, reinterpret_cast<LPARAM>(fixture.Manager.get())})
        if (!SendMessageTimeoutA(wnd, SM_SKINCMD, SkinCmdWParam(cmd, 1), l, SMTO_NORMAL, 30000,
                                 nullptr))
          ++lost;
    done = true;
  });
  while (!done) {
    MSG msg;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  foreign.join();
  EXPECT_EQ(lost, 0);
  // From another process, with pointers that mean nothing here.
  {
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe, n);
    folder.resize(folder.find_last_of('\\') + 1);
    std::string command = "\"" + folder + "SkinCmdSender.exe\" " +
                          std::to_string(reinterpret_cast<uintptr_t>(wnd)) + " " +
                          std::to_string(reinterpret_cast<uintptr_t>(fixture.Manager.get()));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    // Until the sender ends (a new process starts slowly on a busy machine), answering it.
    const ULONGLONG end = GetTickCount64() + 300000;
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount64() < end) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the sender ran and reached the window";
  }
  // Posted by anybody, on our own thread too: not sent by our own senders.
  for (int cmd = 0; cmd <= 64; ++cmd) PostMessageA(wnd, SM_SKINCMD, SkinCmdWParam(cmd, 1), garbage);
  Application->ProcessMessages();

  EXPECT_GE(receiver.data.SectionIndex, 0);
  EXPECT_EQ(receiver.data.SkinSection(), "EDIT");
  EXPECT_FALSE(receiver.data.PaintSuspended);
  EXPECT_FALSE(receiver.data.BackgroundDirty);
  EXPECT_EQ(receiver.data.PrintTarget, 0);
  // A query from elsewhere is still answered; our own commands are acted on.
  EXPECT_EQ(SendMessageA(wnd, SM_SKINCMD, SkinCmdWParam(CmdIsSkinned), garbage), 1);
  SendSkinCmd(wnd, CmdSetUpdating, 0, 1);
  EXPECT_TRUE(receiver.data.PaintSuspended);
}

TEST_F(SkinRuntime, TheHotWindowIsToldWhenTheMouseComesAndGoes) {
  HWND a = controls[0]->Handle(), b = controls[3]->Handle();
  runtime->SetHotWindow(a);
  runtime->SetHotWindow(a);  // unchanged: nothing sent
  runtime->SetHotWindow(b);
  EXPECT_EQ(counter.Received(a, CmdMouseEnter), 1);
  EXPECT_EQ(counter.Received(a, CmdMouseLeave), 1);
  EXPECT_EQ(counter.Received(b, CmdMouseEnter), 1);
  EXPECT_EQ(counter.Received(b, CmdMouseLeave), 0);
}

// A skinned control's window procedure as the skinned controls will have it.
struct TCommonReceiver {
  explicit TCommonReceiver(TWinControl* control)
      : wnd(control->Handle()), host(control), data(&host) {
    SetWindowSubclass(wnd, Proc, 3, reinterpret_cast<DWORD_PTR>(this));
  }
  ~TCommonReceiver() { RemoveWindowSubclass(wnd, Proc, 3); }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TCommonReceiver*>(ref);
    TMessage m{msg, w, l, 0};
    if (HandleCommonMessage(m, &self->data)) return m.Result;
    return DefSubclassProc(wnd, msg, w, l);
  }
  HWND wnd;
  TControlSkinHost host;
  TsCommonData data;
};

TEST_F(SkinRuntime, CommonHandlingFollowsFocusAndAnswersCommands) {
  fixture.Manager->SetSkinName("Plain");
  TCommonReceiver edit(controls[1]);
  edit.data.ControlKind = TsControlKind::Edit;
  edit.data.Loaded();
  EXPECT_EQ(edit.data.SkinSection(), "EDIT");
  EXPECT_EQ(ColorToRGB(controls[1]->Color()), 0x00FF00);  // the skin's EDIT colour
  EXPECT_EQ(SendSkinCmd(edit.wnd, CmdIsSkinned, 0), 1);
  controls[1]->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(edit.data.HasFocus);
  controls[0]->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit.data.HasFocus);
  EXPECT_EQ(SendMessageA(edit.wnd, WM_UPDATEUISTATE, 0, 0), 0);  // swallowed while skinned
  fixture.Manager->SetActive(false);
  EXPECT_EQ(edit.data.SectionIndex, -1);  // the removal reached the control
  EXPECT_EQ(controls[1]->Color(), clWindow);
}

TEST_F(SkinRuntime, AFormWithAProviderIsFrozenWhileTheSkinChanges) {
  TTestProvider provider(fixture.Manager.get());
  TProviderForm watched(form, &provider);
  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(watched.log,
            (std::vector<std::string>{"redraw off", "skin changed", "refresh", "redraw on"}));
  EXPECT_FALSE(provider.Animating);
  EXPECT_FALSE(AnimationRunning);

  // A provider of another manager keeps its form painting.
  TsSkinManager other(nullptr);
  provider.manager = &other;
  watched.log.clear();
  fixture.Manager->SetHueOffset(30);
  EXPECT_EQ(watched.log, std::vector<std::string>{"refresh"});
}

TEST_F(SkinRuntime, MinimizingThroughTheApplicationHookStartsTheProvidersAnimationOnce) {
  ASSERT_EQ(Application->MainForm(), form);
  TTestProvider provider(fixture.Manager.get());
  TProviderForm watched(form, &provider);
  fixture.Manager->SetSkinName("Plain");
  const bool animationWasOn = IsWindowAnimationOn();

  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Application->ProcessMessages();
  EXPECT_EQ(provider.minimizeStarts, 1);
  EXPECT_EQ(runtime->SysCmdPending, 2);
  EXPECT_TRUE(IsIconic(form->Handle()));
  EXPECT_EQ(IsWindowAnimationOn(), animationWasOn);  // switched off for the call only

  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Application->ProcessMessages();
  EXPECT_EQ(provider.restoreStarts, 1);
  EXPECT_EQ(runtime->SysCmdPending, 1);
  EXPECT_FALSE(IsIconic(form->Handle()));
  EXPECT_EQ(provider.minimizeStarts, 1);

  // Minimized by the provider's own animation: restored at once, the stale cache dropped.
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  provider.MinimizedWithAnimation = true;
  provider.extendedBorders = true;
  provider.data.CacheBitmap = CreateBmp32(5, 5);
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(provider.MinimizedWithAnimation);
  EXPECT_FALSE(provider.data.CacheBitmap);
  EXPECT_EQ(provider.restoreStarts, 1);  // no restore animation is started then
  EXPECT_FALSE(IsIconic(form->Handle()));
  EXPECT_EQ(provider.minimizeStarts, 2);

  // Without a skin the hook leaves the command to the system.
  fixture.Manager->SetActive(false);
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Application->ProcessMessages();
  EXPECT_EQ(provider.minimizeStarts, 2);
  EXPECT_TRUE(IsIconic(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
}

// With extended borders the forms are prepared before the skin is read; a name that no
// source has turns the manager off, and what was prepared must not stay animating.
TEST_F(SkinRuntime, APreparedChangeThatFindsNoSkinLeavesNothingAnimating) {
  TTestProvider provider(fixture.Manager.get());
  TProviderForm watched(form, &provider);
  fixture.Manager->SetExtendedBorders(true);
  ASSERT_TRUE(fixture.Manager->ExtendedBorders());  // layered windows exist
  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(watched.log,
            (std::vector<std::string>{"redraw off", "skin changed", "refresh", "redraw on"}));
  EXPECT_FALSE(provider.Animating);
  EXPECT_FALSE(AnimationRunning);

  watched.log.clear();
  fixture.Manager->SetSkinName("Missing");
  EXPECT_FALSE(fixture.Manager->Active());
  EXPECT_FALSE(provider.Animating);
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(watched.log.back(), "redraw on");
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(SkinRuntime, AFormAnsweringGarbageForItsProviderIsLeftAlone) {
  TProviderForm watched(form, reinterpret_cast<ISkinProvider*>(0x12345678));
  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(watched.log, (std::vector<std::string>{"skin changed", "refresh"}));
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(IsIconic(form->Handle()));  // minimized by the hook as a form without provider
  ShowWindow(form->Handle(), SW_RESTORE);
}

TEST_F(SkinRuntime, AFreedManagerLeavesNoControlPointingAtIt) {
  auto* second = new TsSkinManager(nullptr);
  second->SetFileSystem(&fixture.Fs);
  second->SetAppFolder("C:\\App\\");
  second->SetSkinDirectory("Skins");
  InstallSkinRuntime(*second);
  second->SetSkinName("Plain");
  ASSERT_TRUE(second->CurrentSkin().Active);
  TSkinnedReceiver receiver(controls[1]);
  receiver.data.SetSkinManager(second);
  receiver.data.SetSkinSection("EDIT");
  ASSERT_EQ(receiver.data.OwnSkinManager(), second);
  ASSERT_GE(receiver.data.SectionIndex, 0);

  delete second;
  EXPECT_EQ(receiver.data.OwnSkinManager(), nullptr);
  EXPECT_EQ(receiver.data.SectionIndex, -1);
  EXPECT_EQ(receiver.data.SkinManager(), fixture.Manager.get());  // back to the default
}

// A skinned standard dialog as the creation hook keeps it.
struct TTestDialogProvider : ISkinDialogProvider {
  TTestDialogProvider(HWND wnd, bool& freed) : wnd(wnd), freed(freed) {}
  ~TTestDialogProvider() override { freed = true; }
  TWindowKey AdapterWindow() const override { return reinterpret_cast<TWindowKey>(wnd); }
  HWND wnd;
  bool& freed;
};

TEST_F(SkinRuntime, MdiClientsAndSkinnedDialogsAreToldToo) {
  // An MDI parent's client window is not a control of the form; it is told directly.
  auto* mdi = new TForm(Application);
  mdi->SetFormStyle(fsMDIForm);
  mdi->SetBounds(450, 20, 300, 200);
  mdi->Show();
  CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
  HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100,
                                mdi->Handle(), nullptr, GetModuleHandleA(nullptr), &ccs);
  ASSERT_TRUE(client);
  counter.Watch(client);

  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(counter.Received(client, CmdSkinChanged), 1);
  ASSERT_TRUE(DialogProviderList);  // exists while the hook does

  HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND hiddenDialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  counter.Watch(dialog);
  counter.Watch(hiddenDialog);
  bool dialogFreed = false, hiddenFreed = false;
  DialogProviderList->push_back(std::make_unique<TTestDialogProvider>(dialog, dialogFreed));
  DialogProviderList->push_back(std::make_unique<TTestDialogProvider>(hiddenDialog, hiddenFreed));
  fixture.Manager->SetHueOffset(20);
  EXPECT_EQ(counter.Received(dialog, CmdRefresh), 1);
  EXPECT_EQ(counter.Received(hiddenDialog, CmdRefresh), 0);
  EXPECT_EQ(counter.Received(client, CmdRefresh), 2);

  fixture.Manager->SetActive(false);  // the hook goes, and the dialog providers with it
  EXPECT_TRUE(dialogFreed && hiddenFreed);
  EXPECT_FALSE(DialogProviderList);
  EXPECT_EQ(counter.Received(client, CmdRemoveSkin), 1);

  for (HWND wnd : {client, dialog, hiddenDialog}) TCommandCounter::Unwatch(wnd);
  DestroyWindow(dialog);
  DestroyWindow(hiddenDialog);
  delete mdi;
}

// Windows created while a skin is broadcast reach the form skinning's creation handler; the
// glows go with every new skin and with its removal.
TEST_F(SkinRuntime, TheCreationHookHandsNewWindowsToTheFormSkinning) {
  struct TServices : ISkinFormServices {
    std::vector<TWindowKey> created;
    int glowsFreed = 0;
    void WindowCreating(TWindowKey wnd) override { created.push_back(wnd); }
    void FreeAllGlows() override { ++glowsFreed; }
  } services;
  SetFormServices(&services);
  auto make = [] {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  };
  HWND before = make();
  fixture.Manager->SetSkinName("Plain");
  EXPECT_EQ(services.glowsFreed, 1);
  HWND during = make();
  fixture.Manager->SetActive(false);
  EXPECT_EQ(services.glowsFreed, 2);
  HWND after = make();
  SetFormServices(nullptr);
  EXPECT_EQ(services.created, std::vector<TWindowKey>{reinterpret_cast<TWindowKey>(during)});
  for (HWND wnd : {before, during, after}) DestroyWindow(wnd);
}

TEST(SkinRuntimeTimer, TicksKeepArrivingWhileAMessageBoxIsOpen) {
  Application->Initialize();
  InitSkinRuntime();
  struct TCounter : TObject {
    std::atomic<int> ticks{0};
    void OnTick(TObject*) { ++ticks; }
  } counter;
  TskThreadedTimer timer(nullptr);
  timer.SetInterval(20);
  timer.SetOnTimer(MakeEvent<&TCounter::OnTick>(&counter));
  ktest::TMessageBoxWatcher watcher;
  int ticksWhenOpened = -1;
  watcher.SetCloseWhen([&] {
    if (ticksWhenOpened < 0) ticksWhenOpened = counter.ticks;
    return counter.ticks >= ticksWhenOpened + 3;
  });
  ShowPlainMessage("ticking");
  EXPECT_GE(counter.ticks - ticksWhenOpened, 3);
}

}  // namespace
