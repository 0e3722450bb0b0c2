#include "skin/adapters/skAdapterPaintWin32.h"

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/Graphics.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sTextPaintWin32.h"

namespace {
constexpr TColor kKeyColor = 0xFF00FF;
}  // namespace

TAdapterPaint::TAdapterPaint(HWND wnd, WPARAM wParam, bool beginPaint, bool wholeWindow)
    : wnd_(wnd), given_(reinterpret_cast<HDC>(wParam)), whole_(wholeWindow) {
  if (beginPaint && !given_) {
    BeginPaint(wnd_, &ps_);
    painting_ = true;
  }
}

TAdapterPaint::~TAdapterPaint() {
  own_.Reset();
  if (painting_) EndPaint(wnd_, &ps_);
}

HDC TAdapterPaint::Dc() {
  if (given_) return given_;
  if (!own_.Get()) own_ = TWindowDC(wnd_, whole_);
  return own_.Get();
}

void CopyCacheTo(HDC dc, TBitmap& cache, int x, int y, int width, int height, int sourceX,
                 int sourceY) {
  if (!dc) return;
  BitBlt(dc, x, y, width < 0 ? cache.Width() : width, height < 0 ? cache.Height() : height,
         cache.Canvas()->Handle(), sourceX, sourceY, SRCCOPY);
}

void ApplyDisabledLook(HWND wnd, TBitmap* cache, const TsBackgroundSource& behind, TPoint pos) {
  if (!cache || IsWindowEnabled(wnd)) return;
  if (behind.HasBitmap && behind.Bmp) {
    const TRect from{pos.X + behind.X, pos.Y + behind.Y, pos.X + behind.X + cache->Width(),
                     pos.Y + behind.Y + cache->Height()};
    BlendBitmapKeyed(cache, TPoint{0, 0}, behind.Bmp, from, kKeyColor, 0.4);
    return;
  }
  TintBitmap(cache, ColorToRGB(behind.FillColor), 0.4);
}

TsBackgroundSource ParentBackground(HWND wnd) {
  TsBackgroundSource behind;
  GetWindowParentBackground(wnd, behind);
  if (!behind.HasBitmap) behind.FillColor = ColorToRGB(behind.FillColor);
  return behind;
}

HFONT WindowFont(HWND wnd) { return reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0)); }

TSize MeasureText(HDC dc, HFONT font, const std::string& text, int width, uint32_t flags) {
  if (text.empty()) return TSize{0, 0};
  TSelectObject selected(dc, font);
  TRect r{0, 0, width, 0};
  DrawTextRect(dc, text, r, flags | DT_CALCRECT);
  return TSize{std::max(r.Width(), 0), std::max(r.Height(), 0)};
}

void DrawCaption(TsCommonData& data, TBitmap* cache, HFONT font, const std::string& text,
                 const TRect& r, uint32_t flags, bool hot) {
  if (!cache || text.empty()) return;
  TCanvas* canvas = cache->Canvas();
  if (font) SetFontHandle(canvas->Font(), font);
  canvas->Brush()->SetStyle(bsClear);
  DrawControlText(canvas, data, TsSectionText{.Text = text, .R = r, .Format = flags, .Hot = hot});
}

std::string WindowTextOf(HWND wnd) {
  const int length = GetWindowTextLengthA(wnd);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextA(wnd, text.data(), length + 1), 0)));
  return text;
}

bool CursorOver(HWND wnd) {
  POINT p{};
  RECT r{};
  return GetCursorPos(&p) && GetWindowRect(wnd, &r) && PtInRect(&r, p);
}
