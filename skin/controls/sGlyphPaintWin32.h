// A button's glyph painted into its cached picture: a cell of its own glyph strip (with
// per-pixel alpha when the strip has it, else with its key colour) or an image of an image
// list, in the button's look, with its blend, grey look and mirror image.
#pragma once

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/controls/sButtonGeometry.h"

class TCustomImageList;

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
