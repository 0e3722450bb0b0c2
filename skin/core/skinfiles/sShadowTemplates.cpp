#include "skin/core/skinfiles/sShadowTemplates.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/skPNG.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

std::unique_ptr<TPNGGraphic> ActiveShadowTemplate;
std::unique_ptr<TPNGGraphic> InactiveShadowTemplate;

namespace {

std::unique_ptr<TPNGGraphic> ReadPng(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto png = std::make_unique<TPNGGraphic>();
  try {
    png->LoadFromStream(stream);
  } catch (const Exception&) {
    return nullptr;
  }
  if (png->Width() <= 0 || png->Height() <= 0) return nullptr;
  return png;
}

}  // namespace

bool LoadShadowTemplates(const std::vector<uint8_t>& activePng,
                         const std::vector<uint8_t>& inactivePng) {
  auto active = ReadPng(activePng);
  auto inactive = ReadPng(inactivePng);
  if (!active || !inactive) {
    FreeShadowTemplates();
    return false;
  }
  ActiveShadowTemplate = std::move(active);
  InactiveShadowTemplate = std::move(inactive);
  return true;
}

void FreeShadowTemplates() {
  ActiveShadowTemplate.reset();
  InactiveShadowTemplate.reset();
}

TsShadowImages MakeShadowImages(TsSkinManager& manager, const TBitmap* activeTemplate,
                                const TBitmap* inactiveTemplate, bool compositionEnabled) {
  TsShadowImages shadow;
  const int exBorder = manager.FixedIndexes().ExBorder;
  if (manager.IsValidMaskIndex(exBorder)) {
    const TsSkinData& skin = manager.CurrentSkin();
    const int offset = skin.FormOffset;
    if (skin.BorderMode != 0)
      shadow.Margins = TRect{offset, offset, offset, offset};
    else
      shadow.Margins = TRect{
          manager.MaskWidthLeft(exBorder) - offset, manager.MaskWidthTop(exBorder) - offset,
          manager.MaskWidthRight(exBorder) - offset, manager.MaskWidthBottom(exBorder) - offset};
    const TsMaskData& mask = manager.Masks()[static_cast<size_t>(exBorder)];
    // A mask that lies in the master image is copied from there, like one with its own.
    if (const TBitmap* source = mask.Image ? mask.Image.get() : manager.MasterImage()) {
      const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
      const TRect first{mask.SourceRect.Left, mask.SourceRect.Top, mask.SourceRect.Left + w,
                        mask.SourceRect.Top + h};
      shadow.Inactive = CopyBitmapArea(*source, first);
      shadow.Active = mask.ImageCount <= 1
                          ? CopyBitmapArea(*source, first)
                          : CopyBitmapArea(*source, TRect{first.Left + w, first.Top,
                                                          first.Right + w, first.Bottom});
    }
  } else if (activeTemplate && inactiveTemplate) {
    const int wider = compositionEnabled ? 1 : 0;
    const TRect m = DefaultShadowMargins;
    shadow.Margins = TRect{m.Left + wider, m.Top + wider, m.Right + wider, m.Bottom + wider};
    shadow.Active = CopyBitmapArea(*activeTemplate,
                                   TRect{0, 0, activeTemplate->Width(), activeTemplate->Height()});
    shadow.Inactive = CopyBitmapArea(
        *inactiveTemplate, TRect{0, 0, inactiveTemplate->Width(), inactiveTemplate->Height()});
  }
  ClearWhiteTransparentPixels(shadow.Active.get());
  ClearWhiteTransparentPixels(shadow.Inactive.get());
  return shadow;
}

#ifndef _WIN32
bool IsCompositionEnabled() { return false; }
#endif
