#include "skin/controls/sToolBarWin32.h"

#include <uxtheme.h>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sButtonGeometry.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sGlyphPaintWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TsToolButtonDrawState DrawStateOf(TCustomDrawState s) {
  return TsToolButtonDrawState{.Selected = s.Contains(cdsSelected),
                               .Checked = s.Contains(cdsChecked),
                               .Disabled = s.Contains(cdsDisabled),
                               .Hot = s.Contains(cdsHot),
                               .Other = s.Contains(cdsGrayed) || s.Contains(cdsFocused) ||
                                        s.Contains(cdsDefault) || s.Contains(cdsMarked) ||
                                        s.Contains(cdsIndeterminate)};
}

bool IsSeparator(const TToolButton* b) {
  return b->Style() == tbsSeparator || b->Style() == tbsDivider;
}

// The bar, its frame and its buttons painted anew now.
void RedrawWhole(TWinControl& bar) {
  if (bar.HandleAllocated())
    RedrawWindow(bar.Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int EdgeCount(TEdgeStyle inner, TEdgeStyle outer) {
  return (inner != esNone ? 1 : 0) + (outer != esNone ? 1 : 0);
}

}  // namespace

// ---- the skin command -------------------------------------------------------------------------

class TsToolBar::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsToolBar& bar) : TsControlCmdHandler(bar, *bar.skinData_), bar_(bar) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    // The system bar's own hot look would paint over the skin's.
    if (bar_.HandleAllocated()) SetWindowTheme(bar_.Handle(), L" ", L" ");
    BroadcastToChildren(&bar_, m);
    TsSkinCmdHandler::OnSkinChanged(m);
    Data().BackgroundDirty = true;
    bar_.InstallCustomDraw();
    RedrawWhole(bar_);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    bar_.droppedButton_ = nullptr;
    TsSkinCmdHandler::OnRemoveSkin(m);
    if (bar_.HandleAllocated()) SetWindowTheme(bar_.Handle(), nullptr, nullptr);
    BroadcastToChildren(&bar_, m);
    bar_.InstallCustomDraw();
    RedrawWhole(bar_);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    bar_.droppedButton_ = nullptr;
    TsSkinCmdHandler::OnRefresh(m);
    BroadcastToChildren(&bar_, m);
    bar_.InstallCustomDraw();
    // The themed system bar of Windows 6 and later keeps the button sizes and hot state it
    // measured under the old look: a new window lays its buttons out afresh.
    if (WindowsMajorVersion() >= 6) {
      bar_.hotButtonIndex_ = -1;
      bar_.RecreateWnd();
    } else {
      RedrawWhole(bar_);
    }
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintSuspended) return false;
    Data().PaintSuspended = false;
    Data().BackgroundDirty = true;
    RedrawWhole(bar_);
    return true;
  }
  // The cache holds the whole window: a child asks in client coordinates.
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (!bar_.Skinned()) return false;
    TsSkinCmdHandler::OnGetBgInfo(m);
    if (m.LParam != 0) {
      auto* request = reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      request->X += bar_.BorderOffsetX();
      request->Y += bar_.BorderOffsetY();
    }
    return true;
  }

 private:
  TsToolBar& bar_;
};

// ---- life -------------------------------------------------------------------------------------

TsToolBar::TsToolBar(TComponent* owner)
    : TToolBar(owner),
      host_(std::make_unique<TControlSkinHost>(this)),
      skinData_(std::make_unique<TsCommonData>(host_.get(), true)) {
  skinData_->ControlKind = TsControlKind::ToolBar;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
  InstallCustomDraw();
}

TsToolBar::~TsToolBar() {
  SetOnAdvancedCustomDraw({});
  SetOnAdvancedCustomDrawButton({});
  skinData_.reset();
}

void TsToolBar::Loaded() {
  TToolBar::Loaded();
  skinData_->Loaded();
  InstallCustomDraw();
}

void TsToolBar::CreateWnd() {
  TToolBar::CreateWnd();
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  // A bar made before its manager loaded the skin takes the section with its window.
  if (d.SectionIndex < 0 && manager && manager->CurrentSkin().Active) d.UpdateIndexes();
  if (Skinned() && HandleAllocated()) SetWindowTheme(Handle(), L" ", L" ");
  d.BackgroundDirty = true;
  InstallCustomDraw();
}

bool TsToolBar::Skinned() const { return skinData_ && skinData_->IsSkinned(true); }

