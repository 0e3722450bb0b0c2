#include "skin/controls/sPageControlWin32.h"

#include "framework/CanvasWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "skin/forms/sVclUtilsWin32.h"

using namespace sPageControl;

namespace {

HDC DCOf(TBitmap* bitmap) { return bitmap->Canvas()->Handle(); }

bool Inside(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

TRect Moved(TRect r, TPoint by) {
  r.Left += by.X;
  r.Right += by.X;
  r.Top += by.Y;
  r.Bottom += by.Y;
  return r;
}

TPoint ClientPoint(LPARAM lParam) {
  return TPoint{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool AnimatesPageChange(TsSkinManager* manager) {
  return manager && manager->AnimEffects()->PageChange.Active &&
         manager->AnimEffects()->PageChange.Time > 0;
}

constexpr UINT kRedrawAll = RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE;

}  // namespace

// ---- TsTabBtn ---------------------------------------------------------------------------------

TsTabBtn::TsTabBtn(TComponent* owner) : TsSpeedButton(owner) {
  SetFlat(true);
  SetCaption("X");
  Font()->SetStyle(TFontStyles{fsBold});
  Font()->SetColor(clRed);
  SetBounds(0, 0, 15, 15);
}

// ---- TsTabSheet -------------------------------------------------------------------------------

// The skin command as a page hears it: the page control answers for it, with the page's place
// added where a picture is handed out, and its children hear what reaches it.
class TsTabSheet::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsTabSheet& page)
      : TsControlCmdHandler(page, answers_), host_(&page), answers_(&host_), p_(page) {}

 protected:
  bool Listening() const override { return p_.SkinnedControl() != nullptr; }
  TsSkinManager* Manager() const override { return p_.SkinnedControl()->SkinData()->SkinManager(); }
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    BroadcastToChildren(&p_, m);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (NamesOurManager(m) && p_.HandleAllocated()) p_.Repaint();
    BroadcastToChildren(&p_, m);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (p_.HandleAllocated() && p_.Visible()) p_.Repaint();
    BroadcastToChildren(&p_, m);
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (p_.HandleAllocated())
      RedrawWindow(p_.Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
    ResumeChildrenPainting(&p_);
    return true;
  }
  bool OnIsSkinned(TSkinCmdMessage& m) override {
    m.Result = 1;
    return true;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override { return Forward(m); }
  bool OnIsBgGraphic(TSkinCmdMessage& m) override { return Forward(m); }
  bool OnGetBgColor(TSkinCmdMessage& m) override { return Forward(m); }
  bool OnGetSectionIndex(TSkinCmdMessage& m) override { return Forward(m); }
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    Forward(m);
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    // The page's origin lies at its place in the control's picture.
    if (request.BgType == 2 && !request.PleaseDraw) {
      request.X += p_.Left();
      request.Y += p_.Top();
    }
    return true;
  }
  bool OnSkinState(TSkinCmdMessage& m) override {
    if (m.LParam == 1) {
      BroadcastToChildren(&p_, m);
      return true;
    }
    return Forward(m);
  }

 private:
  bool Forward(TSkinCmdMessage& m) {
    TsPageControl* control = p_.SkinnedControl();
    m.Result = control->HandleAllocated()
                   ? SendSkinCmd(control->Handle(), m.Cmd, static_cast<LPARAM>(m.LParam))
                   : 0;
    return true;
  }

  TControlSkinHost host_;
  TsCommonData answers_;
  TsTabSheet& p_;
};

TsTabSheet::TsTabSheet(TComponent* owner)
    : TTabSheet(owner),
      skinData_(std::make_unique<TsTabSkinData>()),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {}

TsTabSheet::~TsTabSheet() {
  // The close button belongs to the page control's window: it goes with its tab.
  delete closeButton_;
  closeButton_ = nullptr;
}

void TsTabSheet::CreateParams(TCreateParams& params) {
  TTabSheet::CreateParams(params);
  params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW | CS_HREDRAW);
}

TsPageControl* TsTabSheet::SkinnedControl() const {
  return dynamic_cast<TsPageControl*>(PageControl());
}

void TsTabSheet::SetTabSkin(const std::string& value) {
  if (value == tabSkin_) return;
  tabSkin_ = value;
  TsPageControl* control = SkinnedControl();
  if (control && !control->IsLoading() && control->HandleAllocated()) {
    control->skinData_->BackgroundDirty = true;
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
  }
}

void TsTabSheet::SetButtonSkin(const std::string& value) {
  if (value == buttonSkin_) return;
  buttonSkin_ = value;
  if (TsPageControl* control = SkinnedControl()) control->skinData_->Invalidate();
}

