// Window adapters under Wine with real windows: a plain edit and a static adopted, the
// adapter found through the window's property, skin commands answered for the window (and
// foreign ones not obeyed), the cache prepared at the window's size in the skin's colours,
// and the adapter letting go at destruction or release without leaving its link behind.
#include "skin/adapters/skSBUtilsWin32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Settle;
using ktest::WindowPixel;

// Runs `work` on another thread while this one handles the messages it sends.
void FromAnotherThread(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::thread other([&] {
    work();
    done = true;
  });
  while (!done) {
    MSG msg;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  other.join();
}

const char* const kSkin =
    "[GLOBALINFO]\nCOLOR=8421504\nBORDERCOLOR=255\n"
    "[EDIT]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=1\n"
    "[PANEL]\nCOLOR=16711680\nTRANSPARENCY=0\nSTATES=1\n"
    "[GLASS]\nCOLOR=255\nTRANSPARENCY=100\nSTATES=1\n";

// A subclass link below the adapter that counts what reaches the window's own procedure and
// looks at the property while the window goes.
struct TCountingLink {
  TWindowSubclass link;
  int uiState = 0, skinCmds = 0, ncDestroy = 0, themeChanged = 0;
  HANDLE propAtNcDestroy = reinterpret_cast<HANDLE>(-1);
  explicit TCountingLink(HWND wnd) {
    link.Attach(wnd, [this](HWND w, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg == WM_UPDATEUISTATE) ++uiState;
      if (msg == SM_SKINCMD) ++skinCmds;
      if (msg == WM_THEMECHANGED) ++themeChanged;
      if (msg == WM_NCDESTROY) {
        ++ncDestroy;
        propAtNcDestroy = GetPropA(w, AdapterPropName);
      }
      return false;
    });
  }
};

struct AdapterWindow : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    f.AddFolderSkin("Adapt", kSkin);
    f.Manager->SetSkinName("Adapt");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    edit = CreateWindowExA(0, "EDIT", "text", WS_CHILD | WS_VISIBLE, 20, 30, 120, 24, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 150, 40, 90, 50, parent,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(parent && edit && label);
    Settle(parent);
  }
  void TearDown() override {
    if (IsWindow(parent)) DestroyWindow(parent);
  }
  std::unique_ptr<TskMainWnd> Adopt(HWND wnd, const char* section) {
    return TskMainWnd::Make<TskMainWnd>(wnd, nullptr, nullptr, section, false);
  }
  skintest::TManagerFixture f;
  HWND parent = nullptr, edit = nullptr, label = nullptr;
};

TEST_F(AdapterWindow, AdoptedWindowsAreFoundAndAnswerTheSkinCommand) {
  EXPECT_EQ(SendSkinCmd(edit, CmdIsSkinned, 0), 0) << "a plain edit knows no skin";
  auto editAdapter = Adopt(edit, "EDIT");
  auto labelAdapter = Adopt(label, "PANEL");
  EXPECT_EQ(GetWindowAdapter(edit), editAdapter.get());
  EXPECT_EQ(GetWindowAdapter(label), labelAdapter.get());
  EXPECT_EQ(GetPropA(edit, "ACSBSC"), static_cast<HANDLE>(editAdapter.get()));
  EXPECT_EQ(GetWindowAdapter(parent), nullptr);
  EXPECT_EQ(editAdapter->CaptionText(), "text");
  EXPECT_EQ(editAdapter->Manager(), f.Manager.get());
  EXPECT_TRUE(editAdapter->OwnsCommonData());
  EXPECT_EQ(editAdapter->CommonData()->SkinSection(), "EDIT");

  EXPECT_EQ(SendSkinCmd(edit, CmdIsSkinned, 0), 1);
  EXPECT_EQ(SendSkinCmd(label, CmdIsSkinned, 0), 1);
  EXPECT_EQ(GetWindowBgColor(edit), 0x00FF00);
  EXPECT_EQ(GetWindowBgColor(label), 0xFF0000);
  EXPECT_EQ(SendSkinCmd(edit, CmdGetApplication, 0), reinterpret_cast<LRESULT>(Application));

  // The window keeps its own behaviour under the adapter.
  SetWindowTextA(edit, "changed");
  EXPECT_EQ(editAdapter->CaptionText(), "changed");
  char text[32] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "changed");

  // A section set by our own sender is taken.
  TskSectionInfo info;
  info.SectionName = "panel";
  SendSkinCmd(edit, CmdSetSection, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(GetWindowBgColor(edit), 0xFF0000);
}

