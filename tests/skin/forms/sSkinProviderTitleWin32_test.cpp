// The skinned title's icon and added title under Wine, and the system's own title buttons
// kept away only while the skin draws the frame.
#include <gtest/gtest.h>

#include <memory>

#include "skin/forms/sTitleButtonsWin32.h"
#include "skin/forms/sTitleIconWin32.h"
#include "skin/forms/skAddedTitleWin32.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using skintest::SkinnedForm;

constexpr COLORREF kRed = RGB(220, 0, 0);

// How many pixels of that colour the window shows in a rectangle (window coordinates).
int CountColour(HWND wnd, const TRect& r, COLORREF colour) {
  int n = 0;
  for (COLORREF shown : skintest::ShownPixels(wnd, r)) n += shown == colour;
  return n;
}

TEST_F(SkinnedForm, ATitleIconGlyphStandsInTheIconsPlace) {
  TsSkinProvider* p = ShowSkinned();
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(16, 16);
  glyph->Canvas()->Brush()->SetColor(static_cast<TColor>(kRed));
  glyph->Canvas()->FillRect(TRect{0, 0, 16, 16});
  p->TitleIcon()->SetGlyph(glyph.get());
  p->RepaintNonClient();
  ktest::Settle(Wnd(), 100);
  const TRect icon = p->GetIconRect(p->FormFacts());
  EXPECT_EQ(CountColour(Wnd(), icon, kRed), icon.Width() * icon.Height());
}

TEST_F(SkinnedForm, AUserButtonsGlyphShowsAndGoesWithItsVisibility) {
  TsSkinProvider* p = ShowSkinned();
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(10, 10);
  glyph->Canvas()->Brush()->SetColor(static_cast<TColor>(kRed));
  glyph->Canvas()->FillRect(TRect{0, 0, 10, 10});
  // The bottom-left pixel is the glyph's transparent colour: one pixel of another colour.
  glyph->Canvas()->SetPixels(0, 9, clWhite);
  TsTitleButton* button = p->TitleButtons()->Add();
  button->SetGlyph(glyph.get());
  const TRect place = p->TitleButtonRect(1000);
  ASSERT_GT(place.Width(), 0);
  // Centred in the button; the change shows at once, without waiting for a paint.
  EXPECT_EQ(CountColour(Wnd(), place, kRed), 99);
  button->SetVisible(false);
  EXPECT_EQ(p->TitleButtonRect(1000), TRect{});
  EXPECT_EQ(CountColour(Wnd(), place, kRed), 0);
}

TEST_F(SkinnedForm, TheAddedTitleFollowsTheCaptionOrStandsInItsPlace) {
  TsSkinProvider* p = ShowSkinned();
  form.Form->SetCaption("Main");
  TskAddedTitle* added = p->AddedTitle();
  added->Font()->SetColor(static_cast<TColor>(kRed));
  added->Font()->SetStyle(TFontStyles{fsBold});
  added->SetText("IIIIIIII");
  ktest::Settle(Wnd(), 200);
  RECT window;
  GetWindowRect(Wnd(), &window);
  const TsFormFacts facts = p->FormFacts();
  const int titleBottom = GetTitleBottom(facts);
  const int iconRight = p->GetIconRect(facts).Right;
  const int buttonsLeft = p->TitleButtonRect(HTMINBUTTON).Left;
  // After the caption: red pixels in the title, none right at the caption's start.
  const TRect afterCaption{iconRight + 40, 0, buttonsLeft, titleBottom};
  const TRect captionStart{iconRight, 0, iconRight + 12, titleBottom};
  EXPECT_GT(CountColour(Wnd(), afterCaption, kRed), 20);
  EXPECT_EQ(CountColour(Wnd(), captionStart, kRed), 0);
  ktest::SaveScreenshot(Wnd(), "title_added_text");
  // Without the form's caption the added title takes its place.
  added->SetShowMainCaption(false);
  ktest::Settle(Wnd(), 200);
  EXPECT_GT(CountColour(Wnd(), captionStart, kRed), 5);
}

TEST_F(SkinnedForm, TheSystemsTitleButtonsComeBackWhenTheSkinGoes) {
  // A provider whose manager has no skin yet leaves the form its own system menu.
  form.Form->HandleNeeded();
  auto* provider = new TsSkinProvider(form.Form);
  provider->SkinData()->SetSkinManager(fixture.Manager.get());
  provider->InitFormSkin();
  EXPECT_NE(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  fixture.Manager->SetSkinName("Full");
  ASSERT_TRUE(provider->Skinned());
  EXPECT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  provider->SetDrawNonClientArea(false);
  EXPECT_NE(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  provider->SetDrawNonClientArea(true);
  EXPECT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  fixture.Manager->SetActive(false);
  EXPECT_NE(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  // A provider that goes while the form stays gives the style back too.
  fixture.Manager->SetActive(true);
  ASSERT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  delete provider;
  EXPECT_NE(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
}

}  // namespace
