#include "editor/KedTextDrawerWin32.h"

#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition, const char* message) {
  if (!condition) throw EAssertionFailed(message);
}

// The logical font that identifies a base font: style bits that the variants set
// themselves are cleared, and the name's bytes after its end zeroed, so equal fonts
// give byte-equal records.
LOGFONTA BaseLogFont(TFont* font) {
  LOGFONTA lf{};
  ::GetObjectA(FontHandle(font), sizeof(lf), &lf);
  lf.lfItalic = 0;
  lf.lfUnderline = 0;
  lf.lfStrikeOut = 0;
  const size_t end = strnlen(lf.lfFaceName, LF_FACESIZE);
  std::memset(lf.lfFaceName + end, 0, LF_FACESIZE - end);
  return lf;
}

}  // namespace

TheStockFontPatterns StyleToPattern(TFontStyles style) {
  return static_cast<int>(style.Bits() & 15);
}

// ---- fonts information manager --------------------------------------------------------------

TheFontsInfoManager& GetFontsInfoManager() {
  static TheFontsInfoManager manager;
  return manager;
}

TheFontsInfoManager::~TheFontsInfoManager() {
  // Fonts of stocks still alive at exit go with the manager.
  list_.clear();
}

TheSharedFontsInfo* TheFontsInfoManager::AcquireFontsInfo(TFont* font) {
  Check(font != nullptr, "AcquireFontsInfo: no font");
  const LOGFONTA lf = BaseLogFont(font);
  for (auto& info : list_) {
    if (std::memcmp(&info->BaseLF, &lf, sizeof(lf)) == 0) {
      ++info->RefCount;
      return info.get();
    }
  }
  auto info = std::make_unique<TheSharedFontsInfo>();
  info->BaseFont = std::make_unique<TFont>();
  info->BaseFont->Assign(font);
  info->BaseLF = lf;
  {
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), FontHandle(font));
    info->IsDBCSFont = (::GetFontLanguageInfo(screen.Get()) & GCP_DBCS) != 0;
  }
  info->IsTrueType = (lf.lfPitchAndFamily & TMPF_TRUETYPE) != 0;
  info->RefCount = 1;
  list_.push_back(std::move(info));
  return list_.back().get();
}

void TheFontsInfoManager::ReleaseFontsInfoRef(TheSharedFontsInfo* info) {
  Check(info != nullptr, "ReleaseFontsInfoRef: no record");
  Check(info->LockCount < info->RefCount, "Call DeactivateFontsInfo before calling this.");
  if (info->RefCount < 2) {
    for (auto it = list_.begin(); it != list_.end(); ++it) {
      if (it->get() == info) {
        list_.erase(it);
        return;
      }
    }
    return;
  }
  --info->RefCount;
}

void TheFontsInfoManager::LockFontHandles(TheSharedFontsInfo* info) { ++info->LockCount; }

void TheFontsInfoManager::UnlockFontHandles(TheSharedFontsInfo* info) {
  if (--info->LockCount > 0) return;
  for (TheFontData& data : info->FontsData) data.Handle.Reset();
}

// ---- font stock ------------------------------------------------------------------------------

TheFontStock::TheFontStock(TFont* font) { SetBaseFont(font); }

TheFontStock::~TheFontStock() {
  // The screen DC is given back by its holder whatever the count says.
  try {
    ReleaseFontsInfo();
  } catch (...) {
  }
}

void TheFontStock::ReleaseFontsInfo() {
  if (!info_) return;
  DropFontHandles();
  GetFontsInfoManager().ReleaseFontsInfoRef(info_);
  info_ = nullptr;
  current_ = nullptr;
  currentFont_ = nullptr;
}

HDC TheFontStock::AcquireScreenDC() {
  if (dcRefCount_++ == 0) dc_ = TWindowDC(nullptr);
  return dc_.Get();
}

