// The skinned frame: the window's facts, the frame image composed from the skin (frame,
// title, menu line with its items, caption, title buttons) and copied to the window, the
// window region, and the client background around the children.
#include <windows.h>

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/IconWin32.h"
#include "framework/MenusWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sResample.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sDwmApi.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/sVclUtilsWin32.h"
#include "skin/forms/skAddedTitleWin32.h"
#include "skin/forms/skBorderFormWin32.h"

namespace {

// The frame image's bitmap grows and shrinks in steps of this many pixels.
constexpr int SlackStep = 128;
int WithSlack(int n) { return (std::max(n, 0) + SlackStep - 1) / SlackStep * SlackStep; }

// DT_SINGLELINE, DT_VCENTER, DT_NOPREFIX, DT_END_ELLIPSIS.
constexpr uint32_t CaptionTextFlags = 0x8824;

HDC ImageDC(TBitmap* image) { return image->Canvas()->Handle(); }

}  // namespace

TsFrameBorder FrameBorderOf(TFormBorderStyle style) {
  switch (style) {
    case bsNone:
      return TsFrameBorder::None;
    case bsSingle:
      return TsFrameBorder::Single;
    case bsDialog:
      return TsFrameBorder::Dialog;
    case bsToolWindow:
      return TsFrameBorder::ToolWindow;
    case bsSizeToolWin:
      return TsFrameBorder::SizeToolWin;
    case bsSizeable:
    default:
      return TsFrameBorder::Sizeable;
  }
}

// ---- the window's facts ---------------------------------------------------------------------

TsFormFacts TsSkinProvider::FormFacts() const {
  TsFormFacts f;
  f.Border = FrameBorderOf(form_->BorderStyle());
  f.MdiChild = form_->FormStyle() == fsMDIChild;
  f.MainForm = !Application || !Application->MainForm() || Application->MainForm() == form_;
  f.Metrics.CxFrame = GetSystemMetrics(SM_CXFRAME);
  f.Metrics.CxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
  f.Metrics.CyCaption = GetSystemMetrics(SM_CYCAPTION);
  f.Metrics.CySmCaption = GetSystemMetrics(SM_CYSMCAPTION);
  f.Metrics.CyMenu = GetSystemMetrics(SM_CYMENU);
  if (TsSkinManager* manager = SkinManager()) {
    const TsSkinData& skin = manager->CurrentSkin();
    f.Skin.BorderWidth = skin.BorderWidth;
    f.Skin.TitleHeight = skin.TitleHeight;
    f.Skin.MaxHeight = skin.MaxHeight;
    f.Skin.CenterOffset = skin.CenterOffset;
    f.Skin.BIVAlign = skin.BIVAlign;
    f.Skin.BITop = skin.BITop;
    f.BorderWindow = borderForm_ != nullptr;
    f.ShadowMargins = manager->ShadowMargins();
  }
  if (!form_->HandleAllocated()) {
    f.Width = form_->Width();
    f.Height = form_->Height();
    return f;
  }
  HWND wnd = form_->Handle();
  const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
  f.ThickFrame = (style & WS_THICKFRAME) != 0;
  f.BorderBit = (style & WS_BORDER) != 0;
  f.CaptionBits = (style & WS_CAPTION) == WS_CAPTION;
  f.ChildBit = (style & WS_CHILD) != 0;
  f.Minimized = IsIconic(wnd) != FALSE;
  f.Maximized = IsZoomed(wnd) != FALSE;
  RECT window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  f.Width = window.right - window.left;
  f.Height = window.bottom - window.top;
  f.ClientWidth = client.right;
  f.ClientHeight = client.bottom;
  f.MenuLines = const_cast<TsSkinProvider*>(this)->MenuLineCount();
  return f;
}

bool TsSkinProvider::HasMenuLine() const {
  TMainMenu* menu = form_->Menu();
  return menu && menu->Items()->Count() > 0 && form_->FormStyle() != fsMDIChild &&
         form_->BorderStyle() != bsDialog && form_->HandleAllocated() &&
         GetMenu(form_->Handle()) != nullptr;
}

