// Sections painted into real windows under Wine and read back as solid colours and
// positions; a test form painted section by section with the full skin, a screenshot after
// each section (<build>/screenshots/skin-sections-*.png).
#include "skin/core/painting/sSectionPaintWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFadeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

// A control that is only a rectangle: enough of an owner for its skin data.
struct TFakeControl : TFakeSkinDataHost {
  TFakeControl() { bounds = TRect{0, 0, 40, 30}; }
};

// A popup window that shows a 32-bit bitmap, repainted on demand.
class TBitmapWindow {
 public:
  TBitmapWindow(int width, int height) : image_(CreateBmp32(width, height)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SectionPaintTestWindow";
    RegisterClassA(&wc);
    wnd_.Reset(CreateWindowExA(0, wc.lpszClassName, "Sections", WS_POPUP | WS_VISIBLE, 60, 60,
                               width, height, nullptr, nullptr, wc.hInstance, nullptr));
    SetWindowLongPtrA(wnd_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  TBitmap* Image() { return image_.get(); }
  HWND Handle() const { return wnd_.Get(); }
  void Show() {
    InvalidateRect(wnd_.Get(), nullptr, FALSE);
    UpdateWindow(wnd_.Get());
    MSG msg;
    for (int i = 0; i < 20; ++i) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TBitmapWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == WM_PAINT && self) {
      TPaintDC dc(wnd);
      BitBlt(dc.Get(), 0, 0, self->image_->Width(), self->image_->Height(),
             self->image_->Canvas()->Handle(), 0, 0, SRCCOPY);
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  std::unique_ptr<TBitmap> image_;
  TWindowHandle wnd_;
};

TEST(SectionPaintWindow, ControlItemShowsItsSectionColoursInAWindow) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  TFakeControl control;
  TsCommonData data(&control);
  data.SetSkinManager(f.Manager.get());
  data.SectionIndex = f.Manager->GetSectionIndex("SELECTION");
  ASSERT_GE(data.SectionIndex, 0);

  TBitmapWindow window(120, 80);
  FillRect32(window.Image(), TRect{0, 0, 120, 80}, 0xFFFFFF);
  PaintControlItem(data, EmptyBackgroundSource, window.Image(), {0, 0}, TRect{10, 10, 70, 40},
                   TsPaintState::Normal);
  PaintControlItem(data, EmptyBackgroundSource, window.Image(), {0, 0}, TRect{10, 45, 70, 75},
                   TsPaintState::Hot);
  window.Show();
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 10, 10), RGB(0, 120, 215));
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 69, 39), RGB(0, 120, 215));
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 70, 39), RGB(255, 255, 255));
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 40, 60), RGB(0, 90, 180));  // hot state
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 9, 60), RGB(255, 255, 255));

  // A section painted straight into a device context (the image's), then shown.
  PaintSectionToDC(window.Image()->Canvas()->Handle(),
                   {.R = TRect{80, 10, 110, 30},
                    .SectionIndex = f.Manager->GetSectionIndex("ONESTATE"),
                    .SectionName = "ONESTATE",
                    .Background = EmptyBackgroundSource,
                    .Manager = f.Manager.get()});
  window.Show();
  EXPECT_EQ(ktest::ClientPixel(window.Handle(), 95, 20), RGB(128, 128, 128));
}

