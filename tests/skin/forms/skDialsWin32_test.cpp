// Standard dialogs under Wine with the generated "Full" skin active: a message box and the
// program's open and save dialogs come up with the skinned frame on the screen, take keys and
// clicks through the system's input queue and return what the user chose; every child window
// of them has an adapter or a reason in the class table; the title's close button and the
// system menu act; providers and adapters go with their windows, and no handle is left over
// after many dialogs.
#include "skin/forms/skDialsWin32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "framework/DialogsWin32.h"
#include "skin/adapters/skDialogChildrenWin32.h"
#include "skin/adapters/skToolBarWndWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sVclUtils.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "skin/forms/skDialogWndWin32.h"
#include "skin/forms/skSystemMenuWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

// The GDI objects of this process. Wine answers GetGuiResources with 0; there the process's
// entries of the shared GDI handle table are counted (the same 24-byte cells Windows keeps).
int GdiObjectCount() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
    return static_cast<int>(n);
#ifdef _WIN64
  constexpr size_t TableOffset = 0xF8;
#else
  constexpr size_t TableOffset = 0x94;
#endif
  using TGetPeb = void*(WINAPI*)();
  const auto getPeb = reinterpret_cast<TGetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetCurrentPeb")));
  if (!getPeb) return -1;
  const auto* peb = static_cast<const uint8_t*>(getPeb());
  const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + TableOffset);
  if (!table) return -1;
  constexpr size_t CellSize = 24, Cells = 0x10000;
  const USHORT pid = static_cast<USHORT>(GetCurrentProcessId());
  int count = 0;
  for (size_t i = 0; i < Cells; ++i) {
    const uint8_t* cell = table + i * CellSize;
    const USHORT owner = *reinterpret_cast<const USHORT*>(cell + 8);
    const USHORT type = *reinterpret_cast<const USHORT*>(cell + 14);
    if (type != 0 && (owner == pid || owner == 0)) ++count;
  }
  return count;
}

BOOL CALLBACK CountWindow(HWND, LPARAM lp) {
  ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

BOOL CALLBACK CountWindowTree(HWND wnd, LPARAM lp) {
  CountWindow(wnd, lp);
  EnumChildWindows(wnd, &CountWindow, lp);
  return TRUE;
}

// The windows of this thread, children included: the USER objects a dialog leaves behind.
int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindowTree, reinterpret_cast<LPARAM>(&count));
  return count;
}

int UserObjectCount() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
    return static_cast<int>(n);
  return ThreadWindowCount();
}

