#include "skin/controls/sCustomComboEditWin32.h"

#include "framework/FormsWin32.h"
#include "skin/controls/sEditGeometry.h"
#include "skin/controls/sGlyphUtils.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sMessages.h"

namespace {

// The button's width: the built-in glyph and a pixel on either side.
int ButtonWidth() { return GlyphModeSize(TsGlyphList{}, -1).ButtonWidth; }

// Three dots, the sign of a button that opens a chooser.
void PaintDots(HDC dc, const RECT& r, COLORREF color) {
  TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2 + 2;
  for (int dx : {-4, 0, 4}) {
    RECT dot{cx + dx - 1, cy - 1, cx + dx + 1, cy + 1};
    FillRect(dc, &dot, brush.Get());
  }
}

}  // namespace

// ---- the button ---------------------------------------------------------------------------

TsEditButton::TsEditButton(TsCustomComboEdit* edit)
    : TCustomControl(edit),
      edit_(edit),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      cmdHandler_(std::make_unique<TsSkinCmdHandler>(*skinData_)) {
  skinData_->SetSkinSection("SPEEDBUTTON_SMALL");
  SetWidth(ButtonWidth());
}

TsEditButton::~TsEditButton() = default;

void TsEditButton::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    if (cmdHandler_->Handle(cmd)) {
      m.Result = cmd.Result;
      if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
      return;
    }
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, FALSE);
      m.Result = 0;
      return;
    case WM_LBUTTONUP: {
      if (!pressed_) break;
      pressed_ = false;
      ReleaseCapture();
      InvalidateRect(Handle(), nullptr, FALSE);
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      RECT r{0, 0, Width(), Height()};
      if (PtInRect(&r, p) && Enabled()) edit_->ButtonPressed();
      m.Result = 0;
      return;
    }
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        InvalidateRect(Handle(), nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_SETCURSOR:
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      m.Result = 1;
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TsEditButton::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r{0, 0, Width(), Height()};
  TsCommonData& d = *skinData_;
  if (d.IsSkinned()) {
    d.UpdateCacheSize();
    TsPaintState state = pressed_ ? TsPaintState::Pressed
                         : hot_   ? TsPaintState::Hot
                                  : TsPaintState::Normal;
    PaintControlItemOnParent(d, edit_, d.CacheBitmap.get(), TPoint{Left(), Top()},
                             TRect{0, 0, Width(), Height()}, state);
    BitBlt(dc, 0, 0, Width(), Height(), d.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
  }
  PaintDots(dc, r, Enabled() ? ColorToRGB(edit_->Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
}

// ---- the edit -----------------------------------------------------------------------------

// The edit's answers to the skin command: its background seen from inside its frame, and
// after a skin change the button and the text rectangle follow.
class TsCustomComboEdit::TCmdHandler : public TsSkinCmdHandler {
 public:
  explicit TCmdHandler(TsCustomComboEdit& edit) : TsSkinCmdHandler(*edit.SkinData()), edit_(edit) {}

 protected:
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    Data().FillBackgroundRequest(request, 0);
    // Children sit inside the frame: what lies behind them starts past it.
    const int frame = EditBorderWidth(TsEditFrame{.HasBorder = edit_.BorderStyle() != bsNone});
    request.X = frame;
    request.Y = frame;
    return true;
  }
  bool OnSkinChanged(TSkinCmdMessage&) override { return Follow(); }
  bool OnRemoveSkin(TSkinCmdMessage&) override { return Follow(); }
  bool OnRefresh(TSkinCmdMessage&) override { return Follow(); }

 private:
  // The edit answers first as every skinned edit does; the button hears the same command.
  bool Follow() {
    TMessage& m = *edit_.currentMessage_;
    edit_.PassSkinCmd(m);
    if (edit_.button_->HandleAllocated())
      SendMessageA(edit_.button_->Handle(), m.Msg, m.WParam, m.LParam);
    edit_.UpdateEditRect();
    return true;
  }
  TsCustomComboEdit& edit_;
};

TsCustomComboEdit::TsCustomComboEdit(TComponent* owner)
    : TsEdit(owner), button_(new TsEditButton(this)) {
  SkinData()->ControlKind = TsControlKind::Edit;
  cmdHandler_ = std::make_unique<TCmdHandler>(*this);
  button_->SetParent(this);
  button_->SetAlign(alRight);
  SetHeight(21);
}

TsCustomComboEdit::~TsCustomComboEdit() = default;

void TsCustomComboEdit::CreateWnd() {
  TsEdit::CreateWnd();
  UpdateEditRect();
}

void TsCustomComboEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  ApplyReadOnly();
}

void TsCustomComboEdit::SetDirectInput(bool value) {
  directInput_ = value;
  ApplyReadOnly();
}

void TsCustomComboEdit::ApplyReadOnly() { TsEdit::SetReadOnly(readOnly_ || !directInput_); }

void TsCustomComboEdit::SetShowButton(bool value) {
  if (value == showButton_) return;
  showButton_ = value;
  button_->SetVisible(value);
  button_->SetWidth(value ? ButtonWidth() : 0);
  UpdateEditRect();
}

void TsCustomComboEdit::UpdateEditRect() {
  if (!HandleAllocated()) return;
  int right = showButton_ ? button_->Width() : 0;
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, right));
}

void TsCustomComboEdit::ButtonPressed() {
  if (!readOnly_) ButtonClick();
}

void TsCustomComboEdit::ButtonClick() {
  if (OnButtonClick_) OnButtonClick_(this);
}

void TsCustomComboEdit::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    currentMessage_ = &m;
    bool answered = cmdHandler_->Handle(cmd);
    currentMessage_ = nullptr;
    if (answered) {
      if (cmd.Cmd != CmdSkinChanged && cmd.Cmd != CmdRemoveSkin && cmd.Cmd != CmdRefresh)
        m.Result = cmd.Result;
      return;
    }
  }
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (m.WParam <= 0xFF &&
          ShortCut(static_cast<uint16_t>(m.WParam), KeyDataToShiftState(m.LParam)) == clickKey_ &&
          showButton_) {
        ButtonPressed();
        m.Result = 0;
        return;
      }
      break;
    case WM_CHAR:
      // Enter is the form's (its default button), never a character of the edit.
      if (m.WParam == VK_RETURN) {
        m.Result = 0;
        return;
      }
      break;
    case WM_PASTE:
    case WM_CUT:
      if (!directInput_ || readOnly_) {
        m.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TsEdit::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
    case WM_SETFONT:
      UpdateEditRect();
      break;
    case CM_ENABLEDCHANGED:
      button_->SetEnabled(Enabled());
      break;
    default:
      break;
  }
}
