#include "skin/adapters/skSmallCtrlsWin32.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skSmallCtrlLayout.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sResample.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

uint32_t StyleOf(HWND wnd) { return static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE)); }

const TsMaskData* MaskOf(TsSkinManager* manager, int section, const char* sectionName,
                         const char* property) {
  if (!manager || section < 0) return nullptr;
  const int index = manager->GetMaskIndex(section, sectionName, property);
  return manager->IsValidMaskIndex(index) ? &manager->Masks()[static_cast<size_t>(index)] : nullptr;
}

// What lies behind the window, copied into a bitmap of its size.
void FillFromParent(HWND wnd, TBitmap* bitmap, TPoint pos) {
  const TsBackgroundSource behind = ParentBackground(wnd);
  const TRect whole{0, 0, bitmap->Width(), bitmap->Height()};
  if (behind.HasBitmap && behind.Bmp)
    CopyBitmapRect(bitmap, 0, 0, behind.Bmp,
                   TRect{pos.X + behind.X, pos.Y + behind.Y, pos.X + behind.X + whole.Right,
                         pos.Y + behind.Y + whole.Bottom});
  else
    FillRect32(bitmap, whole, ColorToRGB(behind.FillColor));
}

// Rows (vertical) or columns turned end to end.
void Mirror(TBitmap* bitmap, bool topToBottom) {
  const int w = bitmap->Width(), h = bitmap->Height();
  if (topToBottom) {
    std::vector<uint8_t> row(static_cast<size_t>(w) * 4);
    for (int y = 0; y < h / 2; ++y) {
      uint8_t* a = bitmap->ScanLine(y);
      uint8_t* b = bitmap->ScanLine(h - 1 - y);
      std::copy(a, a + row.size(), row.begin());
      std::copy(b, b + row.size(), a);
      std::copy(row.begin(), row.end(), b);
    }
    return;
  }
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(bitmap->ScanLine(y));
    std::reverse(line, line + w);
  }
}

}  // namespace

// ---- size grip
// ------------------------------------------------------------------------------------

void TskSizerWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      PaintGrip();
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    case WM_NCHITTEST:
      TskMainWnd::WndProc(m);
      if (IsWindowEnabled(windowHandle_) && TsSkinRuntimeHotWindow) TsSkinRuntimeHotWindow(nullptr);
      // The grip sizes the dialog also when it is disabled.
      m.Result = HTBOTTOMRIGHT;
      return;
    default:
      TskMainWnd::WndProc(m);
  }
}

void TskSizerWnd::PaintGrip() {
  ReadWindowGeometry();
  TAdapterPaint paint(windowHandle_, 0, true);
  const TsMaskData* grip =
      MaskOf(manager_, manager_->FixedIndexes().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
  if (!grip) return;
  HDC dc = paint.Dc();
  const TSize size = WindowSize();
  auto picture = CreateBmp32(size.cx, size.cy);
  if (!dc || !picture) return;
  FillFromParent(windowHandle_, picture.get(), PosInParent());
  const TPoint at{std::max(size.cx - MaskStateWidth(*grip), 0),
                  std::max(size.cy - MaskStateHeight(*grip), 0)};
  PaintMaskGlyph(picture.get(), at, 0, *grip, MakeBackgroundSource(picture.get(), 0, 0));
  CopyCacheTo(dc, *picture);
}

// ---- up-down
// ---------------------------------------------------------------------------------------

class TskSpinWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskSpinWnd& spin)
      : TskAdapterCmdHandler(*spin.CommonData(), spin.Manager(), spin.AdapterWindow()), s_(spin) {}

 protected:
  bool OnMouseEnter(TSkinCmdMessage&) override { return Hover(true); }
  bool OnMouseLeave(TSkinCmdMessage&) override { return Hover(false); }

 private:
  bool Hover(bool over) {
    Data().MouseOver = over;
    InvalidateRect(s_.WindowHandle(), nullptr, FALSE);
    return false;
  }
  TskSpinWnd& s_;
};

bool TskSpinWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) { return TCmdHandler(*this).Handle(cmd); }

bool TskSpinWnd::IsVertical() const { return (StyleOf(windowHandle_) & UDS_HORZ) == 0; }

void TskSpinWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      Paint(m.WParam);
      return;
    case WM_PRINT:
      Paint(m.WParam);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      mouseDown_ = m.Msg == WM_LBUTTONDOWN;
      TskMainWnd::WndProc(m);
      SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      return;
    case WM_MOUSELEAVE:
      InvalidateRect(windowHandle_, nullptr, FALSE);
      break;
    case WM_MOUSEMOVE: {
      TskMainWnd::WndProc(m);
      if (!DefaultManager || DefaultManager->ComponentState().Contains(csDesigning) ||
          !IsWindowEnabled(windowHandle_))
        return;
      if (CursorOver(windowHandle_)) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, windowHandle_, 0};
        TrackMouseEvent(&track);
        // The hot half may have changed.
        SendMessageA(windowHandle_, WM_PAINT, 0, 0);
      }
      return;
    }
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskSpinWnd::Paint(WPARAM given) {
  ReadWindowGeometry();
  POINT cursor{};
  GetCursorPos(&cursor);
  const TRect& screen = ScreenRect();
  const bool inside = cursor.x >= screen.Left && cursor.x < screen.Right &&
                      cursor.y >= screen.Top && cursor.y < screen.Bottom;
  const TsSpinStates states =
      SpinStates(WindowSize(), IsVertical(), inside,
                 TPoint{cursor.x - screen.Left, cursor.y - screen.Top}, mouseDown_);
  firstState_ = states.First;
  secondState_ = states.Second;
  TAdapterPaint paint(windowHandle_, given, true);
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  HDC dc = paint.Dc();
  if (!dc) return;
  commonData_->BackgroundDirty = true;
  PrepareCache();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  if (IsVertical())
    CopyCacheTo(dc, *cache, LeftOffset, 0, cache->Width() - LeftOffset, cache->Height(), LeftOffset,
                0);
  else
    CopyCacheTo(dc, *cache);
}

void TskSpinWnd::PrepareCache() {
  if (manager_ && manager_->GetSectionIndex(commonData_->SkinSection()) < 0)
    commonData_->SetSkinSection("BUTTON");
  const bool vertical = IsVertical();
  const TSize size = WindowSize();
  const TsSpinHalves halves = SpinHalves(size, vertical, LeftOffset);
  TsBackgroundRequest request;
  GetWindowBackground(request, ParentHandle(), false);
  const TsBackgroundSource behind = BackgroundSourceFromRequest(request);
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  cache->SetSize(size.cx, size.cy);
  const TsFixedIndexes& fixed = manager_->FixedIndexes();
  // SCROLLBTNTOP, ...BOTTOM, ...LEFT, ...RIGHT
  const int firstArrow = fixed.ScrollBtn[vertical ? 0 : 2].GlyphMask;
  const int secondArrow = fixed.ScrollBtn[vertical ? 1 : 3].GlyphMask;
  const struct {
    TRect R;
    int State;
    int Arrow;
  } parts[] = {{halves.First, firstState_, firstArrow}, {halves.Second, secondState_, secondArrow}};
  for (const auto& part : parts) {
    if (part.R.Width() <= 0 || part.R.Height() <= 0) continue;
    PaintControlItem(*commonData_, behind, cache,
                     TPoint{PosInParent().X + part.R.Left, PosInParent().Y + part.R.Top}, part.R,
                     static_cast<TsPaintState>(part.State));
    if (!manager_->IsValidMaskIndex(part.Arrow)) continue;
    const TsMaskData& arrow = manager_->Masks()[static_cast<size_t>(part.Arrow)];
    const TPoint at{part.R.Left + (part.R.Width() - MaskStateWidth(arrow)) / 2,
                    part.R.Top + (part.R.Height() - MaskStateHeight(arrow)) / 2};
    PaintMaskGlyph(cache, at, part.State, arrow, MakeBackgroundSource(cache, 0, 0));
  }
  commonData_->BackgroundDirty = false;
}

// ---- track bar
// ------------------------------------------------------------------------------------

TskTrackWnd::TskTrackWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                         const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "TRACKBAR" : section) {}

bool TskTrackWnd::IsVertical() const { return (StyleOf(windowHandle_) & TBS_VERT) != 0; }

void TskTrackWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
      Paint(m.WParam);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      pressed_ = m.Msg == WM_LBUTTONDOWN;
      break;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskTrackWnd::Paint(WPARAM given) {
  ReadWindowGeometry();
  TAdapterPaint paint(windowHandle_, given, true);
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  SendSkinCmd(ParentHandle(), CmdChildPainting, reinterpret_cast<LPARAM>(windowHandle_));
  if (!IsWindowVisible(windowHandle_) && !given) return;
  HDC dc = paint.Dc();
  if (!dc) return;
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  cache->SetSize(WindowSize().cx, WindowSize().cy);
  BuildImage();
  CopyCacheTo(dc, *cache);
}

void TskTrackWnd::BuildImage() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  const TsBackgroundSource behind = ParentBackground(windowHandle_);
  PaintControlItem(*commonData_, behind, cache, PosInParent(),
                   TRect{0, 0, WindowSize().cx, WindowSize().cy},
                   pressed_ ? TsPaintState::Hot : TsPaintState::Normal);
  const int track = manager_->GetSectionIndex("TRACKBAR");
  // Without the skin's track bar only the section's background shows.
  if (track < 0) return;
  RECT c{};
  SendMessageA(windowHandle_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  TRect channel = IsVertical() ? TRect{c.top, c.left, c.bottom, c.right}
                               : TRect{c.left, c.top, c.right, c.bottom};
  if (const TsMaskData* mask = MaskOf(manager_, track, "TRACKBAR", "SLIDERCHANNEL")) {
    const int cross = IsVertical() ? MaskStateWidth(*mask) : MaskStateHeight(*mask);
    PaintMaskRect(cache, TrackChannelRect(channel, IsVertical(), cross), *mask,
                  commonData_->IsActive() ? 1 : 0, true, MakeBackgroundSource(cache, 0, 0));
  }
  PaintTicks(track, channel);
  PaintThumb(track);
  ApplyDisabledLook(windowHandle_, cache, behind, PosInParent());
}