BOOL CALLBACK CollectWindow(HWND child, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND wnd) {
  std::vector<HWND> all;
  EnumChildWindows(wnd, &CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The middle of a rectangle in window coordinates, on the screen.
POINT ScreenPoint(HWND wnd, const TRect& r) {
  RECT window;
  GetWindowRect(wnd, &window);
  return POINT{window.left + (r.Left + r.Right) / 2, window.top + (r.Top + r.Bottom) / 2};
}

// A dialog is skinned once its provider's adapter holds it and its frame image exists.
bool Skinned(HWND wnd) {
  TskProvider* provider = FindDialogProvider(wnd);
  return provider && provider->DialogAdapter() && !provider->Dead() &&
         provider->DialogAdapter()->SkinData().CacheBitmap && IsWindowVisible(wnd);
}

// What the screen shows at a point of the window, and what the frame image holds there.
struct TFramePixel {
  COLORREF Screen = CLR_INVALID;
  COLORREF Image = CLR_INVALID;
};
TFramePixel FramePixelAt(HWND wnd, int x, int y) {
  TFramePixel p;
  TskProvider* provider = FindDialogProvider(wnd);
  if (!provider) return p;
  TBitmap* image = provider->DialogAdapter()->PaintFormCache();
  if (!image) return p;
  const uint32_t argb = skintest::Pixel32(*image, x, y);
  p.Image = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  RECT window;
  GetWindowRect(wnd, &window);
  HDC screen = GetDC(nullptr);
  p.Screen = GetPixel(screen, window.left + x, window.top + y);
  ReleaseDC(nullptr, screen);
  return p;
}

// The file dialog (a dialog with an edit) of the program's thread.
bool IsFileDialog(HWND wnd) { return ktest::InspectDialog(wnd).HasEdit; }
bool IsMessageBox(HWND wnd) { return !ktest::InspectDialog(wnd).HasEdit; }

struct SkinnedDialogs : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
    InstallFormServices();
    InstallDialogChildAdapters();
  }
  static void TearDownTestSuite() {
    RemoveDialogChildAdapters();
    RemoveFormServices();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    ASSERT_TRUE(SkinCbtHookInstalled());
    ktest::ParkPointer();
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }

  // A folder with a dump in it, as Windows names it.
  std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
  }
  std::string MakeDump(const std::string& name) {
    const std::string file = TempFolder() + name;
    std::ofstream(file) << "INSERT INTO t VALUES (1);\n";
    return file;
  }

  // Waits for the skinned dialog of the kind `accept` takes and checks that its title shows
  // the skinned frame on the screen.
  HWND WaitForSkinnedDialog(ktest::TUserScript& user, const std::string& what,
                            const std::function<bool(HWND)>& accept) {
    HWND dialog = user.WaitForWindow(what, "#32770", accept);
    user.WaitUntil(what + " skinned", [&] { return Skinned(dialog); });
    // The title's middle: what the frame image holds there is what the screen shows.
    user.WaitUntil(what + " shows its skinned title", [&] {
      RECT r;
      GetWindowRect(dialog, &r);
      const TFramePixel p = FramePixelAt(dialog, (r.right - r.left) / 2, 4);
      return p.Image != CLR_INVALID && p.Screen == p.Image;
    });
    return dialog;
  }

  // Every descendant of the dialog is known to its provider and has an adapter or a reason;
  // a kind whose adapter exists has one.
  void SweepChildren(ktest::TUserScript& user, HWND dialog, const std::string& what) {
    user.WaitUntil(what + ": every child window decided", [&] {
      TskProvider* provider = FindDialogProvider(dialog);
      if (!provider) return false;
      std::set<HWND> decided;
      for (const TskAdaptedChild& c : provider->Children()) decided.insert(c.Wnd);
      for (HWND child : Descendants(dialog))
        if (!decided.count(child)) return false;
      return true;
    });
    user.OnProgram([&] {
      TskProvider* provider = FindDialogProvider(dialog);
      ASSERT_NE(provider, nullptr);
      for (const TskAdaptedChild& c : provider->Children()) {
        if (!IsWindow(c.Wnd)) continue;
        user.Expect(!UnknownChildClass(c.Choice),
                    what + ": class " + c.ClassName + " has neither adapter nor reason");
        const bool built = c.Choice.Kind == TskDialogChildKind::Edit ||
                           c.Choice.Kind == TskDialogChildKind::ComboBox ||
                           c.Choice.Kind == TskDialogChildKind::ListView ||
                           c.Choice.Kind == TskDialogChildKind::TreeView ||
                           c.Choice.Kind == TskDialogChildKind::ListBox ||
                           c.Choice.Kind == TskDialogChildKind::ToolBar ||
                           c.Choice.Kind == TskDialogChildKind::TabControl;
        if (built) user.Expect(c.HasAdapter, what + ": " + c.ClassName + " has no adapter");
      }
    });
  }

  skintest::TManagerFixture fixture;
};

TEST_F(SkinnedDialogs, AMessageBoxIsSkinnedAndAnswersTheKeyboard) {
  int result = -1;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { result = ShowMessageDialog("Weiter?", sdkConfirmation, sdbYes | sdbNo, 0); });
    HWND box = WaitForSkinnedDialog(u, "the message box", IsMessageBox);
    u.OnProgram([&] { ktest::SaveScreenshot(box, "skinned-message-box"); });
    SweepChildren(u, box, "the message box");
    // The system menu is the skin's: the window lost WS_SYSMENU while skinned.
    u.Expect(u.Read<bool>([&] { return !(GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU); }),
             "WS_SYSMENU taken away");
    // Tab to "No", Enter presses it.
    ktest::PressKey(VK_TAB);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the message box", box);
  })) << user.Failures();
  EXPECT_EQ(result, IDNO);
  // The provider went with its window.
  EXPECT_EQ(DialogProviderCount(), 0);
}

