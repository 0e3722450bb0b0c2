// The main window's editor and log pane under Wine with "Office12Style": both carry edit
// adapters, their border and scroll bars are what the adapters paint from the skin, and
// typing, selecting and scrolling through real input still work; with the skin removed the
// adapters let go of both windows, and a subclass put on top after them survives.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/mainWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skCtrlAdapterWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::PumpUntil;
using ktest::Settle;

COLORREF ScreenPixel(HWND wnd, int x, int y) {
  RECT r{};
  GetWindowRect(wnd, &r);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, r.left + x, r.top + y);
  ReleaseDC(nullptr, screen);
  return c;
}

// What the adapter paints at a window point: its border from its cache image, its bars into
// a picture of the window.
struct TPainted {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  explicit TPainted(TskEditWnd& adapter) {
    const TSize size = adapter.WindowSize();
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, bitmap);
    // Over what the window shows now, so that the bars are painted over the same background.
    HDC window = GetWindowDC(adapter.WindowHandle());
    BitBlt(dc, 0, 0, size.cx, size.cy, window, 0, 0, SRCCOPY);
    ReleaseDC(adapter.WindowHandle(), window);
    adapter.PaintBars(dc);
  }
  ~TPainted() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

// Within a few steps per channel: the bars blend their parts over what lies behind them.
bool Near(COLORREF a, COLORREF b) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        12)
      return false;
  return true;
}

COLORREF CachePixel(TskEditWnd& adapter, int x, int y) {
  TBitmap* cache = adapter.CommonData()->CacheBitmap.get();
  if (!cache) return CLR_INVALID;
  return GetPixel(cache->Canvas()->Handle(), x, y);
}

class MainWindowAdapters : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
    InstallControlAdapters();
  }
  static void TearDownTestSuite() { SetControlAdapterFactory(nullptr); }
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    dumpPath = std::string(temp) + "kestrava_adapters_dump.sql";
    {
      std::ofstream out(dumpPath, std::ios::binary);
      for (int i = 0; i < 400; ++i)
        out << "INSERT INTO t VALUES (" << i << ", 'row number " << i << "');\n";
    }
    form = new TForm1(Application);
    Form1 = form;
    form->AfterConstruction();
    form->CheckVersion = nullptr;  // no update server here
    form->sSkinManager1->SetSkinDirectory(skintest::WineSkinFolders());
    form->sSkinManager1->SetActive(true);
    ASSERT_TRUE(form->sSkinManager1->CurrentSkin().Active);
    {
      ktest::TMessageBoxWatcher watcher;
      form->Show();
      Application->ProcessMessages();
      form->OpenWithPreparation(dumpPath);
      for (int i = 0; i < 30; ++i) {
        std::string line = "log line ";
        line += std::to_string(i);
        form->re_split->Lines()->Add(line);
      }
    }
    SetForegroundWindow(form->Handle());
    Settle(form->Handle(), 300);
  }
  void TearDown() override {
    delete form;
    Form1 = nullptr;
    DeleteFileA(dumpPath.c_str());
  }
  TskEditWnd* AdapterOf(TWinControl* c) {
    return dynamic_cast<TskEditWnd*>(GetWindowAdapter(c->Handle()));
  }
  std::string dumpPath;
  TForm1* form = nullptr;
};

