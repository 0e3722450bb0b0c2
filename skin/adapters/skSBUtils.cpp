#include "skin/adapters/skSBUtils.h"

#include <algorithm>

#include "skin/core/sAlphaGraph.h"
#include "skin/core/sAlphaGraphSkin.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sGraphics.h"
#include "skin/core/sSectionPaint.h"
#include "skin/core/sSkinManager.h"

bool DialogAdapterMode = false;

namespace {
// The key colour of skin images: "no colour".
constexpr TColor kKeyColor = 0xFF00FF;

// Questions anybody may ask; every other command changes state and is obeyed only when it
// comes from our own senders.
bool IsAdapterQuery(int cmd) {
  return cmd == CmdIsSkinned || cmd == CmdIsUpdating || cmd == CmdGetBgColor ||
         cmd == CmdIsBgGraphic;
}
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

bool HandleAdapterSkinCmd(TSkinCmdMessage& m, TsCommonData& d, TsSkinManager* manager,
                          IAdapterWindow& window) {
  if (!manager || !manager->Active()) return false;
  if (!m.FromOwnThread && !IsAdapterQuery(m.Cmd)) return false;
  // Compared as a number only: a command naming another manager changes nothing here.
  const bool ourManager = m.LParam == reinterpret_cast<intptr_t>(manager);
  switch (m.Cmd) {
    case CmdSkinChanged:
      if (ourManager) {
        d.UpdateIndexes();
        d.BackgroundDirty = true;
        window.BroadcastToChildren(m);
      }
      return false;
    case CmdRemoveSkin:
      if (ourManager) window.RestoreColors();
      return false;
    case CmdRefresh:
      if (!ourManager) return false;
      d.UpdateIndexes();
      d.BackgroundDirty = true;
      d.SetPaintSuspended(false);
      if (window.IsVisible()) window.Repaint();
      return true;
    case CmdResumePainting:
      if (!d.PaintSuspended) return false;
      d.PaintSuspended = false;
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.PaintSuspended) window.RedrawAll();
      return true;
    case CmdIsSkinned:
      m.Result = 1;
      return true;
    case CmdIsUpdating:
      m.Result = d.PaintSuspended ? 1 : 0;
      return true;
    case CmdSetSection:
      if (m.LParam != 0)
        d.SetSkinSection(reinterpret_cast<const TskSectionInfo*>(m.LParam)->SectionName);
      return false;
    case CmdIsBgGraphic:
      return window.AnswerBgGraphic(m);
    case CmdGetBgColor:
      m.Result = window.OwnBgColorAnswer();
      if (m.Result == 0) m.Result = static_cast<intptr_t>(d.BgColor(0));
      return true;
    case CmdPrepareCache:
      window.PrepareCache();
      return false;
    case CmdGetBgInfo:
      if (m.LParam == 0) return false;
      d.FillBackgroundRequest(*reinterpret_cast<TsBackgroundRequest*>(m.LParam), 0);
      return true;
    case CmdSetPrintDC:
      d.SetPrintTarget(m.LParam);
      return false;
    case CmdGetApplication:
      m.Result = window.ApplicationObject();
      return true;
    default:
      return false;
  }
}

void PaintWindowCache(TsCommonData& data, const TsBackgroundSource& behind, TPoint posInParent,
                      int width, int height, bool inDialog, bool hot, TColor windowColor) {
  data.UpdateCacheSize();
  TBitmap* cache = data.CacheBitmap.get();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (cache->Width() != width || cache->Height() != height) cache->SetSize(width, height);
  const TRect whole{0, 0, width, height};
  TsSkinManager* manager = data.SkinManager();
  const TColor border = DefaultManager ? DefaultManager->CurrentSkin().BorderColor : kKeyColor;
  if (inDialog && DefaultManager && border != kKeyColor) {
    FillRect32(cache, whole, windowColor);
    if (width > 0 && height > 0) {
      FillRect32(cache, TRect{0, 0, width, 1}, border);
      FillRect32(cache, TRect{0, height - 1, width, height}, border);
      FillRect32(cache, TRect{0, 0, 1, height}, border);
      FillRect32(cache, TRect{width - 1, 0, width, height}, border);
    }
  } else if (manager && manager->IsValidSectionIndex(data.SectionIndex)) {
    const int state = hot && HasMultiStateSkin(data) ? 1 : 0;
    PaintControlItem(data, behind, cache, posInParent, whole, state);
  }
  data.BackgroundDirty = false;
}

void FillTransparentCorners(TsCommonData& data, int state, bool inDialog, int width, int height,
                            TPoint posInParent, TsBackgroundSource behind) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || inDialog || !manager->IsValidMaskIndex(data.BorderMaskIndex) ||
      !data.CacheBitmap || width <= 1 || height <= 1)
    return;
  if (behind.HasBitmap && behind.Bmp) {
    behind.X += posInParent.X;
    behind.Y += posInParent.Y;
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
  FillMaskCorners(data.CacheBitmap.get(), mask, state, behind);
}
