// Background requests, sections into device contexts and captions in skin colours.
#include "skin/core/painting/sSectionPaintWin32.h"

#include <algorithm>
#include <memory>

#include "framework/CanvasWin32.h"
#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sTextPaintWin32.h"
#include "skin/core/skinfiles/sMessages.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

HDC DrawDCOf(const TsBackgroundRequest& request) { return static_cast<HDC>(request.DrawDC); }

// Sent as our own command: a receiver follows the request's pointer only then.
LRESULT SendBgInfo(TControl* control, TsBackgroundRequest& request) {
  const LPARAM lParam = reinterpret_cast<LPARAM>(&request);
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed && windowed->HandleAllocated())
    return SendSkinCmd(windowed->Handle(), CmdGetBgInfo, lParam);
  return PerformSkinCmd(control, CmdGetBgInfo, lParam);
}

// Paints what the answering window would show into the request's DC: origin moved by
// (-X, -Y), R moved by (X, Y) and clipped to.
template <class Send>
void PaintSelfInto(TsBackgroundRequest& request, Send send) {
  HDC dc = DrawDCOf(request);
  if (!dc) return;
  TSaveDC saved(dc);
  POINT old{};
  OffsetViewportOrgEx(dc, -request.X, -request.Y, &old);
  const TRect r{request.R.Left + request.X, request.R.Top + request.Y, request.R.Right + request.X,
                request.R.Bottom + request.Y};
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  send(WM_PAINT, reinterpret_cast<WPARAM>(dc));
}

TColor ShiftColor(TColor color, const TsCommonData& data) {
  return ChangeColorHue(data.HUEOffset, ChangeColorSaturation(ColorToRGB(color), data.Saturation));
}

void DrawTextIn(HDC dc, const std::string& text, const TRect& r, uint32_t format, TColor color) {
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  RECT rc = ToRect(r);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
}

// The four shadow copies of a state, each moved one pixel away from r.
template <class Shift>
void DrawShadows(HDC dc, const std::string& text, const TRect& r, uint32_t format,
                 const TsGenState& s, Shift shift) {
  const TColor shadows[4] = {s.ShadowLeft, s.ShadowTop, s.ShadowRight, s.ShadowBottom};
  const TPoint moves[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    if (shadows[i] == -1) continue;
    const TRect moved{r.Left + moves[i].X, r.Top + moves[i].Y, r.Right + moves[i].X,
                      r.Bottom + moves[i].Y};
    DrawTextIn(dc, text, moved, format, shift(shadows[i]));
  }
}

}  // namespace

bool GetControlBackground(TsBackgroundRequest& request, TControl* control, bool copyNow) {
  if (!control) return false;
  const bool fallBack = request.PleaseDraw;
  request.BgType = 0;
  request.PleaseDraw = copyNow;
  SendBgInfo(control, request);
  if (request.BgType != 0) return true;
  if (fallBack) {
    PaintSelfInto(request, [control](UINT msg, WPARAM dc) { control->Perform(msg, dc, 0); });
    return false;
  }
  request.BgType = 1;
  const auto answer = static_cast<TColor>(PerformSkinCmd(control, CmdGetBgColor, 0));
  request.Color = answer != 0 ? answer : ColorToRGB(control->Color());
  if (request.PleaseDraw && request.Bmp && request.DrawDC)
    PaintSolidRect(DrawDCOf(request), request.R, request.Color);
  return false;
}

bool GetWindowBackground(TsBackgroundRequest& request, HWND window, bool copyNow) {
  if (!window) return false;
  const bool fallBack = request.PleaseDraw;
  request.BgType = 0;
  request.PleaseDraw = copyNow;
  SendSkinCmd(window, CmdGetBgInfo, reinterpret_cast<LPARAM>(&request));
  if (request.BgType != 0) return true;
  if (fallBack) {
    PaintSelfInto(request, [window](UINT msg, WPARAM dc) { SendMessageA(window, msg, dc, 0); });
    return false;
  }
  request.BgType = 1;
  request.Color = DefaultManager ? DefaultManager->GlobalColor() : ColorToRGB(clBtnFace);
  if (request.PleaseDraw && request.Bmp && request.DrawDC)
    PaintSolidRect(DrawDCOf(request), request.R, request.Color);
  return false;
}

void GetWindowParentBackground(HWND window, TsBackgroundSource& source) {
  HWND parent = window ? GetParent(window) : nullptr;
  if (!parent) {
    source = EmptyBackgroundSource;
    return;
  }
  TsBackgroundRequest request;
  GetWindowBackground(request, parent, false);
  source = BackgroundSourceFromRequest(request);
}

