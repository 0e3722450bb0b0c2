// Section painting: the background of a skin section for a state (colour, gradient, texture
// or a mix of them, made transparent against what lies behind), its corner images and border
// mask, painted into a rectangle of a 32-bit bitmap. Portable: what lies behind comes in as a
// TsBackgroundSource; asking a parent window for it is the Win32 half's business.
//
// Every painter returns without painting when there is no manager (null: the default
// manager), the section index is not valid, or the bitmap is null; PaintItem and
// PaintControlItem also when the rectangle is empty or reaches outside the bitmap. The state
// is limited to the section's STATES - 1 first.
#pragma once

#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/skinfiles/sMaskData.h"

class TsSkinManager;
class TsCommonData;

// The look a painter is asked for: normal, hot, or pressed (also selected). A section shows at
// most its STATES - 1 looks: painters clamp.
enum class TsPaintState : int { Normal = 0, Hot = 1, Pressed = 2 };
// The state image index painters take for a look.
constexpr int StateIndex(TsPaintState state) { return static_cast<int>(state); }

// The look a section paints for a wanted look: limited to its STATES - 1.
TsPaintState LimitSectionState(const TsSkinManager& manager, int sectionIndex, TsPaintState state);

// What a section painter paints and where, in the spirit of a renderer's (window, dc, rect,
// flags): callers name only the fields they need. Left at their defaults: the default manager,
// textures looked up by the section's name, nothing known behind, no offset, the normal look.
// Every member has an initialiser, so designated initialisers may leave any of them out.
struct TsItemPaint {
  TBitmap* Bitmap = nullptr;  // painted into (not owned)
  TRect R{};                  // where in the bitmap
  int SectionIndex = -1;
  std::string SectionName{};  // names the section for looking up its textures
  TsPaintState State = TsPaintState::Normal;
  // What lies behind: key-colour and transparent pixels show it at R's place plus Offset.
  TsBackgroundSource Background{};
  TPoint Offset{0, 0};
  TsSkinManager* Manager = nullptr;  // null: the default manager
  // Texture mask indexes; -1 looks them up by the section's name (PaintItemFast: no texture).
  int TextureIndex = -1;
  int HotTextureIndex = -1;
  // Key-colour pixels of the border mask's corners show the background source (true) or leave
  // the bitmap's pixels (false).
  bool CornerBackground = true;
  // PaintSectionBackground: anything but clFuchsia replaces the section's colour, opaque.
  TColor CustomColor = clFuchsia;
  // PaintItemFast: its border mask (-1: none); PaintItem takes the section's own.
  int BorderMaskIndex = -1;
};

// The section's background for the state: colour, gradient, texture and transparency.
void PaintSectionBackground(const TsItemPaint& item);
// Background, corner images and border mask of a section.
void PaintItem(const TsItemPaint& item);
// A section for scroll-bar parts: the texture and border mask indexes as given, no look-up by
// name, no pattern images, no corner images.
void PaintItemFast(const TsItemPaint& item);
// The section of a control's skin data (its own colour when CustomColor is set).
void PaintControlBackground(const TsCommonData& data, const TsBackgroundSource& background,
                            TsPaintState state, TBitmap* bitmap, TPoint offset, const TRect& r);
// PaintItem for a control's skin data, then its hue offset and saturation over the bitmap.
void PaintControlItem(const TsCommonData& data, const TsBackgroundSource& background,
                      TBitmap* bitmap, TPoint offset, const TRect& r, TsPaintState state);
// The same; with onlyStrips, when the skin data has repaint strips, only those strips of r
// (RepaintStripH, RepaintStripV, relative to r) change in the bitmap.
void PaintControlItem(const TsCommonData& data, const TsBackgroundSource& background,
                      TBitmap* bitmap, TPoint offset, const TRect& r, TsPaintState state,
                      bool onlyStrips);
// A section looked up by name: the first name, or the second when the first is not found.
struct TsSectionByName {
  std::string Name{};
  std::string SecondName{};
  TsPaintState State = TsPaintState::Normal;
  TColor FillColor = clFuchsia;      // stands for what lies behind
  TsSkinManager* Manager = nullptr;  // null: the default manager
};
// The section painted over the whole bitmap. Answers the section index used, -1 when neither
// name is found.
int PaintSectionByName(TBitmap* bitmap, const TsSectionByName& section);
// The index of the section named first, or of the second when the first is not found (-1
// when neither is); `used` points at the name found. Both painting forms look up this way.
int FindSectionByName(const TsSkinManager& manager, const std::string& name,
                      const std::string& secondName, const std::string*& used);

// How a texture covers an area: the draw mode a skin gives its texture (its DrawFlags).
// Codes the skin format does not name may come from a skin file: they paint like
// TileRightColumn and leave nothing to fill.
enum class TsTileMode : int {
  Tile = 0,               // tiles over the whole area
  Stretch = 1,            // one image stretched over the whole area
  TileTopRow = 2,         // one row of tiles along the top
  TileLeftColumn = 3,     // one column along the left
  StretchTopRow = 4,      // one image stretched along the top
  StretchLeftColumn = 5,  // one image stretched along the left
  TileBottomRow = 6,
  TileRightColumn = 7,
  WholeRows = 10,  // whole tile rows only
};
// The tile mode a skin's texture gives.
constexpr TsTileMode TileModeOf(int drawFlags) { return static_cast<TsTileMode>(drawFlags); }

// Texture tiling of an image over q (in: the area; out: the area still to fill, Right = -1
// when nothing is left).
void PaintPattern(TBitmap* bitmap, TRect& q, const TBitmap* image, const TRect& tile,
                  TsTileMode mode);
// The image tiled over q from q's top-left, whole tiles first and cut ones at the far edges.
void TileBitmap(TBitmap* bitmap, const TRect& q, const TBitmap* image, const TRect& tile);
// The state-0 cell of a masked texture tiled over q with the masked mix: Tile and WholeRows
// (the latter leaves the strips outside whole cells to the background source); q is reported
// covered. Other modes paint nothing.
void PaintMaskTiled(TBitmap* bitmap, TRect& q, const TsBackgroundSource& background,
                    TsTileMode mode, const TsMaskData& mask);

// The key-colour runs of the mask's state-0 corner images as one-pixel-high rectangles, for a
// window region with cut-out corners.
void GetMaskHoleRects(std::vector<TRect>& holes, int targetWidth, const TsMaskData& mask,
                      bool bottomCorners, int yOffset);

// The background source moved by an offset.
inline TsBackgroundSource MovedBackground(TsBackgroundSource background, TPoint offset) {
  background.X += offset.X;
  background.Y += offset.Y;
  return background;
}

// The background a parent answered as a source: a bitmap answer with its offsets, anything
// else as its colour (X and Y kept).
TsBackgroundSource BackgroundSourceFromRequest(const TsBackgroundRequest& request);