int TsSkinProvider::MenuLineCount() {
  if (!HasMenuLine()) return 0;
  if (menuLinesCount_ >= 0) return menuLinesCount_;
  HWND wnd = form_->Handle();
  RECT item;
  // Not counted yet while the menu bar has no place: one line, asked again next time.
  if (!GetMenuItemRect(wnd, GetMenu(wnd), 0, &item)) return 1;
  POINT clientTop{0, 0};
  ClientToScreen(wnd, &clientTop);
  const int lineHeight = std::max(GetSystemMetrics(SM_CYMENU) - 1, 1);
  menuLinesCount_ = item.bottom < clientTop.y ? (clientTop.y - item.bottom) / lineHeight + 1 : 1;
  return menuLinesCount_;
}

int TsSkinProvider::GetClientOffsetX() const { return ::GetClientOffsetX(FormFacts()); }
int TsSkinProvider::GetClientOffsetY() const { return ::GetClientOffsetY(FormFacts()); }

// ---- the window region ----------------------------------------------------------------------

void TsSkinProvider::PrepareRegionParts() { PrepareRegionParts(FormFacts()); }

void TsSkinProvider::PrepareRegionParts(const TsFormFacts& facts) {
  TsSkinManager* manager = SkinManager();
  regionHoles_.clear();
  if (!manager) return;
  if (!cornerRunsRead_) {
    const int titleIndex = GetTitleSkinIndex();
    const int titleMask = manager->IsValidSectionIndex(titleIndex)
                              ? manager->GetMaskIndex(titleIndex, GetTitleSection(), "BORDERSMASK")
                              : -1;
    cornerRuns_ = CollectCornerRuns(*manager, skinData_->BorderMaskIndex, titleMask);
    cornerRunsRead_ = true;
  }
  regionHoles_ = PlaceCornerRuns(cornerRuns_, GetImageWidth(facts), facts.Height);
}

void TsSkinProvider::SetFormRegion(bool redraw) {
  if (!drawNonClientArea_ || !form_->HandleAllocated()) return;
  SetFormRegion(redraw, FormFacts());
}

void TsSkinProvider::SetFormRegion(bool redraw, const TsFormFacts& facts) {
  if (!drawNonClientArea_ || !form_->HandleAllocated()) return;
  const TsRegionPlan plan = PlanFormRegion(facts, regionHoles_);
  if (plan.Kind == TsRegionKind::Keep) return;
  // The same region again would only repaint the frame: a non-client paint that sets its
  // region every time never lets the window rest.
  if (regionSet_ && plan == lastRegion_) return;
  if (plan.Kind == TsRegionKind::Remove) {
    if (regionSet_) {
      regionUpdating_ = true;
      TScopeExit updated([this] { regionUpdating_ = false; });
      SetWindowRgn(form_->Handle(), nullptr, redraw ? TRUE : FALSE);
      ++regionChanges_;
    }
    regionSet_ = false;
    lastRegion_ = plan;
    return;
  }
  regionUpdating_ = true;
  TScopeExit updated([this] { regionUpdating_ = false; });
  TRegion region(
      CreateRectRgn(plan.Bounds.Left, plan.Bounds.Top, plan.Bounds.Right, plan.Bounds.Bottom));
  for (const TRect& hole : plan.Holes) {
    TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
    CombineRgn(region.Get(), region.Get(), cut.Get(), RGN_DIFF);
  }
  // The window owns the region once it took it.
  if (SetWindowRgn(form_->Handle(), region.Get(), redraw ? TRUE : FALSE)) region.Release();
  lastRegion_ = plan;
  regionSet_ = true;
  ++regionChanges_;
}

// ---- non-client painting --------------------------------------------------------------------

void TsSkinProvider::PaintNonClient() {
  const TsFormFacts facts = FormFacts();
  if (regionDirty_ && !regionUpdating_) {
    regionDirty_ = false;
    if (HasFrame(facts) || facts.ThickFrame || facts.Minimized) {
      PrepareRegionParts(facts);
      SetFormRegion(false, facts);
    }
  }
  skinData_->SetPaintSuspended(false);
  if (skinData_->CacheBitmap && imageSize_.cx == 0) skinData_->BackgroundDirty = true;
  const bool rebuild = skinData_->BackgroundDirty;
  CopyFrameToWindow(facts);
  if (borderForm_) borderForm_->UpdateExBorder(rebuild, 255);
}

void TsSkinProvider::RepaintNonClient() {
  if (!FormShowing() || !drawNonClientArea_ || FormDestroying() || !Skinned()) return;
  skinData_->BackgroundDirty = true;
  CopyFrameToWindow(FormFacts());
}

