#include "skin/forms/skDialogWndWin32.h"

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/GraphicsWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sFrameMouse.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "skin/forms/skDialsWin32.h"
#include "skin/forms/skSystemMenuWin32.h"

namespace {

// DT_SINGLELINE, DT_VCENTER, DT_NOPREFIX, DT_END_ELLIPSIS.
constexpr uint32_t CaptionTextFlags = 0x8824;
// A disabled or inactive title button is its normal look half over the title.
constexpr uint8_t HalfTransparent = 128;
constexpr int MissingMaskSize = 21;

HDC ImageDC(TBitmap* image) { return image->Canvas()->Handle(); }

TRect WindowRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// The screen point of a mouse message (signed: left of or above the primary monitor).
POINT PointOf(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool IsButtonCode(int code) {
  return code == TitleHitClose || code == TitleHitMaximize || code == TitleHitMinimize ||
         code == TitleHitHelp;
}

}  // namespace

// The dialog window as the owner of the adapter's skin data.
class TskDialogWnd::THost : public ISkinDataHost {
 public:
  explicit THost(HWND wnd) : wnd_(wnd) {}
  bool IsControl() const override { return false; }
  bool IsWindowed() const override { return true; }
  bool IsDestroying() const override { return !IsWindow(wnd_); }
  bool IsLoading() const override { return false; }
  bool IsEnabled() const override { return IsWindowEnabled(wnd_) != FALSE; }
  std::string ClassName() const override { return GetWindowClassName(wnd_); }
  ISkinDataHost* Parent() const override { return nullptr; }
  TColor Color() const override { return static_cast<TColor>(GetSysColor(COLOR_BTNFACE)); }
  void SetColor(TColor) override {}
  TColor FontColor() const override { return static_cast<TColor>(GetSysColor(COLOR_BTNTEXT)); }
  void SetFontColor(TColor) override {}
  intptr_t SkinCmd(int cmd, int lowWord, intptr_t lParam) override {
    return SendSkinCmd(wnd_, cmd, lParam, lowWord);
  }
  void Redraw() override {
    RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  TRect BoundsRect() const override { return WindowRectOf(wnd_); }

 private:
  HWND wnd_;
};

// The skin command as the dialog answers it; the rest are the skin data's answers.
class TskDialogWnd::TCmdHandler : public TsSkinCmdHandler {
 public:
  explicit TCmdHandler(TskDialogWnd& d) : TsSkinCmdHandler(*d.skinData_), d_(d) {}

 protected:
  TsSkinManager* Manager() const override { return d_.manager_; }
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return true;
    d_.UpdateSkin();
    // The children follow the new skin too.
    for (HWND child = GetWindow(d_.wnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SendSkinCmd(child, m.Cmd, m.LParam, m.LowWord);
    d_.RepaintFrame();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return true;
    d_.UpdateSkin();
    d_.RepaintFrame();
    return true;
  }
  bool OnRepaintAll(TSkinCmdMessage&) override {
    d_.RepaintFrame();
    return false;
  }
  bool OnRescanChildren(TSkinCmdMessage&) override {
    d_.AdaptChildren();
    return true;
  }
  bool OnGetBgColor(TSkinCmdMessage& m) override {
    m.Result = static_cast<intptr_t>(Data().BgColor(0));
    return true;
  }
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    request.X = request.Y = 0;
    d_.PaintFormCache();
    Data().FillBackgroundRequest(request, 0);
    if (request.BgType == 2 && !request.PleaseDraw && !request.Bmp)
      request.Bmp = Data().CacheBitmap.get();
    // Children are placed in the client area; the image begins at the window's corner.
    request.X += d_.GetClientOffsetX();
    request.Y += d_.GetClientOffsetY();
    return true;
  }
  bool OnGetClientOffset(TSkinCmdMessage& m) override {
    m.Result = static_cast<intptr_t>(MAKELONG(static_cast<WORD>(d_.GetClientOffsetX()),
                                              static_cast<WORD>(d_.GetClientOffsetY())));
    return true;
  }