TEST(SectionPaintWindow, TestFormPaintedSectionBySectionWithTheFullSkin) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Full", "C:\\App\\Skins\\Full");
  f.Manager->SetSkinName("Full");
  ASSERT_GE(f.Manager->GetSectionIndex("FORM"), 0) << f.Manager->LastLoadError();

  TBitmapWindow window(480, 320);
  TBitmap* image = window.Image();
  struct Part {
    const char* section;
    TRect rect;
    TsPaintState state;
    const char* caption;
  };
  const Part parts[] = {
      {"FORM", {0, 0, 480, 320}, TsPaintState::Normal, nullptr},
      {"TOOLBAR", {0, 0, 480, 34}, TsPaintState::Normal, nullptr},
      {"TOOLBUTTON", {4, 4, 30, 30}, TsPaintState::Hot, nullptr},
      {"GROUPBOX", {12, 44, 232, 196}, TsPaintState::Normal, "Group"},
      {"EDIT", {24, 70, 220, 94}, TsPaintState::Normal, "Edit"},
      {"COMBOBOX", {24, 102, 220, 126}, TsPaintState::Normal, "Combo"},
      {"CHECKBOX", {24, 134, 140, 154}, TsPaintState::Normal, "Check"},
      {"RADIOBUTTON", {24, 160, 140, 180}, TsPaintState::Normal, "Radio"},
      {"PANEL", {248, 44, 468, 196}, TsPaintState::Normal, "Panel"},
      {"GAUGE", {260, 160, 456, 184}, TsPaintState::Normal, nullptr},
      {"BUTTON", {268, 210, 358, 238}, TsPaintState::Normal, "OK"},
      {"BUTTON", {370, 210, 460, 238}, TsPaintState::Hot, "Hot"},
      {"SELECTION", {24, 210, 220, 230}, TsPaintState::Hot, "Selected"},
      {"STATUSBAR", {0, 296, 480, 320}, TsPaintState::Normal, "Status"},
  };
  int step = 0;
  for (const Part& p : parts) {
    const int index = f.Manager->GetSectionIndex(p.section);
    ASSERT_GE(index, 0) << p.section;
    PaintItem({.Bitmap = image,
               .R = p.rect,
               .SectionIndex = index,
               .SectionName = p.section,
               .State = p.state,
               .Background = MakeBackgroundSource(image, 0, 0),
               .Offset = p.rect.TopLeft(),
               .Manager = f.Manager.get()});
    if (p.caption) {
      image->Canvas()->Font()->SetName("Tahoma");
      DrawSectionText(image->Canvas(), {.Text = p.caption,
                                        .R = p.rect,
                                        .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                        .SectionIndex = index,
                                        .Hot = p.state != TsPaintState::Normal,
                                        .Manager = f.Manager.get()});
      FillAlphaRect(image, p.rect, 255, false);
    }
    window.Show();
    char name[64];
    snprintf(name, sizeof name, "skin-sections-%02d-%s", ++step, p.section);
    EXPECT_FALSE(ktest::SaveScreenshot(window.Handle(), name).empty());
  }
  // What the form shows where no other section lies: the form's own colour.
  const TsGeneralData& form =
      f.Manager->Sections()[static_cast<size_t>(f.Manager->GetSectionIndex("FORM"))];
  if (form.Props[0].GradientPercent == 0 && form.Props[0].ImagePercent == 0 &&
      form.Props[0].Transparency == 0) {
    EXPECT_EQ(ktest::ClientPixel(window.Handle(), 240, 260),
              static_cast<COLORREF>(ColorToRGB(form.Props[0].Color)));
  }
}

// Section text keeps the canvas's font: taking the section's colour must not leave the text to
// the device context's stock font. A 40-pixel font makes ink far taller than the stock one's.
TEST(SectionPaintText, CaptionsAreDrawnInTheCanvasFont) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Full", "C:\\App\\Skins\\Full");
  f.Manager->SetSkinName("Full");
  const int index = f.Manager->GetSectionIndex("BUTTON");
  ASSERT_GE(index, 0) << f.Manager->LastLoadError();
  for (bool enabled : {true, false}) {
    auto image = CreateBmp32(300, 80);
    FillRect32(image.get(), TRect{0, 0, 300, 80}, 0xFFFFFF);
    image->Canvas()->Font()->SetName("Tahoma");
    image->Canvas()->Font()->SetHeight(-40);
    DrawSectionText(image->Canvas(), {.Text = "MMMM",
                                      .R = TRect{0, 0, 300, 80},
                                      .Format = DT_LEFT | DT_TOP | DT_SINGLELINE,
                                      .SectionIndex = index,
                                      .Enabled = enabled,
                                      .Manager = f.Manager.get()});
    int top = -1, bottom = -1;
    TPixels32 p(image.get());
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 300; ++x)
        if ((p.Row(y)[x] & 0xFFFFFF) != 0xFFFFFF) {
          if (top < 0) top = y;
          bottom = y;
          break;
        }
    ASSERT_GE(top, 0) << "enabled " << enabled;
    EXPECT_GE(bottom - top, 24) << "enabled " << enabled;
  }
}