void TsSkinProvider::CopyFrameToWindow(const TsFormFacts& facts) {
  TWindowDC dc(form_->Handle(), true);
  if (!dc) return;
  TSaveDC saved(dc.Get());
  PaintFrameFromCache(dc.Get(), facts);
}

void TsSkinProvider::PaintFrameFromCache(HDC windowDC, const TsFormFacts& facts) {
  if (!skinData_->CacheBitmap || imageSize_ != TSize{GetImageWidth(facts), GetImageHeight(facts)})
    skinData_->BackgroundDirty = true;
  PaintFormCache(facts);
  TBitmap* image = skinData_->CacheBitmap.get();
  if (!image || imageSize_.cx == 0) return;
  HDC source = ImageDC(image);
  if (facts.BorderWindow) {
    // The border window shows the frame; the form's region leaves it only its menu line,
    // which lies in the image where the window lies over it.
    BitBlt(windowDC, 0, 0, facts.Width, facts.Height, source, GetOwnerOffsetX(facts),
           GetOwnerOffsetY(facts), SRCCOPY);
    return;
  }
  for (const TsFrameCopy& copy : FrameCopyRects(facts))
    BitBlt(windowDC, copy.Dest.Left, copy.Dest.Top, copy.Dest.Width(), copy.Dest.Height(), source,
           copy.Source.X, copy.Source.Y, SRCCOPY);
}

void TsSkinProvider::PaintFormCache(const TsFormFacts& facts) {
  TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidSectionIndex(skinData_->SectionIndex) ||
      form_->ControlState().Contains(csCreating)) {
    skinData_->SetPaintSuspended(false);
    return;
  }
  const int width = GetImageWidth(facts), height = GetImageHeight(facts);
  if (!skinData_->CacheBitmap) {
    skinData_->CacheBitmap = CreateBmp32(WithSlack(width), WithSlack(height));
    skinData_->UpdateSkinState(false);
  }
  if (!skinData_->BackgroundDirty) {
    skinData_->SetPaintSuspended(false);
    return;
  }
  // The bitmap is made with room to spare and kept while the form's size changes within it:
  // making a bitmap of the window's size costs far more than composing the frame, and a
  // resize would otherwise make one for every step. Only the top-left image size is painted.
  TBitmap* bitmap = skinData_->CacheBitmap.get();
  if (bitmap->Width() < width || bitmap->Height() < height ||
      bitmap->Width() > WithSlack(width) + SlackStep ||
      bitmap->Height() > WithSlack(height) + SlackStep || bitmap->PixelFormat() != pf32bit)
    skinData_->CacheBitmap = CreateBmp32(WithSlack(width), WithSlack(height));
  imageSize_ = TSize{width, height};
  TBitmap* image = skinData_->CacheBitmap.get();
  regionDirty_ = regionDirty_ || !framePainted_;
  const TsPaintState state = LimitSectionState(*manager, skinData_->SectionIndex, ActiveState());
  const TRect shadow = GetShadowMargins(facts);
  const TRect frame{shadow.Left, shadow.Top, width - shadow.Right, height - shadow.Bottom};
  // With a border window the image is shown with its alpha: the shadow's part starts clear.
  if (facts.BorderWindow) {
    FillRect32(image, TRect{0, 0, width, height}, 0);
    FillAlphaRect(image, TRect{0, 0, width, height}, 0, false);
  }
  // The frame with its border, over which everything else is laid.
  if (HasFrame(facts))
    PaintControlItem(*skinData_, EmptyBackgroundSource, image, TPoint{0, 0}, frame, state);
  else
    PaintSectionBackground(TsItemPaint{.Bitmap = image,
                                       .R = frame,
                                       .SectionIndex = skinData_->SectionIndex,
                                       .SectionName = skinData_->SkinSection(),
                                       .State = state,
                                       .Background = EmptyBackgroundSource,
                                       .Manager = manager});
  if (GetCaptionHeight(facts, true) > 0 && drawNonClientArea_) PaintTitle(image, facts, state);
  if (facts.MenuLines > 0 && manager->SkinnedPopups()) PaintMenuLine(image, facts);
  if (GetCaptionHeight(facts, true) > 0 && drawNonClientArea_) PaintCaptionText(image, facts);
  if (facts.BorderWindow) PaintExtendedBorder(image, facts);
  if (GetCaptionHeight(facts, true) > 0 && drawNonClientArea_) PaintTitleButtons(image, facts);
  skinData_->BackgroundDirty = false;
  framePainted_ = true;
  ++frameBuilds_;
  skinData_->SetPaintSuspended(false);
}