void TsTabSheet::SetUseCloseBtn(bool value) {
  if (value == useCloseBtn_) return;
  useCloseBtn_ = value;
  if (TsPageControl* control = SkinnedControl()) {
    control->UpdateCloseButtons();
    control->skinData_->Invalidate();
  }
}

bool TsTabSheet::EraseFromControl(HDC dc) {
  TsPageControl* control = SkinnedControl();
  if (!dc || !control || !control->Skinned() || !Showing()) return false;
  TsCommonData& d = *control->skinData_;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended || !d.CacheBitmap) return true;
  BlitCacheExceptControls(this, d,
                          TsCacheBlit{.DC = dc,
                                      .Dest = TRect{0, 0, Width(), Height()},
                                      .Source = Bounds(Left(), Top(), Width(), Height())});
  PaintGraphicChildren(dc, this, TPoint{0, 0}, true);
  return true;
}

void TsTabSheet::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TTabSheet::WndProc(m);
    return;
  }
  TsPageControl* control = SkinnedControl();
  if (!control || !control->Skinned() || !HandleAllocated()) {
    TTabSheet::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (EraseFromControl(reinterpret_cast<HDC>(m.WParam))) {
        m.Result = 1;
        return;
      }
      break;
    case WM_PAINT:
      if (!Visible()) break;
      {
        // The picture comes with the erasing; painting only validates.
        InvalidateRect(Handle(), nullptr, TRUE);
        PAINTSTRUCT ps{};
        BeginPaint(Handle(), &ps);
        EndPaint(Handle(), &ps);
      }
      m.Result = 0;
      return;
    case WM_PRINT:
      EraseFromControl(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_MOUSEMOVE:
      if (TsSkinRuntimeHotWindow) TsSkinRuntimeHotWindow(nullptr);
      break;
    case WM_PARENTNOTIFY:
      TTabSheet::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE) {
        NotifyControlChanged(this);
        SendSkinCmd(reinterpret_cast<HWND>(m.LParam), CmdSkinState, 1);
      }
      return;
    default:
      break;
  }
  TTabSheet::WndProc(m);
}

// ---- TsPageControl: the skin command ----------------------------------------------------------

// The skin command as the page control answers it: a skin change reaches the pages too and
// brings the close buttons' image, and the control repaints whole.
class TsPageControl::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsPageControl& control)
      : TsControlCmdHandler(control, *control.skinData_), c_(control) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    BroadcastToChildren(&c_, m);
    if (!NamesOurManager(m)) return true;
    TsSkinCmdHandler::OnSkinChanged(m);
    c_.LoadCloseButtonImage();
    c_.UpdateCloseButtons();
    Data().BackgroundDirty = true;
    // The pages show the new picture too.
    if (c_.HandleAllocated())
      RedrawWindow(c_.Handle(), nullptr, nullptr, kRedrawAll | RDW_ALLCHILDREN);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) {
      TsSkinCmdHandler::OnRemoveSkin(m);
      c_.hotTab_ = -1;
      c_.UpdateCloseButtons();
      if (c_.HandleAllocated())
        RedrawWindow(c_.Handle(), nullptr, nullptr, kRedrawAll | RDW_ALLCHILDREN);
    }
    BroadcastToChildren(&c_, m);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) {
      TsSkinCmdHandler::OnRefresh(m);
      Data().BackgroundDirty = true;
      c_.UpdateCloseButtons();
      if (c_.HandleAllocated() && c_.Showing())
        RedrawWindow(c_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    }
    BroadcastToChildren(&c_, m);
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned() || !Data().PaintSuspended) return TsSkinCmdHandler::OnResumePainting(m);
    Data().PaintSuspended = false;
    RedrawWindow(c_.Handle(), nullptr, nullptr, kRedrawAll | RDW_ALLCHILDREN);
    if (TTabSheet* page = c_.TPageControl::ActivePage())
      if (page->HandleAllocated()) SendSkinCmd(page->Handle(), CmdResumePainting, m.LParam);
    return true;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    m.Result = Data().PaintSuspended ? 1 : 0;
    return true;
  }

 private:
  TsPageControl& c_;
};

// ---- TsPageControl ----------------------------------------------------------------------------

