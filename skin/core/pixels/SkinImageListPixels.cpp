#include "skin/core/pixels/SkinImageListPixels.h"

#include "imaging/skAlphaImageListPixels.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sResample.h"

namespace {

constexpr int MitchellFilter = 6;

class TSkinImageListPixels : public IAlphaImagePixels {
 public:
  void Stretch(TBitmap* source, TBitmap* dest) override {
    StretchBitmap(source, dest, dest->Width(), MitchellFilter, dest->Height());
  }

  void CopyGlyph(const TsGlyphCopy& copy) override {
    const TsBackgroundSource background =
        copy.OverOwnBackground ? MakeBackgroundSource(copy.Dest, 0, 0) : TsBackgroundSource{};
    CopyImageWithEffects(copy.Dest, copy.DestRect, copy.Source, copy.SourceRect,
                         {.Transparency = copy.Transparency,
                          .BlendColor = copy.BlendColor,
                          .Reflected = copy.Reflected,
                          .UseBackground = copy.OverOwnBackground,
                          .Background = background});
  }
};

TSkinImageListPixels Pixels;

}  // namespace

void RegisterSkinImageListPixels() { SetAlphaImagePixels(&Pixels); }

void UnregisterSkinImageListPixels() { SetAlphaImagePixels(nullptr); }