void TsToolBar::SetBtnDisabledKind(TsDisabledKind value) {
  btnDisabledKind_ = value;
  Repaint();
}

void TsToolBar::InstallCustomDraw() {
  if (Skinned()) {
    SetOnAdvancedCustomDraw(TTBAdvancedCustomDrawEvent(
        [this](TToolBar*, const TRect& r, TCustomDrawStage stage, bool& defaultDraw) {
          CustomDrawBar(r, stage, defaultDraw);
        }));
    SetOnAdvancedCustomDrawButton(TTBAdvancedCustomDrawBtnEvent(
        [this](TToolBar*, TToolButton* button, TCustomDrawState state, TCustomDrawStage stage,
               TTBCustomDrawFlags& flags,
               bool& defaultDraw) { CustomDrawButton(button, state, stage, flags, defaultDraw); }));
  } else {
    SetOnAdvancedCustomDraw({});
    SetOnAdvancedCustomDrawButton({});
  }
}

int TsToolBar::BorderOffsetX() const {
  return (EdgeBorders().Contains(ebLeft) ? EdgeCount(EdgeInner(), EdgeOuter()) : 0) + BorderWidth();
}

int TsToolBar::BorderOffsetY() const {
  return (EdgeBorders().Contains(ebTop) ? EdgeCount(EdgeInner(), EdgeOuter()) : 0) + BorderWidth();
}

int TsToolBar::ButtonAtPos(TPoint p) {
  for (int i = 0; i < ButtonCount(); ++i) {
    RECT r{};
    if (!SendMessageA(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(&r)))
      r = RECT{};
    const TToolButtonStyle style = Buttons(i)->Style();
    if (p.X >= r.left && p.X < r.right && p.Y >= r.top && p.Y < r.bottom)
      return style == tbsButton || style == tbsCheck || style == tbsDropDown ? i : -1;
  }
  return -1;
}

// ---- painting ---------------------------------------------------------------------------------

void TsToolBar::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateRepaintStrips();
  d.UpdateCacheSize();
  TsBackgroundSource background;
  d.GetParentBackground(background);
  PaintControlItem(d, background, d.CacheBitmap.get(), TPoint{Left(), Top()},
                   TRect{0, 0, Width(), Height()}, TsPaintState::Normal, true);
  d.BackgroundDirty = false;
}

void TsToolBar::CustomDrawBar(const TRect&, TCustomDrawStage stage, bool& defaultDraw) {
  if (!Skinned()) return;
  TsCommonData& d = *skinData_;
  d.PaintSuspended = d.PaintingSuspended();
  if (stage != cdPrePaint) {
    defaultDraw = false;
    return;
  }
  // defaultDraw stays as it came, so the buttons are still drawn one by one.
  Canvas()->Font()->Assign(Font());
  if (d.BackgroundDirty || !d.CacheBitmap || d.CacheBitmap->Width() != Width()) PrepareCache();
  RECT client{};
  GetClientRect(Handle(), &client);
  BitBlt(Canvas()->Handle(), 0, 0, client.right, client.bottom, d.CacheBitmap->Canvas()->Handle(),
         BorderOffsetX(), BorderOffsetY(), SRCCOPY);
}

void TsToolBar::CustomDrawButton(TToolButton* button, TCustomDrawState state,
                                 TCustomDrawStage stage, TTBCustomDrawFlags& flags,
                                 bool& defaultDraw) {
  if (!Skinned()) {
    defaultDraw = true;
    return;
  }
  defaultDraw = false;
  if (stage != cdPrePaint || !button || IsSeparator(button)) return;
  if (!Flat() && button->Index() == hotButtonIndex_) state += cdsHot;
  flags += tbNoEdges;
  flags += tbNoEtchedEffect;
  PaintButton(Canvas()->Handle(), button, state);
}