// A fade host that keeps the first pixel's red byte of every frame.
struct TRecordingFadeHost : IFadeHost {
  bool alive = true, ended = false;
  std::unique_ptr<TBitmap> cache = CreateBmp32(8, 8);  // black
  std::vector<int> frames;
  bool Alive() const override { return alive; }
  bool Enabled() const override { return true; }
  const TBitmap* CacheBitmap() const override { return cache.get(); }
  void ShowFrame(const TBitmap& frame) override {
    TPixels32 p(&frame);
    frames.push_back(static_cast<int>((p.Row(0)[0] >> 16) & 0xFF));
  }
  void FadeEnded() override { ended = true; }
  void Invalidate() override {}
};

void PumpFor(DWORD ms, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done() && GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(2);
  }
}

TEST(FadeTimer, TicksFourFramesThenEndsAndSessionEndStopsEveryFade) {
  auto start = CreateBmp32(8, 8);
  FillRect32(start.get(), TRect{0, 0, 8, 8}, 0x0000FF);  // red, fading to black
  TRecordingFadeHost host;
  std::unique_ptr<TsFadeTimer> timer;
  StartFading(timer, host, *start, 4, false, 1);
  ASSERT_TRUE(timer);
  PumpFor(10000, [&] { return host.ended; });
  EXPECT_EQ(host.frames, (std::vector<int>{191, 127, 63, 0}));
  EXPECT_TRUE(host.ended);
  StopFading(timer);
  EXPECT_FALSE(timer);

  // The session ends while two fades run: both end at once, and no new one starts.
  TRecordingFadeHost a, b;
  std::unique_ptr<TsFadeTimer> ta, tb;
  const int before = FadeTimerCount;
  StartFading(ta, a, *start, 1000, false, 1);
  StartFading(tb, b, *start, 1000, false, 1);
  EXPECT_EQ(FadeTimerCount, before + 2);
  StopAllFades();
  EXPECT_TRUE(a.ended);
  EXPECT_TRUE(b.ended);
  EXPECT_FALSE(ta->Enabled());
  std::unique_ptr<TsFadeTimer> late;
  StartFading(late, a, *start, 4, false, 1);
  EXPECT_FALSE(late);
  StopFading(ta);
  StopFading(tb);
  EXPECT_EQ(FadeTimerCount, before);
  FadesStopped = false;
}

TEST(FadeTimer, FadeOfAGoneControlStopsTicking) {
  auto start = CreateBmp32(8, 8);
  TRecordingFadeHost host;
  std::unique_ptr<TsFadeTimer> timer;
  StartFading(timer, host, *start, 1000, false, 1);
  PumpFor(10000, [&] { return !host.frames.empty(); });
  ASSERT_FALSE(host.frames.empty());
  host.alive = false;
  // The next tick finds the control gone.
  PumpFor(10000, [&] { return !timer->Enabled(); });
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Direction, 0);
  const size_t shown = host.frames.size();
  PumpFor(60, [] { return false; });
  EXPECT_EQ(host.frames.size(), shown);
}

TEST(SectionPaintWindow, MaskBitmapCutsCornersOutOfTheRegion) {
  skintest::TManagerFixture f;
  TsMaskData mask;
  auto image = CreateBmp32(10, 10);
  FillRect32(image.get(), TRect{0, 0, 10, 10}, 0x00FF00);
  TPixels32 p(image.get());
  p.Row(0)[0] = 0x00FF00FF;
  p.Row(0)[1] = 0x00FF00FF;
  mask.Image = std::move(image);
  mask.SourceRect = TRect{0, 0, 10, 10};
  mask.ImageCount = 1;
  mask.Manager = f.Manager.get();
  mask.WidthLeft = mask.WidthTop = mask.WidthRight = mask.WidthBottom = 3;
  auto bmp = CreateBmp32(40, 30);
  TRegion region(CreateRectRgn(0, 0, 40, 30));
  PaintMaskBitmap(bmp.get(), region.Get(), true, 0, mask);
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), 1, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 2, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 0, 1));
  EXPECT_TRUE(PtInRegion(region.Get(), 39, 29));
}