TsPageControl::TsPageControl(TComponent* owner)
    : TPageControl(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::PageControl;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsPageControl::~TsPageControl() {
  cmdHandler_.reset();
  skinData_.reset();
}

void TsPageControl::Loaded() {
  TPageControl::Loaded();
  skinData_->Loaded();
  if (TTabSheet* page = TPageControl::ActivePage()) NotifyControlChanged(page);
  UpdateCloseButtons();
}

void TsPageControl::CreateWnd() {
  TPageControl::CreateWnd();
  skinData_->Loaded();
  LoadCloseButtonImage();
  UpdateCloseButtons();
}

bool TsPageControl::Skinned() const {
  return skinData_ && IsControlReady(const_cast<TsPageControl*>(this)) && skinData_->IsSkinned();
}

TsTabSheet* TsPageControl::Page(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return dynamic_cast<TsTabSheet*>(Pages(index));
}

TsTabSide TsPageControl::Side() const { return static_cast<TsTabSide>(TabPosition()); }

void TsPageControl::SetShowCloseBtns(bool value) {
  if (value == showCloseBtns_) return;
  showCloseBtns_ = value;
  if (Skinned() && value) LoadCloseButtonImage();
  UpdateCloseButtons();
  if (Skinned()) {
    skinData_->BackgroundDirty = true;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
  }
}

void TsPageControl::SetCloseBtnSkin(const std::string& value) {
  if (value == closeBtnSkin_) return;
  closeBtnSkin_ = value;
  LoadCloseButtonImage();
  skinData_->Invalidate();
}

// ---- geometry ---------------------------------------------------------------------------------

TRect TsPageControl::SkinTabRect(int pageIndex, bool active) {
  TsTabSheet* page = Page(pageIndex);
  if (!page || !page->TabVisible() || page->TabIndex() < 0) return TRect{};
  return sPageControl::SkinTabRect(TabRect(page->TabIndex()), Side(), active, Style() == tsTabs);
}

int TsPageControl::TabAtPoint(TPoint p) {
  for (int i = 0; i < PageCount(); ++i)
    if (Inside(SkinTabRect(i, false), p)) return i;
  return -1;
}

TRect TsPageControl::CloseButtonRect(int pageIndex) {
  TsTabSheet* page = Page(pageIndex);
  if (!showCloseBtns_ || closeMask_ < 0 || !page || !page->UseCloseBtn()) return TRect{};
  const TRect tab = SkinTabRect(pageIndex, page == TPageControl::ActivePage());
  if (tab.Width() <= 0) return TRect{};
  return sPageControl::CloseButtonRect(tab, closeWidth_, closeHeight_);
}

TRect TsPageControl::TabsArea() {
  bool hasTabs = false;
  for (int i = 0; i < PageCount() && !hasTabs; ++i) hasTabs = Pages(i)->TabVisible();
  return sPageControl::TabsArea(TSize{Width(), Height()}, DisplayRect(), Side(), hasTabs);
}

TRect TsPageControl::BodyArea() {
  bool hasTabs = false;
  for (int i = 0; i < PageCount() && !hasTabs; ++i) hasTabs = Pages(i)->TabVisible();
  return sPageControl::BodyArea(TSize{Width(), Height()}, DisplayRect(), Side(), hasTabs);
}

TsPageControl::TTabLook TsPageControl::TabLookOf(TsTabSheet* page) const {
  TsSkinManager* manager = skinData_->SkinManager();
  TTabLook look;
  if (!manager || !page) return look;
  const TsFixedIndexes& fixed = manager->FixedIndexes();
  // A skin without tabs paints none.
  if (fixed.Tab[0] <= 0) return look;
  if (Style() == tsTabs) {
    if (!page->TabSkin().empty()) {
      look.Name = page->TabSkin();
      look.Section = manager->GetSectionIndex(look.Name);
      // Looked up under the section's parent class too.
      look.Mask = manager->GetMaskIndex(look.Section, look.Name, "BORDERSMASK");
      if (look.Section >= 0) return look;
    }
    const auto side = static_cast<size_t>(TabPosition());
    look.Section = fixed.Tab[side];
    look.Mask = fixed.TabMask[side];
    look.Name = manager->IsValidSectionIndex(look.Section)
                    ? manager->Sections()[static_cast<size_t>(look.Section)].ClassName
                    : std::string{};
    return look;
  }
  look.Name = !page->ButtonSkin().empty() ? page->ButtonSkin()
              : Style() == tsButtons      ? std::string{"BUTTON"}
                                          : std::string{"TOOLBUTTON"};
  look.Section = manager->GetSectionIndex(look.Name);
  look.Mask = FindMaskIndex(manager, look.Name, "BORDERSMASK");
  return look;
}

// ---- painting ---------------------------------------------------------------------------------

void TsPageControl::PaintTab(int pageIndex, int state, TPoint offset, TBitmap* target) {
  TsTabSheet* page = Page(pageIndex);
  if (!page || !page->TabVisible()) return;
  const bool active = state == 2 && page == TPageControl::ActivePage();
  const TRect r = SkinTabRect(pageIndex, active);
  if (r.Width() <= 0 || r.Height() <= 0 || (state == 1 && r.Left < 0)) return;
  TsSkinManager* manager = skinData_->SkinManager();
  const TTabLook look = TabLookOf(page);
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (!manager || look.Section < 0 || !cache) return;
  const TsPaintState paintState =
      LimitSectionState(*manager, look.Section, static_cast<TsPaintState>(state));
  if (manager->IsValidMaskIndex(look.Mask)) {
    auto tab = CreateBmp32(r.Width(), r.Height());
    PaintItem(TsItemPaint{.Bitmap = tab.get(),
                          .R = TRect{0, 0, r.Width(), r.Height()},
                          .SectionIndex = look.Section,
                          .SectionName = look.Name,
                          .State = paintState,
                          .Background = MakeBackgroundSource(cache, r.Left, r.Top),
                          .Manager = manager});
    const TRect place = Moved(r, offset);
    TSaveDC saved(DCOf(target));
    // An inactive tab reaches under the body, which keeps its edge over it.
    if (!active && (TabPosition() == tpTop || TabPosition() == tpLeft)) {
      const TRect body = Moved(BodyArea(), offset);
      ExcludeClipRect(DCOf(target), body.Left, body.Top, body.Right, body.Bottom);
    }
    BitBlt(DCOf(target), place.Left, place.Top, r.Width(), r.Height(), DCOf(tab.get()), 0, 0,
           SRCCOPY);
  }
  PaintTabCaption(page, state, Moved(r, offset), look, target);
}

void TsPageControl::PaintTabCaption(TsTabSheet* page, int state, const TRect& place,
                                    const TTabLook& look, TBitmap* target) {
  const std::string caption = page->Caption();
  if (caption.empty()) return;
  TsSkinManager* manager = skinData_->SkinManager();
  TCanvas* canvas = target->Canvas();
  canvas->Font()->Assign(Font());
  if (TabPosition() == tpTop || TabPosition() == tpBottom) {
    TRect r = place;
    r.Bottom -= 1;
    DrawSectionText(canvas, TsSectionText{.Text = caption,
                                          .R = r,
                                          .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                          .SectionIndex = look.Section,
                                          .Hot = state != 0,
                                          .Enabled = true,
                                          .Manager = manager});
    if (Focused() && state == 2 && page == TPageControl::ActivePage()) {
      SIZE extent{};
      GetTextExtentPoint32A(DCOf(target), caption.c_str(), static_cast<int>(caption.size()),
                            &extent);
      const int x = r.Left + (r.Width() - extent.cx) / 2;
      const int y = r.Top + (r.Height() - extent.cy) / 2;
      DrawDottedFrame(canvas, TRect{x - 2, y - 1, x + extent.cx + 2, y + extent.cy + 1},
                      static_cast<TColor>(0xFF00000F), clBlack);
    }
    return;
  }
  // Side tabs: the caption runs along the tab in a turned copy of the control's font.
  LOGFONTA lf{};
  GetObjectA(FontHandle(Font()), sizeof lf, &lf);
  const int turn = TabPosition() == tpLeft ? 900 : 2700;
  lf.lfEscapement = lf.lfOrientation = turn;
  lf.lfWeight = FW_NORMAL;
  if (std::string(lf.lfFaceName) == "MS Sans Serif") lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  TGdiObject<HFONT> font(CreateFontIndirectA(&lf));
  HDC dc = DCOf(target);
  TSaveDC saved(dc);
  SelectObject(dc, font.Get());
  SetBkMode(dc, TRANSPARENT);
  TColor colour = clGray;
  if (Enabled() && manager && manager->IsValidSectionIndex(look.Section)) {
    const TsGeneralData& section = manager->Sections()[static_cast<size_t>(look.Section)];
    colour = state == 0 ? section.FontColor : section.HotFontColor;
  }
  SetTextColor(dc, ColorToRGB(colour));
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  const int w = place.Width(), h = place.Height();
  RECT clip{place.Left, place.Top, place.Right, place.Bottom};
  if (TabPosition() == tpLeft) {
    const int x = place.Left + (w - extent.cy) / 2;
    const int y = place.Bottom - (h - extent.cx) / 2;
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &clip, caption.c_str(), static_cast<UINT>(caption.size()),
                nullptr);
  } else {
    const int x = place.Left - 2 + (w - extent.cy) / 2 + extent.cy;
    const int y = place.Top - 1 + (h - extent.cx) / 2;
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &clip, caption.c_str(), static_cast<UINT>(caption.size()),
                nullptr);
  }
}