void TheFontStock::ReleaseScreenDC(HDC dc) {
  Check(dcRefCount_ > 0 && dc == dc_.Get(), "ReleaseScreenDC: not the acquired DC");
  if (--dcRefCount_ == 0) dc_.Reset();
}

void TheFontStock::SetBaseFont(TFont* value) {
  if (value == nullptr) throw EheFontStockException("SetBaseFont: 'Value' must be specified.");
  TheSharedFontsInfo* info = GetFontsInfoManager().AcquireFontsInfo(value);
  if (info == info_) {
    GetFontsInfoManager().ReleaseFontsInfoRef(info);
    return;
  }
  ReleaseFontsInfo();
  info_ = info;
  baseLF_ = info->BaseLF;
  SelectStyle(StyleToPattern(value->Style()));
}

void TheFontStock::SelectStyle(TheStockFontPatterns style) {
  Check(style >= 0 && style <= 15, "SelectStyle: style out of range");
  if (!usingFontHandles_) {
    GetFontsInfoManager().LockFontHandles(info_);
    usingFontHandles_ = true;
  }
  TheFontData* data = &info_->FontsData[static_cast<size_t>(style)];
  if (data == current_) return;
  current_ = data;
  if (data->Handle) {
    currentFont_ = data->Handle.Get();
    return;
  }
  HFONT font = CreateStyledFont(style);
  HDC dc = AcquireScreenDC();
  {
    TSelectObject select(dc, font);
    int dbAdvance = 0;
    data->CharAdv =
        MeasureCharAdvance(dc, data->CharHeight, info_->IsDBCSFont ? &dbAdvance : nullptr);
    data->DBCharAdv = info_->IsDBCSFont ? dbAdvance : data->CharAdv;
  }
  ReleaseScreenDC(dc);
  data->Handle.Reset(font);
  currentFont_ = font;
}

HFONT TheFontStock::CreateStyledFont(TheStockFontPatterns style) {
  LOGFONTA lf = baseLF_;
  lf.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & 2) ? 1 : 0;
  lf.lfUnderline = (style & 4) ? 1 : 0;
  lf.lfStrikeOut = (style & 8) ? 1 : 0;
  return ::CreateFontIndirectA(&lf);
}

int TheFontStock::MeasureCharAdvance(HDC dc, int& height, int* doubleByteAdvance) {
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  ABC abc{};
  const bool measured = ::GetCharABCWidthsA(dc, 'M', 'M', &abc) != 0;
  int overhang = tm.tmOverhang;
  if (!measured) {
    // Fonts without ABC widths (raster fonts): the average width stands in.
    abc.abcA = 0;
    abc.abcB = static_cast<UINT>(tm.tmAveCharWidth);
    abc.abcC = 0;
    overhang = 0;
  }
  const int advance = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC + overhang;
  height = std::abs(tm.tmHeight);
  if (doubleByteAdvance) {
    *doubleByteAdvance = tm.tmMaxCharWidth;
    ABC first{}, second{};
    if (info_->IsDBCSFont && tm.tmCharSet == SHIFTJIS_CHARSET && measured &&
        ::GetCharABCWidthsA(dc, 33281, 33281, &first) &&
        ::GetCharABCWidthsA(dc, 33440, 33440, &second)) {
      const int w1 = first.abcA + static_cast<int>(first.abcB) + first.abcC;
      const int w2 = second.abcA + static_cast<int>(second.abcB) + second.abcC;
      if (w1 * 2 > advance * 3 && w1 == w2) *doubleByteAdvance = w1;
    }
  }
  return advance;
}

const TheFontData* TheFontStock::FontDataOf(TheStockFontPatterns style) const {
  return info_ ? &info_->FontsData[static_cast<size_t>(style & 15)] : nullptr;
}

void TheFontStock::DropFontHandles() {
  if (!usingFontHandles_) return;
  usingFontHandles_ = false;
  GetFontsInfoManager().UnlockFontHandles(info_);
  current_ = nullptr;
  currentFont_ = nullptr;
}

// ---- text drawer ------------------------------------------------------------------------------