TEST_F(AdapterWindow, CacheIsPreparedAtTheWindowSizeInTheSkinColour) {
  auto editAdapter = Adopt(edit, "EDIT");
  auto labelAdapter = Adopt(label, "GLASS");
  SendSkinCmd(edit, CmdPrepareCache, 0);
  SendSkinCmd(label, CmdPrepareCache, 0);
  for (auto* adapter : {editAdapter.get(), labelAdapter.get()}) {
    RECT r;
    GetWindowRect(adapter->WindowHandle(), &r);
    TsCommonData& data = *adapter->CommonData();
    ASSERT_TRUE(data.CacheBitmap);
    EXPECT_EQ(data.CacheBitmap->Width(), r.right - r.left);
    EXPECT_EQ(data.CacheBitmap->Height(), r.bottom - r.top);
    EXPECT_FALSE(data.BackgroundDirty);
  }
  // Solid: every pixel of the edit's cache in its section's colour (green).
  TBitmap& cache = *editAdapter->CommonData()->CacheBitmap;
  for (int y = 0; y < cache.Height(); y += 5)
    for (int x = 0; x < cache.Width(); x += 7)
      ASSERT_EQ(skintest::Pixel32(cache, x, y) & 0xFFFFFF, 0x00FF00u) << x << "," << y;
  // A fully transparent section shows what the plain parent answers: the skin's global
  // colour (grey).
  EXPECT_EQ(skintest::Pixel32(*labelAdapter->CommonData()->CacheBitmap, 45, 25) & 0xFFFFFF,
            0x808080u);

  // A new size makes the cache dirty, and it follows the size.
  SetWindowPos(edit, nullptr, 0, 0, 64, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(editAdapter->CommonData()->BackgroundDirty);
  SendSkinCmd(edit, CmdPrepareCache, 0);
  EXPECT_EQ(cache.Width(), 64);
  EXPECT_EQ(cache.Height(), 40);

  // A window without a parent keeps its background dirty.
  editAdapter->CommonData()->BackgroundDirty = true;
  PrepareWindowCache(editAdapter->CommonData(), parent, false);
  EXPECT_TRUE(editAdapter->CommonData()->BackgroundDirty);
}

TEST_F(AdapterWindow, ForeignCommandsAreNotObeyed) {
  auto adapter = Adopt(edit, "EDIT");
  FromAnotherThread([&] {
    // An address that means nothing: obeying it would crash.
    SendMessageA(edit, SM_SKINCMD, SkinCmdWParam(CmdSetSection), 0x10);
    SendMessageA(edit, SM_SKINCMD, SkinCmdWParam(CmdGetBgInfo), 0x10);
    SendMessageA(edit, SM_SKINCMD, SkinCmdWParam(CmdSetPrintDC), 0x10);
  });
  EXPECT_EQ(adapter->CommonData()->SkinSection(), "EDIT");
  EXPECT_EQ(adapter->CommonData()->PrintTarget, 0);
  // Questions are answered for anybody.
  LRESULT answer = 0;
  FromAnotherThread(
      [&] { answer = SendMessageA(edit, SM_SKINCMD, SkinCmdWParam(CmdIsSkinned), 0); });
  EXPECT_EQ(answer, 1);
}

TEST_F(AdapterWindow, UiStateChangesAreSwallowedAndOthersPassOn) {
  TCountingLink below(edit);
  auto adapter = Adopt(edit, "EDIT");
  SendMessageA(edit, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(below.uiState, 0);
  SendSkinCmd(edit, CmdStopFade, 0);
  EXPECT_EQ(below.skinCmds, 1) << "commands the adapter does not answer go on";
  SendSkinCmd(edit, CmdIsSkinned, 0);
  EXPECT_EQ(below.skinCmds, 1);
}

TEST_F(AdapterWindow, DestructionReleasesTheWindowAndTheOwnerFreesTheAdapter) {
  TCountingLink below(edit);
  auto adapter = Adopt(edit, "EDIT");
  EXPECT_TRUE(adapter->Subclassed());
  DestroyWindow(edit);
  EXPECT_EQ(below.ncDestroy, 1);
  EXPECT_EQ(below.propAtNcDestroy, nullptr) << "the property went with the release";
  EXPECT_TRUE(adapter->Detached());
  EXPECT_FALSE(adapter->Subclassed()) << "the link left the chain";
  ReleaseAdapter(true, false, adapter);
  EXPECT_EQ(adapter, nullptr);
}

TEST_F(AdapterWindow, ReleaseFromTheMiddleOfTheChainKeepsTheOthers) {
  TCountingLink below(label);
  auto adapter = Adopt(label, "PANEL");
  TCountingLink above(label);
  ReleaseAdapter(false, true, adapter);
  ASSERT_TRUE(adapter);
  EXPECT_TRUE(adapter->Detached());
  EXPECT_EQ(GetPropA(label, "ACSBSC"), nullptr);
  EXPECT_EQ(GetWindowAdapter(label), nullptr);
  EXPECT_EQ(SendSkinCmd(label, CmdIsSkinned, 0), 0) << "the label is plain again";
  EXPECT_EQ(above.skinCmds, 1);
  EXPECT_EQ(below.skinCmds, 1) << "both other links still see the window's messages";
  // Freeing a released adapter touches the window no more.
  adapter.reset();
  EXPECT_EQ(SendSkinCmd(label, CmdIsSkinned, 0), 0);
  EXPECT_EQ(below.skinCmds, 2);
}

TEST_F(AdapterWindow, PropertyNamesOnlyALiveAdapterOfThatWindow) {
  SetPropA(edit, "ACSBSC", reinterpret_cast<HANDLE>(0x10));
  EXPECT_EQ(GetWindowAdapter(edit), nullptr) << "a stranger's value is not followed";
  RemovePropA(edit, "ACSBSC");

  auto first = Adopt(edit, "EDIT");
  auto second = Adopt(edit, "PANEL");
  EXPECT_EQ(GetWindowAdapter(edit), second.get());
  ReleaseAdapter(true, false, first);
  EXPECT_EQ(GetWindowAdapter(edit), second.get()) << "the later adapter keeps its name";
  EXPECT_EQ(GetWindowBgColor(edit), 0xFF0000);
  second.reset();
  EXPECT_EQ(GetPropA(edit, "ACSBSC"), nullptr);
  EXPECT_EQ(SendSkinCmd(edit, CmdIsSkinned, 0), 0);
}

TEST_F(AdapterWindow, PrintingPaintsTheSamePictureAsPainting) {
  auto adapter = Adopt(label, "PANEL");
  RECT r;
  GetClientRect(label, &r);
  auto picture = [&](UINT msg) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
    SendMessageA(label, msg, reinterpret_cast<WPARAM>(dc), msg == WM_PRINT ? PRF_CLIENT : 0);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; y += 3)
      for (int x = 0; x < r.right; x += 3) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return pixels;
  };
  const std::vector<COLORREF> painted = picture(WM_PAINT);
  EXPECT_EQ(picture(WM_PRINT), painted);
  EXPECT_NE(painted.front(), RGB(0, 0, 0)) << "the static painted its background";
}