void TsPageControl::PaintTabs() {
  if (ComponentState().Contains(csDestroying)) return;
  TBitmap* cache = skinData_->CacheBitmap.get();
  const TRect strip = TabsArea();
  const int rows = std::max(1, RowCount());
  TTabSheet* active = TPageControl::ActivePage();
  for (int row = 1; row <= rows; ++row)
    for (int i = 0; i < PageCount(); ++i) {
      TsTabSheet* page = Page(i);
      if (!page || page == active || !page->TabVisible()) continue;
      if (TabRow(TabRect(page->TabIndex()), strip, Side(), rows) != row) continue;
      PaintTab(i, 0, TPoint{0, 0}, cache);
    }
}

void TsPageControl::PrepareCache() {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  // A side's own body section, when the skin has one: else the control goes unskinned.
  bodySection_ = d.SkinSection();
  if (bodySection_ == "PAGECONTROL" && TabPosition() != tpTop && manager) {
    static const char* const kSides[] = {"", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT",
                                         "PAGECONTROLRIGHT"};
    bodySection_ = kSides[TabPosition()];
    d.SectionIndex = manager->GetSectionIndex(bodySection_);
    if (d.SectionIndex < 0) return;
  }
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  const TRect strip = TabsArea();
  if (behind.HasBitmap && behind.Bmp) {
    BitBlt(DCOf(cache), strip.Left, strip.Top, strip.Width(), strip.Height(), DCOf(behind.Bmp),
           Left() + behind.X + strip.Left, Top() + behind.Y + strip.Top, SRCCOPY);
  } else {
    PaintSolidRect(DCOf(cache), strip, behind.FillColor);
  }
  if (PageCount() > 0) PaintTabs();
  const TRect body = BodyArea();
  PaintControlItem(d, behind, cache, TPoint{Left() + body.Left, Top() + body.Top}, body,
                   TsPaintState::Normal);
  d.BackgroundDirty = false;
}