TEST(SectionPaintWindow, NonClientBorderPaintsTheMaskAndTheBandUpToItsWidth) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  TFakeControl control;
  TsCommonData data(&control);
  data.SetSkinManager(f.Manager.get());
  data.SectionIndex = f.Manager->GetSectionIndex("BUTTON");
  ASSERT_GE(data.SectionIndex, 0);
  data.BorderMaskIndex =
      f.Manager->Sections()[static_cast<size_t>(data.SectionIndex)].BorderMaskIndex;
  ASSERT_GE(data.BorderMaskIndex, 0);
  const TColor band = ColorToRGB(data.BgColor(0));

  auto screen = CreateBmp32(40, 30);
  FillRect32(screen.get(), TRect{0, 0, 40, 30}, 0xFFFFFF);
  TRect inner{};
  PaintNonClientBorder(screen->Canvas()->Handle(), TRect{0, 0, 40, 30}, 6, inner,
                       TsPaintState::Normal, data);
  // The cache was made with the control's size.
  ASSERT_TRUE(data.CacheBitmap);
  EXPECT_EQ(data.CacheBitmap->Width(), 40);
  EXPECT_EQ(data.CacheBitmap->Height(), 30);
  EXPECT_EQ(inner, (TRect{6, 6, 34, 24}));
  TPixels32 px(screen.get());
  EXPECT_EQ(px.Row(0)[0] & 0xFFFFFF, 0xFFFF00u);  // the masked border: yellow
  EXPECT_EQ(px.Row(15)[5] & 0xFFFFFF, SwapRedBlueBytes(static_cast<uint32_t>(band)));
  EXPECT_EQ(px.Row(15)[20] & 0xFFFFFF, 0xFFFFFFu);  // inside the frame: untouched

  // Without a border mask: a plain frame of the width in the background colour.
  data.BorderMaskIndex = -1;
  FillRect32(screen.get(), TRect{0, 0, 40, 30}, 0xFFFFFF);
  PaintNonClientBorder(screen->Canvas()->Handle(), TRect{0, 0, 40, 30}, 2, inner,
                       TsPaintState::Normal, data);
  EXPECT_EQ(px.Row(1)[1] & 0xFFFFFF, SwapRedBlueBytes(static_cast<uint32_t>(band)));
  EXPECT_EQ(px.Row(2)[2] & 0xFFFFFF, 0xFFFFFFu);
}

TEST(FadeTimer, SpeedButtonAnimationBlendsIntoItsFrameImage) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Fading", "[GLOBALINFO]\n[SPEEDBUTTON]\nFADINGENABLED=1\nFADINGITERATIONS=4\n");
  f.Manager->SetSkinName("Fading");
  TFakeControl control;
  TsCommonData data(&control);
  data.SetSkinManager(f.Manager.get());
  data.SectionIndex = f.Manager->GetSectionIndex("SPEEDBUTTON");
  ASSERT_GE(data.SectionIndex, 0);
  TRecordingFadeHost host;
  const int before = FadeTimerCount;
  {
    TsAnimTimer timer(nullptr);
    EXPECT_EQ(FadeTimerCount, before + 1);
    timer.SetOwnerData(data, &host);
    EXPECT_EQ(timer.StepCount, 4);
    timer.StartImage = CreateBmp32(8, 8);
    FillRect32(timer.StartImage.get(), TRect{0, 0, 8, 8}, 0x0000FF);
    timer.Step = 1;
    timer.SetEnabled(true);
    PumpFor(10000, [&] { return host.ended; });
    EXPECT_EQ(host.frames, (std::vector<int>{191, 127, 63, 0}));
    EXPECT_FALSE(timer.Enabled());
  }
  EXPECT_EQ(FadeTimerCount, before);
}

// Pixels of a bitmap whose colour part is exactly the pixel value (0xRRGGBB).
int CountColour(TBitmap* bitmap, uint32_t rgb) {
  TPixels32 p(bitmap);
  int n = 0;
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) n += (p.Row(y)[x] & 0xFFFFFF) == rgb;
  return n;
}

