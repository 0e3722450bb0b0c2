#include "skin/controls/sUpDownWin32.h"

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sPageControlWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/skinfiles/sSkinManager.h"

using namespace sUpDown;

// The skin command as the up-down answers it: it is skinned, it repaints when the default
// manager's skin goes or is refreshed, and it shows a new skin at once. The skin data behind
// the handler carries no section: the up-down paints from the manager's scroll buttons.
class TsUpDown::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsUpDown& upDown)
      : TsControlCmdHandler(upDown, answers_), host_(&upDown), answers_(&host_), u_(upDown) {}

 protected:
  TsSkinManager* Manager() const override { return DefaultManager; }
  bool OnSkinChanged(TSkinCmdMessage&) override {
    if (u_.HandleAllocated()) u_.Invalidate();
    return false;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override { return RepaintFor(m); }
  bool OnRefresh(TSkinCmdMessage& m) override { return RepaintFor(m); }
  bool OnIsSkinned(TSkinCmdMessage& m) override {
    m.Result = 1;
    return true;
  }

 private:
  bool RepaintFor(TSkinCmdMessage& m) {
    if (!DefaultManager || !NamesOurManager(m)) return false;
    if (u_.HandleAllocated()) u_.Repaint();
    return true;
  }

  TControlSkinHost host_;
  TsCommonData answers_;
  TsUpDown& u_;
};

TsUpDown::TsUpDown(TComponent* owner)
    : TUpDown(owner), cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  controlStyle_.Exclude(csDoubleClicks);
}

TsUpDown::~TsUpDown() = default;

void TsUpDown::SetShowInaccessibility(bool value) {
  if (value == showInaccessibility_) return;
  showInaccessibility_ = value;
  if (HandleAllocated()) Repaint();
}

void TsUpDown::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  if (HandleAllocated()) Repaint();
}

void TsUpDown::SetButtonSkin(const std::string& value) {
  if (value == buttonSkin_) return;
  buttonSkin_ = value;
  Invalidate();
}

TsSkinManager* TsUpDown::Manager() const {
  if (auto* pages = dynamic_cast<TsPageControl*>(Parent())) return pages->SkinData()->SkinManager();
  return DefaultManager;
}

bool TsUpDown::PaintsFromSkin() const {
  TsSkinManager* manager = Manager();
  if (!DefaultManager || !DefaultManager->CurrentSkin().Active || !manager) return false;
  const TsFixedIndexes& fixed = manager->FixedIndexes();
  const bool vertical = Orientation() == udVertical;
  return fixed.ScrollBtn[vertical ? 0 : 2].Section >= 0 &&
         fixed.ScrollBtn[vertical ? 1 : 3].Section >= 0;
}

TsUpDownRange TsUpDown::Range() { return {Min(), Max(), Position()}; }

TsBlockedHalves TsUpDown::Blocked() {
  return BlockedHalves(showInaccessibility_, Orientation() == udVertical, Range());
}

void TsUpDown::SetDrawingState(TsUpDownLook value) {
  if (value == drawingState_) return;
  drawingState_ = value;
  if (HandleAllocated()) Repaint();
}

void TsUpDown::SetHot(TsUpDownLook value) {
  if (drawingState_ == value || pressed_) return;
  SetDrawingState(value);
}

void TsUpDown::PaintWindow(HDC given) {
  PAINTSTRUCT ps{};
  HDC dc = given ? given : BeginPaint(Handle(), &ps);
  TScopeExit ended([&] {
    if (!given) EndPaint(Handle(), &ps);
  });
  TSaveDC saved(dc);
  const TsUpDownHalves halves = UpDownHalves(TSize{Width(), Height()}, Orientation() == udVertical);
  for (const bool first : {true, false}) {
    const TRect& place = first ? halves.First : halves.Second;
    if (place.Width() <= 0 || place.Height() <= 0) continue;
    auto half = CreateBmp32(place.Width(), place.Height());
    PaintHalf(half.get(), first, place);
    BitBlt(dc, place.Left, place.Top, place.Width(), place.Height(), half->Canvas()->Handle(), 0, 0,
           SRCCOPY);
  }
}