TEST_F(AdapterWindow, ThemeIsOffWhileAdoptedExceptForDialogs) {
  TCountingLink editLink(edit), labelLink(label);
  auto editAdapter = Adopt(edit, "EDIT");
  auto dialogAdapter = Adopt(label, "DIALOG");
  EXPECT_EQ(editLink.themeChanged, 1) << "switched off";
  EXPECT_EQ(labelLink.themeChanged, 0) << "a dialog keeps its theme";
  ReleaseAdapter(false, false, editAdapter);
  EXPECT_EQ(editLink.themeChanged, 2) << "given back when the window is let go";
  editAdapter.reset();
  dialogAdapter.reset();
  EXPECT_EQ(editLink.themeChanged, 2);
  EXPECT_EQ(labelLink.themeChanged, 0);
}

TEST_F(AdapterWindow, AFrameworkControlIsAdoptedThroughItsWindowProc) {
  auto* form = new TForm(Application);
  form->SetBounds(60, 60, 200, 150);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 80, 40);
  form->Show();
  Settle(form->Handle());
  TControlSkinHost host(panel);
  TsCommonData data(&host, true);
  data.SetSkinSection("EDIT");
  auto adapter = TskMainWnd::Make<TskMainWnd>(panel->Handle(), &data, nullptr, "PANEL", false);
  EXPECT_FALSE(adapter->OwnsCommonData());
  EXPECT_EQ(adapter->CommonData()->SkinSection(), "EDIT") << "the skin data's own section stays";
  EXPECT_EQ(adapter->Manager(), f.Manager.get());
  EXPECT_TRUE(panel->ControlStyle().Contains(csOpaque));
  EXPECT_EQ(GetWindowAdapter(panel->Handle()), adapter.get());
  EXPECT_EQ(PerformSkinCmd(panel, CmdIsSkinned, 0), 1) << "handed to the control directly";
  EXPECT_EQ(SendSkinCmd(panel->Handle(), CmdIsSkinned, 0), 1);

  // A hook installed later stays when the adapter goes from under it.
  int above = 0;
  TWndMethod saved = panel->WindowProc();
  panel->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == SM_SKINCMD) ++above;
    saved(m);
  }));
  ReleaseAdapter(false, false, adapter);
  EXPECT_TRUE(adapter->Detached());
  EXPECT_FALSE(adapter->Subclassed());
  EXPECT_EQ(GetWindowAdapter(panel->Handle()), nullptr);
  EXPECT_EQ(PerformSkinCmd(panel, CmdIsSkinned, 0), 0);
  EXPECT_EQ(above, 1);

  // Adopted again, the control's destruction lets go of it; its owner frees the adapter.
  adapter = TskMainWnd::Make<TskMainWnd>(panel->Handle(), &data, nullptr, "PANEL", false);
  EXPECT_EQ(PerformSkinCmd(panel, CmdIsSkinned, 0), 1);
  delete form;
  EXPECT_TRUE(adapter->Detached());
  adapter.reset();
}

