// The pixel routines the alpha image list borrows from the skin engine: scaling an item to the
// list's size and copying a glyph with the looks of a skinned glyph. The skin engine stands
// above the codecs, so it implements this interface and a program registers it at start
// (RegisterSkinImageListPixels in its start-up list); until then the list has no way to scale
// or compose a glyph and says so.
#pragma once

#include "framework/Graphics.h"
#include "framework/Types.h"

// One glyph copied by its alpha from SourceRect of Source into DestRect of Dest.
struct TsGlyphCopy {
  TRect DestRect{};
  TRect SourceRect{};
  TBitmap* Dest = nullptr;
  const TBitmap* Source = nullptr;
  bool Reflected = false;      // a fading mirror image below the copy
  int Transparency = 0;        // percent taken off the glyph's alpha
  TColor BlendColor = clNone;  // the glyph tinted grey toward it; clNone: untinted
  // Dest already holds what lies beneath: the key colour shows it, and the result keeps the
  // higher of the two alphas.
  bool OverOwnBackground = false;
};

class IAlphaImagePixels {
 public:
  virtual ~IAlphaImagePixels() = default;
  // Source resampled (Mitchell kernel) into dest at dest's size, 32 bits per pixel.
  virtual void Stretch(TBitmap* source, TBitmap* dest) = 0;
  virtual void CopyGlyph(const TsGlyphCopy& copy) = 0;
};

// The registered routines; raises EInvalidOperation when none are registered.
IAlphaImagePixels& AlphaImagePixels();
// A program registers the skin engine's routines (null: none again).
void SetAlphaImagePixels(IAlphaImagePixels* pixels);
