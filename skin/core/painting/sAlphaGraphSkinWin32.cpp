#define OEMRESOURCE  // OBM_CHECKBOXES
#include <windows.h>

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// The system's check-box glyph size: the OBM_CHECKBOXES bitmap holds 4 x 3 glyphs.
TSize SystemCheckBoxSize() {
  static const TSize size = [] {
    TGdiObject<HBITMAP> bitmap(LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES)));
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap.Get(), sizeof(info), &info)) return TSize{13, 13};
    return TSize{info.bmWidth / 4, info.bmHeight / 3};
  }();
  return size;
}

const TsMaskData* SmallCheckedMask(const TsSkinManager* manager) {
  if (!manager || !manager->Active()) return nullptr;
  const int index = manager->FixedIndexes().SmallChecked;
  return manager->IsValidMaskIndex(index) ? &manager->Masks()[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

void WriteTextOnBitmap32(TBitmap* bitmap, const TsSectionText& item, bool withShadows) {
  TsSkinManager* manager = item.Manager ? item.Manager : DefaultManager;
  if (!manager || !bitmap) return;
  const std::string& text = item.Text;
  const TRect& r = item.R;
  const uint32_t format = item.Format;
  if (!manager->IsValidSectionIndex(item.SectionIndex)) {
    DrawTextOnBitmap32(bitmap, text, bitmap->Canvas()->Font()->Color(), format, r);
    return;
  }
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(item.SectionIndex)];
  const TsGenState& state = section.Props[item.Hot && section.States > 0 ? 1 : 0];
  if (withShadows) {
    const struct {
      TColor color;
      int dx, dy;
    } shadows[] = {{state.ShadowLeft, -1, 0},
                   {state.ShadowTop, 0, -1},
                   {state.ShadowRight, 1, 0},
                   {state.ShadowBottom, 0, 1}};
    for (const auto& s : shadows)
      if (s.color != -1)
        DrawTextOnBitmap32(bitmap, text, s.color, format,
                           {r.Left + s.dx, r.Top + s.dy, r.Right + s.dx, r.Bottom + s.dy});
  }
  DrawTextOnBitmap32(bitmap, text, state.FontColor, format, r);
}

int CheckBoxWidth(const TsSkinManager* manager) {
  const TsMaskData* mask = SmallCheckedMask(manager);
  return mask ? MaskStateWidth(*mask) + 2 : SystemCheckBoxSize().cx;
}

int CheckBoxHeight(const TsSkinManager* manager) {
  const TsMaskData* mask = SmallCheckedMask(manager);
  return mask ? MaskStateHeight(*mask) : SystemCheckBoxSize().cy;
}