TEST(AdapterHelpers, ComponentsAndPublishedProperties) {
  Application->Initialize();
  auto* form = new TForm(Application);
  auto* outer = new TPanel(form);
  outer->SetParent(form);
  auto* inner = new TPanel(outer);  // owned by the panel: found after it, depth first
  inner->SetParent(outer);
  auto* last = new TPanel(form);
  last->SetParent(form);
  form->HandleNeeded();
  EXPECT_EQ(FindComponentByHandle(inner->Handle(), form), inner);
  EXPECT_EQ(FindComponentByHandle(last->Handle(), form), last);
  EXPECT_EQ(FindComponentByHandle(form->Handle(), form), nullptr) << "only owned components";
  EXPECT_EQ(FindComponentByHandle(nullptr, form), nullptr);

  SetControlOrdProperty(outer, "Color", 0x123456);
  EXPECT_EQ(outer->Color(), 0x123456);
  SetControlOrdProperty(outer, "NoSuchProperty", 1);
  SetControlOrdProperty(nullptr, "Color", 1);
  EXPECT_EQ(GetControlColorProperty(outer, "Color"), 0x123456);
  outer->SetColor(clBtnFace);
  EXPECT_EQ(GetControlColorProperty(outer, "Color"), ColorToRGB(clBtnFace));
  EXPECT_EQ(GetControlColorProperty(outer, "NoSuchProperty"), 0);
  EXPECT_EQ(GetControlColorProperty(nullptr, "Color"), 0);
  delete form;
}

TEST_F(AdapterWindow, SkinChangesReachTheChildWindowsAndRefreshRepaints) {
  auto top = Adopt(parent, "PANEL");
  auto child = Adopt(edit, "EDIT");
  TCountingLink below(label);  // a plain child hears the change too
  SendSkinCmd(edit, CmdPrepareCache, 0);
  ASSERT_FALSE(child->CommonData()->BackgroundDirty);
  const LPARAM manager = reinterpret_cast<LPARAM>(f.Manager.get());
  SendSkinCmd(parent, CmdSkinChanged, 0x4444);
  EXPECT_FALSE(child->CommonData()->BackgroundDirty) << "another manager's change";
  EXPECT_EQ(below.skinCmds, 0);
  SendSkinCmd(parent, CmdSkinChanged, manager);
  EXPECT_TRUE(child->CommonData()->BackgroundDirty);
  EXPECT_EQ(below.skinCmds, 1);

  SendSkinCmd(edit, CmdPrepareCache, 0);
  child->CommonData()->PaintSuspended = true;
  EXPECT_EQ(SendSkinCmd(edit, CmdIsUpdating, 0), 1);
  SendSkinCmd(edit, CmdRefresh, manager);
  EXPECT_TRUE(child->CommonData()->BackgroundDirty);
  EXPECT_EQ(SendSkinCmd(edit, CmdIsUpdating, 0), 0);
}

