#include "skin/adapters/skCheckBoxWndWin32.h"

#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skButtonLayout.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {
// The framework's message that a control's text changed.
constexpr UINT kTextChanged = 0xB012;
}  // namespace

class TskCheckBoxWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskCheckBoxWnd& box)
      : TskAdapterCmdHandler(*box.CommonData(), box.Manager(), box.AdapterWindow()), b_(box) {}

 protected:
  bool OnMouseEnter(TSkinCmdMessage&) override { return Hover(true); }
  bool OnMouseLeave(TSkinCmdMessage&) override { return Hover(false); }

 private:
  bool Hover(bool over) {
    Data().MouseOver = over;
    Data().SetPaintSuspended(false);
    SendMessageA(b_.WindowHandle(), WM_PAINT, 0, 0);
    return false;
  }
  TskCheckBoxWnd& b_;
};

TskCheckBoxWnd::TskCheckBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                               const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "CHECKBOX" : section),
      ownerDrawn_(IsOwnerDrawnButton(static_cast<uint32_t>(GetWindowLongPtrA(handle, GWL_STYLE)))) {
}

bool TskCheckBoxWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) { return TCmdHandler(*this).Handle(cmd); }

uint32_t TskCheckBoxWnd::Style() const {
  return static_cast<uint32_t>(GetWindowLongPtrA(windowHandle_, GWL_STYLE));
}

uint32_t TskCheckBoxWnd::ButtonState() const {
  return static_cast<uint32_t>(SendMessageA(windowHandle_, BM_GETSTATE, 0, 0));
}

int TskCheckBoxWnd::GetCheckState() const { return CheckStateOf(ButtonState()); }

int TskCheckBoxWnd::GetGlyphMaskIndex(int checkState) const {
  if (!manager_) return -1;
  const TsFixedIndexes& fixed = manager_->FixedIndexes();
  int index = -1;
  switch (CheckMaskFor(Style(), checkState)) {
    case TskCheckMask::BoxUnchecked:
      index = fixed.BoxUnchecked;
      break;
    case TskCheckMask::BoxChecked:
      index = fixed.BoxChecked;
      break;
    case TskCheckMask::BoxGrayed:
      index = fixed.BoxGrayed;
      break;
    case TskCheckMask::RadioUnchecked:
      index = fixed.RadioUnchecked;
      break;
    case TskCheckMask::RadioChecked:
      index = fixed.RadioChecked;
      break;
  }
  return manager_->IsValidMaskIndex(index) ? index : -1;
}

TRect TskCheckBoxWnd::GetGlyphRect(int maskIndex) const {
  if (maskIndex < 0 || !manager_) return TRect{};
  const TSize glyph = CheckMaskGlyphSize(manager_->Masks()[static_cast<size_t>(maskIndex)]);
  return CheckGlyphRect(WindowSize(), glyph, (Style() & buttonbits::LeftText) != 0);
}

void TskCheckBoxWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  const bool visible = IsWindowVisible(windowHandle_) != FALSE;
  switch (m.Msg) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case kTextChanged:
      if (!visible || ownerDrawn_) break;
      {
        TRedrawOff off(windowHandle_);
        TskMainWnd::WndProc(m);
      }
      SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      return;
    case WM_PAINT:
      // The owner draws an owner-drawn button (WM_DRAWITEM) when the button paints.
      if (ownerDrawn_) break;
      Paint(m.WParam);
      return;
    case WM_PRINT:
      if (ownerDrawn_) break;
      Paint(m.WParam);
      return;
    case WM_ERASEBKGND:
      if (ownerDrawn_) {
        EraseOwnerDrawn(m.WParam);
        m.Result = 1;
      }
      return;
    case WM_NCPAINT:
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
  if (ownerDrawn_) return;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      commonData_->HasFocus = m.Msg == WM_SETFOCUS;
      SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      break;
    case WM_LBUTTONUP:
      SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (LOWORD(m.WParam) == VK_SPACE) SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      break;
    case WM_NCHITTEST:
      if (IsWindowEnabled(windowHandle_) && !commonData_->MouseOver && TsSkinRuntimeHotWindow)
        TsSkinRuntimeHotWindow(windowHandle_);
      break;
    default:
      break;
  }
}