void TsSkinProvider::PaintTitle(TBitmap* image, const TsFormFacts& facts, TsPaintState state) {
  TsSkinManager* manager = SkinManager();
  const int title = GetTitleSkinIndex();
  const int titleBottom = GetTitleBottom(facts);
  if (manager->IsValidSectionIndex(title)) {
    const TRect s = GetShadowMargins(facts);
    const TRect r = facts.Minimized && !facts.MainForm
                        ? TRect{s.Left, s.Top, imageSize_.cx - s.Right, imageSize_.cy - s.Bottom}
                        : TRect{s.Left, s.Top, imageSize_.cx - s.Right, titleBottom};
    PaintItem(TsItemPaint{.Bitmap = image,
                          .R = r,
                          .SectionIndex = title,
                          .SectionName = GetTitleSection(),
                          .State = LimitSectionState(*manager, title, ActiveState()),
                          .Background = MakeBackgroundSource(image, 0, 0),
                          .Manager = manager});
  }
  PaintTitleIcon(image, facts);
  // The strip behind the buttons, when the form's section has one.
  const TsTitleButtonsSetup buttons = TitleButtonsSetup(facts);
  if (LayoutTitleButtons(facts, buttons).empty()) return;
  const int strip =
      manager->GetMaskIndex(skinData_->SectionIndex, skinData_->SkinSection(), "TITLEBAR");
  if (!manager->IsValidMaskIndex(strip)) return;
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(strip)];
  const TRect s = GetShadowMargins(facts);
  const int right = imageSize_.cx - s.Right;
  const int left = right - (2 * MaskStateWidth(mask) + TitleButtonsWidth(facts, buttons));
  PaintMaskRect(image,
                TRect{left, s.Top, right,
                      s.Top + GetCaptionHeight(facts, false) + GetBorderWidth(facts, false)},
                mask, StateIndex(state), false, EmptyBackgroundSource);
}

void TsSkinProvider::PaintExtendedBorder(TBitmap* image, const TsFormFacts& facts) {
  TsSkinManager* manager = SkinManager();
  const TRect s = GetShadowMargins(facts);
  const int width = imageSize_.cx, height = imageSize_.cy;
  const TRect frame{s.Left, s.Top, width - s.Right, height - s.Bottom};
  // The frame is opaque wherever the shadow does not show through its corners.
  FillAlphaRect(image, frame, 255, false);
  TBitmap* shadow = activeLook_ ? manager->ShadowImageActive() : manager->ShadowImageInactive();
  if (!shadow || shadow->Width() <= 0) return;
  const int offset = manager->CurrentSkin().FormOffset;
  // The template's margins reach FORMOFFSET under the form; only the shadow's own width of
  // them is drawn, around the frame.
  TsNineSlice slice;
  slice.Margins = TRect{offset + s.Left, offset + s.Top, offset + s.Right, offset + s.Bottom};
  slice.CornerLimits = s;
  slice.EdgeModes = TsNineSliceModes{1, 1, 1, 1};
  slice.DrawCentre = false;
  CopyNineSlice(image, TRect{0, 0, width, height}, shadow,
                TRect{0, 0, shadow->Width(), shadow->Height()}, slice);
  // The frame's rounded corners show the shadow where the skin keys them out.
  const int titleIndex = GetTitleSkinIndex();
  const int titleMask = manager->IsValidSectionIndex(titleIndex)
                            ? manager->GetMaskIndex(titleIndex, GetTitleSection(), "BORDERSMASK")
                            : -1;
  const int formMask = skinData_->BorderMaskIndex;
  const int topMask = manager->IsValidMaskIndex(titleMask) ? titleMask : formMask;
  const int cap = topMask == titleMask ? 1 << 16 : 8;
  auto corner = [&](int mask, int kind, bool right, bool bottom, int limit) {
    if (!manager->IsValidMaskIndex(mask)) return;
    const int w =
        std::min(right ? manager->MaskWidthRight(mask) : manager->MaskWidthLeft(mask), limit);
    const int h =
        std::min(bottom ? manager->MaskWidthBottom(mask) : manager->MaskWidthTop(mask), limit);
    if (w <= 0 || h <= 0) return;
    const int x = right ? frame.Right - w : frame.Left;
    const int y = bottom ? frame.Bottom - h : frame.Top;
    const int tx = right ? shadow->Width() - s.Right - w : s.Left;
    const int ty = bottom ? shadow->Height() - s.Bottom - h : s.Top;
    RestoreKeyedPixels(image, TRect{x, y, x + w, y + h}, shadow,
                       TPoint{std::max(tx, 0), std::max(ty, 0)}, kind, manager, mask);
  };
  corner(topMask, CornerTopLeft, false, false, cap);
  corner(topMask, CornerTopRight, true, false, cap);
  corner(formMask, CornerBottomLeft, false, true, 1 << 16);
  corner(formMask, CornerBottomRight, true, true, 1 << 16);
}