void TsPageControl::OwnPaint(HDC dc) {
  TsCommonData& d = *skinData_;
  if (!Skinned() || IsLoading() || !dc) return;
  if (Parent() && Parent()->ComponentState().Contains(csDestroying)) return;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  const bool sizeChanged =
      !d.CacheBitmap || d.CacheBitmap->Width() != Width() || d.CacheBitmap->Height() != Height();
  if (d.BackgroundDirty || sizeChanged || d.PartlyHidden) PrepareCache();
  d.PartlyHidden = false;
  if (!d.IsSkinned()) return;
  TTabSheet* active = TPageControl::ActivePage();
  const int activeIndex = ActivePageIndex();
  {
    TSaveDC saved(dc);
    if (active) {
      const TRect tab = SkinTabRect(activeIndex, true);
      ExcludeClipRect(dc, tab.Left, tab.Top, tab.Right, tab.Bottom);
    }
    BlitCacheExceptControls(this, d,
                            TsCacheBlit{.DC = dc,
                                        .Dest = TRect{0, 0, Width(), Height()},
                                        .Source = TRect{0, 0, Width(), Height()}});
    PaintCloseButtons(dc);
    PaintGraphicChildren(dc, this, TPoint{0, 0}, true);
  }
  if (active) PaintTabInto(activeIndex, 2, dc);
  if (hotTab_ >= 0 && hotTab_ != activeIndex) PaintTabInto(hotTab_, 1, dc);
  visibleTabCount_ = 0;
  for (int i = 0; i < PageCount(); ++i) visibleTabCount_ += Pages(i)->TabVisible() ? 1 : 0;
}

void TsPageControl::PaintTabInto(int pageIndex, int state, HDC dc) {
  TsTabSheet* page = Page(pageIndex);
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (!page || !cache || !dc) return;
  const TRect r = SkinTabRect(pageIndex, state == 2 && page == TPageControl::ActivePage());
  if (r.Width() <= 0 || r.Height() <= 0) return;
  auto tab = CreateBmp32(r.Width(), r.Height());
  // What the cache shows there first: the parts of the tab under the body keep the body.
  BitBlt(DCOf(tab.get()), 0, 0, r.Width(), r.Height(), DCOf(cache), r.Left, r.Top, SRCCOPY);
  PaintTab(pageIndex, state, TPoint{-r.Left, -r.Top}, tab.get());
  const TRect close = CloseButtonRect(pageIndex);
  if (close.Width() > 0)
    PaintCloseBtn(tab.get(), TPoint{close.Left - r.Left, close.Top - r.Top},
                  CloseButtonState(pageIndex));
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), DCOf(tab.get()), 0, 0, SRCCOPY);
}

