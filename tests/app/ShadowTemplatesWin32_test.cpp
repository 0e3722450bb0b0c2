// The program's default window shadow under Wine: both templates come out of the program's
// resources as the build drew them, and a skin manager with extended borders takes them
// over with their margins.
#include <gtest/gtest.h>

#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "tests/skin/core/SkinTestFiles.h"

using skintest::Pixel32;

namespace {

uint32_t Alpha(TBitmap& bitmap, int x, int y) { return Pixel32(bitmap, x, y) >> 24; }

TEST(ShadowTemplatesResources, BothTemplatesAreReadFromTheProgram) {
  ASSERT_TRUE(ReadShadowTemplates());
  ASSERT_TRUE(ActiveShadowTemplate && InactiveShadowTemplate);
  for (TBitmap* t : {static_cast<TBitmap*>(ActiveShadowTemplate.get()),
                     static_cast<TBitmap*>(InactiveShadowTemplate.get())}) {
    // 11 + 24 + 11 by 7 + 24 + 11: the shadow widths around a clear body.
    EXPECT_EQ(t->Width(), 46);
    EXPECT_EQ(t->Height(), 42);
    EXPECT_EQ(t->PixelFormat(), pf32bit);
    EXPECT_EQ(Alpha(*t, 0, 0), 0u);                   // fades out inside the image
    EXPECT_EQ(Alpha(*t, 22, 20), 0u);                 // the body stays clear
    EXPECT_GT(Alpha(*t, 22, 32), 40u);                // under the window: the darkest part
    EXPECT_GT(Alpha(*t, 22, 32), Alpha(*t, 22, 38));  // falling off downwards
    EXPECT_EQ(Pixel32(*t, 22, 32) & 0xFFFFFFu, 0u);   // black
  }
  // The inactive window's shadow is lighter.
  EXPECT_LT(Alpha(*InactiveShadowTemplate, 22, 32), Alpha(*ActiveShadowTemplate, 22, 32));
}

TEST(ShadowTemplatesResources, ExtendedBordersTakeTheTemplatesWhenTheSkinHasNoShadow) {
  ASSERT_TRUE(ReadShadowTemplates());
  ASSERT_TRUE(HasLayeredWindows());
  skintest::TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  f.Manager->SetSkinName("Plain");
  EXPECT_FALSE(f.Manager->ShadowImageActive());
  f.Manager->SetExtendedBorders(true);
  ASSERT_TRUE(f.Manager->ExtendedBorders());
  const int wider = IsCompositionEnabled() ? 1 : 0;
  const TRect m = f.Manager->ShadowMargins();
  EXPECT_EQ(m.Left, 11 + wider);
  EXPECT_EQ(m.Top, 7 + wider);
  EXPECT_EQ(m.Right, 11 + wider);
  EXPECT_EQ(m.Bottom, 11 + wider);
  ASSERT_TRUE(f.Manager->ShadowImageActive() && f.Manager->ShadowImageInactive());
  EXPECT_EQ(Pixel32(*f.Manager->ShadowImageActive(), 22, 32),
            Pixel32(*ActiveShadowTemplate, 22, 32));
  EXPECT_EQ(Pixel32(*f.Manager->ShadowImageInactive(), 22, 32),
            Pixel32(*InactiveShadowTemplate, 22, 32));
  // Another skin keeps the shadow prepared with the tables.
  f.AddFolderSkin("Other", "[GLOBALINFO]\nCOLOR=65280\n");
  f.Manager->SetSkinName("Other");
  EXPECT_EQ(f.Manager->ShadowMargins().Top, 7 + wider);
  f.Manager->SetExtendedBorders(false);
  EXPECT_EQ(f.Manager->ShadowMargins().Top, 0);
  FreeShadowTemplates();
  EXPECT_FALSE(ActiveShadowTemplate);
}

}  // namespace