void TsSkinProvider::PaintMenuLine(TBitmap* image, const TsFormFacts& facts) {
  TsSkinManager* manager = SkinManager();
  const int titleBottom = GetTitleBottom(facts);
  const int lineHeight = GetMenuLineHeight(facts);
  const TRect line{GetShadowMargins(facts).Left, titleBottom,
                   imageSize_.cx - GetShadowMargins(facts).Right,
                   titleBottom + facts.MenuLines * lineHeight + 1};
  // The same background the menu painter lays under each item, so that the line and its
  // items show as one.
  if (manager->IsValidSectionIndex(menuLineSectionIndex_))
    PaintSectionBackground(TsItemPaint{.Bitmap = image,
                                       .R = line,
                                       .SectionIndex = menuLineSectionIndex_,
                                       .SectionName = menuLineSectionName_,
                                       .Manager = manager});
  // The items of the menu bar, each painted by its own drawing handler at its place.
  HWND wnd = form_->Handle();
  HMENU bar = GetMenu(wnd);
  TMenuItem* root = form_->Menu()->Items();
  RECT window;
  GetWindowRect(wnd, &window);
  int position = 0;
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->Visible()) continue;
    RECT r;
    if (!GetMenuItemRect(wnd, bar, static_cast<UINT>(position++), &r)) continue;
    if (!item->OnAdvancedDrawItem()) continue;
    const TRect at{r.left - window.left, r.top - window.top, r.right - window.left,
                   r.bottom - window.top};
    TSaveDC saved(ImageDC(image));
    item->OnAdvancedDrawItem()(item, image->Canvas(), at, TOwnerDrawState{odNoAccel});
  }
}

void TsSkinProvider::PaintCaptionText(TBitmap* image, const TsFormFacts& facts) {
  TsSkinManager* manager = SkinManager();
  const std::string caption = addedTitle_->ShowMainCaption() ? form_->Caption() : std::string();
  const std::string& added = addedTitle_->Text();
  const TRect shadow = GetShadowMargins(facts);
  const int iconWidth = TitleIconShown(facts) ? GetIconRect(facts).Width() : 0;
  TRect r;
  r.Left = GetBorderWidth(facts, true) + iconWidth + manager->CurrentSkin().BILeft + shadow.Left +
           (captionSectionIndex_ >= 0 ? 2 : 0) + 4;
  r.Right = imageSize_.cx - shadow.Right - TitleButtonsWidth(facts, TitleButtonsSetup(facts)) - 12;
  r.Bottom = GetTitleBottom(facts);
  r.Top = facts.Maximized ? GetStdBorderWidth(facts, false) / 2 + shadow.Top + 1 : shadow.Top + 2;
  if (r.Right <= r.Left || r.Bottom <= r.Top || (caption.empty() && added.empty())) return;
  TCanvas* canvas = image->Canvas();
  LOGFONTA lf;
  if (captionFont_ && GetObjectA(captionFont_.Get(), sizeof lf, &lf) == sizeof lf) {
    canvas->Font()->SetName(lf.lfFaceName);
    canvas->Font()->SetHeight(lf.lfHeight);
    TFontStyles style;
    if (lf.lfWeight >= FW_BOLD) style += fsBold;
    canvas->Font()->SetStyle(style);
    canvas->Font()->SetCharset(form_->Font()->Charset());
  }
  // Where the added title begins: after the caption, or in its place.
  int addedLeft = r.Left;
  if (!caption.empty()) {
    TRect t = r;
    DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()),
              reinterpret_cast<RECT*>(&t), DT_CALCRECT | CaptionTextFlags);
    t.Right = std::min(t.Right, r.Right);
    int textSection = GetTitleSkinIndex();
    if (captionSectionIndex_ >= 0) {
      // The caption's own section behind the text, a little larger than the text.
      const int textHeight = t.Height();
      t.Top = r.Top + (r.Height() - textHeight) / 2;
      t.Bottom = t.Top + textHeight;
      t = TRect{t.Left - 4, t.Top - 2, t.Right + 4, t.Bottom + 2};
      t.Left = std::max(t.Left, 0);
      t.Top = std::max(t.Top, 0);
      t.Right = std::min(t.Right, imageSize_.cx);
      t.Bottom = std::min(t.Bottom, imageSize_.cy);
      if (t.Width() > 0 && t.Height() > 0)
        PaintItem(
            TsItemPaint{.Bitmap = image,
                        .R = t,
                        .SectionIndex = captionSectionIndex_,
                        .SectionName = "CAPTION",
                        .State = LimitSectionState(*manager, captionSectionIndex_, ActiveState()),
                        .Background = MakeBackgroundSource(image, 0, 0),
                        .Manager = manager});
      textSection = captionSectionIndex_;
    }
    addedLeft = t.Right;
    canvas->Brush()->SetStyle(bsClear);
    TsSectionText text;
    text.Text = caption;
    text.R = r;
    text.Format = CaptionTextFlags;
    text.SectionIndex = textSection;
    text.Hot = activeLook_;
    text.Enabled = form_->Enabled();
    text.Manager = manager;
    DrawSectionText(canvas, text);
  }
  if (!added.empty()) PaintAddedTitle(canvas, TRect{addedLeft + 4, r.Top, r.Right, r.Bottom});
}

