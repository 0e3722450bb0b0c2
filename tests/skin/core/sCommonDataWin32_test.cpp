// The skin data of real controls under Wine: a child asks its skinned parent what lies
// behind it and gets the parent's colour, its section or its pixels where the child lies;
// the cache bitmap follows its control's size and is what the control shows.
#include "skin/core/painting/sCommonDataWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "framework/Canvas.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFadeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

// A panel skinned the way the skinned controls are: the common handling first, then, when
// its background is dirty, its cache sized and painted over what lies behind, then copied.
class TSkinnedPanel : public TPanel {
 public:
  explicit TSkinnedPanel(TComponent* owner) : TPanel(owner), host(this), data(&host, true) {}

  void WndProc(TMessage& m) override {
    if (HandleCommonMessage(m, &data)) return;
    if (m.Msg == SM_SKINCMD) {
      const int cmd = SkinCmdOf(m.WParam);
      ++received[cmd];
      if (cmd == CmdPrepareCache) PrepareCache();
      // The fade is freed when it ends.
      if (cmd == CmdStopFade) StopFading(fade, data);
    }
    if (data.IsSkinned() && m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    if (data.IsSkinned() && m.Msg == WM_PAINT) {
      PrepareCache();
      TPaintDC dc(Handle());
      TBitmap* cache = data.CacheBitmap.get();
      BitBlt(dc.Get(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
             SRCCOPY);
      m.Result = 0;
      return;
    }
    TPanel::WndProc(m);
  }
  void PrepareCache() {
    if (!data.BackgroundDirty) return;
    data.UpdateCacheSize();
    TsBackgroundSource behind;
    data.GetParentBackground(behind);
    TBitmap* cache = data.CacheBitmap.get();
    PaintControlItem(data, behind, cache, BoundsRect().TopLeft(),
                     TRect{0, 0, cache->Width(), cache->Height()}, TsPaintState::Normal);
    data.BackgroundDirty = false;
  }

  TControlSkinHost host;
  TsCommonData data;
  std::unique_ptr<TsFadeTimer> fade;
  std::map<int, int> received;
};

void Pump() {
  for (int i = 0; i < 10; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

struct SkinDataWindow : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    // GRAD runs from red at the left to blue at the right: every column differs.
    f.AddFolderSkin("Behind",
                    "[GLOBALINFO]\nCOLOR=8421504\n"
                    "[OWNFONT]\nCOLOR=255\nGIVEOWNFONT=1\n"
                    "[GRAD]\nCOLOR=0\nGRADIENTPERCENT=100\nGRADIENTDATA=255;16711680;100;1;0\n"
                    "[GLASS]\nCOLOR=65280\nTRANSPARENCY=100\n"
                    "[FADE]\nCOLOR=255\nFADINGENABLED=1\nFADINGITERATIONS=4\n");
    f.Manager->SetSkinName("Behind");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    form = new TForm(Application);
    form->SetBounds(40, 40, 320, 220);
    outer = new TSkinnedPanel(form);
    outer->SetParent(form);
    outer->SetBounds(10, 10, 200, 120);
    inner = new TSkinnedPanel(form);
    inner->SetParent(outer);
    inner->SetBounds(30, 20, 60, 40);
    form->Show();
    Pump();
    parent = outer;
    child = inner;
  }
  void TearDown() override { delete form; }
  skintest::TManagerFixture f;
  TForm* form = nullptr;
  TSkinnedPanel* outer = nullptr;
  TSkinnedPanel* inner = nullptr;
  TSkinnedPanel* parent = nullptr;  // the same two, by role
  TSkinnedPanel* child = nullptr;
};

TEST_F(SkinDataWindow, ChildsRequestIsAnsweredWithTheParentsSectionAndColour) {
  parent->data.SetSkinSection("OWNFONT");
  child->data.SetSkinSection("GLASS");
  ASSERT_TRUE(parent->data.IsSkinned());

  TsBackgroundRequest asked;
  EXPECT_TRUE(GetControlBackground(asked, outer, false));
  EXPECT_EQ(asked.BgType, 1);
  EXPECT_EQ(asked.Color, 0x0000FF);

  // The fully transparent child passes a request on to its parent.
  TsBackgroundRequest viaChild;
  SendSkinCmd(inner->Handle(), CmdGetBgInfo, reinterpret_cast<LPARAM>(&viaChild));
  EXPECT_EQ(viaChild.BgType, 1);
  EXPECT_EQ(viaChild.Color, 0x0000FF);
  EXPECT_EQ(ColorToRGB(child->data.BgColor(0)), 0x0000FF);

  // The child's text takes the parent's section, which gives its own font.
  EXPECT_EQ(FindFontParentSection(inner, -1, nullptr), f.Manager->GetSectionIndex("OWNFONT"));
}

TEST_F(SkinDataWindow, CopyRequestGetsTheParentsPixelsWhereTheChildLies) {
  parent->data.SetSkinSection("GRAD");
  child->data.SetSkinSection("GLASS");
  parent->PrepareCache();
  TBitmap* cache = parent->data.CacheBitmap.get();
  ASSERT_EQ(cache->Width(), 200);

  auto target = CreateBmp32(60, 40);
  FillRect32(target.get(), TRect{0, 0, 60, 40}, 0xFFFFFF);
  TsBackgroundRequest copy;
  copy.PleaseDraw = true;
  copy.DrawDC = target->Canvas()->Handle();
  copy.R = TRect{0, 0, 60, 40};
  SendSkinCmd(inner->Handle(), CmdGetBgInfo, reinterpret_cast<LPARAM>(&copy));
  EXPECT_EQ(copy.BgType, 2);
  for (int x : {0, 29, 59})
    EXPECT_EQ(skintest::Pixel32(*target, x, 20) & 0xFFFFFF,
              skintest::Pixel32(*cache, 30 + x, 40) & 0xFFFFFF)
        << x;
  // A bitmap handed out has the child's place in it.
  TsBackgroundRequest bitmap;
  SendSkinCmd(inner->Handle(), CmdGetBgInfo, reinterpret_cast<LPARAM>(&bitmap));
  EXPECT_EQ(bitmap.BgType, 2);
  EXPECT_EQ(bitmap.Bmp, cache);
  EXPECT_EQ(bitmap.X, 30);
  EXPECT_EQ(bitmap.Y, 20);
}

TEST_F(SkinDataWindow, CacheResizesWithItsControlAndIsWhatItShows) {
  parent->data.SetSkinSection("GRAD");
  InvalidateRect(outer->Handle(), nullptr, TRUE);
  Pump();
  ASSERT_TRUE(parent->data.CacheBitmap);
  EXPECT_EQ(parent->data.CacheBitmap->Width(), 200);
  EXPECT_EQ(parent->data.CacheBitmap->Height(), 120);

  outer->SetBounds(10, 10, 280, 150);
  EXPECT_TRUE(parent->data.BackgroundDirty);  // the size change made the image stale
  InvalidateRect(outer->Handle(), nullptr, TRUE);
  Pump();
  TBitmap* cache = parent->data.CacheBitmap.get();
  EXPECT_EQ(cache->Width(), 280);
  EXPECT_EQ(cache->Height(), 150);
  // The right end of the grown panel shows the blue end of the gradient from its cache.
  const COLORREF shown = ktest::ClientPixel(outer->Handle(), 276, 140);
  const uint32_t cached = skintest::Pixel32(*cache, 276, 140) & 0xFFFFFF;  // 0x00RRGGBB
  EXPECT_EQ(shown, static_cast<COLORREF>(SwapRedBlueBytes(cached)));
  EXPECT_GT(GetBValue(shown), 200);
  EXPECT_LT(GetRValue(shown), 40);
}

// A state change fades from the control's cache: the start image is taken, the control is
// told to prepare its new image, frames follow, and the control frees the fade when told
// that it ended.
TEST_F(SkinDataWindow, FadeRunsFromTheCacheAndIsFreedWhenItEnds) {
  parent->data.SetSkinSection("FADE");
  parent->PrepareCache();
  ASSERT_FALSE(parent->data.BackgroundDirty);
  RepaintWithFade(parent->fade, parent->data, false, 1, true);
  ASSERT_TRUE(parent->fade);
  EXPECT_EQ(parent->fade->Steps.StepCount, 4);
  EXPECT_EQ(parent->received[CmdPrepareCache], 1);
  const DWORD start = GetTickCount();
  while (parent->fade && GetTickCount() - start < 10000) {
    Application->ProcessMessages();
    Sleep(2);
  }
  EXPECT_FALSE(parent->fade);
  EXPECT_EQ(parent->received[CmdFadeFrame], 4);
  EXPECT_EQ(parent->received[CmdStopFade], 1);

  // Not allowed: no fade, the control is repainted at once.
  RepaintWithFade(parent->fade, parent->data, false, 1, false);
  EXPECT_FALSE(parent->fade);
  EXPECT_TRUE(parent->data.BackgroundDirty);
}

// The cache goes to the screen around the children that paint themselves over it: graphic
// controls and opaque windows, each moved by the offsets; a see-through window is painted over.
TEST_F(SkinDataWindow, CacheBlitLeavesOutGraphicAndOpaqueChildren) {
  parent->data.SetSkinSection("GRAD");
  parent->PrepareCache();
  auto* bevel = new TBevel(form);
  bevel->SetParent(outer);
  bevel->SetBounds(120, 20, 40, 30);
  auto* seeThrough = new TPanel(form);
  seeThrough->SetParent(outer);
  seeThrough->SetBounds(120, 70, 40, 30);
  TControlStyle style = seeThrough->ControlStyle();
  style -= csOpaque;
  seeThrough->SetControlStyle(style);
  Pump();
  TBitmap* cache = parent->data.CacheBitmap.get();
  const TRect whole{0, 0, 200, 120};
  auto shot = [&](int xOffset) {
    auto target = CreateBmp32(200, 120);
    FillRect32(target.get(), whole, 0xFFFFFF);
    BlitCacheExceptControls(
        outer, parent->data,
        {.DC = target->Canvas()->Handle(), .Dest = whole, .Source = whole, .Offset = {xOffset, 0}});
    return target;
  };
  auto fromCache = [&](TBitmap& b, int x, int y) {
    return (skintest::Pixel32(b, x, y) & 0xFFFFFF) == (skintest::Pixel32(*cache, x, y) & 0xFFFFFF);
  };
  auto untouched = [](TBitmap& b, int x, int y) {
    return (skintest::Pixel32(b, x, y) & 0xFFFFFF) == 0xFFFFFFu;
  };
  auto plain = shot(0);
  EXPECT_TRUE(fromCache(*plain, 10, 10));
  EXPECT_TRUE(untouched(*plain, 50, 40));   // the opaque child panel
  EXPECT_TRUE(untouched(*plain, 122, 35));  // the bevel
  EXPECT_TRUE(fromCache(*plain, 140, 85));  // the see-through panel
  auto moved = shot(5);
  EXPECT_TRUE(fromCache(*moved, 122, 35));  // the bevel's hole moved right by 5
  EXPECT_TRUE(untouched(*moved, 162, 35));
}

// A child painted over what its parent answers: a clear section shows the parent's cached
// pixels where the child lies.
TEST_F(SkinDataWindow, ItemOnParentShowsTheParentsPixelsWhereTheChildLies) {
  parent->data.SetSkinSection("GRAD");
  child->data.SetSkinSection("GLASS");
  parent->PrepareCache();
  TBitmap* cache = parent->data.CacheBitmap.get();
  auto target = CreateBmp32(60, 40);
  FillRect32(target.get(), TRect{0, 0, 60, 40}, 0xFFFFFF);
  PaintControlItemOnParent(child->data, outer, target.get(), TPoint{30, 20}, TRect{0, 0, 60, 40},
                           TsPaintState::Normal);
  for (int x : {0, 29, 59})
    EXPECT_EQ(skintest::Pixel32(*target, x, 20) & 0xFFFFFF,
              skintest::Pixel32(*cache, 30 + x, 40) & 0xFFFFFF)
        << x;
}

// A speed button's animation asks its control to repaint itself with each frame (painting
// resumed, then everything redrawn); nothing is copied onto the window behind its back.
TEST_F(SkinDataWindow, AnimationFramesAreRepaintRequestsToTheControl) {
  TsCtrlSkinData data(&parent->host);
  data.SetSkinManager(f.Manager.get());
  data.SectionIndex = f.Manager->GetSectionIndex("FADE");
  data.UpdateCacheSize();
  ASSERT_EQ(data.CacheBitmap->Width(), 200);
  const int repaints = parent->received[CmdRepaintAll];
  const int resumes = parent->received[CmdSetUpdating];
  {
    TsAnimTimer timer(nullptr);
    timer.SetOwnerData(data);
    EXPECT_EQ(timer.StepCount, 4);
    timer.StartImage = CreateBmp32(200, 120);
    timer.Step = 1;
    timer.SetEnabled(true);
    const DWORD start = GetTickCount();
    while (timer.Enabled() && GetTickCount() - start < 10000) {
      Application->ProcessMessages();
      Sleep(2);
    }
    EXPECT_FALSE(timer.Enabled());
    ASSERT_TRUE(timer.FrameImage);
    EXPECT_EQ(timer.FrameImage->Width(), 200);
  }
  EXPECT_EQ(parent->received[CmdRepaintAll] - repaints, 4);
  EXPECT_EQ(parent->received[CmdSetUpdating] - resumes, 4);
}

// Only the visible graphic children leave the clip, at their places moved by the offsets;
// windowed children are painted over.
TEST_F(SkinDataWindow, GraphicChildrenAreCutOutOfTheClip) {
  auto* bevel = new TBevel(form);
  bevel->SetParent(outer);
  bevel->SetBounds(120, 20, 40, 30);
  auto* hidden = new TBevel(form);
  hidden->SetParent(outer);
  hidden->SetBounds(120, 70, 40, 30);
  hidden->SetVisible(false);
  auto target = CreateBmp32(200, 120);
  HDC dc = target->Canvas()->Handle();
  {
    TSaveDC saved(dc);
    ExcludeGraphicChildren(dc, outer, 5, 3);
    PaintSolidRect(dc, TRect{0, 0, 200, 120}, 0x0000FF);
  }
  auto red = [&](int x, int y) {
    return (skintest::Pixel32(*target, x, y) & 0xFFFFFF) == 0xFF0000u;
  };
  EXPECT_FALSE(red(123, 25));  // the bevel, moved by (3, 5)
  EXPECT_FALSE(red(162, 54));
  EXPECT_TRUE(red(121, 25));
  EXPECT_TRUE(red(163, 25));
  EXPECT_TRUE(red(130, 80));  // the hidden bevel
  EXPECT_TRUE(red(40, 30));   // the windowed child panel
}

}  // namespace