// ---- skinned scroll bars -----------------------------------------------------------------------

const char* const kScrollSkin =
    "[GLOBALINFO]\nCOLOR=8421504\n"
    "[EDIT]\nCOLOR=8421504\nTRANSPARENCY=0\n"
    "[SCROLLBAR1H]\nCOLOR=4210752\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLBAR2H]\nCOLOR=12632256\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLBTNLEFT]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\nHOTTRANSPARENCY=0\n"
    "[SCROLLBTNRIGHT]\nCOLOR=2105376\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLSLIDERH]\nCOLOR=6348896\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLBAR1V]\nCOLOR=4210752\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLBAR2V]\nCOLOR=12632256\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLBTNTOP]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\nHOTTRANSPARENCY=0\n"
    "[SCROLLBTNBOTTOM]\nCOLOR=2105376\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\n"
    "HOTTRANSPARENCY=0\n"
    "[SCROLLSLIDERV]\nCOLOR=6348896\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\n"
    "HOTTRANSPARENCY=0\n";
constexpr COLORREF kPage1 = 0x404040, kPage2 = 0xC0C0C0, kArrow1 = 0x00FF00, kArrow2 = 0x202020,
                   kThumb = 0x60E060, kPressed = 0x20B020, kPagePressed = 0xFFFFFF;

// A window that scrolls the way most windows do: it moves its own position on each scroll
// message and remembers the codes it got.
struct TScrollLog {
  std::vector<std::pair<UINT, int>> codes;  // message, scroll code
  std::vector<ULONGLONG> times;             // when each of them came (GetTickCount64)
  std::vector<int> thumbPositions;          // HIWORD of SB_THUMBTRACK and SB_THUMBPOSITION
};
TScrollLog* gScrollLog = nullptr;

LRESULT CALLBACK ScrollingWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_VSCROLL && msg != WM_HSCROLL) return DefWindowProcA(wnd, msg, wp, lp);
  const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
  const int code = LOWORD(wp);
  if (gScrollLog) {
    gScrollLog->codes.emplace_back(msg, code);
    gScrollLog->times.push_back(GetTickCount64());
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
      gScrollLog->thumbPositions.push_back(HIWORD(wp));
  }
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(wnd, bar, &si);
  int pos = si.nPos;
  switch (code) {
    case SB_LINEUP:
      pos -= 1;
      break;
    case SB_LINEDOWN:
      pos += 1;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(si.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(si.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = HIWORD(wp);
      break;
    default:
      return 0;
  }
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(wnd, bar, &si, TRUE);
  return 0;
}

struct ScrollBarWindow : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ScrollingWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KestravaScrollTest";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
  }
  void SetUp() override {
    // Every press and hover ended with the window of the test before.
    ASSERT_EQ(ScrollTrackState().TrackWindow(), nullptr);
    gScrollLog = &log;
    f.AddFolderSkin("Scroll", kScrollSkin);
    f.Manager->SetSkinName("Scroll");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    wnd = CreateWindowExA(0, "KestravaScrollTest", "",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 20, 20, 200,
                          150, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(parent && wnd);
    SetRange(SB_VERT, 0, 99, 10, 0);
    SetRange(SB_HORZ, 0, 99, 50, 0);
    adapter = TskMainWnd::Make<TskScrollWnd>(wnd, nullptr, nullptr, "EDIT", true);
    Settle(parent);
    thick = GetScrollBarSize(*adapter->VertBar, true, false);
    arrow = GetScrollBarSize(*adapter->VertBar, false, false);
  }
  void TearDown() override {
    adapter.reset();
    if (IsWindow(parent)) DestroyWindow(parent);
    gScrollLog = nullptr;
  }
  void SetRange(int bar, int nMin, int nMax, unsigned page, int pos) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = nMin;
    si.nMax = nMax;
    si.nPage = page;
    si.nPos = pos;
    SetScrollInfo(wnd, bar, &si, FALSE);
  }
  int Pos(int bar) { return GetScrollPos(wnd, bar); }
  // Window coordinates of a point along the vertical bar's middle, and along the horizontal's.
  COLORREF VertAt(int y) { return WindowPixel(wnd, 200 - 1 - thick / 2, y); }
  COLORREF HorzAt(int x) { return WindowPixel(wnd, x, 150 - 1 - thick / 2); }
  // Screen point of a window point.
  LPARAM ScreenPoint(int x, int y) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return MAKELPARAM(r.left + x, r.top + y);
  }
  skintest::TManagerFixture f;
  TScrollLog log;
  HWND parent = nullptr, wnd = nullptr;
  std::unique_ptr<TskScrollWnd> adapter;
  int thick = 0, arrow = 0;
};