TEST_F(SkinnedDialogs, AMessageBoxTakesClicksOnItsButtonsAndOnTheSkinnedCloseButton) {
  int first = -1, second = -1;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { first = ShowMessageDialog("OK?", sdkWarning, sdbOK | sdbCancel, 0); });
    HWND box = WaitForSkinnedDialog(u, "the first message box", IsMessageBox);
    // Wine's box holds spare hidden buttons: the visible OK is the one to click.
    HWND ok = u.Read<HWND>([&] { return GetDlgItem(box, IDOK); });
    u.Expect(ok && IsWindowVisible(ok), "a visible OK button");
    RECT r;
    GetWindowRect(ok, &r);
    ktest::Click(ktest::CentreOf(r));
    u.WaitUntilGone("the first message box", box);

    u.Later([&] { second = ShowMessageDialog("OK?", sdkWarning, sdbOK | sdbCancel, 0); });
    box = WaitForSkinnedDialog(u, "the second message box", IsMessageBox);
    const TRect close = u.Read<TRect>(
        [&] { return FindDialogProvider(box)->DialogAdapter()->TitleButtonRect(TitleHitClose); });
    u.Expect(close.Width() > 0, "a skinned close button");
    const POINT at = ScreenPoint(box, close);
    u.Expect(u.Read<LRESULT>([&] {
      return SendMessageA(box, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    }) == HTCLOSE,
             "the close button answers HTCLOSE");
    ktest::Click(at);
    u.WaitUntilGone("the second message box", box);
  })) << user.Failures();
  EXPECT_EQ(first, IDOK);
  EXPECT_EQ(second, IDCANCEL);
}

TEST_F(SkinnedDialogs, TheSystemMenuOfAMessageBoxClosesIt) {
  int result = -1;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { result = ShowMessageDialog("Menu", sdkInformation, sdbOK | sdbCancel, 0); });
    HWND box = WaitForSkinnedDialog(u, "the message box", IsMessageBox);
    TskSystemMenu* menu = u.Read<TskSystemMenu*>(
        [&] { return FindDialogProvider(box)->DialogAdapter()->SystemMenu(); });
    u.Expect(menu != nullptr, "a system menu");
    u.OnProgram([&] {
      // A plain dialog frame: no Restore, no Size; Close is there.
      menu->UpdateItems();
      u.Expect(!menu->RestoreItem()->Visible() && !menu->SizeItem()->Visible(),
               "no Restore or Size on a dialog frame");
      u.Expect(menu->CloseItem()->Visible(), "Close shown");
    });
    const int waits = u.MenuWaits();
    ktest::PressKeys({VK_MENU}, VK_SPACE);
    u.WaitForMenuInput(waits);
    // Close is the last item: up from the top wraps to it.
    ktest::PressKey(VK_UP);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the message box", box);
  })) << user.Failures();
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(SkinnedDialogs, TheOpenDialogIsSkinnedAndOpensTheTypedFile) {
  const std::string dump = MakeDump("dlg-open.sql");
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("SQL-Dateien|*.sql|CSV-Dateien|*.csv");
  bool opened = false;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { opened = dialog.Execute(); });
    HWND open = WaitForSkinnedDialog(u, "the open dialog", IsFileDialog);
    u.OnProgram([&] { ktest::SaveScreenshot(open, "skinned-open-dialog"); });
    SweepChildren(u, open, "the open dialog");
    // Wine's file dialog has a tool bar: its adapter paints the buttons.
    u.WaitUntil("the open dialog's tool bar painted by its adapter", [&] {
      for (HWND child : Descendants(open)) {
        if (lstrcmpiA(GetWindowClassName(child).c_str(), "ToolbarWindow32") != 0) continue;
        auto* bar = dynamic_cast<TskToolBarWnd*>(GetWindowAdapter(child));
        if (!bar) return false;
        InvalidateRect(child, nullptr, FALSE);
        UpdateWindow(child);
        return bar->PaintedState(0) >= 0;
      }
      return false;
    });
    u.OnProgram([&] { ktest::SaveScreenshot(open, "skinned-open-dialog-bars"); });
    HWND edit = u.Read<HWND>([&] { return GetFocus(); });
    u.Expect(edit != nullptr, "the file name field has the focus");
    ktest::TypeText(dump);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the open dialog", open);
  })) << user.Failures();
  EXPECT_TRUE(opened);
  EXPECT_EQ(dialog.FileName(), dump);
  std::remove(dump.c_str());
}