void TsToolBar::PaintButton(HDC dc, TToolButton* button, TCustomDrawState state) {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  RECT item{};
  if (!manager || !SendMessageA(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(button->Index()),
                                reinterpret_cast<LPARAM>(&item)))
    return;
  const int width = item.right - item.left, height = item.bottom - item.top;
  if (width <= 0 || height <= 0) return;
  if (d.BackgroundDirty || !d.CacheBitmap || d.CacheBitmap->Width() != Width()) PrepareCache();
  const TsToolButtonDrawState drawState = DrawStateOf(state);
  const int look = ToolButtonState(drawState, false, button->Indeterminate());
  const int arrowWidth = button->Style() == tbsDropDown ? GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
  const int areaWidth = width - arrowWidth;

  std::unique_ptr<TBitmap> picture = CreateBmp32(width, height);
  picture->Canvas()->Font()->Assign(Font());
  // What the bar shows behind the button: its cache, whose client area starts past the edges.
  const TsBackgroundSource behind =
      MakeBackgroundSource(d.CacheBitmap.get(), BorderOffsetX(), BorderOffsetY());
  const TPoint at{item.left, item.top};
  const int section = manager->GetSectionIndex("TOOLBUTTON");
  const auto face = [&](const TRect& r, int faceLook) {
    PaintItem(TsItemPaint{.Bitmap = picture.get(),
                          .R = r,
                          .SectionIndex = section,
                          .SectionName = "TOOLBUTTON",
                          .State = static_cast<TsPaintState>(faceLook),
                          .Background = behind,
                          .Offset = at,
                          .Manager = manager});
  };
  face(TRect{0, 0, areaWidth, height}, look);

  const int lineHeight = picture->Canvas()->TextHeight("A");
  if (ShowCaptions() && !button->Caption().empty()) {
    const bool hasImage = Images() && button->ImageIndex() >= 0;
    const TRect r = ToolButtonCaptionRect(TsToolCaptionPlace{
        .ButtonHeight = height,
        .ButtonAreaWidth = areaWidth,
        .List = List(),
        .HasImage = hasImage,
        .Image = hasImage ? TSize{Images()->Width(), Images()->Height()} : TSize{0, 0},
        .TextWidth = picture->Canvas()->TextWidth(button->Caption()),
        .LineHeight = lineHeight,
        .State = look});
    picture->Canvas()->Brush()->SetStyle(bsClear);
    DrawSectionTextEx(picture->Canvas(),
                      TsSectionText{.Text = button->Caption(),
                                    .R = r,
                                    .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                    .SectionIndex = section,
                                    .Hot = look != ButtonNormal,
                                    .Manager = manager});
  }
  if (Images() && button->ImageIndex() >= 0 && button->ImageIndex() < Images()->Count())
    PaintToolBarButtonGlyph(this, button, drawState, picture.get(), lineHeight);

  if (button->Style() == tbsDropDown) {
    int arrowLook = ButtonNormal;
    if ((button == droppedButton_ && button->DropdownMenu()) || button->Down())
      arrowLook = ButtonPressed;
    else if (drawState.Hot)
      arrowLook = ButtonHot;
    face(TRect{areaWidth, 0, width, height}, arrowLook);
    const int arrow = manager->FixedIndexes().ScrollBtn[1].GlyphMask;
    if (manager->IsValidMaskIndex(arrow)) {
      const TsMaskData& mask = manager->Masks()[static_cast<size_t>(arrow)];
      const TPoint p = ToolDropDownArrowPos(areaWidth, arrowWidth, MaskStateWidth(mask),
                                            MaskStateHeight(mask), ButtonHeight());
      PaintMaskGlyph(picture.get(), p, arrowLook, mask, MakeBackgroundSource(picture.get(), 0, 0));
    }
  }
  // A disabled bar's buttons look disabled, though each one is still enabled itself.
  if (ToolButtonShowsDisabled(button->Enabled(), Enabled(), button->Indeterminate(),
                              DisabledImages() != nullptr))
    PaintDisabledEffect(picture.get(), btnDisabledKind_, GetControlBgColor(this), at, behind);
  BitBlt(dc, item.left, item.top, width, height, picture->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsToolBar::RepaintButton(int index) {
  if (index < 0 || index >= ButtonCount() || !HandleAllocated()) return;
  TToolButton* button = Buttons(index);
  if (!button->Visible() || IsSeparator(button)) return;
  TWindowDC dc(Handle());
  PaintButton(dc.Get(), button, TCustomDrawState{});
}

void TsToolBar::PaintDividers(HDC dc) {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (!manager || !d.CacheBitmap) return;
  const int section = manager->GetSectionIndex("DIVIDER");
  if (!manager->IsValidMaskIndex(manager->GetMaskIndex(section, "DIVIDER", "BORDERSMASK"))) return;
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* button = Buttons(i);
    if (!button->Visible() || !IsSeparator(button)) continue;
    // A plain separator shows a line only on a flat bar.
    if (!Flat() && button->Style() != tbsDivider) continue;
    RECT r{};
    if (!SendMessageA(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(&r)))
      continue;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 4) continue;
    std::unique_ptr<TBitmap> strip = CreateBmp32(w, h);
    CopyBitmapRect(strip.get(), 0, 0, d.CacheBitmap.get(),
                   Bounds(r.left + BorderOffsetX(), r.top + BorderOffsetY(), w, h));
    PaintItem(TsItemPaint{.Bitmap = strip.get(),
                          .R = TRect{w / 2 - 2, 2, w / 2 + 2, h - 2},
                          .SectionIndex = section,
                          .SectionName = "DIVIDER",
                          .Background = MakeBackgroundSource(strip.get(), 0, 0),
                          .Manager = manager});
    BitBlt(dc, r.left, r.top, w, h, strip->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
}

void TsToolBar::PaintNonClient() {
  TsCommonData& d = *skinData_;
  if (IsDestroying() || d.PaintingSuspended()) return;
  if (d.BackgroundDirty || !d.CacheBitmap || d.CacheBitmap->Width() != Width()) PrepareCache();
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int x = BorderOffsetX(), y = BorderOffsetY();
  ExcludeClipRect(dc, x, y, x + client.right, y + client.bottom);
  BitBlt(dc, 0, 0, Width(), Height(), d.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(Handle(), dc);
}

// ---- messages ---------------------------------------------------------------------------------

void TsToolBar::WndProc(TMessage& m) {
  TsCommonData& d = *skinData_;
  if (m.Msg == SM_SKINCMD) {
    if (TCmdHandler(*this).Answer(m)) return;
  }
  if (!IsControlReady(this) || !Skinned()) {
    TToolBar::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      if (AnimationRunning && !d.PrintTarget) {
        TPaintDC validated(Handle());
        return;
      }
      break;
    case WM_ERASEBKGND:
      d.PaintSuspended = d.PaintingSuspended();
      m.Result = 1;
      return;
    case WM_NCPAINT:
      PaintNonClient();
      return;
    case CM_COLORCHANGED:
      return;
    case CM_TEXTCHANGED:
      Repaint();
      return;
    case CN_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
      if (header->code == static_cast<UINT>(TBN_DELETINGBUTTON) && hotButtonIndex_ >= ButtonCount())
        hotButtonIndex_ = -1;
      if (header->code == static_cast<UINT>(TBN_DROPDOWN)) {
        const int index = reinterpret_cast<const NMTOOLBARA*>(m.LParam)->iItem - 1;
        if (index >= 0 && index < ButtonCount()) {
          droppedButton_ = Buttons(index);
          RepaintButton(index);
        }
      }
      break;
    }
    default:
      break;
  }
  if (HandleCommonMessage(m, &d)) return;
  TToolBar::WndProc(m);
  const bool designing = ComponentState().Contains(csDesigning);
  switch (m.Msg) {
    case WM_SIZE:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      d.BackgroundDirty = true;
      if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
      if (m.Msg == CM_ENABLEDCHANGED && HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case WM_PAINT:
      if (!AnimationRunning) {
        if (m.WParam) {
          PaintDividers(reinterpret_cast<HDC>(m.WParam));
        } else {
          TWindowDC dc(Handle());
          PaintDividers(dc.Get());
        }
      }
      break;
    case WM_MOUSEMOVE:
      if (!Flat() && !designing) {
        const int i = ButtonAtPos(
            TPoint{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))});
        if (i != hotButtonIndex_ && (i == -1 || Buttons(i)->Enabled())) {
          const int old = hotButtonIndex_;
          hotButtonIndex_ = i;
          if (old >= 0 && !Buttons(old)->Down()) RepaintButton(old);
          if (i >= 0 && !Buttons(i)->Down()) RepaintButton(i);
        }
      }
      break;
    case CM_MOUSELEAVE:
      if (!Flat() && !designing && hotButtonIndex_ >= 0) {
        const int old = hotButtonIndex_;
        hotButtonIndex_ = -1;
        if (!Buttons(old)->Down()) RepaintButton(old);
      }
      break;
    default:
      break;
  }
  // The drop-down menu has closed once the framework's handling of the notification returns.
  if (m.Msg == CN_NOTIFY && droppedButton_ &&
      reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(TBN_DROPDOWN)) {
    droppedButton_ = nullptr;
    hotButtonIndex_ = -1;
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
  }
}
