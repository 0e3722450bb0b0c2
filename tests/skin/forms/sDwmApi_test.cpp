// The desktop window manager bound on first use: composition pinned on and off, nothing
// loaded or called below Windows 6, and a library that cannot be loaded asked for once.
#include "skin/forms/sDwmApi.h"

#include <gtest/gtest.h>

namespace {

struct TFakeDwm {
  int loads = 0;
  bool composition = true;
  std::vector<uint32_t> attributes;
  std::vector<int32_t> values;
  int invalidations = 0;

  TsDwmEnvironment Environment(int major, bool loadable = true) {
    return TsDwmEnvironment{major, [this, loadable]() -> std::optional<TsDwmFunctions> {
                              ++loads;
                              if (!loadable) return std::nullopt;
                              TsDwmFunctions f;
                              f.IsCompositionEnabled = [this](bool& on) {
                                on = composition;
                                return 0;
                              };
                              f.SetWindowAttribute = [this](TWindowKey, uint32_t attribute,
                                                            const void* value, uint32_t) {
                                attributes.push_back(attribute);
                                values.push_back(*static_cast<const int32_t*>(value));
                                return 0;
                              };
                              f.InvalidateIconicBitmaps = [this](TWindowKey) {
                                ++invalidations;
                                return 0;
                              };
                              return f;
                            }};
  }
};

struct DwmApi : ::testing::Test {
  ~DwmApi() override { ResetDwmEnvironment(); }
  TFakeDwm dwm;
};

TEST_F(DwmApi, CompositionPinnedOnAndOff) {
  SetDwmEnvironment(dwm.Environment(6));
  EXPECT_TRUE(DwmCompositionEnabled());
  DisableDwmTransitions(1, true);
  DisableDwmTransitions(1, false);
  EXPECT_EQ(dwm.attributes,
            (std::vector<uint32_t>{DwmTransitionsForceDisabled, DwmTransitionsForceDisabled}));
  EXPECT_EQ(dwm.values, (std::vector<int32_t>{1, 0}));
  dwm.composition = false;
  EXPECT_FALSE(DwmCompositionEnabled());
  // Transitions are left alone while composition is off.
  DisableDwmTransitions(1, true);
  EXPECT_EQ(dwm.attributes.size(), 2u);
  EXPECT_EQ(dwm.loads, 1);
}

TEST_F(DwmApi, BelowVersionSixNothingIsLoadedOrCalled) {
  SetDwmEnvironment(dwm.Environment(5));
  EXPECT_FALSE(DwmCompositionEnabled());
  EXPECT_EQ(DwmSetAttribute(1, 3, "\0\0\0\0", 4), DwmNotImplemented);
  DisableDwmTransitions(1, true);
  InvalidateIconicBitmaps(1);
  EXPECT_EQ(dwm.loads, 0);
  EXPECT_EQ(dwm.invalidations, 0);
}

TEST_F(DwmApi, ALibraryThatCannotBeLoadedIsAskedForOnce) {
  SetDwmEnvironment(dwm.Environment(6, false));
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(DwmCompositionEnabled());
    const int32_t value = 1;
    EXPECT_EQ(DwmSetAttribute(1, 3, &value, 4), DwmNotImplemented);
  }
  EXPECT_EQ(dwm.loads, 1);
}

TEST_F(DwmApi, IconicPreviewsAreInvalidatedOnlyOnceTheLibraryIsBound) {
  SetDwmEnvironment(dwm.Environment(6));
  InvalidateIconicBitmaps(1);
  EXPECT_EQ(dwm.loads, 0);
  DwmCompositionEnabled();
  InvalidateIconicBitmaps(1);
  EXPECT_EQ(dwm.invalidations, 1);
}

TEST_F(DwmApi, AMissingEntryPointAnswersNotImplemented) {
  SetDwmEnvironment(
      TsDwmEnvironment{6, [] { return std::optional<TsDwmFunctions>(TsDwmFunctions{}); }});
  EXPECT_FALSE(DwmCompositionEnabled());
  const int32_t value = 1;
  EXPECT_EQ(DwmSetAttribute(1, 3, &value, 4), DwmNotImplemented);
}

}  // namespace

namespace {

TEST(DwmThumbnail, TheThumbnailGoesToTheLibraryWhenItHasTheFunction) {
  std::vector<uintptr_t> bitmaps;
  SetDwmEnvironment(TsDwmEnvironment{6, [&]() -> std::optional<TsDwmFunctions> {
                                       TsDwmFunctions f;
                                       f.SetIconicThumbnail = [&](TWindowKey, uintptr_t bitmap,
                                                                  uint32_t) {
                                         bitmaps.push_back(bitmap);
                                         return 0;
                                       };
                                       return f;
                                     }});
  EXPECT_EQ(DwmSetIconicThumbnailBitmap(1, 42), 0);
  EXPECT_EQ(bitmaps, (std::vector<uintptr_t>{42}));
  SetDwmEnvironment(TsDwmEnvironment{5, nullptr});
  EXPECT_EQ(DwmSetIconicThumbnailBitmap(1, 42), DwmNotImplemented);
  ResetDwmEnvironment();
}

}  // namespace