void TskTrackWnd::PaintTicks(int track, const TRect& channel) {
  const TsTickSides sides = TickSides(StyleOf(windowHandle_));
  if (!sides.TopOrLeft && !sides.BottomOrRight) return;
  RECT t{};
  SendMessageA(windowHandle_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  const TsTickPlace place{
      .Channel = channel,
      .Thumb = TRect{t.left, t.top, t.right, t.bottom},
      .Vertical = IsVertical(),
      .TickCount = static_cast<int>(SendMessageA(windowHandle_, TBM_GETNUMTICS, 0, 0)),
      .TickLength = TickLength};
  TBitmap* cache = commonData_->CacheBitmap.get();
  const TsMaskData* mask =
      MaskOf(manager_, track, "TRACKBAR", IsVertical() ? "TICKVERT" : "TICKHORZ");
  for (const int along : TickPositions(place)) {
    for (const bool topOrLeft : {true, false}) {
      if (topOrLeft ? !sides.TopOrLeft : !sides.BottomOrRight) continue;
      const TPoint p = TickCorner(place, along, topOrLeft);
      if (mask) {
        const TPoint at = IsVertical() ? TPoint{p.X, p.Y - MaskStateHeight(*mask)}
                                       : TPoint{p.X - MaskStateWidth(*mask), p.Y};
        PaintMaskGlyph(cache, at, pressed_ ? 1 : 0, *mask, MakeBackgroundSource(cache, 0, 0));
        continue;
      }
      TRect r = IsVertical() ? TRect{p.X, p.Y, p.X + TickLength, p.Y + 2}
                             : TRect{p.X, p.Y, p.X + 2, p.Y + TickLength};
      int width = 1;
      PaintFrame3D(cache->Canvas()->Handle(), r, clBtnShadow, width, clWhite);
    }
  }
}

void TskTrackWnd::PaintThumb(int track) {
  const TsMaskData* mask =
      IsVertical() ? MaskOf(manager_, track, "TRACKBAR", "SLIDERVMASK") : nullptr;
  if (!mask) mask = MaskOf(manager_, track, "TRACKBAR", "SLIDERMASK");
  if (!mask) return;
  const int iw = MaskStateWidth(*mask), ih = MaskStateHeight(*mask);
  if (iw <= 0 || ih <= 0) return;
  RECT t{};
  SendMessageA(windowHandle_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  const TRect thumb{t.left, t.top, t.right, t.bottom};
  if (thumb.Width() <= 0 || thumb.Height() <= 0) return;
  TBitmap* cache = commonData_->CacheBitmap.get();
  const TsTickSides sides = TickSides(StyleOf(windowHandle_));
  const bool mirrored = sides.TopOrLeft && !sides.BottomOrRight;
  const int cross = IsVertical() ? thumb.Width() : thumb.Height();
  const int look = pressed_ ? 1 : 0;
  if ((cross == 23 || (thumb.Width() == iw && thumb.Height() == ih)) && !mirrored) {
    PaintMaskGlyph(
        cache, TPoint{thumb.Left + (thumb.Width() - iw) / 2, thumb.Top + (thumb.Height() - ih) / 2},
        look, *mask, MakeBackgroundSource(cache, 0, 0));
    return;
  }
  // The image is drawn at its own size over what lies under the thumb (turned end to end for
  // ticks on the top or left only), and the whole is resampled to the thumb's size.
  auto under = CopyBitmapArea(*cache, thumb);
  if (under->Width() < 2 || under->Height() < 2) return;
  auto work = CreateBmp32(iw, ih);
  StretchBitmap(under.get(), work.get(), iw, 6, ih);
  if (mirrored) Mirror(work.get(), !IsVertical());
  PaintMaskGlyph(work.get(), TPoint{0, 0}, look, *mask, MakeBackgroundSource(work.get(), 0, 0));
  if (mirrored) Mirror(work.get(), !IsVertical());
  auto sized = CreateBmp32(thumb.Width(), thumb.Height());
  if (iw >= 2 && ih >= 2) StretchBitmap(work.get(), sized.get(), thumb.Width(), 6, thumb.Height());
  CopyBitmapRect(cache, thumb.Left, thumb.Top, sized.get(),
                 TRect{0, 0, thumb.Width(), thumb.Height()});
}