// ---- close buttons ----------------------------------------------------------------------------

void TsPageControl::LoadCloseButtonImage() {
  closeMask_ = -1;
  closeWidth_ = closeHeight_ = 0;
  TsSkinManager* manager = skinData_->SkinManager();
  if (!manager || !manager->CurrentSkin().Active) return;
  if (!closeBtnSkin_.empty()) {
    closeMask_ = manager->GetSectionIndex(closeBtnSkin_);
    if (closeMask_ >= 0) closeWidth_ = closeHeight_ = 15;
    return;
  }
  const int global = manager->FixedIndexes().GlobalInfo;
  closeMask_ = manager->GetMaskIndex(global, "GLOBALINFO", "SICONCLOSE");
  if (!manager->IsValidMaskIndex(closeMask_))
    closeMask_ = manager->GetMaskIndex(global, "GLOBALINFO", "BICONCLOSE");
  if (!manager->IsValidMaskIndex(closeMask_)) {
    closeMask_ = -1;
    return;
  }
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(closeMask_)];
  closeWidth_ = MaskStateWidth(mask);
  closeHeight_ = MaskStateHeight(mask);
}

void TsPageControl::PaintCloseBtn(TBitmap* target, TPoint at, int state) {
  TsSkinManager* manager = skinData_->SkinManager();
  if (closeMask_ < 0 || !manager || closeWidth_ <= 0 || closeHeight_ <= 0) return;
  auto button = CreateBmp32(closeWidth_, closeHeight_);
  HDC dc = DCOf(button.get());
  BitBlt(dc, 0, 0, closeWidth_, closeHeight_, DCOf(target), at.X, at.Y, SRCCOPY);
  if (!closeBtnSkin_.empty()) {
    PaintItem(TsItemPaint{
        .Bitmap = button.get(),
        .R = TRect{0, 0, closeWidth_, closeHeight_},
        .SectionIndex = closeMask_,
        .SectionName = closeBtnSkin_,
        .State = LimitSectionState(*manager, closeMask_, static_cast<TsPaintState>(state)),
        .Background = MakeBackgroundSource(button.get(), 0, 0),
        .Manager = manager});
    TCanvas* canvas = button->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Font()->SetStyle(TFontStyles{fsBold});
    canvas->Font()->SetColor(clRed);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clRed));
    SelectObject(dc, FontHandle(canvas->Font()));
    SIZE extent{};
    GetTextExtentPoint32A(dc, "X", 1, &extent);
    const int x = (closeWidth_ - extent.cx) / 2 + (state == 2 ? 1 : 0);
    const int y = (closeHeight_ - extent.cy) / 2 + (state == 2 ? 1 : 0);
    TextOutA(dc, x, y, "X", 1);
  } else {
    PaintMaskGlyph(button.get(), TPoint{0, 0}, state,
                   manager->Masks()[static_cast<size_t>(closeMask_)],
                   MakeBackgroundSource(button.get(), 0, 0));
  }
  BitBlt(DCOf(target), at.X, at.Y, closeWidth_, closeHeight_, dc, 0, 0, SRCCOPY);
}

int TsPageControl::CloseButtonState(int pageIndex) const {
  if (pressedClose_ == pageIndex && hotClose_ == pageIndex) return 2;
  return hotClose_ == pageIndex ? 1 : 0;
}

void TsPageControl::PaintCloseButtons(HDC dc) {
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (!showCloseBtns_ || closeMask_ < 0 || !cache) return;
  TTabSheet* active = TPageControl::ActivePage();
  for (int i = 0; i < PageCount(); ++i) {
    if (Pages(i) == active) continue;  // painted with its tab
    const TRect r = CloseButtonRect(i);
    if (r.Width() <= 0) continue;
    auto button = CreateBmp32(r.Width(), r.Height());
    BitBlt(DCOf(button.get()), 0, 0, r.Width(), r.Height(), DCOf(cache), r.Left, r.Top, SRCCOPY);
    PaintCloseBtn(button.get(), TPoint{0, 0}, CloseButtonState(i));
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), DCOf(button.get()), 0, 0, SRCCOPY);
  }
}

