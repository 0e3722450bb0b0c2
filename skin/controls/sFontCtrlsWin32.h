// The font lists: a combo box and a list box that list the font families installed on the
// system, each name with a glyph of its kind (device, TrueType, raster, unknown) and, unless
// told otherwise, drawn in its own face. The families are enumerated once, at start-up, into
// a list all the controls share; each control fills its items from it through its filter.
#pragma once

#include <windows.h>

#include "skin/controls/sComboBoxWin32.h"
#include "skin/controls/sFontCtrls.h"

// Enumerates the installed families and loads the kinds' glyphs (the program's start-up list
// calls it; the first control to need them does too). Fonts installed later are not listed.
void InitFontLists();
// Frees the families and the glyphs.
void DoneFontLists();
// The families, in the order the system enumerated them.
const TFontFamilies& FontFamilies();
// The glyph of a kind (16 x 16, drawn transparent).
TBitmap* FontKindGlyph(TFontKind kind);

// A control's say on one family: setting `accept` to false hides the family in that control.
using EValidateFont = TMethod<void(TObject* sender, TFontClass* font, bool& accept)>;

class TsFontComboBox : public TsCustomComboBox {
  K_CLASS(TsFontComboBox, TsCustomComboBox)
  explicit TsFontComboBox(TComponent* owner);

  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions value);
  // Each name drawn in its own face (else in the control's font).
  bool DrawFont() const { return drawFont_; }
  void SetDrawFont(bool value);
  KFW_EVENT(EValidateFont, OnValidateFont)
  // The items made again from the families.
  void FillFontList();

 protected:
  void Loaded() override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;

 private:
  void PlainDrawFontItem(int index, TRect rect, TOwnerDrawState state);
  void SkinnedDrawFontItem(int index, const TRect& rect, TOwnerDrawState state);
  TFontClass* FamilyOf(int index);

  TFilterOptions filterOptions_ = AllFontFilters;
  bool drawFont_ = true;
};