TEST_F(MainWindowAdapters, EditorAndLogPaneArePaintedByTheirAdaptersAndStillWork) {
  for (TWinControl* c : std::initializer_list<TWinControl*>{form->re_org, form->re_split}) {
    SCOPED_TRACE(c->Name());
    ASSERT_NE(GetPropA(c->Handle(), "ACSBSC"), nullptr);
    TskEditWnd* adapter = AdapterOf(c);
    ASSERT_NE(adapter, nullptr);
    // The border is the adapter's cache image, made from the skin's EDIT section.
    for (const POINT p : {POINT{0, 0}, POINT{1, 20}, POINT{adapter->WindowSize().cx / 2, 0}})
      EXPECT_EQ(ScreenPixel(c->Handle(), p.x, p.y), CachePixel(*adapter, p.x, p.y));
    // The vertical bar is the skinned one.
    ASSERT_TRUE(adapter->VertBar && adapter->VertBar->Shown);
    TPainted painted(*adapter);
    const TRect bar = adapter->GetVertBarRect();
    const int x = bar.Left + bar.Width() / 2 - adapter->ScreenRect().Left;
    for (int y : {bar.Top + 3, (bar.Top + bar.Bottom) / 2, bar.Bottom - 3}) {
      const int wy = y - adapter->ScreenRect().Top;
      EXPECT_TRUE(Near(ScreenPixel(c->Handle(), x, wy), painted.At(x, wy))) << "bar at " << wy;
    }
  }
  ktest::SaveScreenshot(form->Handle(), "main-adapted");

  // Typing and selecting in the editor.
  HWND editor = form->re_org->Handle();
  ktest::Click(ktest::ClientCentreOf(editor));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == editor; }))
      << "foreground " << (GetForegroundWindow() == form->Handle()) << " under point "
      << (WindowFromPoint(ktest::ClientCentreOf(editor)) == editor) << " enabled "
      << IsWindowEnabled(editor) << " focus " << GetFocus();
  ktest::PressKeys({VK_CONTROL}, VK_HOME);
  ktest::TypeText("zz");
  EXPECT_TRUE(PumpUntil([&] { return form->Lines()->Strings(0).rfind("zzINSERT", 0) == 0; }))
      << form->Lines()->Strings(0);
  ktest::PressKeys({VK_SHIFT}, VK_END);
  EXPECT_TRUE(PumpUntil([&] { return form->re_org->GetSelText().rfind("INSERT", 0) == 0; }))
      << form->re_org->GetSelText();

  // A click into the skinned bar's track below the thumb pages down.
  TskEditWnd* adapter = AdapterOf(form->re_org);
  const TRect bar = adapter->GetVertBarRect();
  ASSERT_EQ(form->re_org->Model().TopLine(), 1);
  ktest::Click(POINT{(bar.Left + bar.Right) / 2, bar.Bottom - bar.Width() - 4});
  EXPECT_TRUE(PumpUntil([&] { return form->re_org->Model().TopLine() > 1; }));
  const int paged = form->re_org->Model().TopLine();
  // And one on its down arrow scrolls a line.
  ktest::Click(POINT{(bar.Left + bar.Right) / 2, bar.Bottom - bar.Width() / 2});
  EXPECT_TRUE(PumpUntil([&] { return form->re_org->Model().TopLine() == paged + 1; }))
      << form->re_org->Model().TopLine() << " after " << paged;
}

// The skinned bar keeps its last picture while nothing it shows changes: a thumb that moved
// must be shown where it moved to, and back where it was.
TEST_F(MainWindowAdapters, TheSkinnedBarFollowsTheThumbToTheEndAndBack) {
  HWND editor = form->re_org->Handle();
  TskEditWnd* adapter = AdapterOf(form->re_org);
  ASSERT_NE(adapter, nullptr);
  const TRect bar = adapter->GetVertBarRect();
  const auto column = [&] {
    std::vector<COLORREF> pixels;
    RECT r{};
    GetWindowRect(editor, &r);
    for (int y = bar.Top; y < bar.Bottom; ++y)
      pixels.push_back(ScreenPixel(editor, (bar.Left + bar.Right) / 2 - r.left, y - r.top));
    return pixels;
  };
  // The pointer stays in the text from here on, off the bar's arrows.
  ktest::Click(ktest::ClientCentreOf(editor));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == editor; }));
  Settle(form->Handle(), 200);
  const std::vector<COLORREF> atTop = column();
  ktest::PressKeys({VK_CONTROL}, VK_END);
  ASSERT_TRUE(PumpUntil([&] { return form->re_org->Model().TopLine() > 300; }));
  Settle(form->Handle(), 200);
  EXPECT_NE(column(), atTop) << "the thumb is still shown at the top";
  ktest::PressKeys({VK_CONTROL}, VK_HOME);
  ASSERT_TRUE(PumpUntil([&] { return form->re_org->Model().TopLine() == 1; }));
  Settle(form->Handle(), 200);
  EXPECT_EQ(column(), atTop);
}

TEST_F(MainWindowAdapters, RemovingTheSkinReleasesBothPastALaterSubclass) {
  HWND editor = form->re_org->Handle();
  int keys = 0;
  TWindowSubclass spy(editor, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_CHAR) ++keys;
    return false;
  });
  form->sSkinManager1->SetActive(false);
  Settle(form->Handle(), 300);
  for (TWinControl* c : std::initializer_list<TWinControl*>{form->re_org, form->re_split}) {
    EXPECT_EQ(GetPropA(c->Handle(), "ACSBSC"), nullptr) << c->Name();
    EXPECT_EQ(GetWindowAdapter(c->Handle()), nullptr) << c->Name();
  }
  EXPECT_EQ(form->sSkinProvider1->ControlAdapter(), nullptr);
  ktest::SaveScreenshot(form->Handle(), "main-adapters-released");
  ktest::Click(ktest::ClientCentreOf(editor));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == editor; }));
  ktest::PressKeys({VK_CONTROL}, VK_HOME);
  ktest::TypeText("ab");
  EXPECT_TRUE(PumpUntil([&] { return form->Lines()->Strings(0).rfind("abINSERT", 0) == 0; }))
      << form->Lines()->Strings(0);
  EXPECT_EQ(keys, 2);
}

}  // namespace