// A control's caption: shadows first (the right one shows past the text's right edge), then
// the state's font colour; disabled text mixes the font colour with the global colour; a
// custom font keeps the canvas colour; the state's glow goes into the cache bitmap only.
TEST(SectionPaintText, SkinnedTextTakesItsStateColoursShadowsAndGlow) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Text",
                  "[GLOBALINFO]\nCOLOR=8421504\n"
                  "[LABELTEXT]\nCOLOR=0\nFONTCOLOR=255\nHOTFONTCOLOR=65280\nTCRIGHT=16711680\n"
                  "[GLOWTEXT]\nCOLOR=0\nFONTCOLOR=255\nGCOL=65535\nGSIZE=3\n");
  f.Manager->SetSkinName("Text");
  TFakeControl control;
  TsCommonData data(&control);
  data.SetSkinManager(f.Manager.get());
  data.SectionIndex = f.Manager->GetSectionIndex("LABELTEXT");
  ASSERT_GE(data.SectionIndex, 0) << f.Manager->LastLoadError();
  const std::string caption = "MM";
  const TRect r{10, 5, 190, 55};
  auto draw = [&](bool enabled, bool hot) {
    auto image = CreateBmp32(200, 60);
    image->Canvas()->Font()->SetName("Tahoma");
    image->Canvas()->Font()->SetHeight(-40);
    image->Canvas()->Font()->SetColor(0x00FFFF);  // yellow: the canvas's own colour
    DrawSkinnedText(
        image->Canvas(), data,
        {.Text = caption, .R = r, .Format = DT_LEFT | DT_TOP, .Hot = hot, .Enabled = enabled});
    return image;
  };
  constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, yellow = 0xFFFF00;

  auto normal = draw(true, false);
  EXPECT_GT(CountColour(normal.get(), red), 20);
  EXPECT_GT(CountColour(normal.get(), blue), 0);
  // The rightmost inked column belongs to the right shadow (its edge may be smoothed: blue
  // without red).
  TPixels32 p(normal.get());
  int right = -1;
  for (int x = 0; x < p.Width; ++x)
    for (int y = 0; y < p.Height; ++y)
      if ((p.Row(y)[x] & 0xFFFFFF) != 0) right = x;
  ASSERT_GE(right, 0);
  int redInRight = 0, blueInRight = 0;  // red anywhere in it; pure blues
  for (int y = 0; y < p.Height; ++y) {
    redInRight += (p.Row(y)[right] & 0xFF0000) != 0;
    const uint32_t px = p.Row(y)[right];
    blueInRight += (px & 0xFF) != 0 && (px & 0xFFFF00) == 0;
  }
  EXPECT_EQ(redInRight, 0);
  EXPECT_GT(blueInRight, 0);

  auto hot = draw(true, true);
  EXPECT_GT(CountColour(hot.get(), green), 20);
  EXPECT_EQ(CountColour(hot.get(), red), 0);

  // 40 % red and 60 % of the global grey (128): 179, 77, 77.
  auto disabled = draw(false, false);
  EXPECT_GT(CountColour(disabled.get(), 0xB34D4D), 20);
  EXPECT_EQ(CountColour(disabled.get(), red), 0);

  data.CustomFont = true;
  auto custom = draw(true, false);
  EXPECT_GT(CountColour(custom.get(), yellow), 20);
  EXPECT_EQ(CountColour(custom.get(), red), 0);
  data.CustomFont = false;

  // No glow size: the cache is left alone; with one, the glow colour lands around the text.
  data.CacheBitmap = CreateBmp32(200, 60);
  draw(true, false);
  EXPECT_EQ(CountColour(data.CacheBitmap.get(), 0), 200 * 60);
  data.SectionIndex = f.Manager->GetSectionIndex("GLOWTEXT");
  data.CacheBitmap->Canvas()->Font()->SetName("Tahoma");
  data.CacheBitmap->Canvas()->Font()->SetHeight(-40);
  draw(true, false);
  EXPECT_LT(CountColour(data.CacheBitmap.get(), 0), 200 * 60 - 50);
  TPixels32 cache(data.CacheBitmap.get());
  EXPECT_EQ(cache.Row(1)[1] & 0xFFFFFF, 0u);  // far from the text
}

