#include "skin/controls/sLabelWin32.h"

#include <shellapi.h>

#include "framework/CanvasWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// A label adopting its skin colour in Paint changes its font: that change must not start
// another paint. Main thread only.
bool LabelPainting = false;
bool LabelFontChanging = false;

bool SkinActive(const TsSkinManager* manager) { return manager && manager->CurrentSkin().Active; }

// Sets the colour only when it differs: every change of a font repaints its label.
void SetFontColor(TFont* font, TColor color) {
  if (font->Color() != color) font->SetColor(color);
}

// The bound label's view of an edit label; letting go of it frees the label.
class TEditLabelLink : public IEditLabel {
 public:
  TEditLabelLink(TWinControl* control, TsEditLabel* label) : control_(control), label_(label) {}
  ~TEditLabelLink() override { delete label_; }
  TEditLabelLink(const TEditLabelLink&) = delete;
  TEditLabelLink& operator=(const TEditLabelLink&) = delete;

  void SetCaption(const std::string& text) override { label_->SetCaption(text); }
  void SetAutoSize(bool value) override { label_->SetAutoSize(value); }
  void SetWordWrap(bool value) override { label_->SetWordWrap(value); }
  void SetAlignment(TsLabelAlignment value) override {
    label_->SetAlignment(value == laRightJustify ? taRightJustify
                         : value == laCenter     ? taCenter
                                                 : taLeftJustify);
  }
  int Width() const override { return label_->Width(); }
  int Height() const override { return label_->Height(); }
  void SetBounds(int left, int top, int width, int height) override {
    label_->SetBounds(left, top, width, height);
  }
  bool Visible() const override { return label_->Visible(); }
  void SetVisible(bool value) override { label_->SetVisible(value); }
  void SetEnabled(bool value) override { label_->SetEnabled(value); }
  void SetName(const std::string& name) override { label_->SetName(name); }
  void AttachToControl() override {
    if (label_->Parent() != control_->Parent()) label_->SetParent(control_->Parent());
    label_->SetFocusControl(control_);
  }
  TsBoundLabelFont Font() const override {
    TFont* font = label_->Font();
    return TsBoundLabelFont{font->Name(), font->Height(), font->Color()};
  }
  void SetFont(const TsBoundLabelFont& font) override {
    label_->Font()->SetName(font.Name);
    label_->Font()->SetHeight(font.Height);
    label_->Font()->SetColor(font.Color);
  }
  bool UseSkinColor() const override { return label_->UseSkinColor(); }
  void SetUseSkinColor(bool value) override { label_->SetUseSkinColor(value); }

 private:
  TWinControl* control_;
  TsEditLabel* label_;
};

}  // namespace

// ---- TsCustomLabel ----------------------------------------------------------------------------

TsCustomLabel::TsCustomLabel(TComponent* owner) : TCustomLabel(owner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const std::string& value) {
  if (value == skinSection_) return;
  skinSection_ = value;
  Repaint();
}

TFont* TsCustomLabel::GetCurrentFont() {
  TFont* font = Font();
  TsSkinManager* manager = DefaultManager;
  if (!SkinActive(manager)) return font;
  const int section = FindFontParentSection(this, -1, manager);
  const TColor color = section < 0 ? manager->GlobalFontColor()
                                   : manager->Sections()[static_cast<size_t>(section)].FontColor;
  if (color != clFuchsia) SetFontColor(font, color);
  return font;
}

void TsCustomLabel::Paint() {
  if (!IsDestroying()) {
    TsSkinManager* manager = DefaultManager;
    if (!LabelPainting) {
      LabelPainting = true;
      TScopeExit done([] { LabelPainting = false; });
      TFont* font = GetCurrentFont();
      if (font != Font()) Font()->Assign(font);
      if (!skinSection_.empty() && manager && manager->Active()) {
        const int section = manager->GetSectionIndex(skinSection_);
        if (section >= 0)
          SetFontColor(Font(), manager->Sections()[static_cast<size_t>(section)].FontColor);
      }
    }
    const int section = !skinSection_.empty() && manager && manager->Active()
                            ? manager->GetSectionIndex(skinSection_)
                            : -1;
    // The skin's first section only lends its font colour: it paints nothing here.
    if (section > 0 && Parent()) {
      TsBackgroundRequest request;
      GetControlBackground(request, Parent(), false);
      PaintSectionToDC(Canvas()->Handle(),
                       TsItemPaint{.R = TRect{0, 0, Width(), Height()},
                                   .SectionIndex = section,
                                   .SectionName = skinSection_,
                                   .Background = BackgroundSourceFromRequest(request),
                                   .Offset = TPoint{Left(), Top()},
                                   .Manager = manager});
    }
  }
  TCustomLabel::Paint();
}

void TsCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  TsSkinManager* manager = DefaultManager;
  if (Enabled() || !SkinActive(manager) || manager->ComponentState().Contains(csDestroying)) {
    TCustomLabel::DoDrawText(rect, flags);
    return;
  }
  // Disabled under a skin: the text 40 % font colour and 60 % background, no engraved look.
  std::string text = GetText();
  if ((flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&"))) text += ' ';
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  HDC dc = Canvas()->Handle();
  TSelectObject font(dc, FontHandle(Font()));
  SetBkMode(dc, TRANSPARENT);
  const TColor color = MixColors(ColorToRGB(Font()->Color()), GetControlBgColor(Parent()), 0.4);
  SetTextColor(dc, static_cast<COLORREF>(color));
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  rect = TRect{r.left, r.top, r.right, r.bottom};
}

void TsCustomLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_FONTCHANGED && !IsDestroying() && !LabelFontChanging) {
    if (LabelPainting) return;
    LabelFontChanging = true;
    TScopeExit done([] { LabelFontChanging = false; });
    AdjustBounds();
    Invalidate();
    return;
  }
  TCustomLabel::WndProc(m);
  if (m.Msg != SM_SKINCMD || IsDestroying()) return;
  const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
  if (!IsSkinCmdTrusted(cmd)) return;
  if (cmd.Cmd == CmdRemoveSkin && DefaultManager &&
      cmd.LParam == reinterpret_cast<intptr_t>(DefaultManager))
    SetFontColor(Font(), clWindowText);
}

// ---- TsLabel ----------------------------------------------------------------------------------

TFont* TsLabel::GetCurrentFont() {
  if (IsDestroying() || !SkinActive(DefaultManager) || !useSkinColor_) return Font();
  return TsCustomLabel::GetCurrentFont();
}

void TsLabel::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    if (cmd.Cmd == CmdRemoveSkin) {
      if (IsSkinCmdTrusted(cmd) && !IsDestroying() && DefaultManager &&
          cmd.LParam == reinterpret_cast<intptr_t>(DefaultManager) && useSkinColor_)
        SetFontColor(Font(), clWindowText);
      return;
    }
  }
  TsCustomLabel::WndProc(m);
}

// ---- TsEditLabel ------------------------------------------------------------------------------

TsEditLabel::TsEditLabel(TWinControl* control, TsBoundLabel* boundLabel)
    : TsLabel(control), boundLabel_(boundLabel) {}

std::unique_ptr<IEditLabel> MakeEditLabel(TWinControl* control, TsBoundLabel* boundLabel) {
  return std::make_unique<TEditLabelLink>(control, new TsEditLabel(control, boundLabel));
}

// ---- TsWebLabel -------------------------------------------------------------------------------

TsWebLabel::TsWebLabel(TComponent* owner)
    : TsLabel(owner),
      normalFont_(std::make_unique<TFont>()),
      hoverFont_(std::make_unique<TFont>()) {
  SetCursor(crHandPoint);
  SetControlStyle(ControlStyle() + csOpaque);
  SetTransparent(true);
  OpenAddress = [](const std::string& url, int showCommand) {
    ShellExecuteA(Application ? Application->Handle() : nullptr, "open", url.c_str(), nullptr,
                  nullptr, showCommand);
  };
}

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  Font()->Assign(normalFont_.get());
}

void TsWebLabel::SetLabelFont(TFont* value) {
  Font()->Assign(value);
  normalFont_->Assign(value);
  Invalidate();
}

TFont* TsWebLabel::GetCurrentFont() {
  TsSkinManager* manager = DefaultManager;
  const bool fromSkin = UseSkinColor() && manager && manager->Active() &&
                        manager->IsValidSectionIndex(manager->FixedIndexes().GlobalInfo);
  // The skin's top and bottom text shadow colours stand for the link's two colours.
  const auto skinColor = [&](int side) {
    return manager->Sections()[static_cast<size_t>(manager->FixedIndexes().GlobalInfo)]
        .FontShadows[static_cast<size_t>(side)];
  };
  TFont* font = mouseAbove_ ? hoverFont_.get() : normalFont_.get();
  TColor color = fromSkin ? skinColor(mouseAbove_ ? 1 : 3) : font->Color();
  if (color == -1) color = mouseAbove_ ? clRed : clBlue;
  SetFontColor(font, color);
  return font;
}

