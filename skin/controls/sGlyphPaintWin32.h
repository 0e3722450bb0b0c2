// A button's picture painted into its cached picture: a cell of its own glyph strip (with
// per-pixel alpha when the strip has it, else with its key colour) or an image of an image
// list, in the button's look, with its blend, grey look and mirror image; the face the bit
// button and the speed button share (section, border mask, caption, glyph); and the image of
// a tool bar's button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/controls/sButtonGeometry.h"
#include "skin/core/pixels/sBackground.h"

class TCustomImageList;
class TFont;
class TsCommonData;
class TToolBar;
class TToolButton;

struct TsButtonGlyph {
  TBitmap* Glyph = nullptr;  // the button's own strip (may be empty)
  int NumGlyphs = 1;
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  TRect GlyphRect{};
  int State = ButtonNormal;
  bool Enabled = true;
  int Blend = 0;
  bool Grayed = false;
  TsDisabledGlyphKind DisabledGlyphKind{dgBlended};
  bool Reflected = false;
  // What a grey glyph is tinted toward: the section's colour.
  TColor GreyColor = clBtnFace;
};

// The glyph into a 32-bit bitmap; nothing without a glyph or a valid image.
void DrawButtonGlyph(const TsButtonGlyph& glyph, TBitmap* bitmap);
// The number of images of a list, 0 for none.
int GetImageCount(TCustomImageList* list);

// What a skinned push button paints over an area of its cache: its section in a look, the
// border mask, the caption in the section's font colours and its glyph. The bit button and the
// speed button (also the arrow part of a drop-down speed button, with no caption and no glyph)
// paint their faces through it.
struct TsButtonFace {
  TRect Area{};                // in the cache
  TPoint Offset{0, 0};         // the cache's place in the parent: what shows behind
  int Look = ButtonNormal;     // the look wanted: caption colours; the section limits its own
  bool DrawOverBorder = true;  // caption and glyph over the border mask; false: the mask last
  bool ApplyHue = true;        // the skin data's hue offset and saturation over the whole cache
  TFont* Font = nullptr;       // the caption's font
  std::string Caption{};       // empty: no caption
  TRect CaptionRect{};
  uint32_t TextFlags = 0;  // DrawText flags
  bool Enabled = true;
  const TsButtonGlyph* Glyph = nullptr;  // null: no glyph
};
// `holes` (may be null) receives the border mask's open corner runs, for a window region cut
// to the mask's shape; the mask then covers the whole cache.
void PaintButtonFace(TsCommonData& data, const TsBackgroundSource& background, TBitmap* cache,
                     const TsButtonFace& face, std::vector<TRect>* holes);

// The image of a tool button on a skinned tool bar, for the bar's custom-draw state, into the
// button's bitmap: from the bar's disabled, hot or normal list, centred (or left, with List)
// as the bar lays its buttons out.
void PaintToolBarButtonGlyph(TToolBar* bar, TToolButton* button, const TsToolButtonDrawState& state,
                             TBitmap* bitmap, int lineHeight);