 private:
  TskDialogWnd& d_;
};

// ---- life cycle ------------------------------------------------------------------------------

TskDialogWnd::TskDialogWnd(HWND wnd, TsSkinManager* manager, TskProvider* owner)
    : wnd_(wnd), manager_(manager), owner_(owner) {
  host_ = std::make_unique<THost>(wnd);
  skinData_ = std::make_unique<TsCommonData>(host_.get(), true);
  if (manager_) skinData_->SetSkinManager(manager_);
  skinData_->SetSkinSection("DIALOG");
  cmdHandler_ = std::make_unique<TCmdHandler>(*this);
}

TskDialogWnd::~TskDialogWnd() {
  if (!detached_) Release();
}

// ---- animations ------------------------------------------------------------------------------

// The rescan message's wParam when the dialog has painted after its show animation.
constexpr WPARAM ShowEnded = 1;

bool TskDialogWnd::ShowAnimationDue() const {
  if (!manager_ || !manager_->Active() || !HasLayeredWindows()) return false;
  const TskFormAnimation& show = manager_->AnimEffects()->DialogShow;
  return show.Active && AnimationFrames(show.Time) > 0;
}

bool TskDialogWnd::HideAnimationDue() const {
  if (!manager_ || !manager_->Active() || !HasLayeredWindows()) return false;
  const TskFormAnimation& hide = manager_->AnimEffects()->DialogHide;
  return hide.Active && AnimationFrames(hide.Time) > 0 && IsWindowVisible(wnd_) && !IsIconic(wnd_);
}

std::unique_ptr<TBitmap> TskDialogWnd::Snapshot() {
  TBitmap* image = PaintFormCache();
  if (!image) return nullptr;
  auto snapshot = CreateBmp32(image->Width(), image->Height());
  HDC dc = ImageDC(snapshot.get());
  BitBlt(dc, 0, 0, image->Width(), image->Height(), ImageDC(image), 0, 0, SRCCOPY);
  {
    // The client with its children, printed at the client's place in the window.
    TSaveDC saved(dc);
    const TsFormFacts facts = FormFacts();
    SetViewportOrgEx(dc, ::GetClientOffsetX(facts), ::GetClientOffsetY(facts), nullptr);
    IntersectClipRect(dc, 0, 0, facts.ClientWidth, facts.ClientHeight);
    SendMessageA(wnd_, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
  }
  GdiFlush();
  FillAlphaRect(snapshot.get(), TRect{0, 0, snapshot->Width(), snapshot->Height()}, 255, false);
  return snapshot;
}

void TskDialogWnd::Prepare() {
  savedStyle_ = static_cast<uint32_t>(GetWindowLongPtrA(wnd_, GWL_STYLE));
  savedExStyle_ = static_cast<uint32_t>(GetWindowLongPtrA(wnd_, GWL_EXSTYLE));
  if (!subclass_.Attach(wnd_, [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        return Handle(msg, wp, lp, result);
      }))
    throw EOSError("The dialog window could not be skinned");
  prepared_ = true;
  UpdateSkin();
  sysMenu_ = std::make_unique<TskSystemMenu>(*this);
  // The system would draw and answer its own title buttons and menu: the skin's stand in.
  if (savedStyle_ & WS_SYSMENU) {
    SetWindowLongPtrA(wnd_, GWL_STYLE,
                      static_cast<LONG_PTR>(savedStyle_ & ~static_cast<uint32_t>(WS_SYSMENU)));
    sysMenuRemoved_ = true;
  }
}

void TskDialogWnd::Release() {
  if (detached_) return;
  detached_ = true;
  subclass_.Detach();
  if (!IsWindow(wnd_)) return;
  if (sysMenuRemoved_)
    SetWindowLongPtrA(wnd_, GWL_STYLE, GetWindowLongPtrA(wnd_, GWL_STYLE) | WS_SYSMENU);
  sysMenuRemoved_ = false;
  if (regionSet_) SetWindowRgn(wnd_, nullptr, FALSE);
  regionSet_ = false;
  if (prepared_ && IsWindowVisible(wnd_))
    RedrawWindow(wnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TskDialogWnd::UpdateSkin() {
  skinData_->UpdateIndexes();
  skinData_->BackgroundDirty = true;
  regionDirty_ = true;
  if (manager_) {
    captionSection_ = manager_->GetSectionIndex("CAPTION");
    titleSection_ = manager_->GetSectionIndex("FORMTITLE");
  }
  ReadTitleIcon();
  ReadCaptionFont();
  InitButtonMasks();
  // The brush follows the skin's colour; it is made again when first asked.
  staticBrush_.Reset();
  staticBrushColor_ = clNone;
}

// ---- facts -----------------------------------------------------------------------------------

TskDialogFacts TskDialogWnd::Facts() const {
  TskDialogFacts d;
  d.SavedStyle = savedStyle_;
  d.SavedExStyle = savedExStyle_;
  d.Style = static_cast<uint32_t>(GetWindowLongPtrA(wnd_, GWL_STYLE));
  d.NoCloseClass = (GetClassLongPtrA(wnd_, GCL_STYLE) & CS_NOCLOSE) != 0;
  d.Minimized = IsIconic(wnd_) != FALSE;
  d.Maximized = IsZoomed(wnd_) != FALSE;
  RECT window{}, client{};
  GetWindowRect(wnd_, &window);
  GetClientRect(wnd_, &client);
  d.Width = window.right - window.left;
  d.Height = window.bottom - window.top;
  d.ClientWidth = client.right;
  d.ClientHeight = client.bottom;
  d.Metrics.CxFrame = GetSystemMetrics(SM_CXFRAME);
  d.Metrics.CxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
  d.Metrics.CyCaption = GetSystemMetrics(SM_CYCAPTION);
  d.Metrics.CySmCaption = GetSystemMetrics(SM_CYSMCAPTION);
  d.Metrics.CyMenu = GetSystemMetrics(SM_CYMENU);
  if (manager_) {
    const TsSkinData& skin = manager_->CurrentSkin();
    d.Skin.BorderWidth = skin.BorderWidth;
    d.Skin.TitleHeight = skin.TitleHeight;
    d.Skin.MaxHeight = skin.MaxHeight;
    d.Skin.CenterOffset = skin.CenterOffset;
    d.Skin.BIVAlign = skin.BIVAlign;
    d.Skin.BITop = skin.BITop;
  }
  return d;
}

// ---- title buttons and icon ------------------------------------------------------------------

void TskDialogWnd::InitButtonMasks() {
  masks_ = {};
  if (!manager_) return;
  const int global = manager_->FixedIndexes().GlobalInfo;
  if (!manager_->IsValidSectionIndex(global)) return;
  auto mask = [&](const char* name) { return manager_->GetMaskIndex(global, "GLOBALINFO", name); };
  bigButtons_ = DialogWantsBigButtons(FrameKind());
  if (!bigButtons_) {
    masks_.Close = mask("SICONCLOSE");
    masks_.Min = mask("SICONMIN");
    masks_.Max = mask("SICONMAX");
    masks_.Help = mask("SICONHELP");
    if (masks_.Help < 0) masks_.Help = mask("BICONHELP");
  }
  if (masks_.Close < 0) {
    // A skin without small buttons: the big ones stand in.
    bigButtons_ = true;
    const TskDialogFacts facts = Facts();
    const bool alone = !DialogHasMaxButton(facts) && !DialogHasMinButton(facts);
    masks_.Close = alone ? mask("BICLOSEALONE") : -1;
    if (masks_.Close < 0) masks_.Close = mask("BICONCLOSE");
    masks_.Min = mask("BICONMIN");
    masks_.Max = mask("BICONMAX");
    masks_.Help = mask("BICONHELP");
  }
  masks_.Norm = mask("BICONNORM");
}

TsButtonMask TskDialogWnd::ButtonMask(int maskIndex) const {
  if (!manager_ || !manager_->IsValidMaskIndex(maskIndex)) return {};
  return ButtonMaskOf(manager_->Masks()[static_cast<size_t>(maskIndex)]);
}

TsTitleButtonsSetup TskDialogWnd::ButtonsSetup(const TskDialogFacts& facts) const {
  TskDialogButtonMasks m;
  m.Close = ButtonMask(masks_.Close);
  m.Max = ButtonMask(masks_.Max);
  m.Norm = ButtonMask(masks_.Norm);
  m.Min = ButtonMask(masks_.Min);
  m.Help = ButtonMask(masks_.Help);
  m.Big = bigButtons_;
  const int biRight = manager_ ? manager_->CurrentSkin().BIRight : 0;
  const int biSpace = manager_ ? manager_->CurrentSkin().BISpace : 0;
  return DialogTitleButtonsSetup(facts, m, biRight, biSpace);
}

int TskDialogWnd::ButtonMaskIndex(const TsPlacedTitleButton& button) const {
  return TitleButtonMaskIndex(button, masks_);
}

TRect TskDialogWnd::TitleButtonRect(int hitCode) const {
  const TskDialogFacts facts = Facts();
  const auto layout = LayoutTitleButtons(DialogFormFacts(facts), ButtonsSetup(facts));
  const TsPlacedTitleButton* button = FindTitleButton(layout, hitCode);
  return button ? button->Rect : TRect{};
}

void TskDialogWnd::ReadTitleIcon() {
  icon_ = reinterpret_cast<HICON>(SendMessageA(wnd_, WM_GETICON, ICON_SMALL, 0));
  if (!icon_) icon_ = reinterpret_cast<HICON>(SendMessageA(wnd_, WM_GETICON, ICON_BIG, 0));
}

TRect TskDialogWnd::IconRect() const {
  if (!icon_) return TRect{};
  const TsFormFacts facts = FormFacts();
  if (GetCaptionHeight(facts, true) <= 0) return TRect{};
  const int biLeft = manager_ ? manager_->CurrentSkin().BILeft : 0;
  return TitleIconRect(facts, TSize{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)},
                       biLeft);
}

void TskDialogWnd::ReadCaptionFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    captionFont_.Reset(CreateFontIndirectA(&metrics.lfCaptionFont));
}

HBRUSH TskDialogWnd::StaticBrush() {
  const TColor color = manager_ ? manager_->GlobalColor() : static_cast<TColor>(clBtnFace);
  if (!staticBrush_ || color != staticBrushColor_) {
    staticBrush_.Reset(CreateSolidBrush(ColorToRGB(color)));
    staticBrushColor_ = color;
  }
  return staticBrush_.Get();
}

// ---- the frame image -------------------------------------------------------------------------

TsPaintState TskDialogWnd::ActiveState() const {
  const TsPaintState state = active_ ? TsPaintState::Hot : TsPaintState::Normal;
  return manager_ ? LimitSectionState(*manager_, skinData_->SectionIndex, state) : state;
}

TBitmap* TskDialogWnd::PaintFormCache() {
  if (!manager_ || !manager_->IsValidSectionIndex(skinData_->SectionIndex)) return nullptr;
  const TsFormFacts facts = FormFacts();
  const int width = GetImageWidth(facts), height = GetImageHeight(facts);
  if (width <= 0 || height <= 0) return nullptr;
  TBitmap* image = skinData_->CacheBitmap.get();
  if (!image || image->Width() != width || image->Height() != height) {
    skinData_->CacheBitmap = CreateBmp32(width, height);
    image = skinData_->CacheBitmap.get();
    skinData_->BackgroundDirty = true;
  }
  if (!skinData_->BackgroundDirty) return image;
  regionDirty_ = true;
  const TRect frame{0, 0, width, height};
  if (HasFrame(facts))
    PaintControlItem(*skinData_, EmptyBackgroundSource, image, TPoint{0, 0}, frame, ActiveState());
  else
    PaintSectionBackground(TsItemPaint{.Bitmap = image,
                                       .R = frame,
                                       .SectionIndex = skinData_->SectionIndex,
                                       .SectionName = skinData_->SkinSection(),
                                       .State = ActiveState(),
                                       .Background = EmptyBackgroundSource,
                                       .Manager = manager_});
  if (GetCaptionHeight(facts, true) > 0) {
    PaintTitle(image, facts, ActiveState());
    PaintCaptionText(image, facts);
    PaintTitleButtons(image, facts);
  }
  skinData_->BackgroundDirty = false;
  return image;
}

void TskDialogWnd::PaintTitle(TBitmap* image, const TsFormFacts& facts, TsPaintState state) {
  if (manager_->IsValidSectionIndex(titleSection_))
    PaintItem(TsItemPaint{.Bitmap = image,
                          .R = TRect{0, 0, image->Width(), GetTitleBottom(facts)},
                          .SectionIndex = titleSection_,
                          .SectionName = "FORMTITLE",
                          .State = LimitSectionState(*manager_, titleSection_, state),
                          .Background = MakeBackgroundSource(image, 0, 0),
                          .Manager = manager_});
  const TRect r = IconRect();
  if (r.Width() > 0)
    DrawIconEx(ImageDC(image), r.Left, r.Top, icon_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TskDialogWnd::PaintCaptionText(TBitmap* image, const TsFormFacts& facts) {
  const int length = GetWindowTextLengthA(wnd_);
  std::string caption(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  caption.resize(static_cast<size_t>(GetWindowTextA(wnd_, caption.data(), length + 1)));
  if (caption.empty()) return;
  const TRect icon = IconRect();
  TRect r;
  r.Left = GetBorderWidth(facts, true) + (icon.Width() > 0 ? icon.Width() : 0) +
           manager_->CurrentSkin().BILeft + 4;
  r.Top = 2;
  r.Right = image->Width() - TitleButtonsWidth(facts, ButtonsSetup(Facts())) - 6;
  r.Bottom = GetTitleBottom(facts);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  TCanvas* canvas = image->Canvas();
  LOGFONTA lf;
  if (captionFont_ && GetObjectA(captionFont_.Get(), sizeof lf, &lf) == sizeof lf) {
    canvas->Font()->SetName(lf.lfFaceName);
    canvas->Font()->SetHeight(lf.lfHeight);
    TFontStyles style;
    if (lf.lfWeight >= FW_BOLD) style += fsBold;
    canvas->Font()->SetStyle(style);
  }
  int textSection = titleSection_;
  if (captionSection_ >= 0) {
    TRect t = r;
    DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()),
              reinterpret_cast<RECT*>(&t), DT_CALCRECT | CaptionTextFlags);
    const int textHeight = t.Height();
    t.Right = std::min(t.Right, r.Right);
    t.Top = r.Top + (r.Height() - textHeight) / 2;
    t.Bottom = t.Top + textHeight;
    t = TRect{std::max(t.Left - 4, 0), std::max(t.Top - 2, 0),
              std::min(t.Right + 4, image->Width()), std::min(t.Bottom + 2, image->Height())};
    if (t.Width() > 0 && t.Height() > 0)
      PaintItem(TsItemPaint{.Bitmap = image,
                            .R = t,
                            .SectionIndex = captionSection_,
                            .SectionName = "CAPTION",
                            .State = LimitSectionState(*manager_, captionSection_, ActiveState()),
                            .Background = MakeBackgroundSource(image, 0, 0),
                            .Manager = manager_});
    textSection = captionSection_;
  }
  canvas->Brush()->SetStyle(bsClear);
  TsSectionText text;
  text.Text = caption;
  text.R = r;
  text.Format = CaptionTextFlags;
  text.SectionIndex = textSection;
  text.Hot = active_;
  text.Enabled = IsWindowEnabled(wnd_) != FALSE;
  text.Manager = manager_;
  DrawSectionText(canvas, text);
}

void TskDialogWnd::PaintTitleButtons(TBitmap* image, const TsFormFacts& facts) {
  const TskDialogFacts d = Facts();
  const auto layout = LayoutTitleButtons(facts, ButtonsSetup(d));
  if (layout.empty()) return;
  // The title under the buttons, for the dimmed looks.
  const std::unique_ptr<TBitmap> behind =
      CopyBitmapArea(*image, TRect{0, 0, image->Width(), GetTitleBottom(facts)});
  for (const TsPlacedTitleButton& button : layout) {
    const int maskIndex = ButtonMaskIndex(button);
    if (!manager_->IsValidMaskIndex(maskIndex)) continue;
    const TRect& r = button.Rect;
    const int state = TitleButtonState(button.HitCode);
    const bool enabled =
        button.Kind == TsTitleButtonKind::Close ? DialogIsCloseEnabled(d) : button.Enabled;
    PaintMaskGlyph(image, r.TopLeft(), state, manager_->Masks()[static_cast<size_t>(maskIndex)],
                   MakeBackgroundSource(image, r.Left, r.Top));
    if (state == 0 && (!enabled || !active_) && behind)
      BlendBitmapRect(image, behind.get(), HalfTransparent, r.TopLeft(), r);
  }
}

void TskDialogWnd::SetFormRegion(const TsFormFacts& facts) {
  regionDirty_ = false;
  // A popup without a caption keeps its rectangle.
  if (FrameKind() == TskDialogFrameKind::None && !facts.Minimized) return;
  const int titleMask = manager_->IsValidSectionIndex(titleSection_)
                            ? manager_->GetMaskIndex(titleSection_, "FORMTITLE", "BORDERSMASK")
                            : -1;
  const std::vector<TRect> holes = CollectRegionHoles(
      *manager_, skinData_->BorderMaskIndex, titleMask, GetImageWidth(facts), facts.Height);
  const TsRegionPlan plan = PlanFormRegion(facts, holes);
  if (plan.Kind == TsRegionKind::Keep || (regionSet_ && plan == lastRegion_)) return;
  lastRegion_ = plan;
  if (plan.Kind == TsRegionKind::Remove) {
    if (regionSet_) SetWindowRgn(wnd_, nullptr, FALSE);
    regionSet_ = false;
    return;
  }
  TRegion region(
      CreateRectRgn(plan.Bounds.Left, plan.Bounds.Top, plan.Bounds.Right, plan.Bounds.Bottom));
  for (const TRect& hole : plan.Holes) {
    TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
    CombineRgn(region.Get(), region.Get(), cut.Get(), RGN_DIFF);
  }
  // The window owns the region once it took it.
  if (SetWindowRgn(wnd_, region.Get(), FALSE)) {
    region.Release();
    regionSet_ = true;
  }
}

void TskDialogWnd::PaintNonClient() {
  TBitmap* image = PaintFormCache();
  if (!image) return;
  const TsFormFacts facts = FormFacts();
  if (regionDirty_) SetFormRegion(facts);
  TWindowDC dc(wnd_, true);
  if (!dc) return;
  for (const TsFrameCopy& copy : FrameCopyRects(facts))
    BitBlt(dc.Get(), copy.Dest.Left, copy.Dest.Top, copy.Dest.Width(), copy.Dest.Height(),
           ImageDC(image), copy.Source.X, copy.Source.Y, SRCCOPY);
}

void TskDialogWnd::RepaintFrame() {
  skinData_->BackgroundDirty = true;
  if (!IsWindowVisible(wnd_)) return;
  PaintNonClient();
  RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TskDialogWnd::PaintClientBackground(HDC dc) {
  TBitmap* image = PaintFormCache();
  if (!image || !dc) return;
  const TsFormFacts facts = FormFacts();
  TSaveDC saved(dc);
  // Visible children paint themselves; a group box is only a frame over the background. A
  // transparent child (a file dialog's tool bar) asks for the background under itself with
  // its own DC: that is painted whole.
  const bool ownDC = WindowFromDC(dc) == wnd_;
  for (HWND child = ownDC ? GetWindow(wnd_, GW_CHILD) : nullptr; child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & 0x7) == 0x7) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, wnd_, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  BitBlt(dc, 0, 0, facts.ClientWidth, facts.ClientHeight, ImageDC(image), ::GetClientOffsetX(facts),
         ::GetClientOffsetY(facts), SRCCOPY);
}

// ---- the mouse over the frame ----------------------------------------------------------------

int TskDialogWnd::HitTest(POINT screen) {
  const TRect window = WindowRectOf(wnd_);
  TskDialogHitFacts f;
  f.Dialog = Facts();
  f.Buttons = ButtonsSetup(f.Dialog);
  f.IconRect = IconRect();
  return DialogHitTest(f, TPoint{screen.x - window.Left, screen.y - window.Top});
}

void TskDialogWnd::SetHotButton(int hitCode) {
  if (buttonStates_.SetHot(hitCode).empty()) return;
  RepaintFrame();
}

void TskDialogWnd::PressButton(int hitCode) {
  const TskDialogFacts d = Facts();
  bool canAct = hitCode != TitleHitClose || DialogIsCloseEnabled(d);
  if (hitCode == TitleHitMaximize) canAct = DialogCanMaximize(d) || DialogCanRestore(d);
  if (hitCode == TitleHitMinimize) canAct = DialogCanMinimize(d) || d.Minimized;
  if (buttonStates_.SetPressed(hitCode, canAct).empty()) return;
  RepaintFrame();
}

void TskDialogWnd::ShowSystemMenu(int x, int y) {
  SetHotButton(0);
  if (sysMenu_) sysMenu_->ShowAt(x, y);
}

void TskDialogWnd::ShowSystemMenuBelowIcon() {
  const TsFormFacts facts = FormFacts();
  const TRect window = WindowRectOf(wnd_);
  ShowSystemMenu(window.Left + GetBorderWidth(facts, true),
                 window.Top + GetStdBorderWidth(facts, true) + GetSystemMetrics(SM_CYSMICON));
}

void TskDialogWnd::NcLButtonDown(int hitCode, POINT) {
  if (hitCode == TitleHitSysMenu) {
    ShowSystemMenuBelowIcon();
    return;
  }
  PressButton(hitCode);
}

void TskDialogWnd::ButtonClicked(int hitCode) {
  const TskDialogFacts d = Facts();
  WPARAM command = 0;
  switch (hitCode) {
    case TitleHitClose:
      if (DialogIsCloseEnabled(d)) command = SC_CLOSE;
      break;
    case TitleHitMaximize:
      command = d.Maximized || d.Minimized ? SC_RESTORE : SC_MAXIMIZE;
      break;
    case TitleHitMinimize:
      command = d.Minimized ? SC_RESTORE : SC_MINIMIZE;
      break;
    case TitleHitHelp:
      command = SC_CONTEXTHELP;
      break;
    default:
      break;
  }
  // The command may destroy the window and this adapter with it: nothing follows it.
  if (command) SendMessageA(wnd_, WM_SYSCOMMAND, command, 0);
}

void TskDialogWnd::NcDoubleClick(int hitCode) {
  const TskDialogFacts d = Facts();
  // As after a click: the command comes last, as it may destroy the window.
  if (hitCode == TitleHitCaption && (DialogCanMaximize(d) || DialogCanRestore(d)))
    SendMessageA(wnd_, WM_SYSCOMMAND, d.Maximized || d.Minimized ? SC_RESTORE : SC_MAXIMIZE, 0);
  else if (hitCode == TitleHitSysMenu && DialogIsCloseEnabled(d))
    SendMessageA(wnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TskDialogWnd::AdaptChildren() {
  if (owner_) owner_->AdaptChildWindows(wnd_);
}

// ---- the window procedure --------------------------------------------------------------------

bool TskDialogWnd::Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == SM_SKINCMD) {
    TSkinCmdMessage cmd = ReadSkinCmd(wp, lp);
    if (!cmdHandler_->Handle(cmd)) return false;
    result = static_cast<LRESULT>(cmd.Result);
    return true;
  }
  if (msg == DialogRescanMessage()) {
    if (wp == ShowEnded) {
      // The dialog painted itself under the cover: the cover goes.
      UpdateWindow(wnd_);
      showCover_.reset();
    }
    AdaptChildren();
    result = 0;
    return true;
  }
  switch (msg) {
    case WM_NCDESTROY: {
      result = CallOld(msg, wp, lp);
      Release();
      // The provider goes with its window; nothing of this adapter is touched after it.
      FreeDialogProvider(wnd_);
      return true;
    }
    case WM_NCPAINT:
      if (!IsWindowVisible(wnd_)) return false;
      PaintNonClient();
      result = 0;
      return true;
    case WM_NCACTIVATE:
      active_ = wp != 0;
      // -1: the system changes the state without painting its own frame.
      result = CallOld(msg, wp, -1);
      skinData_->BackgroundDirty = true;
      if (IsWindowVisible(wnd_)) PaintNonClient();
      return true;
    case WM_SETTEXT:
    case WM_ENABLE: {
      // The system paints its own caption for a new text: held off, then the skin's frame.
      const bool visible = IsWindowVisible(wnd_) != FALSE;
      if (visible) SendMessageA(wnd_, WM_SETREDRAW, FALSE, 0);
      {
        TScopeExit redraw([&] {
          if (visible) SendMessageA(wnd_, WM_SETREDRAW, TRUE, 0);
        });
        result = CallOld(msg, wp, lp);
      }
      RepaintFrame();
      return true;
    }
    case WM_SIZE:
      skinData_->BackgroundDirty = true;
      regionDirty_ = true;
      result = CallOld(msg, wp, lp);
      if (IsWindowVisible(wnd_))
        RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return true;
    case WM_ERASEBKGND:
      if (!childrenAdapted_) {
        childrenAdapted_ = true;
        AdaptChildren();
      }
      PaintClientBackground(reinterpret_cast<HDC>(wp));
      result = 1;
      return true;
    case WM_SHOWWINDOW:
      result = CallOld(msg, wp, lp);
      if (wp) AdaptChildren();
      if (wp && ShowAnimationDue()) {
        const TskFormAnimation& show = manager_->AnimEffects()->DialogShow;
        showCover_ = AnimateDialogShow(wnd_, Snapshot(), show.Time, 255, show.Mode);
        // The dialog shows once this message returns; the cover stays until it painted.
        if (showCover_) PostMessageA(wnd_, DialogRescanMessage(), ShowEnded, 0);
      }
      return true;
    case WM_WINDOWPOSCHANGING: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      // Still shown: its picture fades out over the place it leaves.
      if (pos && (pos->flags & SWP_HIDEWINDOW) && HideAnimationDue()) {
        showCover_.reset();
        const TskFormAnimation& hide = manager_->AnimEffects()->DialogHide;
        AnimateDialogHide(wnd_, Snapshot(), hide.Time, hide.Mode);
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
      HDC dc = reinterpret_cast<HDC>(wp);
      const TsGeneralData* section = skinData_->Section();
      SetTextColor(dc, ColorToRGB(section ? section->FontColor : clBtnText));
      SetBkMode(dc, TRANSPARENT);
      SetBkColor(dc, ColorToRGB(manager_ ? manager_->GlobalColor() : clBtnFace));
      result = reinterpret_cast<LRESULT>(StaticBrush());
      return true;
    }
    case WM_NCHITTEST: {
      const int code = HitTest(PointOf(lp));
      if (code == TitleHitNowhere) {
        if (!buttonStates_.ButtonPressed()) SetHotButton(0);
        result = CallOld(msg, wp, lp);
        // The system's own buttons are gone with WS_SYSMENU; its frame answers the rest.
        return true;
      }
      if (IsButtonCode(code)) {
        if (!buttonStates_.ButtonPressed()) SetHotButton(code);
      } else if (!buttonStates_.ButtonPressed()) {
        SetHotButton(0);
      }
      result = code == DialogHitTransparent ? HTTRANSPARENT : code;
      return true;
    }
    case WM_NCMOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, wnd_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      return false;
    case WM_NCMOUSELEAVE:
      trackingLeave_ = false;
      if (!buttonStates_.ButtonPressed()) SetHotButton(0);
      return false;
    case WM_NCLBUTTONDOWN: {
      const int code = static_cast<int>(wp);
      if (IsButtonCode(code) || code == TitleHitSysMenu) {
        NcLButtonDown(code, PointOf(lp));
        if (IsButtonCode(code)) SetCapture(wnd_);
        result = 0;
        return true;
      }
      return false;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: {
      if (!buttonStates_.ButtonPressed()) {
        if (msg == WM_NCLBUTTONUP) SetHotButton(0);
        return false;
      }
      const int pressed = buttonStates_.HotButtonCode();
      POINT screen;
      GetCursorPos(&screen);
      const int over = HitTest(screen);
      // Let go before the capture goes, so that its loss finds no button held.
      buttonStates_.SetHot(0);
      if (GetCapture() == wnd_) ReleaseCapture();
      RepaintFrame();
      result = 0;
      // A press released away from its button does nothing.
      if (over == pressed) ButtonClicked(pressed);
      return true;
    }
    case WM_CAPTURECHANGED:
      // The capture went elsewhere: a held button is let go.
      if (buttonStates_.ButtonPressed() && reinterpret_cast<HWND>(lp) != wnd_) {
        buttonStates_.SetHot(0);
        RepaintFrame();
      }
      return false;
    case WM_MOUSEMOVE:
      if (buttonStates_.ButtonPressed()) {
        POINT screen;
        GetCursorPos(&screen);
        const bool over = HitTest(screen) == buttonStates_.HotButtonCode();
        if (!buttonStates_.ShowPressed(over).empty()) RepaintFrame();
      }
      return false;
    case WM_NCLBUTTONDBLCLK: {
      const int code = static_cast<int>(wp);
      if (code != TitleHitCaption && code != TitleHitSysMenu && !IsButtonCode(code)) return false;
      NcDoubleClick(code);
      result = 0;
      return true;
    }
    case WM_NCRBUTTONDOWN:
      if (wp != HTCAPTION && wp != HTSYSMENU) return false;
      result = 0;
      return true;
    case WM_NCRBUTTONUP:
      if (wp != HTCAPTION && wp != HTSYSMENU) return false;
      ShowSystemMenu(PointOf(lp).x, PointOf(lp).y);
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      // Alt+Space: the system has no menu to show without WS_SYSMENU; the skin's shows.
      if ((wp & 0xFFF0) == SC_KEYMENU && lp == ' ') {
        if (DialogHasSysMenu(Facts())) ShowSystemMenuBelowIcon();
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}
