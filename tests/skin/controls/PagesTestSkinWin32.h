// The skin and form the page control's and the up-down's window tests share: tabs in three
// looks (border and face of their own each), the body, the close icon in three looks, and the
// two scroll-button sections an up-down paints its halves from.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "framework/FormsWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/TestSkinBuilderWin32.h"
#include "tests/support/UserInputWin32.h"

namespace pagestest {

// Colours as the screen shows them (0x00BBGGRR).
constexpr COLORREF kFormColor = 0x204080;
constexpr COLORREF kTabBorder[3] = {0x0000C0, 0x00C0C0, 0xC00000};  // normal, hot, active
constexpr COLORREF kTabFace[3] = {0x60A0E0, 0x60E0A0, 0xE0A060};
constexpr COLORREF kTabFont = 0x006000;
constexpr COLORREF kBodyBorder = 0x800080;
constexpr COLORREF kBody = 0xA0E060;
constexpr COLORREF kClose[3] = {0x0060FF, 0xFF6000, 0x00FF60};
constexpr COLORREF kUpFace[3] = {0x40C040, 0x40F0F0, 0xF04040};  // SCROLLBTNTOP's looks
constexpr COLORREF kDownFace[3] = {0xC04080, 0xC080F0, 0x8040C0};

inline ktest::TTestSkinBuilder Builder() {
  ktest::TTestSkinBuilder skin(80, 64);
  for (int s = 0; s < 3; ++s)
    skin.Paint(Bounds(18 * s, 0, 18, 18), kTabBorder[s])
        .Paint(Bounds(18 * s + 3, 3, 12, 12), kTabFace[s])
        .Paint(Bounds(12 * s, 40, 12, 12), kClose[s]);
  skin.Paint(Bounds(56, 0, 18, 18), kBodyBorder).Paint(Bounds(59, 3, 12, 12), kBody);
  skin.Key("SICONCLOSE", "@0000,0040,0036,0052,3,0");
  skin.Section("TABTOP")
      .ColorKey("COLOR", kTabFace[0])
      .ColorKey("HOTCOLOR", kTabFace[1])
      .ColorKey("FONTCOLOR", kTabFont)
      .ColorKey("HOTFONTCOLOR", kTabFont)
      .Key("TRANSPARENCY", "0")
      .Key("HOTTRANSPARENCY", "0")
      .Key("STATES", "3")
      .Key("BORDERSMASK", ktest::BordersMask({0, 0}, {18, 18}, 3, 3));
  // A page's own tab section without a mask: it takes its parent class's, the body's.
  skin.SolidSection("OWNTAB", kBody).Key("PARENTCLASS", "PAGECONTROL");
  skin.SolidSection("PAGECONTROL", kBody)
      .Key("BORDERSMASK", ktest::BordersMask({56, 0}, {18, 18}, 3, 1));
  const auto button = [&](const char* name, const COLORREF(&face)[3]) {
    skin.Section(name)
        .ColorKey("COLOR", face[0])
        .ColorKey("HOTCOLOR", face[1])
        .Key("TRANSPARENCY", "0")
        .Key("HOTTRANSPARENCY", "0")
        .Key("STATES", "3");
  };
  button("SCROLLBTNTOP", kUpFace);
  button("SCROLLBTNBOTTOM", kDownFace);
  return skin;
}

struct SkinnedPages : ktest::TSkinnedFormTest {
  void SetUp() override {
    Builder().AddTo(f, "Pages");
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::ParkPointer();  // nothing starts hot
  }
  void ApplySkin() { LoadAndTell("Pages", true); }
  // A point of a child window's client area on the screen.
  static POINT ScreenPoint(HWND wnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(wnd, &p);
    return p;
  }
};

// The left mouse button pressed or released where the pointer is, through the input queue.
inline bool LeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return ktest::SendInputAndHandle({in});
}

// A click at a screen point: the pointer moves there, the button goes down and up.
inline bool ClickAt(POINT screen) {
  return ktest::MovePointerTo(screen) && LeftButton(true) && LeftButton(false);
}

}  // namespace pagestest
