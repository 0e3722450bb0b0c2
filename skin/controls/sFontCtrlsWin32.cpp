#include "skin/controls/sFontCtrlsWin32.h"

#include <array>
#include <memory>

#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sTextPaintWin32.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Names are drawn vertically centred on one line, tabs expanded, '&' shown as it is.
constexpr uint32_t kNameFormat =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
// The glyphs' resource names, by kind.
constexpr std::array<const char*, FontKindCount> kGlyphNames{"PS", "TTF", "RASTER", "UNKNOWN"};
constexpr int kGlyphSize = 16;

struct TFontLists {
  TFontFamilies Families;
  std::array<std::unique_ptr<TBitmap>, FontKindCount> Glyphs;
};
std::unique_ptr<TFontLists> fontLists;

bool SameFontName(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

int CALLBACK CollectFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType, LPARAM data) {
  auto* families = reinterpret_cast<TFontFamilies*>(data);
  AddFontFamily(*families, font->lfFaceName, fontType, SameFontName);
  return 1;
}

std::unique_ptr<TBitmap> LoadGlyph(const char* name) {
  auto glyph = std::make_unique<TBitmap>();
  if (HBITMAP handle = LoadBitmapA(GetModuleHandleA(nullptr), name)) {
    SetBitmapHandle(glyph.get(), handle);  // takes the handle over
    glyph->SetTransparent(true);
  }
  return glyph;
}

void DrawName(HDC dc, const std::string& name, TRect r, TColor color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  DrawTextRect(dc, name, r, kNameFormat);
}

}  // namespace

void InitFontLists() {
  if (fontLists) return;
  auto lists = std::make_unique<TFontLists>();
  {
    TWindowDC screen(nullptr);
    // A null family name: one call per family.
    EnumFontFamiliesA(screen.Get(), nullptr, CollectFamily,
                      reinterpret_cast<LPARAM>(&lists->Families));
  }
  for (int kind = 0; kind < FontKindCount; ++kind)
    lists->Glyphs[static_cast<size_t>(kind)] = LoadGlyph(kGlyphNames[static_cast<size_t>(kind)]);
  fontLists = std::move(lists);
}

void DoneFontLists() { fontLists.reset(); }

const TFontFamilies& FontFamilies() {
  InitFontLists();
  return fontLists->Families;
}

TBitmap* FontKindGlyph(TFontKind kind) {
  InitFontLists();
  return fontLists->Glyphs[static_cast<size_t>(kind)].get();
}

// ---- the font combo box ------------------------------------------------------------------

TsFontComboBox::TsFontComboBox(TComponent* owner) : TsCustomComboBox(owner) {
  SetSorted(true);
  SetStyle(csOwnerDrawVariable);
  // A control made in code is complete here: what streaming does in Loaded happens now.
  FillFontList();
}

void TsFontComboBox::Loaded() {
  TsCustomComboBox::Loaded();
  FillFontList();
}

void TsFontComboBox::SetFilterOptions(TFilterOptions value) {
  if (value == filterOptions_) return;
  filterOptions_ = value;
  if (!IsLoading()) FillFontList();
}

void TsFontComboBox::SetDrawFont(bool value) {
  if (value == drawFont_) return;
  drawFont_ = value;
  if (!IsLoading()) Invalidate();
}

void TsFontComboBox::FillFontList() {
  FillFontItems(*Items(), FontFamilies(), filterOptions_, [this](TFontClass& family) {
    bool accept = true;
    if (OnValidateFont_) OnValidateFont_(this, &family, accept);
    return accept;
  });
}

TFontClass* TsFontComboBox::FamilyOf(int index) {
  if (index < 0 || index >= Items()->Count()) return nullptr;
  return static_cast<TFontClass*>(Items()->Objects(index));
}

void TsFontComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  if (SkinData()->IsSkinned())
    SkinnedDrawFontItem(index, rect, state);
  else
    PlainDrawFontItem(index, rect, state);
}

void TsFontComboBox::PlainDrawFontItem(int index, TRect rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  const bool selected = state.Contains(odSelected);
  canvas->Brush()->SetColor(selected && index >= 0 ? clHighlight : Color());
  canvas->FillRect(rect);
  const TRect whole = rect;
  if (TFontClass* family = FamilyOf(index)) {
    const int square = rect.Height();
    canvas->Draw(rect.Left, rect.Top, FontKindGlyph(family->Kind));
    rect.Left += square;
    canvas->Font()->Assign(Font());
    if (drawFont_) canvas->Font()->SetName(family->Name);
    canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
    TSelectObject font(canvas->Handle(), FontHandle(canvas->Font()));
    TRect text{rect.Left + 1, rect.Top, rect.Right, rect.Bottom};
    DrawName(canvas->Handle(), family->Name, text, canvas->Font()->Color());
  }
  if (state.Contains(odFocused)) canvas->DrawFocusRect(whole);
}

void TsFontComboBox::SkinnedDrawFontItem(int index, const TRect& rect, TOwnerDrawState state) {
  TsCommonData& d = *SkinData();
  TsSkinManager* manager = d.SkinManager();
  if (!manager) return;
  const bool selected = state.Contains(odSelected);
  const bool focused = state.Contains(odFocused);
  const bool editPart = state.Contains(odComboBoxEdit);
  std::unique_ptr<TBitmap> item = CreateBmp32(rect.Width(), rect.Height());
  TCanvas* ic = item->Canvas();
  ic->Font()->Assign(Font());
  const TRect whole{0, 0, rect.Width(), rect.Height()};
  const int selection = manager->GetSectionIndex("SELECTION");
  TBitmap* cache = d.CacheBitmap.get();
  if (selected) {
    if (selection >= 0)
      PaintItem(TsItemPaint{.Bitmap = item.get(),
                            .R = whole,
                            .SectionIndex = selection,
                            .SectionName = "SELECTION",
                            .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                            .Background = MakeBackgroundSource(cache, rect.Left, rect.Top),
                            .Manager = manager});
    else
      FillRect32(item.get(), whole, ColorToRGB(manager->SelectionColor(focused)));
  } else if (editPart && cache) {
    BitBlt(ic->Handle(), 0, 0, rect.Width(), rect.Height(), cache->Canvas()->Handle(), rect.Left,
           rect.Top, SRCCOPY);
  } else {
    FillRect32(item.get(), whole, ColorToRGB(Color()));
  }
  if (TFontClass* family = FamilyOf(index)) {
    const int square = rect.Height();
    ic->Draw(0, 0, FontKindGlyph(family->Kind));
    const TRect text{square + 1, 0, rect.Width() - 1, kGlyphSize};
    if (drawFont_) ic->Font()->SetName(family->Name);
    TSelectObject font(ic->Handle(), FontHandle(ic->Font()));
    if (selected && selection >= 0) {
      DrawSectionTextEx(ic, TsSectionText{.Text = family->Name,
                                          .R = text,
                                          .Format = kNameFormat,
                                          .SectionIndex = selection,
                                          .Hot = focused,
                                          .Manager = manager});
    } else if (selected) {
      DrawName(ic->Handle(), family->Name, text, manager->SelectionTextColor(focused));
    } else if (const TsGeneralData* section = d.Section()) {
      const bool hot = d.IsActive() && section->States > 1;
      DrawName(ic->Handle(), family->Name, text, hot ? section->HotFontColor : section->FontColor);
    } else {
      DrawName(ic->Handle(), family->Name, text, Font()->Color());
    }
  }
  BitBlt(Canvas()->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), ic->Handle(), 0, 0,
         SRCCOPY);
}