TEST_F(SkinnedDialogs, TheOpenDialogsCancelButtonTakesAClick) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("SQL-Dateien|*.sql|CSV-Dateien|*.csv");
  bool opened = true;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { opened = dialog.Execute(); });
    HWND open = WaitForSkinnedDialog(u, "the open dialog", IsFileDialog);
    HWND cancel = u.Read<HWND>([&] { return GetDlgItem(open, IDCANCEL); });
    u.Expect(cancel && IsWindowVisible(cancel), "a visible Cancel button");
    RECT r;
    GetWindowRect(cancel, &r);
    ktest::Click(ktest::CentreOf(r));
    u.WaitUntilGone("the open dialog", open);
  })) << user.Failures();
  EXPECT_FALSE(opened);
}

TEST_F(SkinnedDialogs, TheSaveDialogIsSkinnedAndSavesUnderTheTypedName) {
  const std::string target = TempFolder() + "dlg-save.sql";
  std::remove(target.c_str());
  TSaveDialog dialog(nullptr);
  dialog.SetFilter("SQL-Dateien|*.sql");
  bool saved = false;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { saved = dialog.Execute(); });
    HWND save = WaitForSkinnedDialog(u, "the save dialog", IsFileDialog);
    SweepChildren(u, save, "the save dialog");
    ktest::TypeText(target);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the save dialog", save);
  })) << user.Failures();
  EXPECT_TRUE(saved);
  EXPECT_EQ(dialog.FileName(), target);
}

TEST_F(SkinnedDialogs, ADialogWhoseAdaptersCannotAttachIsNotSkinnedAndTheHookSaysSo) {
  // A factory that fails for every child stands for an adapter that cannot take its window.
  SetDialogChildAdapterFactory(
      [](HWND, const TskDialogChildChoice&,
         TsSkinManager*) -> std::unique_ptr<IDialogChildAdapter> { throw EOSError("refused"); });
  HWND dialog = CreateWindowExA(0, "#32770", "Plain", WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10,
                                200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  // Made by the hook at creation while it had no children: skinned.
  EXPECT_NE(FindDialogProvider(dialog), nullptr);
  DestroyWindow(dialog);
  EXPECT_EQ(FindDialogProvider(dialog), nullptr);

  // With a child, skinning fails: SkinWindow says false and no provider stays.
  dialog = CreateWindowExA(0, "#32770", "Plain", WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 200,
                           100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND button = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, dialog,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  FreeDialogProvider(dialog);
  EXPECT_FALSE(SkinWindow(dialog));
  EXPECT_EQ(FindDialogProvider(dialog), nullptr);
  // The window keeps its own style: WS_SYSMENU is given back.
  EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU);
  DestroyWindow(dialog);
  InstallDialogChildAdapters();
}

TEST_F(SkinnedDialogs, RemovingTheSkinLetsGoOfAnOpenDialog) {
  HWND dialog = CreateWindowExA(0, "#32770", "Plain", WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10,
                                200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(FindDialogProvider(dialog), nullptr);
  EXPECT_FALSE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU);
  // The hook goes with the skin, and every provider with it.
  fixture.Manager->SetActive(false);
  EXPECT_FALSE(SkinCbtHookInstalled());
  EXPECT_EQ(FindDialogProvider(dialog), nullptr);
  EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU);
  // The window's own procedure answers again, and nothing runs of the adapter.
  EXPECT_EQ(SendSkinCmd(dialog, CmdIsSkinned, 0), 0);
  DestroyWindow(dialog);
}

// What the show and hide animations pushed, in order.
struct TFrameRecorder : IskAnimationFrameSink {
  struct TSeen {
    TskAnimKind Kind;
    int Index, Alpha;
  };
  std::vector<TSeen> frames;
  TFrameRecorder() { SetAnimationFrameSink(this); }
  ~TFrameRecorder() override { SetAnimationFrameSink(nullptr); }
  void FramePushed(const TskPushedFrame& f) override {
    frames.push_back({f.Kind, f.Index, f.Alpha});
  }
  std::vector<TSeen> Of(TskAnimKind kind) const {
    std::vector<TSeen> seen;
    for (const TSeen& f : frames)
      if (f.Kind == kind) seen.push_back(f);
    return seen;
  }
};