void TsPageControl::UpdateCloseButtons() {
  const bool wanted =
      showCloseBtns_ && !Skinned() && HandleAllocated() && !ComponentState().Contains(csDestroying);
  for (int i = 0; i < PageCount(); ++i) {
    TsTabSheet* page = Page(i);
    if (!page) continue;
    if (!wanted || !page->UseCloseBtn() || !page->TabVisible()) {
      delete page->closeButton_;
      page->closeButton_ = nullptr;
      continue;
    }
    if (!page->closeButton_) {
      page->closeButton_ = new TsTabBtn(nullptr);
      page->closeButton_->SetParent(this);
      page->closeButton_->SetOnClick([this, page](TObject*) {
        for (int k = 0; k < PageCount(); ++k)
          if (Pages(k) == page) {
            CloseTab(k);
            return;
          }
      });
    }
    const TRect item = TabRect(page->TabIndex());
    const int x = TabPosition() == tpLeft ? item.Left + 1 : item.Right - 16;
    page->closeButton_->SetBounds(x, item.Top + 1, 15, 15);
    page->closeButton_->SetVisible(true);
  }
}

void TsPageControl::CloseTab(int pageIndex) {
  TsTabSheet* page = Page(pageIndex);
  if (!page) return;
  bool canClose = true;
  TskCloseAction action = acaFree;
  if (OnCloseBtnClick_) OnCloseBtnClick_(this, pageIndex, canClose, action);
  if (!canClose || Page(pageIndex) != page) return;
  const int formerActive = ActivePageIndex();
  hotTab_ = hotClose_ = pressedClose_ = -1;
  {
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    TScopeExit redraw([this] { SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0); });
    if (action == acaFree) {
      // A button's click may be what runs here: the button goes later, with the message.
      if (page->closeButton_) {
        page->closeButton_->SetVisible(false);
        page->closeButton_->SetParent(nullptr);
        page->closeButton_ = nullptr;
      }
      delete page;
    } else {
      page->SetTabVisible(false);
    }
    const int next =
        PageAfterClose(TsClosedTab{formerActive, pageIndex, PageCount(), action == acaFree},
                       [this](int i) { return Pages(i)->TabVisible(); });
    if (next >= 0) SetActivePageIndex(next);
    UpdateCloseButtons();
  }
  skinData_->BackgroundDirty = true;
  RedrawWindow(Handle(), nullptr, nullptr, kRedrawAll | RDW_ALLCHILDREN);
}

// ---- mouse ------------------------------------------------------------------------------------

void TsPageControl::RepaintTab(int pageIndex) {
  if (pageIndex < 0 || !HandleAllocated()) return;
  TWindowDC dc(Handle());
  const int activeIndex = ActivePageIndex();
  if (pageIndex != activeIndex)
    PaintTabInto(pageIndex, pageIndex == hotTab_ && HotTrack() ? 1 : 0, dc.Get());
  // The active tab stands over its neighbours.
  if (activeIndex >= 0) PaintTabInto(activeIndex, 2, dc.Get());
}

void TsPageControl::SetHotTab(int pageIndex) {
  if (pageIndex == ActivePageIndex()) pageIndex = -1;
  if (pageIndex == hotTab_) return;
  const int former = hotTab_;
  hotTab_ = pageIndex;
  RepaintTab(former);
  RepaintTab(hotTab_);
}

