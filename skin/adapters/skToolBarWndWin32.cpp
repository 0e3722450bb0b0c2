#include "skin/adapters/skToolBarWndWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/CanvasWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skToolBarLayout.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

constexpr TColor kKeyColor = 0xFF00FF;

const TsMaskData* SectionMask(TsSkinManager* manager, const char* section, const char* property) {
  if (!manager) return nullptr;
  const int index = manager->GetSectionIndex(section);
  if (index < 0) return nullptr;
  const int mask = manager->GetMaskIndex(index, section, property);
  return manager->IsValidMaskIndex(mask) ? &manager->Masks()[static_cast<size_t>(mask)] : nullptr;
}

// The button's caption with its real length; empty when it has none.
std::string ButtonText(HWND bar, int command) {
  const LRESULT length = SendMessageA(bar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(command), 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(bar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(command),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

}  // namespace

TskToolBarWnd::TskToolBarWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                             const std::string& section)
    : TskMainWnd(handle, skinData, manager, section) {}

int TskToolBarWnd::PaintedState(int index) const {
  if (index < 0 || index >= static_cast<int>(paintedStates_.size())) return -1;
  return paintedStates_[static_cast<size_t>(index)];
}

void TskToolBarWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      commonData_->BackgroundDirty = true;
      TskMainWnd::WndProc(m);
      SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
      if (!IsWindowVisible(windowHandle_)) break;
      Paint();
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      PaintBorder();
      return;
    case WM_PRINT:
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

bool TskToolBarWnd::Suspended() {
  commonData_->PaintSuspended =
      TestSkinCmd(GetParent(windowHandle_), CmdIsUpdating) || commonData_->PaintingSuspended();
  return commonData_->PaintSuspended;
}

void TskToolBarWnd::UpdateCache() {
  ReadWindowGeometry();
  if (!commonData_->BackgroundDirty && commonData_->CacheBitmap &&
      commonData_->CacheBitmap->Width() == WindowSize().cx &&
      commonData_->CacheBitmap->Height() == WindowSize().cy)
    return;
  commonData_->BackgroundDirty = true;
  RECT client{};
  GetClientRect(windowHandle_, &client);
  clientArea_ = TRect{client.left, client.top, client.right, client.bottom};
  PrepareWindowCache(commonData_, windowHandle_, false);
  FillTransparentCorners(TsPaintState::Normal);
  edgeWidth_ = std::max((WindowSize().cy - clientArea_.Height()) / 2, 0);
  commonData_->BackgroundDirty = false;
}

void TskToolBarWnd::PaintBorder() {
  if ((GetWindowLongPtrA(windowHandle_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) return;
  if (Suspended()) return;
  UpdateCache();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  TWindowDC dc(windowHandle_, true);
  if (!dc.Get()) return;
  TSaveDC saved(dc.Get());
  CopyBorderFrame(dc.Get(), cache->Canvas()->Handle(), cache->Width(), cache->Height(),
                  (WindowSize().cx - clientArea_.Width()) / 2);
}

void TskToolBarWnd::Paint() {
  TAdapterPaint paint(windowHandle_, 0, true);
  if (Suspended()) return;
  PaintTo(paint.Dc());
}

void TskToolBarWnd::PaintTo(HDC given) {
  UpdateCache();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  std::unique_ptr<TBitmap> picture = CreateBmp32(cache->Width(), cache->Height());
  if (!picture) return;
  CopyBitmapRect(picture.get(), 0, 0, cache, TRect{0, 0, cache->Width(), cache->Height()});
  DrawButtons(picture.get());
  TAdapterPaint target(windowHandle_, reinterpret_cast<WPARAM>(given), false);
  CopyCacheTo(target.Dc(), *picture, 0, 0, cache->Width() - 2 * edgeWidth_,
              cache->Height() - 2 * edgeWidth_, edgeWidth_, edgeWidth_);
}

void TskToolBarWnd::DrawButtons(TBitmap* picture) {
  const int count = static_cast<int>(SendMessageA(windowHandle_, TB_BUTTONCOUNT, 0, 0));
  paintedStates_.assign(static_cast<size_t>(std::max(count, 0)), -1);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (!SendMessageA(windowHandle_, TB_GETITEMRECT, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(&item)))
      continue;
    DrawButton(i,
               TRect{item.left + edgeWidth_, item.top + edgeWidth_, item.right + edgeWidth_,
                     item.bottom + edgeWidth_},
               picture);
  }
}

void TskToolBarWnd::DrawButton(int index, const TRect& r, TBitmap* picture) {
  TBBUTTON button{};
  if (!SendMessageA(windowHandle_, TB_GETBUTTON, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&button)))
    return;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  TBitmap* cache = commonData_->CacheBitmap.get();
  std::unique_ptr<TBitmap> face = CreateBmp32(r.Width(), r.Height());
  if (!face) return;
  // What the bar shows under the button, so the skin's open pixels let it through.
  CopyBitmapRect(face.get(), 0, 0, cache, r);
  const TRect whole{0, 0, r.Width(), r.Height()};

  if (button.fsStyle & toolbits::StyleSeparator) {
    const int divider = manager_->GetSectionIndex("DIVIDER");
    if (!SectionMask(manager_, "DIVIDER", "BORDERSMASK")) return;
    const int mid = face->Width() / 2 - 1;
    PaintItem(TsItemPaint{.Bitmap = face.get(),
                          .R = TRect{mid, 2, mid + 4, face->Height() - 2},
                          .SectionIndex = divider,
                          .SectionName = "DIVIDER",
                          .Background = MakeBackgroundSource(face.get(), 0, 0),
                          .Manager = manager_});
    CopyBitmapRect(picture, r.Left, r.Top, face.get(), whole);
    return;
  }

  POINT cursor{};
  GetCursorPos(&cursor);
  const TRect onScreen{r.Left + ScreenRect().Left, r.Top + ScreenRect().Top,
                       r.Right + ScreenRect().Left, r.Bottom + ScreenRect().Top};
  const TsToolButtonLook look =
      ToolButtonLook(button.fsState, RectContains(onScreen, TPoint{cursor.x, cursor.y}));
  paintedStates_[static_cast<size_t>(index)] = look.State;
  const int section = manager_->GetSectionIndex("TOOLBUTTON");
  PaintItem(TsItemPaint{.Bitmap = face.get(),
                        .R = whole,
                        .SectionIndex = section,
                        .SectionName = "TOOLBUTTON",
                        .State = static_cast<TsPaintState>(look.State),
                        .Background = MakeBackgroundSource(cache, 0, 0),
                        .Offset = r.TopLeft(),
                        .Manager = manager_});

  auto* images = reinterpret_cast<HIMAGELIST>(SendMessageA(windowHandle_, TB_GETIMAGELIST, 0, 0));
  TSize icon{0, 0};
  if (images) {
    int w = 0, h = 0;
    if (ImageList_GetIconSize(images, &w, &h)) icon = TSize{w, h};
  }
  if (ToolButtonShowsImage(button.iBitmap, images != nullptr)) {
    ImageList_SetBkColor(images, CLR_NONE);
    int arrowWidth = 0;
    const int arrowMask = manager_->FixedIndexes().ScrollBtn[1].GlyphMask;
    if ((button.fsStyle & toolbits::StyleWholeDropDown) && manager_->IsValidMaskIndex(arrowMask)) {
      const TsMaskData& arrow = manager_->Masks()[static_cast<size_t>(arrowMask)];
      arrowWidth = MaskStateWidth(arrow);
      PaintMaskGlyph(face.get(),
                     ToolButtonArrowPos(r, TSize{arrowWidth, MaskStateHeight(arrow)}, look.Shift),
                     look.State, arrow, MakeBackgroundSource(face.get(), 0, 0));
    }
    const TPoint at = ToolButtonImagePos(r, icon, look.Shift, arrowWidth);
    ImageList_Draw(images, button.iBitmap, face->Canvas()->Handle(), at.X, at.Y, ILD_NORMAL);
  }

  const std::string text = ButtonText(windowHandle_, static_cast<int>(button.idCommand));
  if (!text.empty()) DrawCaption(face.get(), text, r, icon.cy, look.State, look.Shift);

  if ((button.fsState & toolbits::StateEnabled) == 0)
    BlendBitmapKeyed(face.get(), TPoint{0, 0}, cache, r, kKeyColor, 0.4);
  CopyBitmapRect(picture, r.Left, r.Top, face.get(), whole);
}

void TskToolBarWnd::DrawCaption(TBitmap* face, const std::string& text, const TRect& r,
                                int iconHeight, int state, int shift) {
  TCanvas* canvas = face->Canvas();
  if (HFONT font = WindowFont(windowHandle_)) SetFontHandle(canvas->Font(), font);
  canvas->Brush()->SetStyle(bsClear);
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas->Handle(), &metrics);
  const TRect t = ToolButtonTextRect(r, iconHeight, shift);
  const TsToolCaptionLines lines = SplitToolCaption(
      text, r.Width(), [canvas](const std::string& s) { return canvas->TextWidth(s); });
  // Hot and pressed captions take the button's colours unless the bar's section gives its own.
  int section = manager_->GetSectionIndex(commonData_->SkinSection());
  const int toolButton = manager_->GetSectionIndex("TOOLBUTTON");
  const auto& sections = manager_->Sections();
  const bool ownFont = section >= 0 && static_cast<size_t>(section) < sections.size() &&
                       sections[static_cast<size_t>(section)].GiveOwnFont;
  if (state > 0 && !ownFont) section = toolButton;
  const auto draw = [&](const std::string& s, const TRect& where, uint32_t flags) {
    DrawSectionTextEx(canvas, TsSectionText{.Text = s,
                                            .R = where,
                                            .Format = flags,
                                            .SectionIndex = section,
                                            .Hot = state > 0,
                                            .Manager = manager_});
  };
  if (lines.TwoLines()) {
    draw(lines.First, TRect{t.Left, t.Top, t.Right, t.Top + metrics.tmHeight}, DT_CENTER);
    draw(lines.Second, TRect{t.Left, t.Top + metrics.tmHeight, t.Right, t.Bottom}, DT_END_ELLIPSIS);
  } else {
    draw(text, t, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
  }
}