TEST_F(ScrollBarWindow, BarsTakeTheirSpaceAndShowTheSkinAtTheirPlaces) {
  ASSERT_TRUE(adapter->HorzBar->Shown);
  ASSERT_TRUE(adapter->VertBar->Shown);
  EXPECT_EQ(adapter->EdgeLeft, 1);
  EXPECT_EQ(adapter->EdgeBottom, 1);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 200 - 2 - thick);
  EXPECT_EQ(client.bottom, 150 - 2 - thick);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  EXPECT_EQ(adapter->GetVertBarRect(),
            (TRect{wr.right - 1 - thick, wr.top + 1, wr.right - 1, wr.bottom - 1 - thick}));
  EXPECT_EQ(adapter->GetHorzBarRect(),
            (TRect{wr.left + 1, wr.bottom - 1 - thick, wr.right - 1 - thick, wr.bottom - 1}));

  // Vertical: 0..99, page 10, at 0. Horizontal: page 50, at 0.
  const int vertBottom = 150 - 1 - thick;
  EXPECT_EQ(VertAt(1 + arrow / 2), kArrow1);
  EXPECT_EQ(VertAt(1 + arrow + 3), kThumb);
  EXPECT_EQ(VertAt(vertBottom - arrow - 3), kPage2);
  EXPECT_EQ(VertAt(vertBottom - arrow / 2), kArrow2);
  const int horzRight = 200 - 1 - thick;
  EXPECT_EQ(HorzAt(1 + arrow / 2), kArrow1);
  EXPECT_EQ(HorzAt(1 + arrow + 3), kThumb);
  EXPECT_EQ(HorzAt(horzRight - arrow - 3), kPage2);
  EXPECT_EQ(HorzAt(horzRight - arrow / 2), kArrow2);

  // The thumb follows the position once the bars are refreshed.
  SetRange(SB_VERT, 0, 99, 10, 90);
  adapter->UpdateScrollBars(true);
  Settle(parent);
  EXPECT_EQ(VertAt(1 + arrow + 3), kPage1);
  EXPECT_EQ(VertAt(vertBottom - arrow - 3), kThumb);
  // A repaint of the frame keeps them.
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Settle(parent);
  EXPECT_EQ(VertAt(vertBottom - arrow - 3), kThumb);
  EXPECT_EQ(HorzAt(1 + arrow + 3), kThumb);
}

TEST_F(ScrollBarWindow, LeftScrollBarAndReleaseGiveTheSpaceBack) {
  SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  Settle(parent);
  EXPECT_TRUE(adapter->LeftScrollBar);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  EXPECT_EQ(adapter->GetVertBarRect().Left, wr.left + 1);
  EXPECT_EQ(WindowPixel(wnd, 1 + thick / 2, 1 + arrow / 2), kArrow1);
  EXPECT_EQ(GetScrollBarObject(wnd, 1), adapter->VertBar.get());
  EXPECT_EQ(GetScrollBarObject(wnd, 2), nullptr);
  SetMinThumbLength(wnd, 1, 30);
  EXPECT_EQ(adapter->VertBar->MinThumbLength, 30);
  EXPECT_EQ(adapter->HorzBar->MinThumbLength, 10);
  adapter.reset();
  EXPECT_EQ(GetScrollBarObject(wnd, 1), nullptr);
  // The window's own bars are back in the non-client area.
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 200 - 2 - GetSystemMetrics(SM_CXVSCROLL));
}

// The adapter's timer that repeats a held arrow or page.
constexpr UINT_PTR kRepeatTimerId = 0xFFFE;

// Handles whatever arrives (timers included) until `done()` holds, counting in `repeats` the
// repeat timer's ticks for `wnd`; false when it still does not hold after 10 s.
bool PumpUntil(HWND wnd, int& repeats, const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + 10000;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd == wnd && msg.wParam == kRepeatTimerId) ++repeats;
      DispatchMessageA(&msg);
    }
  }
  return true;
}