void TsSkinProvider::PaintAddedTitle(TCanvas* canvas, const TRect& r) {
  TsSkinManager* manager = SkinManager();
  const std::string& added = addedTitle_->Text();
  canvas->Font()->Assign(addedTitle_->Font());
  TRect t = r;
  DrawTextA(canvas->Handle(), added.c_str(), static_cast<int>(added.size()),
            reinterpret_cast<RECT*>(&t), DT_CALCRECT | CaptionTextFlags);
  const int width = t.Width();
  // Too narrow to show anything but a piece of a letter.
  if (width <= 4) return;
  TColor color = addedTitle_->Font()->Color();
  const int title = GetTitleSkinIndex();
  if (manager->IsValidSectionIndex(title)) {
    const TsGeneralData& section = manager->Sections()[static_cast<size_t>(title)];
    if (color == clNone || color == clWindowText) {
      color = activeLook_ ? section.HotFontColor : section.FontColor;
    } else if (!activeLook_) {
      const COLORREF own = ColorToRGB(color), skin = ColorToRGB(section.FontColor);
      color = static_cast<TColor>(RGB((GetRValue(own) + GetRValue(skin)) / 2,
                                      (GetGValue(own) + GetGValue(skin)) / 2,
                                      (GetBValue(own) + GetBValue(skin)) / 2));
    }
  }
  canvas->Font()->SetColor(color);
  canvas->Brush()->SetStyle(bsClear);
  TRect box{r.Left, r.Top, std::min(r.Left + width + 4, r.Right), r.Bottom};
  DrawTextA(canvas->Handle(), added.c_str(), static_cast<int>(added.size()),
            reinterpret_cast<RECT*>(&box), CaptionTextFlags);
}

// ---- the client background ------------------------------------------------------------------

void TsSkinProvider::PaintClientBackground(HDC dc) {
  if (!dc) return;
  const TsFormFacts facts = FormFacts();
  if (skinData_->SkinState & 0x0001) {
    // A plain colour: filled straight, the children paint themselves.
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(skinData_->BgColor(0))));
    RECT r{0, 0, facts.ClientWidth, facts.ClientHeight};
    FillRect(dc, &r, brush.Get());
    return;
  }
  if (!skinData_->ImmediatePaint) PaintFormCache(facts);
  if (!skinData_->CacheBitmap || imageSize_.cx == 0) return;
  const TRect client{0, 0, facts.ClientWidth, facts.ClientHeight};
  const int x = ::GetClientOffsetX(facts), y = ::GetClientOffsetY(facts);
  TsCacheBlit blit;
  blit.DC = dc;
  blit.Dest = client;
  blit.Source = TRect{x, y, x + client.Width(), y + client.Height()};
  BlitCacheExceptControls(form_, *skinData_, blit);
  PaintGraphicChildren(dc, form_, TPoint{0, 0}, true);
}