void TsWebLabel::SetMouseAbove(bool value) {
  mouseAbove_ = value;
  if (AutoSize()) {
    Invalidate();
    Update();
    AdjustBounds();
  }
  if (Parent() && Parent()->HandleAllocated()) {
    const TRect b = BoundsRect();
    RECT r{b.Left, b.Top, b.Right, b.Bottom};
    InvalidateRect(Parent()->Handle(), &r, TRUE);
  }
}

void TsWebLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      TsLabel::WndProc(m);
      if (m.LParam == 0) SetMouseAbove(true);
      return;
    case CM_MOUSELEAVE:
      TsLabel::WndProc(m);
      if (m.LParam == 0) SetMouseAbove(false);
      return;
    case WM_LBUTTONDOWN:
      TsLabel::WndProc(m);
      if (!url_.empty() && OpenAddress) OpenAddress(url_, showMode_);
      return;
    case WM_ERASEBKGND:
      return;
    default:
      TsLabel::WndProc(m);
  }
}

// ---- TsStickyLabel ----------------------------------------------------------------------------

TsStickyLabel::~TsStickyLabel() { SetAttachTo(nullptr); }

void TsStickyLabel::SetAttachTo(TWinControl* value) {
  if (value == attachTo_) return;
  if (attachTo_) {
    attachTo_->SetWindowProc(oldWindowProc_);
    attachTo_->RemoveFreeNotification(this);
    oldWindowProc_ = nullptr;
  }
  attachTo_ = value;
  if (!value) return;
  value->FreeNotification(this);
  Realign(TFollow::Label);
  SetEnabled(value->Enabled());
  SetVisible(value->Visible());
  oldWindowProc_ = value->WindowProc();
  value->SetWindowProc(TWndMethod::Of(this, &TsStickyLabel::AttachedWndProc));
}

void TsStickyLabel::SetAlignTo(TAlignTo value) {
  if (value == alignTo_) return;
  alignTo_ = value;
  Realign(TFollow::Label);
}

void TsStickyLabel::SetGap(int value) {
  if (value == gap_) return;
  gap_ = value;
  Realign(TFollow::Label);
}

void TsStickyLabel::Notification(TComponent* component, TOperation operation) {
  // The control is past its own destructors here: its window procedure went with it, so it is
  // only forgotten, never handed its procedure back.
  if (operation == opRemove && component == attachTo_) {
    attachTo_ = nullptr;
    oldWindowProc_ = nullptr;
  }
  TsLabel::Notification(component, operation);
}

void TsStickyLabel::Realign(TFollow who) {
  realigning_ = true;
  TScopeExit done([this] { realigning_ = false; });
  if (!attachTo_) return;
  TControl* moving = who == TFollow::Label ? static_cast<TControl*>(this) : attachTo_;
  TControl* target = who == TFollow::Label ? static_cast<TControl*>(attachTo_) : this;
  const TAlignTo side = who == TFollow::Label ? alignTo_ : OppositeSide(alignTo_);
  const TPoint at =
      StickyPlace(target->BoundsRect(), moving->Width(), moving->Height(), side, gap_);
  moving->SetBounds(at.X, at.Y, moving->Width(), moving->Height());
}

void TsStickyLabel::AttachedWndProc(TMessage& m) {
  if (!IsDestroying() && attachTo_ && !attachTo_->ComponentState().Contains(csDestroying) &&
      !realigning_) {
    switch (m.Msg) {
      case WM_MOVE:
      case WM_WINDOWPOSCHANGED:
        Realign(TFollow::Label);
        break;
      case WM_SIZE:
        // A resized control is put back against the label.
        Realign(TFollow::Control);
        break;
      case CM_VISIBLECHANGED:
        SetVisible(attachTo_->Visible());
        break;
      case CM_ENABLEDCHANGED:
        SetEnabled(attachTo_->Enabled());
        break;
      default:
        break;
    }
  }
  if (oldWindowProc_) oldWindowProc_(m);
}

void TsStickyLabel::WndProc(TMessage& m) {
  if (m.Msg == WM_WINDOWPOSCHANGED && !IsDestroying() && attachTo_ && !realigning_)
    Realign(TFollow::Control);
  TsLabel::WndProc(m);
}
