// The font families the font combo box and the font list box show: one entry per family as
// the system enumerates them, its kind (which decides the glyph beside its name), and the
// choice of the families a control lists through its filter. Kept apart from the windows so
// they are tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Strings.h"
#include "framework/System.h"
#include "framework/Types.h"

// The kind of a font family; the number is the index of its glyph.
enum class TFontKind : uint8_t { Device = 0, TrueType = 1, Raster = 2, Unknown = 3 };
inline constexpr int FontKindCount = 4;

// One installed font family: its face name (at most 32 characters) and its kind. The controls'
// items refer to these as their objects.
class TFontClass : public TObject {
  K_CLASS(TFontClass, TObject)
  TFontClass() = default;
  TFontClass(std::string name, TFontKind kind) : Name(std::move(name)), Kind(kind) {}
  std::string Name;
  TFontKind Kind = TFontKind::Unknown;
};

using TFontFamilies = std::vector<std::unique_ptr<TFontClass>>;

// The kind from the font type the enumeration reports (raster 1, device 2, TrueType 4).
TFontKind FontKindOfType(uint32_t fontType);

// Two face names naming the same family (the user's locale, ignoring case).
using TSameFontName = std::function<bool(const std::string&, const std::string&)>;

// One family as the enumeration reports it, appended unless a family of the same name is
// listed already, or its name is empty while another one is listed.
void AddFontFamily(TFontFamilies& families, std::string_view faceName, uint32_t fontType,
                   const TSameFontName& same);

enum TFilterOption { ShowTrueType, ShowPostScript, ShowRaster };
using TFilterOptions = TSet<TFilterOption>;
inline constexpr TFilterOptions AllFontFilters{ShowTrueType, ShowPostScript, ShowRaster};

// A family of this kind is shown under the filter: device fonts need ShowPostScript, TrueType
// ShowTrueType, raster fonts ShowRaster; a family of unknown kind always passes.
bool FontPassesFilter(TFontKind kind, TFilterOptions filter);

// A control's own say on one family; false hides it in that control.
using TAcceptFont = std::function<bool(TFontClass& family)>;

// The items of a control made again: the name of each family the control accepts and the
// filter passes, with the family as its object, in the families' order (a sorted list sorts
// them).
void FillFontItems(TStrings& items, const TFontFamilies& families, TFilterOptions filter,
                   const TAcceptFont& accept);