bool TsPageControl::HandleMouse(TMessage& m) {
  const bool designing = ComponentState().Contains(csDesigning);
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      if (designing) return false;
      if (TsSkinRuntimeHotWindow) TsSkinRuntimeHotWindow(nullptr);
      const TPoint p = ClientPoint(m.LParam);
      if (!HotTrack() && Style() == tsTabs && !showCloseBtns_) return false;
      const bool inStrip = Inside(TabsArea(), p);
      // A paint still pending would cover what is repainted now.
      if (inStrip) UpdateWindow(Handle());
      int overClose = -1;
      const int activeIndex = ActivePageIndex();
      if (inStrip && Inside(CloseButtonRect(activeIndex), p)) overClose = activeIndex;
      for (int i = 0; i < PageCount() && overClose < 0 && inStrip; ++i)
        if (Inside(CloseButtonRect(i), p)) overClose = i;
      if (overClose != hotClose_) {
        const int former = hotClose_;
        hotClose_ = overClose;
        RepaintTab(former);
        RepaintTab(hotClose_);
      }
      TPageControl::WndProc(m);
      SetHotTab(inStrip && (HotTrack() || Style() != tsTabs) ? TabAtPoint(p) : -1);
      if (inStrip) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
      }
      return true;
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE: {
      if (designing || (!HotTrack() && !showCloseBtns_)) return false;
      TPageControl::WndProc(m);
      const int formerClose = hotClose_;
      hotClose_ = -1;
      SetHotTab(-1);
      RepaintTab(formerClose);
      return true;
    }
    case WM_LBUTTONDOWN: {
      if (!showCloseBtns_) return false;
      const TPoint p = ClientPoint(m.LParam);
      const int activeIndex = ActivePageIndex();
      int on = Inside(CloseButtonRect(activeIndex), p) ? activeIndex : -1;
      for (int i = 0; i < PageCount() && on < 0; ++i)
        if (Inside(CloseButtonRect(i), p)) on = i;
      if (on < 0) return false;
      // The press belongs to the button: the tab under it is not chosen.
      pressedClose_ = hotClose_ = on;
      SetCapture(Handle());
      RepaintTab(on);
      return true;
    }
    case WM_LBUTTONUP: {
      if (pressedClose_ < 0) return false;
      const int on = pressedClose_;
      pressedClose_ = -1;
      if (GetCapture() == Handle()) ReleaseCapture();
      if (Inside(CloseButtonRect(on), ClientPoint(m.LParam)))
        CloseTab(on);
      else
        RepaintTab(on);
      return true;
    }
    default:
      return false;
  }
}

// ---- the window procedure ---------------------------------------------------------------------

bool TsPageControl::HandleNotify(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  if (!header || ComponentState().Contains(csDesigning)) return false;
  TsSkinManager* manager = skinData_->SkinManager();
  if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
    if (AnimatesPageChange(manager)) CoverWithSnapshot(this);
    TPageControl::WndProc(m);
    if (m.Result != 0 || !ChangeCoverWindow()) {
      FreeChangeCover();
      POINT cursor{};
      GetCursorPos(&cursor);
      ::ScreenToClient(Handle(), &cursor);
      PostMessageA(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
    }
    return true;
  }
  if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
    TPageControl::WndProc(m);
    if (AnimatesPageChange(manager) && ChangeCoverWindow()) {
      skinData_->BackgroundDirty = true;
      AnimateFromSnapshot(this, manager->AnimEffects()->PageChange.Time, 255);
      if (TTabSheet* page = TPageControl::ActivePage())
        if (page->HandleAllocated())
          RedrawWindow(page->Handle(), nullptr, nullptr,
                       RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    return true;
  }
  return false;
}

bool TsPageControl::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_PAINT: {
      if (!Visible()) return false;
      PAINTSTRUCT ps{};
      HDC painted = BeginPaint(Handle(), &ps);
      if (!AnimationRunning) OwnPaint(m.WParam ? reinterpret_cast<HDC>(m.WParam) : painted);
      EndPaint(Handle(), &ps);
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_PRINT:
      d.PaintSuspended = false;
      d.BackgroundDirty = true;
      OwnPaint(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_HSCROLL:
      if (!IsLoading()) {
        d.BackgroundDirty = true;
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
      }
      return false;
    case TCM_SETCURSEL:
    case TCM_INSERTITEMA:
    case TCM_INSERTITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
      d.BackgroundDirty = true;
      return false;
    case CN_NOTIFY:
      return HandleNotify(m);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      TPageControl::WndProc(m);
      // The focus frame comes or goes with the active tab.
      if (ActivePageIndex() >= 0 && HandleAllocated()) RepaintTab(ActivePageIndex());
      return true;
    }
    default:
      return HandleMouse(m);
  }
}

void TsPageControl::UpdateActivePage() {
  hotTab_ = -1;
  TPageControl::UpdateActivePage();
  if (!Skinned() || !HandleAllocated() || AnimationRunning) return;
  skinData_->BackgroundDirty = true;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
}

void TsPageControl::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TPageControl::WndProc(m);
    return;
  }
  if (!Skinned()) {
    TPageControl::WndProc(m);
    if ((m.Msg == WM_SIZE || m.Msg == WM_WINDOWPOSCHANGED) && showCloseBtns_) UpdateCloseButtons();
    return;
  }
  if (HandleSkinned(m)) return;
  if (HandleCommonMessage(m, skinData_.get())) return;
  TPageControl::WndProc(m);
  if (m.Msg == WM_SIZE && !IsLoading()) {
    skinData_->BackgroundDirty = true;
    UpdateCloseButtons();
  }
}