void TskCheckBoxWnd::EraseOwnerDrawn(WPARAM given) {
  ReadWindowGeometry();
  TAdapterPaint paint(windowHandle_, given, false);
  HDC dc = paint.Dc();
  if (!dc) return;
  const TsBackgroundSource behind = ParentBackground(windowHandle_);
  const TSize size = WindowSize();
  if (behind.HasBitmap && behind.Bmp) {
    BitBlt(dc, 0, 0, size.cx, size.cy, behind.Bmp->Canvas()->Handle(), PosInParent().X + behind.X,
           PosInParent().Y + behind.Y, SRCCOPY);
    return;
  }
  const RECT r{0, 0, size.cx, size.cy};
  TGdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(behind.FillColor)));
  FillRect(dc, &r, brush.Get());
}

void TskCheckBoxWnd::Paint(WPARAM given) {
  TAdapterPaint paint(windowHandle_, given, true);
  ReadWindowGeometry();
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  if (!IsWindowVisible(windowHandle_) && !given) return;
  HDC dc = paint.Dc();
  if (!dc) return;
  PrepareCache();
  if (commonData_->CacheBitmap) CopyCacheTo(dc, *commonData_->CacheBitmap);
}

void TskCheckBoxWnd::PrepareCache() {
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  const TSize size = WindowSize();
  cache->SetSize(size.cx, size.cy);
  const TsBackgroundSource behind = ParentBackground(windowHandle_);
  PaintControlItem(*commonData_, behind, cache, PosInParent(), TRect{0, 0, size.cx, size.cy},
                   commonData_->IsActive() ? TsPaintState::Hot : TsPaintState::Normal);
  DrawCaption();
  DrawGlyph(GetGlyphMaskIndex(GetCheckState()));
  ApplyDisabledLook(windowHandle_, cache, behind, PosInParent());
}

void TskCheckBoxWnd::DrawCaption() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache || CaptionText().empty()) return;
  const uint32_t style = Style();
  const int checked = GetGlyphMaskIndex(1);
  const TRect g = checked >= 0 ? GetGlyphRect(checked) : TRect{};
  const TSize glyph = checked >= 0 ? TSize{g.Width(), g.Height()} : DefaultCheckGlyph;
  const bool multiline = (style & buttonbits::Multiline) != 0;
  const bool leftText = (style & buttonbits::LeftText) != 0;
  HFONT font = WindowFont(windowHandle_);
  const TSize text = MeasureText(cache->Canvas()->Handle(), font, CaptionText(),
                                 CheckCaptionRoom(WindowSize().cx, glyph),
                                 multiline ? DT_WORDBREAK : DT_SINGLELINE);
  TRect r = CheckCaptionRect(WindowSize(), glyph, text, leftText, multiline);
  ::DrawCaption(*commonData_, cache, font, CaptionText(), r, CheckCaptionFlags(multiline),
                commonData_->IsActive());
  if (ButtonState() & BST_FOCUS) {
    r = TRect{r.Left - 1, r.Top, r.Right + 1, r.Bottom};
    DrawDottedFrame(cache->Canvas(), r, clBtnFace, 0);
  }
}

void TskCheckBoxWnd::DrawGlyph(int maskIndex) {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache || cache->Width() < 1 || maskIndex < 0) return;
  const TRect r = GetGlyphRect(maskIndex);
  const int look = CheckGlyphLook(ButtonState(), commonData_->MouseOver);
  PaintMaskGlyph(cache, r.TopLeft(), look, manager_->Masks()[static_cast<size_t>(maskIndex)],
                 MakeBackgroundSource(cache, 0, 0));
}
