// A skinned scroll bar painted from the skin's scroll sections into a bitmap: its arrows, page
// areas and thumb, each in its state.
#pragma once

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/adapters/skScrollBar.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sBackground.h"

class TsSkinManager;

// The arrow length the skin gives a bar (the width of SCROLLBTNLEFT's border-mask image for the
// horizontal, the height of SCROLLBTNTOP's for the vertical bar); 0 when the skin gives none.
int SkinScrollArrowSize(const TsSkinManager& manager, bool vertical);
// A bar's arrow length: its own, or its multiple of the standard arrow width (with `skin`, of
// the larger of it and the skin's arrow size).
int ScrollBarArrowLength(const TskScrollBar& bar, const TsSkinManager* skin);

// The looks of a bar's parts.
struct TScrollBarStates {
  TsPaintState FirstArrow = TsPaintState::Normal;
  TsPaintState SecondArrow = TsPaintState::Normal;
  TsPaintState PageBefore = TsPaintState::Normal;
  TsPaintState PageAfter = TsPaintState::Normal;
  TsPaintState Thumb = TsPaintState::Normal;
  bool operator==(const TScrollBarStates&) const = default;
};

// What a bar image shows: the bar, its arrow length, where its thumb lies (relative to the
// bitmap), whether the bar can be used, each part's look and what lies behind.
struct TScrollBarPaint {
  const TskScrollBar* Bar = nullptr;
  int ArrowLength = 0;
  TThumbGeometry Thumb;
  bool Active = true;
  TScrollBarStates States;
  TsBackgroundSource Background = EmptyBackgroundSource;
};

// The bar composed over the whole bitmap from the skin's scroll sections: the two page areas
// split at the thumb's middle, the arrows with their glyphs, the thumb (only when the bar is
// active and its range leaves room for one), and an inactive bar faded into the background.
// False (nothing painted) when the skin has no bar section for this kind.
bool PaintScrollBarImage(TBitmap& bitmap, TsSkinManager& manager, const TScrollBarPaint& paint);

// Everything a composed bar picture of that size shows, besides the skin's content: a paint
// with an equal key shows the same picture, so it is copied, not composed again. `generation`
// counts the window's events after which what lies behind or the skin may look different.
struct TScrollBarPictureKey {
  int Width = 0, Height = 0;
  int ArrowLength = 0, ThumbStart = 0, ThumbLength = 0;
  int Min = 0, Max = 0, Page = 0, MinThumbLength = 0;
  bool Active = false;
  TScrollBarStates States;
  const TBitmap* BehindBitmap = nullptr;
  int BehindX = 0, BehindY = 0;
  TColor BehindColor = clFuchsia;
  const TsSkinManager* Manager = nullptr;
  uint64_t Generation = 0;
  bool operator==(const TScrollBarPictureKey&) const = default;
};
TScrollBarPictureKey ScrollBarPictureKey(int width, int height, const TsSkinManager& manager,
                                         const TScrollBarPaint& paint, uint64_t generation);