TEST_F(SkinnedDialogs, AMessageBoxFadesInAndOutWhenTheManagerAnimatesDialogs) {
  TskAnimEffects& effects = *fixture.Manager->AnimEffects();
  effects.DialogShow.Active = effects.DialogHide.Active = true;
  effects.DialogShow.Time = effects.DialogHide.Time = 120;
  effects.DialogShow.Mode = effects.DialogHide.Mode = atFading;
  TFrameRecorder recorder;
  int result = -1;
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    u.Later([&] { result = ShowMessageDialog("Blende", sdkInformation, sdbOK, 0); });
    HWND box = WaitForSkinnedDialog(u, "the message box", IsMessageBox);
    // The cover goes once the box painted itself.
    u.WaitUntil("the show's cover gone", [] { return TskCoverForm::Alive() == 0; });
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the message box", box);
    u.WaitUntil("the hide's frames", [&] {
      return !recorder.Of(TskAnimKind::FormHide).empty() && TskCoverForm::Alive() == 0;
    });
  })) << user.Failures();
  EXPECT_EQ(result, IDOK);
  // 120 ms: 10 frames of 12 ms, shown as frames 0 to 10 rising by 255 / 11, then the end state.
  const auto shown = recorder.Of(TskAnimKind::DialogShow);
  ASSERT_EQ(shown.size(), 12u);
  for (size_t i = 1; i + 1 < shown.size(); ++i) EXPECT_GT(shown[i].Alpha, shown[i - 1].Alpha);
  EXPECT_EQ(shown.back().Index, -1);
  EXPECT_EQ(shown.back().Alpha, 255);
  EXPECT_EQ(shown[shown.size() - 2].Alpha, 255);
  // The hide fades from opaque towards nothing.
  const auto hidden = recorder.Of(TskAnimKind::FormHide);
  ASSERT_FALSE(hidden.empty());
  for (size_t i = 1; i < hidden.size(); ++i) EXPECT_LE(hidden[i].Alpha, hidden[i - 1].Alpha);
  EXPECT_GT(hidden.front().Alpha, hidden.back().Alpha);
  EXPECT_EQ(hidden.back().Alpha, 0);
}

TEST_F(SkinnedDialogs, AHundredDialogsLeaveNoHandleBehind) {
  // Message boxes, open and save dialogs in turn, each closed by the key that cancels it.
  // Warmed up once: the first dialog of each kind loads what the system keeps for later ones.
  TOpenDialog open(nullptr);
  open.SetFilter("SQL-Dateien|*.sql");
  TSaveDialog save(nullptr);
  save.SetFilter("SQL-Dateien|*.sql");
  auto oneRound = [&](ktest::TUserScript& u, int n) {
    for (int i = 0; i < n; ++i) {
      const int kind = i % 3;
      if (kind == 0)
        u.Later([] { ShowMessageDialog("Runde", sdkInformation, sdbOK, 0); });
      else if (kind == 1)
        u.Later([&] { open.Execute(); });
      else
        u.Later([&] { save.Execute(); });
      HWND box = u.WaitForWindow("a dialog", "#32770", kind == 0 ? IsMessageBox : IsFileDialog);
      u.WaitUntil("skinned", [&] { return Skinned(box); });
      ktest::PressKey(kind == 0 ? VK_RETURN : VK_ESCAPE);
      u.WaitUntilGone("the dialog", box);
    }
  };
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) { oneRound(u, 3); })) << user.Failures();
  ktest::Pump();
  const int gdiBefore = GdiObjectCount(), userBefore = UserObjectCount();
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) { oneRound(u, 102); })) << user.Failures();
  ktest::Pump();
  const int gdiAfter = GdiObjectCount(), userAfter = UserObjectCount();
  std::printf("GDI objects %d -> %d, USER objects %d -> %d over 102 dialogs\n", gdiBefore, gdiAfter,
              userBefore, userAfter);
  EXPECT_GT(gdiBefore, 0);
  EXPECT_LE(gdiAfter, gdiBefore);
  EXPECT_LE(userAfter, userBefore);
  EXPECT_EQ(DialogProviderCount(), 0);
}

}  // namespace