TEST_F(ScrollBarWindow, ClicksOnArrowsAndPagesSendOrdinaryScrollCodes) {
  const int x = 200 - 1 - thick / 2;
  const int vertBottom = 150 - 1 - thick;
  EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, ScreenPoint(x, 40)), HTVSCROLL);
  EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, ScreenPoint(40, 150 - 1 - thick / 2)), HTHSCROLL);
  EXPECT_NE(SendMessageA(wnd, WM_NCHITTEST, 0, ScreenPoint(40, 40)), HTVSCROLL);

  struct Case {
    WPARAM hit;
    int x, y;
    UINT msg;
    int code, pos;
  } const cases[] = {
      {HTVSCROLL, x, vertBottom - arrow / 2, WM_VSCROLL, SB_LINEDOWN, 1},
      {HTVSCROLL, x, vertBottom - arrow - 3, WM_VSCROLL, SB_PAGEDOWN, 11},
      {HTVSCROLL, x, 1 + arrow / 2, WM_VSCROLL, SB_LINEUP, 10},
      {HTHSCROLL, 200 - 1 - thick - arrow / 2, 150 - 1 - thick / 2, WM_HSCROLL, SB_LINEDOWN, 1},
  };
  for (const Case& c : cases) {
    log.codes.clear();
    const int bar = c.msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    EXPECT_EQ(SendMessageA(wnd, WM_NCLBUTTONDOWN, c.hit, ScreenPoint(c.x, c.y)), 0);
    EXPECT_EQ(GetCapture(), wnd);
    EXPECT_EQ(Pos(bar), c.pos) << c.code;
    SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
    EXPECT_NE(GetCapture(), wnd);
    const std::vector<std::pair<UINT, int>> want{{c.msg, c.code}, {c.msg, SB_ENDSCROLL}};
    EXPECT_EQ(log.codes, want) << c.code;
    EXPECT_EQ(ScrollTrackState().DownPart(), TScrollBarPart::None);
  }
  // Right and middle presses on a bar are swallowed.
  log.codes.clear();
  EXPECT_EQ(SendMessageA(wnd, WM_NCRBUTTONDOWN, HTVSCROLL, ScreenPoint(x, 40)), 0);
  EXPECT_EQ(SendMessageA(wnd, WM_NCMBUTTONDOWN, HTVSCROLL, ScreenPoint(x, 40)), 0);
  EXPECT_TRUE(log.codes.empty());
}

// The repetition reads where the pointer is, so the test moves the real pointer (window
// tests run one at a time). Every step waits for the repeat timer's ticks, never for a time.
TEST_F(ScrollBarWindow, PressedArrowLooksPressedAndRepeatsUntilTheButtonGoesUp) {
  const int x = 200 - 1 - thick / 2;
  const int y = 150 - 1 - thick - arrow / 2;  // the bottom arrow
  RECT wr{};
  GetWindowRect(wnd, &wr);
  SetCursorPos(wr.left + x, wr.top + y);
  int repeats = 0;
  const ULONGLONG pressedAt = GetTickCount64();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(x, y));
  EXPECT_EQ(Pos(SB_VERT), 1) << "one line at once";
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, y), kPressed);
  ASSERT_TRUE(PumpUntil(wnd, repeats, [&] { return Pos(SB_VERT) >= 3; }))
      << "repeating after the first delay";
  // A timer is never early: the first repetition shows the first delay however busy the
  // machine (a little less for the clock's steps).
  ASSERT_GE(log.times.size(), 2u);
  EXPECT_GE(log.times[1] - pressedAt, 280u) << "the first repetition came before the delay";

  // Off the arrow each tick finds the pointer elsewhere: no line more, the arrow released.
  SetCursorPos(wr.left + x, wr.top + 60);
  repeats = 0;
  const int paused = Pos(SB_VERT);
  ASSERT_TRUE(PumpUntil(wnd, repeats, [&] { return repeats >= 3; }));
  EXPECT_EQ(Pos(SB_VERT), paused);
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, y), kArrow2);
  // Back on it, it goes on.
  SetCursorPos(wr.left + x, wr.top + y);
  EXPECT_TRUE(PumpUntil(wnd, repeats, [&] { return Pos(SB_VERT) > paused; }));

  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  const int released = Pos(SB_VERT);
  EXPECT_FALSE(KillTimer(wnd, kRepeatTimerId)) << "no repetition after the button went up";
  Settle(parent, 0);
  EXPECT_EQ(Pos(SB_VERT), released);
  EXPECT_EQ(log.codes.back(), (std::pair<UINT, int>{WM_VSCROLL, SB_ENDSCROLL}));
  // Released under the cursor the arrow looks hot (the release brings a pointer move over
  // the bar, and the hover timer finds the part); once the cursor leaves the bar, normal.
  EXPECT_TRUE(PumpUntil(wnd, repeats, [] {
    return ScrollTrackState().HoverBar() == TScrollBarKind::Vertical &&
           ScrollTrackState().HoverPart() != TScrollBarPart::None;
  }));
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, y), kPressed);
  SetCursorPos(wr.left + 40, wr.top + 40);
  EXPECT_TRUE(PumpUntil(wnd, repeats, [] { return !ScrollTrackState().HoverBar(); }));
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, y), kArrow2);
  EXPECT_FALSE(ScrollTrackState().HoverBar());
}