TheTextDrawer::TheTextDrawer(TFontStyles measureStyle, TFont* baseFont)
    : fontStock_(std::make_unique<TheFontStock>(baseFont)), measureStyle_(measureStyle) {
  SetBaseFont(baseFont);
}

TheTextDrawer::~TheTextDrawer() {
  if (drawingCount_ > 0 && dc_) ::RestoreDC(dc_, savedDC_);
}

void TheTextDrawer::SetBaseFont(TFont* value) {
  if (value == nullptr) throw EheTextDrawerException("SetBaseFont: 'Value' must be specified.");
  FreeCellWidths();
  fontStock_->SetBaseFont(value);
  fontStock_->SelectStyle(StyleToPattern(measureStyle_));
  baseCharWidth_ = fontStock_->CharAdvance();
  baseCharHeight_ = fontStock_->CharHeight();
  SetDrawStyle(value->Style());
}

void TheTextDrawer::SetMeasureStyle(TFontStyles value) {
  if (value == measureStyle_) return;
  measureStyle_ = value;
  FreeCellWidths();
  fontStock_->SelectStyle(StyleToPattern(value));
  baseCharWidth_ = fontStock_->CharAdvance();
  baseCharHeight_ = fontStock_->CharHeight();
}

void TheTextDrawer::SetDrawStyle(TFontStyles value) {
  fontStock_->SelectStyle(StyleToPattern(value));
  currentFont_ = fontStock_->FontHandle();
  if (dc_) SelectCurrentFont();
}

void TheTextDrawer::SelectCurrentFont() {
  if (dc_ && currentFont_) ::SelectObject(dc_, currentFont_);
}

void TheTextDrawer::ApplyCharExtra() {
  if (dc_) ::SetTextCharacterExtra(dc_, charExtra_);
}

void TheTextDrawer::StartDrawing(HDC dc) {
  Check(dc != nullptr, "StartDrawing: no DC");
  if (drawingCount_ == 0) {
    dc_ = dc;
    savedDC_ = ::SaveDC(dc);
    SelectCurrentFont();
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(foreground_)));
    ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(background_)));
    ApplyCharExtra();
  } else {
    Check(dc == dc_, "StartDrawing: another DC while drawing");
  }
  ++drawingCount_;
}

void TheTextDrawer::FinishDrawing() {
  Check(drawingCount_ > 0, "FinishDrawing without StartDrawing");
  if (--drawingCount_ > 0) return;
  if (savedDC_) ::RestoreDC(dc_, savedDC_);
  savedDC_ = 0;
  dc_ = nullptr;
}

void TheTextDrawer::SetForeground(TColor value) {
  if (value == foreground_) return;
  foreground_ = value;
  if (dc_) ::SetTextColor(dc_, static_cast<COLORREF>(ColorToRGB(value)));
}

void TheTextDrawer::SetBackground(TColor value) {
  if (value == background_) return;
  background_ = value;
  if (dc_) ::SetBkColor(dc_, static_cast<COLORREF>(ColorToRGB(value)));
}

void TheTextDrawer::SetCharSpacing(int value) {
  if (value == charExtra_) return;
  charExtra_ = value;
  ApplyCharExtra();
}

void TheTextDrawer::PlainTextOut(int x, int y, const char* text, int length) {
  ::TextOutA(dc_, x, y, text, length);
}

void TheTextDrawer::CellTextOut(int x, int y, UINT options, const TRect& rect, const char* text,
                                int length) {
  if (static_cast<int>(cellWidths_.size()) < length) {
    // Grown in steps of 64 and reused, so painting does not allocate per call.
    cellWidths_.assign(static_cast<size_t>(length / 64 * 64 + 64), CellWidth());
  }
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::ExtTextOutA(dc_, x, y, options, &r, text, static_cast<UINT>(length), cellWidths_.data());
}

void TheTextDrawer::ReleaseTemporaryFonts() { fontStock_->DropFontHandles(); }
