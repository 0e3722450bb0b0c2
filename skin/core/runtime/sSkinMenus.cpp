#include "skin/core/runtime/sSkinMenus.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/skinfiles/sSkinManager.h"

bool IsCaptionItem(const std::string& caption) {
  return caption.size() >= 2 && caption.front() == '-' && caption.back() == '-';
}

TsMenuItemType MenuItemTypeOf(const std::string& caption) {
  if (caption == "-") return smDivider;
  return IsCaptionItem(caption) ? smCaption : smNormal;
}

std::string CaptionItemText(const std::string& caption) {
  if (!IsCaptionItem(caption)) return caption;
  const std::string inner = caption.substr(1);
  return inner.substr(0, inner.find('-'));
}

TsShownCaption ShownCaption(const std::string& caption) {
  if (!caption.empty() && caption.front() == '\b') return {caption.substr(1) + "      ", true};
  return {caption, false};
}

std::string MeasuredItemText(const std::string& caption, const std::string& shortCutText) {
  switch (MenuItemTypeOf(caption)) {
    case smDivider:
      return "";
    case smCaption:
      return "-" + caption + "-";
    default:
      return caption + shortCutText;
  }
}

int MenuItemHeight(int textHeightOfW, int glyphHeight, int margin, TsMenuItemType type) {
  if (type == smDivider) return 2;
  // Ties go to the even neighbour, as the rounding of the floating-point unit does.
  const int prevRounding = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const int text = static_cast<int>(std::nearbyint(textHeightOfW * 1.25));
  std::fesetround(prevRounding);
  const int content = type == smCaption ? text : std::max(text, glyphHeight);
  return content + 2 * margin;
}

int PopupItemWidth(int textWidth, int glyphWidth, int margin, int spacing, int extraLineSpace) {
  return 2 * glyphWidth + textWidth + 3 * margin + spacing + extraLineSpace;
}

TSize PopupSize(const std::vector<TsMeasuredItem>& items) {
  int width = 0, height = 0, columnWidth = 0, columnHeight = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const TsMeasuredItem& item = items[i];
    if (item.Break && i > 0) {
      width += columnWidth + 4;
      height = std::max(height, columnHeight);
      columnWidth = columnHeight = 0;
    }
    columnWidth = std::max(columnWidth, item.Width + 12);
    columnHeight += item.Height;
  }
  width += columnWidth;
  height = std::max(height, columnHeight);
  return {width, height};
}

namespace {
bool extraLineQueryRunning = false;
}

TsExtraLineData QueryExtraLine(const void* firstItem, const std::string& firstItemName,
                               const TskGetExtraLineData& handler) {
  TsExtraLineData data;
  if (firstItemName == "SkinSelectItem" || extraLineQueryRunning) return data;
  data.SkinSection = "EXTRALINE";
  data.Caption = "Use OnGetExtraLineData event";
  data.LineVisible = true;
  if (handler) {
    extraLineQueryRunning = true;
    struct TReset {
      ~TReset() { extraLineQueryRunning = false; }
    } reset;
    handler(firstItem, data);
  }
  data.Caption.erase(std::remove(data.Caption.begin(), data.Caption.end(), '&'),
                     data.Caption.end());
  if (!data.LineVisible) data.Glyph.reset();
  return data;
}

int ExtraLineSpace(const TskMenuSupport& support, bool extraLineShown) {
  return support.UseExtraLine && extraLineShown ? support.ExtraLineWidth : 0;
}

std::vector<TRect> MenuRegionCuts(const std::vector<TRect>& holes) {
  if (holes.empty()) return {TRect{0, 0, 1, 1}};
  return holes;
}

TsMenuCache::Entry* TsMenuCache::FindByItem(const void* firstItem) {
  if (!firstItem) return nullptr;
  for (auto& e : entries_)
    if (e->FirstItem == firstItem) return e.get();
  return nullptr;
}

TsMenuCache::Entry* TsMenuCache::FindByWindow(uintptr_t window) {
  if (window == 0) return nullptr;
  for (auto& e : entries_)
    if (e->Window == window) return e.get();
  return nullptr;
}

TsMenuCache::Entry& TsMenuCache::Add(const void* firstItem, std::unique_ptr<TBitmap> image,
                                     uintptr_t window, bool extraLineShown) {
  auto entry = std::make_unique<Entry>();
  entry->FirstItem = firstItem;
  entry->Image = std::move(image);
  entry->Window = window;
  entry->ExtraLineShown = extraLineShown;
  entries_.push_back(std::move(entry));
  return *entries_.back();
}

void TsMenuCache::ForgetItem(const void* item) {
  std::erase_if(entries_, [item](const std::unique_ptr<Entry>& e) { return e->FirstItem == item; });
}

int MenuSkinBorderWidth(const TsSkinManager* manager) {
  if (!manager) return 0;
  const int mask = FindMaskIndex(manager, "MAINMENU", "BORDERSMASK");
  if (mask < 0) return 0;
  const int width = manager->Masks()[static_cast<size_t>(mask)].BorderWidth;
  return width > 0 ? width : 3;
}

TsMenuBackground PaintMenuBackground(TsSkinManager* manager, int width, int height,
                                     const TskMenuSupport& support, int iconLineWidth,
                                     int extraLineSpace) {
  TsMenuBackground result;
  result.Image = std::make_unique<TBitmap>();
  result.Image->SetPixelFormat(pf32bit);
  result.Image->SetSize(std::max(width, 0), std::max(height, 0));
  const int section = manager ? manager->GetSectionIndex("MAINMENU") : -1;
  if (section < 0 || width <= 0 || height <= 0) return result;
  TBitmap* image = result.Image.get();
  const TRect all{0, 0, width, height};
  PaintSectionBackground({.Bitmap = image,
                          .R = all,
                          .SectionIndex = section,
                          .SectionName = "MAINMENU",
                          .Manager = manager});
  TsBackgroundSource behind;
  behind.Bmp = image;
  behind.HasBitmap = true;

  const int border = MenuSkinBorderWidth(manager);
  const int iconLine =
      support.IcoLineSkin.empty() ? -1 : manager->GetSectionIndex(support.IcoLineSkin);
  const int stripHeight = height - 2 * border;
  if (iconLine >= 0 && iconLineWidth > 0 && stripHeight > 0) {
    const TPoint at{extraLineSpace + border, border};
    TBitmap strip;
    strip.SetPixelFormat(pf32bit);
    strip.SetSize(iconLineWidth, stripHeight);
    PaintItem({.Bitmap = &strip,
               .R = TRect{0, 0, iconLineWidth, stripHeight},
               .SectionIndex = iconLine,
               .SectionName = support.IcoLineSkin,
               .Background = MovedBackground(behind, at),
               .Manager = manager,
               .CornerBackground = false});
    for (int y = 0; y < stripHeight && at.Y + y < height; ++y) {
      const int count = std::min(iconLineWidth, width - at.X);
      if (count > 0)
        std::memcpy(image->ScanLine(at.Y + y) + 4 * at.X, strip.ScanLine(y),
                    static_cast<size_t>(count) * 4);
    }
  }

  const int maskIndex = FindMaskIndex(manager, "MAINMENU", "BORDERSMASK");
  if (maskIndex >= 0) {
    const TsMaskData& mask = manager->Masks()[static_cast<size_t>(maskIndex)];
    PaintMaskRect(image, all, mask, 0, false, behind);
    GetMaskHoleRects(result.Holes, width, mask, false, 0);
    GetMaskHoleRects(result.Holes, width, mask, true, height - mask.WidthBottom);
  }
  result.Painted = true;
  return result;
}