bool TsSkinProvider::SetIconicThumbnail(int width, int height) {
  PaintFormCache(FormFacts());
  TBitmap* image = skinData_->CacheBitmap.get();
  if (!image || imageSize_.cx == 0 || imageSize_.cy == 0) return false;
  const TSize fitted = FitThumbnail(width, height, imageSize_.cx, imageSize_.cy);
  if (fitted.cx == 0) return false;
  // The image alone, without the spare room of its bitmap.
  auto source = CreateBmp32(imageSize_.cx, imageSize_.cy);
  BitBlt(ImageDC(source.get()), 0, 0, imageSize_.cx, imageSize_.cy, ImageDC(image), 0, 0, SRCCOPY);
  auto thumbnail = CreateBmp32(fitted.cx, fitted.cy);
  StretchBitmap(source.get(), thumbnail.get(), fitted.cx, 0, fitted.cy);
  return DwmSetIconicThumbnailBitmap(reinterpret_cast<TWindowKey>(form_->Handle()),
                                     reinterpret_cast<uintptr_t>(BitmapHandle(thumbnail.get()))) ==
         0;
}

void TsSkinProvider::PaintFormToBitmap(TBitmap& target) {
  if (!skinData_->CacheBitmap || imageSize_.cx == 0 || !form_->HandleAllocated()) return;
  const TsFormFacts facts = FormFacts();
  auto picture = CreateBmp32(imageSize_.cx, imageSize_.cy);
  HDC dc = ImageDC(picture.get());
  {
    TSaveDC saved(dc);
    TMessage print{WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND, 0};
    PrintForm(print);
  }
  {
    // The children lie in the client area, which begins at the client offset.
    TSaveDC saved(dc);
    OffsetViewportOrgEx(dc, ::GetClientOffsetX(facts), ::GetClientOffsetY(facts), nullptr);
    IntersectClipRect(dc, 0, 0, facts.ClientWidth, facts.ClientHeight);
    for (int i = 0; i < form_->ControlCount(); ++i) {
      auto* child = dynamic_cast<TWinControl*>(form_->Controls(i));
      if (!child || !child->Visible()) continue;
      TSaveDC childSaved(dc);
      OffsetViewportOrgEx(dc, child->Left(), child->Top(), nullptr);
      PaintControlTree(picture.get(), child, child->Left(), child->Top());
    }
  }
  const int width = std::min(target.Width(), imageSize_.cx);
  const int height = std::min(target.Height(), imageSize_.cy);
  BitBlt(ImageDC(&target), 0, 0, width, height, dc, 0, 0, SRCCOPY);
  FillAlphaRect(&target, TRect{0, 0, width, height}, 255, false);
}

bool TsSkinProvider::SetIconicLivePreview() {
  PaintFormCache(FormFacts());
  if (!skinData_->CacheBitmap || imageSize_.cx == 0 || imageSize_.cy == 0) return false;
  auto preview = CreateBmp32(imageSize_.cx, imageSize_.cy);
  PaintFormToBitmap(*preview);
  return DwmSetIconicLivePreview(reinterpret_cast<TWindowKey>(form_->Handle()),
                                 reinterpret_cast<uintptr_t>(BitmapHandle(preview.get()))) == 0;
}

void TsSkinProvider::PrintForm(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  m.Result = 0;
  if (!dc || form_->ControlState().Contains(csCreating) || FormDestroying()) return;
  if ((m.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(form_->Handle())) return;
  TSaveDC saved(dc);
  const TsFormFacts facts = FormFacts();
  if (m.LParam & PRF_NONCLIENT) {
    PaintFrameFromCache(dc, facts);
    // The DC holds the whole window: the client lies at its offset.
    OffsetViewportOrgEx(dc, ::GetClientOffsetX(facts), ::GetClientOffsetY(facts), nullptr);
  }
  IntersectClipRect(dc, 0, 0, facts.ClientWidth, facts.ClientHeight);
  if (m.LParam & (PRF_CLIENT | PRF_ERASEBKGND)) PaintClientBackground(dc);
}
