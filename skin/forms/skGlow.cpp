#include "skin/forms/skGlow.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// The live glows by id (TskGlowEffects).
std::vector<std::unique_ptr<TskGlowEffect>>& Glows() {
  static std::vector<std::unique_ptr<TskGlowEffect>> glows;
  return glows;
}

uint64_t LastGlowSerial = 0;

}  // namespace

TskGlowPlacement CalcGlowPlacement(const TRect& rect, const TRect& clipRect,
                                   const TskGlowMaskWidths& mask, int glowMargin) {
  TskGlowPlacement p;
  const int rectWidth = rect.Width(), rectHeight = rect.Height();
  p.ImageWidth = rectWidth + mask.Left + mask.Right - 2 * glowMargin;
  p.ImageHeight = rectHeight + mask.Top + mask.Bottom - 2 * glowMargin;
  int w = p.ImageWidth, h = p.ImageHeight;
  int left = 0, top = 0;
  const int clipWidth = clipRect.Width(), clipHeight = clipRect.Height();
  if (clipWidth != rectWidth || clipHeight != rectHeight) {
    // A side the clip box cuts ends where the visible part ends.
    if (clipRect.Left != 0) left = mask.Left + clipRect.Left - glowMargin;
    if (clipRect.Top != 0) top = mask.Top + clipRect.Top - glowMargin;
    int right = 0, bottom = 0;
    if (clipRect.Right != rectWidth)
      right = left != 0 ? w - left - clipWidth : rectWidth + mask.Right - clipWidth - glowMargin;
    if (clipRect.Bottom != rectHeight)
      bottom = top != 0 ? h - top - clipHeight : rectHeight + mask.Bottom - clipHeight - glowMargin;
    w -= left + right;
    h -= top + bottom;
  }
  // A rectangle with no visible part has no glow (the cut above would leave a strip).
  if (clipWidth <= 0 || clipHeight <= 0) w = h = 0;
  p.CropLeft = left;
  p.CropTop = top;
  p.Width = w;
  p.Height = h;
  p.Position =
      TPoint{rect.Left + left + glowMargin - mask.Left, rect.Top + glowMargin + top - mask.Top};
  return p;
}

TskGlowEffect::TskGlowEffect(TsSkinManager* manager)
    : GlowManager(manager ? manager : DefaultManager), Serial(++LastGlowSerial) {}

TskGlowEffect::~TskGlowEffect() = default;

void TskGlowEffect::BuildImage(int width, int height) {
  Image = CreateBmp32(width, height);
  if (GlowMask < 0 || !GlowManager || !GlowManager->IsValidMaskIndex(GlowMask)) return;
  PaintMaskRect(Image.get(), TRect{0, 0, width, height},
                GlowManager->Masks()[static_cast<size_t>(GlowMask)], 0, false,
                EmptyBackgroundSource);
}

TskGlowMaskWidths TskGlowEffect::MaskWidths() const {
  if (!GlowManager || !GlowManager->IsValidMaskIndex(GlowMask)) return {};
  return {GlowManager->MaskWidthLeft(GlowMask), GlowManager->MaskWidthTop(GlowMask),
          GlowManager->MaskWidthRight(GlowMask), GlowManager->MaskWidthBottom(GlowMask)};
}

std::unique_ptr<TBitmap> CropGlowImage(const TBitmap& image, const TskGlowPlacement& placement) {
  return CopyBitmapArea(
      image, TRect{placement.CropLeft, placement.CropTop, placement.CropLeft + placement.Width,
                   placement.CropTop + placement.Height});
}

void PremultiplyAlpha(TBitmap* bitmap) {
  TPixels32 pixels(bitmap);
  if (!pixels.Valid()) return;
  for (int y = 0; y < pixels.Height; ++y) {
    uint32_t* row = pixels.Row(y);
    for (int x = 0; x < pixels.Width; ++x) {
      const uint32_t p = row[x], a = p >> 24;
      if (a == 255) continue;
      // Rounded: (c * a + 127) / 255.
      auto channel = [&](int shift) { return (((p >> shift) & 0xFFu) * a + 127) / 255 << shift; };
      row[x] = (a << 24) | channel(16) | channel(8) | channel(0);
    }
  }
}

int AddGlow(std::unique_ptr<TskGlowEffect> glow) {
  Glows().push_back(std::move(glow));
  return static_cast<int>(Glows().size()) - 1;
}

void FreeGlow(int id) {
  auto& glows = Glows();
  if (id < 0 || static_cast<size_t>(id) >= glows.size()) return;
  // Out of its slot first: whatever the window does while it goes sees the slot empty.
  std::unique_ptr<TskGlowEffect> glow = std::move(glows[static_cast<size_t>(id)]);
}

void FreeAllGlows() {
  std::vector<std::unique_ptr<TskGlowEffect>> glows = std::move(Glows());
  Glows().clear();
  glows.clear();
}

int GlowCount() { return static_cast<int>(Glows().size()); }

TskGlowEffect* GlowAt(int id) {
  const auto& glows = Glows();
  if (id < 0 || static_cast<size_t>(id) >= glows.size()) return nullptr;
  return glows[static_cast<size_t>(id)].get();
}

uint64_t GlowSerial(int id) {
  const TskGlowEffect* glow = GlowAt(id);
  return glow ? glow->Serial : 0;
}