void TsUpDown::PaintHalf(TBitmap* half, bool first, const TRect& place) {
  TsSkinManager* manager = Manager();
  if (!manager) return;
  const bool vertical = Orientation() == udVertical;
  // SCROLLBTNTOP, ...BOTTOM, ...LEFT, ...RIGHT
  const TsFixedIndexes::TScrollPart& part =
      manager->FixedIndexes().ScrollBtn[vertical ? (first ? 0 : 1) : (first ? 2 : 3)];
  int section = buttonSkin_.empty() ? -1 : manager->GetSectionIndex(buttonSkin_);
  std::string sectionName = buttonSkin_;
  if (section < 0) {
    section = part.Section;
    sectionName = manager->IsValidSectionIndex(section)
                      ? manager->Sections()[static_cast<size_t>(section)].ClassName
                      : std::string{};
  }
  const int state = HalfPaintState(drawingState_, first);
  TsBackgroundSource behind;
  GetWindowParentBackground(Handle(), behind);
  const TPoint inParent{Left() + place.Left, Top() + place.Top};
  PaintItem(
      TsItemPaint{.Bitmap = half,
                  .R = TRect{0, 0, half->Width(), half->Height()},
                  .SectionIndex = section,
                  .SectionName = sectionName,
                  .State = LimitSectionState(*manager, section, static_cast<TsPaintState>(state)),
                  .Background = behind,
                  .Offset = inParent,
                  .Manager = manager});
  if (manager->IsValidMaskIndex(part.GlyphMask)) {
    const TsMaskData& arrow = manager->Masks()[static_cast<size_t>(part.GlyphMask)];
    const TPoint at{(half->Width() - MaskStateWidth(arrow)) / 2,
                    (half->Height() - MaskStateHeight(arrow)) / 2};
    if (at.X >= 0 && at.Y >= 0)
      PaintMaskGlyph(half, at, state, arrow, MakeBackgroundSource(half, 0, 0));
  }
  const bool blocked = first ? Blocked().First : Blocked().Second;
  if (!Enabled() || blocked) {
    if (behind.HasBitmap && behind.Bmp) {
      PaintDisabledEffect(half, disabledKind_, Parent() ? Parent()->Color() : clBtnFace, inParent,
                          behind);
    } else {
      // Without a picture behind, the half fades 60 % toward the parent's colour.
      BlendRectColor(half, TRect{0, 0, half->Width(), half->Height()}, 40,
                     ColorToRGB(Parent() ? Parent()->Color() : clBtnFace));
    }
  }
}

void TsUpDown::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TUpDown::WndProc(m);
    return;
  }
  const bool designing = ComponentState().Contains(csDesigning);
  switch (m.Msg) {
    case WM_PAINT:
      if (!PaintsFromSkin()) break;
      PaintWindow(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_PRINT:
      if (!PaintsFromSkin()) break;
      PaintWindow(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      if (!DefaultManager || !DefaultManager->Active()) break;
      m.Result = m.Msg == WM_ERASEBKGND ? 1 : 0;
      return;
    case WM_NCHITTEST: {
      TUpDown::WndProc(m);
      if (designing) return;
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      ::ScreenToClient(Handle(), &p);
      const TsUpDownLook look = LookUnderMouse(TPoint{p.x, p.y}, TSize{Width(), Height()},
                                               Orientation() == udVertical, Blocked());
      if (look == udlNone)
        SetDrawingState(udlNone);
      else
        SetHot(look);
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      TUpDown::WndProc(m);
      if (designing && m.Msg == WM_LBUTTONDOWN) return;
      pressed_ = true;
      SetDrawingState(LookAfterPress(drawingState_, Blocked()));
      if (m.Msg == WM_LBUTTONDOWN) m.Result = 1;
      return;
    case WM_LBUTTONUP:
      TUpDown::WndProc(m);
      if (designing || !pressed_) return;
      pressed_ = false;
      SetDrawingState(LookAfterRelease(drawingState_, Blocked()));
      m.Result = 1;
      return;
    case CM_MOUSELEAVE:
      TUpDown::WndProc(m);
      if (designing) return;
      pressed_ = false;
      SetDrawingState(udlNone);
      return;
    case CN_VSCROLL:
    case CN_HSCROLL:
      // A new position may bring a half to its limit or away from it.
      TUpDown::WndProc(m);
      if (PaintsFromSkin()) Invalidate();
      return;
    default:
      break;
  }
  TUpDown::WndProc(m);
}