void PaintSectionToDC(HDC dc, const TsItemPaint& item) {
  TsSkinManager* manager = item.Manager ? item.Manager : DefaultManager;
  const TRect& r = item.R;
  if (!dc || !manager || !manager->IsValidSectionIndex(item.SectionIndex) || r.Left < 0 ||
      r.Top < 0 || r.Right - r.Left < 1 || r.Bottom - r.Top < 1)
    return;
  TSaveDC saved(dc);
  auto bitmap = CreateBmp32(r.Right - r.Left, r.Bottom - r.Top);
  TsItemPaint inBitmap = item;
  inBitmap.Bitmap = bitmap.get();
  inBitmap.R = TRect{0, 0, bitmap->Width(), bitmap->Height()};
  inBitmap.Manager = manager;
  PaintItem(inBitmap);
  BitBlt(dc, r.Left, r.Top, bitmap->Width(), bitmap->Height(), bitmap->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

int PaintSectionByName(TBitmap* bitmap, const TsSectionByName& section, HDC dc, const TRect& r) {
  TsSkinManager* manager = section.Manager ? section.Manager : DefaultManager;
  if (!manager) return -1;
  const std::string* used = nullptr;
  const int index = FindSectionByName(*manager, section.Name, section.SecondName, used);
  if (index < 0 || !bitmap) return index;
  TsItemPaint item{.Bitmap = bitmap,
                   .R = TRect{0, 0, bitmap->Width(), bitmap->Height()},
                   .SectionIndex = index,
                   .SectionName = *used,
                   .State = section.State,
                   .Manager = manager};
  item.Background.FillColor = section.FillColor;
  if (dc) {
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), dc, r.Left, r.Top,
           SRCCOPY);
    FillAlphaRect(bitmap, item.R, 255, false);
    item.Background = MakeBackgroundSource(bitmap, 0, 0);
  }
  PaintItem(item);
  return index;
}

void PaintControlItemOnParent(const TsCommonData& data, TControl* parent, TBitmap* bitmap,
                              TPoint offset, const TRect& r, TsPaintState look) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || !manager->IsValidSectionIndex(data.SectionIndex) || !bitmap ||
      r.Right <= r.Left || r.Bottom <= r.Top || r.Left < 0 || r.Top < 0 ||
      r.Right > bitmap->Width() || r.Bottom > bitmap->Height())
    return;
  TsBackgroundRequest request;
  GetControlBackground(request, parent, false);
  const TsBackgroundSource background = BackgroundSourceFromRequest(request);
  look = LimitSectionState(*manager, data.SectionIndex, look);
  const int state = StateIndex(look);
  PaintControlBackground(data, background, look, bitmap, offset, r);
  const TsBackgroundSource moved = MovedBackground(background, offset);
  if (const TsMaskData* border = data.BorderMask())
    if (!(state == 0 && (border->DrawFlags & 2)))
      PaintMaskRect(bitmap, r, *border, state, true, moved);
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(data.SectionIndex)];
  const int corners[4] = {section.ImgTopLeft, section.ImgTopRight, section.ImgBtmLeft,
                          section.ImgBtmRight};
  const TsBackgroundSource self = MakeBackgroundSource(bitmap, 0, 0);
  for (int i = 0; i < 4; ++i) {
    if (!manager->IsValidMaskIndex(corners[i])) continue;
    const TsMaskData& m = manager->Masks()[static_cast<size_t>(corners[i])];
    const int w = MaskStateWidth(m), h = MaskStateHeight(m);
    PaintMaskGlyph(bitmap, TPoint{i % 2 ? r.Right - w : r.Left, i >= 2 ? r.Bottom - h : r.Top},
                   state, m, self);
  }
}

void DrawSectionText(TCanvas* canvas, const TsSectionText& text) {
  TsSkinManager* manager = text.Manager ? text.Manager : DefaultManager;
  if (!canvas || !manager || !manager->IsValidSectionIndex(text.SectionIndex)) return;
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(text.SectionIndex)];
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (!text.Enabled) {
    const TColor grey =
        MixColors(ColorToRGB(section.Props[0].FontColor), ColorToRGB(section.Props[0].Color), 0.4);
    canvas->Font()->SetColor(grey);
    // A font change takes the font out of the DC: the canvas selects it again.
    DrawTextIn(canvas->Handle(), text.Text, text.R, text.Format, grey);
    return;
  }
  const TsGenState& s = section.Props[text.Hot ? 1 : 0];
  DrawShadows(dc, text.Text, text.R, text.Format, s, [](TColor c) { return c; });
  canvas->Font()->SetColor(s.FontColor);
  DrawTextIn(canvas->Handle(), text.Text, text.R, text.Format, s.FontColor);
}

