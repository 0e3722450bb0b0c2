#include "skin/controls/sFontCtrls.h"

#include <algorithm>

namespace {
// The enumeration's font types.
constexpr uint32_t kRasterFontType = 1;
constexpr uint32_t kDeviceFontType = 2;
constexpr uint32_t kTrueTypeFontType = 4;
// A face name is at most this long.
constexpr size_t kFaceNameLength = 32;
}  // namespace

TFontKind FontKindOfType(uint32_t fontType) {
  switch (fontType) {
    case kRasterFontType:
      return TFontKind::Raster;
    case kDeviceFontType:
      return TFontKind::Device;
    case kTrueTypeFontType:
      return TFontKind::TrueType;
    default:
      return TFontKind::Unknown;
  }
}

void AddFontFamily(TFontFamilies& families, std::string_view faceName, uint32_t fontType,
                   const TSameFontName& same) {
  std::string name(faceName.substr(0, kFaceNameLength));
  if (name.empty() && !families.empty()) return;
  const bool known = std::any_of(families.begin(), families.end(),
                                 [&](const auto& family) { return same(family->Name, name); });
  if (known) return;
  families.push_back(std::make_unique<TFontClass>(std::move(name), FontKindOfType(fontType)));
}

bool FontPassesFilter(TFontKind kind, TFilterOptions filter) {
  switch (kind) {
    case TFontKind::Device:
      return filter.Contains(ShowPostScript);
    case TFontKind::TrueType:
      return filter.Contains(ShowTrueType);
    case TFontKind::Raster:
      return filter.Contains(ShowRaster);
    case TFontKind::Unknown:
      break;
  }
  return true;
}

void FillFontItems(TStrings& items, const TFontFamilies& families, TFilterOptions filter,
                   const TAcceptFont& accept) {
  WhileUpdating(&items, [&] {
    items.Clear();
    for (const auto& family : families) {
      if (accept && !accept(*family)) continue;
      if (FontPassesFilter(family->Kind, filter)) items.AddObject(family->Name, family.get());
    }
  });
}
