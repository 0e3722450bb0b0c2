#include "tests/support/TestSkinBuilderWin32.h"

#include <cstdio>

#include "framework/FormsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace ktest {

std::string SkinColor(COLORREF colour) { return std::to_string(colour); }

std::string BordersMask(TPoint origin, TSize size, int border, int states) {
  char text[80];
  std::snprintf(text, sizeof text, "^%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d,%d,0,4,0", origin.X,
                origin.Y, origin.X + size.cx * states, origin.Y + size.cy, border, border, border,
                border, states);
  return text;
}

TTestSkinBuilder::TTestSkinBuilder(int masterWidth, int masterHeight)
    : width_(masterWidth),
      height_(masterHeight),
      ini_("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nCOLOR=8421504\n") {}

TTestSkinBuilder& TTestSkinBuilder::Paint(const TRect& r, COLORREF colour) {
  rects_.push_back({r, static_cast<TColor>(colour)});
  return *this;
}

TTestSkinBuilder& TTestSkinBuilder::Section(const std::string& name) {
  ini_ += "[" + name + "]\n";
  return *this;
}

TTestSkinBuilder& TTestSkinBuilder::SolidSection(const std::string& name, COLORREF colour,
                                                 int states) {
  return Section(name)
      .ColorKey("COLOR", colour)
      .Key("TRANSPARENCY", "0")
      .Key("STATES", std::to_string(states));
}

TTestSkinBuilder& TTestSkinBuilder::Key(const std::string& key, const std::string& value) {
  ini_ += key + "=" + value + "\n";
  return *this;
}

TTestSkinBuilder& TTestSkinBuilder::ColorKey(const std::string& key, COLORREF colour) {
  return Key(key, SkinColor(colour));
}

TTestSkinBuilder& TTestSkinBuilder::Raw(const std::string& text) {
  ini_ += text;
  return *this;
}

std::string TTestSkinBuilder::Ini() const { return ini_; }

std::vector<uint8_t> TTestSkinBuilder::Master() const {
  return skintest::BmpFile(width_, height_, static_cast<TColor>(0xFFFFFF), rects_);
}

void TTestSkinBuilder::AddTo(skintest::TManagerFixture& fixture, const std::string& name) const {
  fixture.AddFolderSkin(name, Ini(), {{"MASTER.BMP", Master()}});
}

void TSkinnedFormTest::SetUpTestSuite() { Application->Initialize(); }

void TSkinnedFormTest::TearDown() {
  if (GetCapture()) ReleaseCapture();
  Pump();
}

void TSkinnedFormTest::LoadAndTell(const std::string& name, bool activate) {
  f.Manager->SetSkinName(name);
  if (activate && !f.Manager->Active()) f.Manager->SetActive(true);
  ASSERT_EQ(f.Manager->LastLoadError(), "");
  ASSERT_EQ(DefaultManager, f.Manager.get());
  Tell(CmdSkinChanged);
}

void TSkinnedFormTest::RemoveSkin() {
  f.Manager->SetActive(false);
  Tell(CmdRemoveSkin);
}

void TSkinnedFormTest::Tell(int cmd) {
  BroadcastToChildren(
      form.Form, TSkinCmdMessage{cmd, 0, reinterpret_cast<intptr_t>(f.Manager.get()), 0, true});
  Settle(form.Form->Handle());
}

bool Near(COLORREF actual, COLORREF expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > tolerance || e - a > tolerance) return false;
  }
  return true;
}

int CountPixels(HWND wnd, COLORREF colour) {
  TScreenshot shot;
  if (!CaptureWindow(wnd, shot)) return -1;
  int count = 0;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) count += shot.ColorAt(x, y) == colour;
  return count;
}

int CountClientPixels(HWND wnd, const TRect& r, COLORREF colour) {
  TScreenshot shot;
  HDC dc = GetDC(wnd);
  const bool read = CaptureArea(dc, r.Left, r.Top, r.Width(), r.Height(), shot);
  ReleaseDC(wnd, dc);
  if (!read) return -1;
  int count = 0;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) count += shot.ColorAt(x, y) == colour;
  return count;
}

}  // namespace ktest