TEST_F(ScrollBarWindow, DraggedThumbTracksAndEndsAtItsPosition) {
  const int x = 200 - 1 - thick / 2;
  const int grabY = 1 + arrow + 3;  // on the thumb at position 0
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(x, grabY));
  EXPECT_TRUE(adapter->DraggingThumb);
  EXPECT_EQ(GetCapture(), wnd);
  // Client coordinates of the bar: the client area starts one pixel in.
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 1, grabY - 1 + 40));
  ASSERT_FALSE(log.thumbPositions.empty());
  const int middle = log.thumbPositions.back();
  EXPECT_GT(middle, 0);
  EXPECT_LT(middle, 90);
  EXPECT_EQ(Pos(SB_VERT), middle);
  // Far below the bar: the last page's start, no further.
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 1, 1000));
  EXPECT_EQ(log.thumbPositions.back(), 90);
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, 150 - 1 - thick - arrow - 3), kPressed) << "the thumb, pressed";
  log.codes.clear();
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  const std::vector<std::pair<UINT, int>> want{{WM_VSCROLL, SB_THUMBPOSITION},
                                               {WM_VSCROLL, SB_ENDSCROLL}};
  EXPECT_EQ(log.codes, want);
  EXPECT_EQ(log.thumbPositions.back(), 90);
  EXPECT_EQ(Pos(SB_VERT), 90);
  EXPECT_FALSE(adapter->DraggingThumb);
  Settle(parent, 0);
  EXPECT_EQ(WindowPixel(wnd, x, 150 - 1 - thick - arrow - 3), kThumb);
  EXPECT_EQ(WindowPixel(wnd, x, grabY), kPage1);
}

TEST_F(ScrollBarWindow, CornerActsAsTheFormsSizeGripOnlyInTheFormsCorner) {
  const LPARAM corner = ScreenPoint(200 - 1 - thick / 2, 150 - 1 - thick / 2);
  EXPECT_NE(SendMessageA(wnd, WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);
  // Moved into the bottom-right corner of its top-level parent's client area.
  SetWindowPos(wnd, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle(parent);
  EXPECT_EQ(
      SendMessageA(wnd, WM_NCHITTEST, 0, ScreenPoint(200 - 1 - thick / 2, 150 - 1 - thick / 2)),
      HTBOTTOMRIGHT);
}

TEST_F(ScrollBarWindow, UiActivationGivesTheWindowItsMeasuredSizeBack) {
  adapter->ReadWindowGeometry();
  SetWindowPos(wnd, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(wnd, CM_UIACTIVATE, 0, 0);
  RECT r{};
  GetWindowRect(wnd, &r);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 150);
}

TEST_F(ScrollBarWindow, PressEndsWhenItsWindowGoes) {
  const int x = 200 - 1 - thick / 2;
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(x, 150 - 1 - thick - arrow / 2));
  ASSERT_EQ(ScrollTrackState().TrackWindow(), wnd);
  ASSERT_NE(ScrollTrackState().DownPart(), TScrollBarPart::None);
  DestroyWindow(wnd);
  EXPECT_EQ(ScrollTrackState().TrackWindow(), nullptr);
  EXPECT_EQ(ScrollTrackState().DownPart(), TScrollBarPart::None);
  EXPECT_TRUE(adapter->Detached());
  // Timers go with their window: what was queued for it is handled without reaching the
  // released adapter.
  Settle(nullptr, 0);
}

}  // namespace