void DrawSectionTextEx(TCanvas* canvas, const TsSectionText& text) {
  DrawSectionText(canvas, text);
}

void DrawSkinnedText(TCanvas* canvas, const TsCommonData& data, const TsSectionText& item) {
  if (!canvas) return;
  const std::string& text = item.Text;
  const TRect& r = item.R;
  const uint32_t format = item.Format;
  const bool hot = item.Hot, enabled = item.Enabled;
  if (hot && data.SkinSection() == "WEBBUTTON") {
    TFontStyles style = canvas->Font()->Style();
    style += fsUnderline;
    canvas->Font()->SetStyle(style);
  }
  HDC dc = canvas->Handle();
  TSaveDC saved(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  SetBkMode(dc, TRANSPARENT);
  TsSkinManager* manager = data.SkinManager();
  if (!data.IsSkinned() || data.CustomFont || !manager) {
    DrawTextIn(dc, text, r, format, canvas->Font()->Color());
    return;
  }
  const int state = hot ? 1 : 0;
  const int sectionIndex = TextSectionOf(data, state);
  if (!manager->IsValidSectionIndex(sectionIndex)) {
    DrawTextIn(dc, text, r, format, canvas->Font()->Color());
    return;
  }
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(sectionIndex)];
  const TsGenState& s = section.Props[state];
  auto shift = [&data](TColor c) { return ShiftColor(c, data); };
  if (data.CacheBitmap && !data.CacheBitmap->Empty() && s.GlowSize > 0) {
    std::unique_ptr<TBitmap> mask;
    PaintTextShadow(
        data.CacheBitmap.get(), text, r,
        {.Color = shift(s.GlowColor),
         .Radius = s.GlowSize,
         .Offsets = ShadowOffsetLeft | ShadowOffsetUp | ShadowOffsetRight | ShadowOffsetDown,
         .Format = format},
        mask);
  }
  if (!enabled) {
    DrawTextIn(dc, text, r, format,
               shift(MixColors(ColorToRGB(section.FontColor), manager->GlobalColor(), 0.4)));
    return;
  }
  DrawShadows(dc, text, r, format, s, shift);
  DrawTextIn(dc, text, r, format | DT_NOCLIP, shift(s.FontColor));
}

void DrawControlText(TCanvas* canvas, const TsCommonData& data, const TsSectionText& text) {
  DrawSkinnedText(canvas, data, text);
}

void PaintSmallCheckBox(const TRect& r, int state, bool enabled, TsSkinManager* manager,
                        const TsBackgroundSource& background, TBitmap* bitmap) {
  manager = manager ? manager : DefaultManager;
  if (!bitmap || r.Right <= r.Left || r.Bottom <= r.Top) return;
  const int boxWidth = CheckBoxWidth(manager), boxHeight = CheckBoxHeight(manager);
  // The glyph is centred in r wherever r lies in the bitmap.
  const TPoint glyph{r.Left + (r.Width() - boxWidth) / 2, r.Top + (r.Height() - boxHeight) / 2};
  const TsMaskData* mask = nullptr;
  if (manager && manager->Active()) {
    const TsFixedIndexes& fixed = manager->FixedIndexes();
    const int index = state == 0   ? fixed.SmallUnchecked
                      : state == 1 ? fixed.SmallChecked
                      : state == 2 ? fixed.SmallGrayed
                                   : -1;
    if (manager->IsValidMaskIndex(index)) mask = &manager->Masks()[static_cast<size_t>(index)];
  }
  if (mask) {
    PaintMaskGlyph(bitmap, glyph, 0, *mask, background);
    return;
  }
  // The system's glyph over what lies behind its block.
  const TRect block{r.Left, r.Top, r.Left + boxWidth + 2, r.Bottom};
  if (background.Bmp)
    CopyBitmapRect(bitmap, block.Left, block.Top, background.Bmp,
                   TRect{background.X + r.Left + 1, background.Y + r.Top + 1,
                         background.X + r.Left + 1 + block.Width(),
                         background.Y + r.Top + 1 + block.Height()});
  else
    FillRect32(bitmap, block, ColorToRGB(background.FillColor));
  UINT flags = DFCS_BUTTONCHECK;
  if (state == 1) flags = DFCS_CHECKED;
  if (state == 2) flags = DFCS_CHECKED | DFCS_BUTTON3STATE;
  if (!enabled) flags |= DFCS_INACTIVE;
  RECT rc{glyph.X, glyph.Y, glyph.X + boxWidth, glyph.Y + boxHeight};
  DrawFrameControl(bitmap->Canvas()->Handle(), &rc, DFC_BUTTON, flags);
  FillAlphaRect(bitmap, TRect{rc.left, rc.top, rc.right, rc.bottom}, 255, false);
}