// The small check box sits in the middle of its rectangle wherever that lies: the skin's
// glyph, or the system's over a block of what lies behind.
TEST(SectionPaintWindow, SmallCheckBoxIsCentredInItsRectangle) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Full", "C:\\App\\Skins\\Full");
  f.Manager->SetSkinName("Full");
  ASSERT_TRUE(f.Manager->IsValidMaskIndex(f.Manager->FixedIndexes().SmallChecked))
      << f.Manager->LastLoadError();
  const int boxWidth = CheckBoxWidth(f.Manager.get()), boxHeight = CheckBoxHeight(f.Manager.get());
  const TRect r{10, 20, 50, 50};
  const int left = r.Left + (r.Width() - boxWidth) / 2, top = r.Top + (r.Height() - boxHeight) / 2;
  constexpr uint32_t grey = 0x808080;
  auto image = CreateBmp32(60, 60);
  FillRect32(image.get(), TRect{0, 0, 60, 60}, grey);
  TsBackgroundSource behind;
  behind.FillColor = grey;
  PaintSmallCheckBox(r, 1, true, f.Manager.get(), behind, image.get());
  TPixels32 p(image.get());
  int changed = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      if ((p.Row(y)[x] & 0xFFFFFF) == grey) continue;
      ++changed;
      if (x < left || x >= left + boxWidth || y < top || y >= top + boxHeight) ++outside;
    }
  EXPECT_GT(changed, 10);
  EXPECT_EQ(outside, 0);

  // Without a skin: the block behind is laid first in the fill colour, then the glyph.
  skintest::TManagerFixture bare;
  const int sysWidth = CheckBoxWidth(bare.Manager.get()),
            sysHeight = CheckBoxHeight(bare.Manager.get());
  const TRect s{30, 10, 30 + sysWidth + 2, 10 + sysHeight + 10};
  FillRect32(image.get(), TRect{0, 0, 60, 60}, grey);
  TsBackgroundSource red;
  red.FillColor = 0x0000FF;
  PaintSmallCheckBox(s, 0, true, bare.Manager.get(), red, image.get());
  EXPECT_EQ(p.Row(s.Top)[s.Left] & 0xFFFFFF, 0xFF0000u);  // the block, above the glyph
  EXPECT_EQ(p.Row(s.Top)[s.Right] & 0xFFFFFF, grey);      // right of the block
  const uint32_t centre = p.Row(s.Top + (s.Height() - sysHeight) / 2 +
                                sysHeight / 2)[s.Left + (s.Width() - sysWidth) / 2 + sysWidth / 2] &
                          0xFFFFFF;
  EXPECT_NE(centre, 0xFF0000u);
  EXPECT_NE(centre, grey);
}

// A window that does not answer the background request shows the default manager's global
// colour; a window without a parent has nothing behind it.
TEST(SectionPaintWindow, UnansweredWindowsGiveTheGlobalColour) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  ASSERT_EQ(DefaultManager, f.Manager.get());
  TBitmapWindow window(40, 30);
  TsBackgroundRequest request;
  EXPECT_FALSE(GetWindowBackground(request, window.Handle(), false));
  EXPECT_EQ(request.BgType, 1);
  EXPECT_EQ(request.Color, f.Manager->GlobalColor());
  TsBackgroundSource source = MakeBackgroundSource(window.Image(), 3, 3);
  GetWindowParentBackground(window.Handle(), source);
  EXPECT_FALSE(source.HasBitmap);
  EXPECT_EQ(source.X, -99);
}

// A section painted by name over what a device context shows at the rectangle: a clear
// section keeps exactly those pixels; the second name stands in for a missing first.
TEST(SectionPaintWindow, SectionByNameLiesOverWhatTheDeviceContextShows) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  const int clear = f.Manager->GetSectionIndex("CLEAR");
  ASSERT_GE(clear, 0) << f.Manager->LastLoadError();
  auto screen = CreateBmp32(40, 30);
  FillRect32(screen.get(), TRect{0, 0, 20, 30}, 0x0000FF);   // red left half
  FillRect32(screen.get(), TRect{20, 0, 40, 30}, 0xFF0000);  // blue right half
  auto bitmap = CreateBmp32(20, 10);
  EXPECT_EQ(PaintSectionByName(
                bitmap.get(), {.Name = "NOSUCH", .SecondName = "CLEAR", .Manager = f.Manager.get()},
                screen->Canvas()->Handle(), TRect{10, 10, 30, 20}),
            clear);
  TPixels32 p(bitmap.get());
  EXPECT_EQ(p.Row(0)[0], 0xFFFF0000u);
  EXPECT_EQ(p.Row(9)[9], 0xFFFF0000u);
  EXPECT_EQ(p.Row(0)[10], 0xFF0000FFu);
  EXPECT_EQ(p.Row(9)[19], 0xFF0000FFu);
}

}  // namespace
