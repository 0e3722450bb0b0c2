#include "skin/adapters/skSBUtils.h"

#include <algorithm>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

bool DialogAdapterMode = false;

namespace {
// The key colour of skin images: "no colour".
constexpr TColor kKeyColor = 0xFF00FF;
}  // namespace

bool HasMultiStateSkin(const TsCommonData& data) {
  const TsSkinManager* manager = data.SkinManager();
  if (!manager || data.SectionIndex < 0 || data.BorderMaskIndex < 0) return false;
  if (manager->IsValidMaskIndex(data.BorderMaskIndex) &&
      manager->Masks()[static_cast<size_t>(data.BorderMaskIndex)].ImageCount > 1)
    return true;
  return manager->IsValidSectionIndex(data.SectionIndex) &&
         manager->Sections()[static_cast<size_t>(data.SectionIndex)].States > 1;
}

bool TskAdapterCmdHandler::Listening() const { return manager_ && manager_->Active(); }

bool TskAdapterCmdHandler::OnSkinChanged(TSkinCmdMessage& m) {
  if (NamesOurManager(m)) {
    Data().UpdateIndexes();
    Data().BackgroundDirty = true;
    window_.BroadcastToChildren(m);
  }
  return false;
}

bool TskAdapterCmdHandler::OnRemoveSkin(TSkinCmdMessage& m) {
  if (NamesOurManager(m)) window_.RestoreColors();
  return false;
}

bool TskAdapterCmdHandler::OnRefresh(TSkinCmdMessage& m) {
  if (!NamesOurManager(m)) return false;
  Data().UpdateIndexes();
  Data().BackgroundDirty = true;
  Data().SetPaintSuspended(false);
  if (window_.IsVisible()) window_.Repaint();
  return true;
}

bool TskAdapterCmdHandler::OnResumePainting(TSkinCmdMessage&) {
  TsCommonData& d = Data();
  if (!d.PaintSuspended) return false;
  d.PaintSuspended = false;
  d.PaintSuspended = d.PaintingSuspended();
  if (!d.PaintSuspended) window_.RedrawAll();
  return true;
}

bool TskAdapterCmdHandler::OnIsUpdating(TSkinCmdMessage& m) {
  m.Result = Data().PaintSuspended ? 1 : 0;
  return true;
}

bool TskAdapterCmdHandler::OnIsBgGraphic(TSkinCmdMessage& m) {
  return window_.HasHostControl() && TsSkinCmdHandler::OnIsBgGraphic(m);
}

bool TskAdapterCmdHandler::OnGetBgColor(TSkinCmdMessage& m) {
  m.Result = window_.OwnBgColorAnswer();
  if (m.Result == 0) m.Result = static_cast<intptr_t>(Data().BgColor(0));
  return true;
}

bool TskAdapterCmdHandler::OnPrepareCache(TSkinCmdMessage&) {
  window_.PrepareCache();
  return false;
}

bool TskAdapterCmdHandler::OnSetPrintDC(TSkinCmdMessage& m) {
  TsSkinCmdHandler::OnSetPrintDC(m);
  return false;
}

bool TskAdapterCmdHandler::OnGetApplication(TSkinCmdMessage& m) {
  m.Result = window_.ApplicationObject();
  return true;
}

bool HandleAdapterSkinCmd(TSkinCmdMessage& m, TsCommonData& data, TsSkinManager* manager,
                          IAdapterWindow& window) {
  return TskAdapterCmdHandler(data, manager, window).Handle(m);
}

void PaintWindowCache(TsCommonData& data, const TsWindowPlace& place, bool hot,
                      TColor windowColor) {
  data.UpdateCacheSize();
  TBitmap* cache = data.CacheBitmap.get();
  const int width = std::max(place.Width, 0);
  const int height = std::max(place.Height, 0);
  if (cache->Width() != width || cache->Height() != height) cache->SetSize(width, height);
  const TRect whole{0, 0, width, height};
  TsSkinManager* manager = data.SkinManager();
  const TColor border = DefaultManager ? DefaultManager->CurrentSkin().BorderColor : kKeyColor;
  if (place.InDialog && DefaultManager && border != kKeyColor) {
    FillRect32(cache, whole, windowColor);
    if (width > 0 && height > 0) {
      FillRect32(cache, TRect{0, 0, width, 1}, border);
      FillRect32(cache, TRect{0, height - 1, width, height}, border);
      FillRect32(cache, TRect{0, 0, 1, height}, border);
      FillRect32(cache, TRect{width - 1, 0, width, height}, border);
    }
  } else if (manager && manager->IsValidSectionIndex(data.SectionIndex)) {
    const TsPaintState state =
        hot && HasMultiStateSkin(data) ? TsPaintState::Hot : TsPaintState::Normal;
    PaintControlItem(data, place.Behind, cache, place.PosInParent, whole, state);
  }
  data.BackgroundDirty = false;
}

void FillTransparentCorners(TsCommonData& data, const TsWindowPlace& place, TsPaintState state) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || place.InDialog || !manager->IsValidMaskIndex(data.BorderMaskIndex) ||
      !data.CacheBitmap || place.Width <= 1 || place.Height <= 1)
    return;
  TsBackgroundSource behind = place.Behind;
  if (behind.HasBitmap && behind.Bmp) {
    behind.X += place.PosInParent.X;
    behind.Y += place.PosInParent.Y;
  } else {
    behind.HasBitmap = false;
    behind.Bmp = nullptr;
    if ((behind.FillColor & 0xFFFFFF) == kKeyColor) return;
  }
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(data.BorderMaskIndex)];
  if (MaskStateWidth(mask) == 0 || MaskStateHeight(mask) == 0) {
    // A mask with an image of its own but no count is read as three masked states.
    if (!(mask.ImageCount == 0 && mask.Image)) return;
  }
  FillMaskCorners(data.CacheBitmap.get(), mask, StateIndex(state), behind);
}
