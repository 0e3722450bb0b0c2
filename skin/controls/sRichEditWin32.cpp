#include "skin/controls/sRichEditWin32.h"

#include <richedit.h>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sListGeometry.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

// The skin command as the rich edit answers it.
class TsRichEdit::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsRichEdit& edit) : TsControlCmdHandler(edit, *edit.skinData_), e_(edit) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A pane shown before the skin arrived gets its frame and bars now, not only at the next
    // refresh or show.
    if (e_.HandleAllocated() && e_.Showing()) {
      Data().UpdateColors(true);
      e_.UpdateAdapter();
    }
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m) || e_.ComponentState().Contains(csDestroying)) return false;
    // Let go of the window but keep the adapter object: this message may be passing through
    // it right now. The window keeps its text, caret and scroll place.
    ReleaseScrollAdapter(false, true, e_.scrollWnd_);
    TsSkinCmdHandler::OnRemoveSkin(m);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m) || !e_.Visible()) return false;
    TsSkinCmdHandler::OnRefresh(m);
    e_.UpdateAdapter();
    if (e_.HandleAllocated()) SendMessageA(e_.Handle(), WM_NCPAINT, 0, 0);
    return true;
  }
  bool OnGetDisabledKind(TSkinCmdMessage& m) override {
    if (m.LParam != 0) *reinterpret_cast<TsDisabledKind*>(m.LParam) = e_.disabledKind_;
    return false;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!ReadyAndSkinned() || !Data().PaintingSuspended()) return false;
    Data().PaintSuspended = false;
    SendMessageA(e_.Handle(), WM_NCPAINT, 0, 0);
    return true;
  }

 private:
  TsRichEdit& e_;
};

TsRichEdit::TsRichEdit(TComponent* owner)
    : TRichEdit(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::RichEdit;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("EDIT");
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsRichEdit::~TsRichEdit() {
  scrollWnd_.reset();
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsRichEdit::Loaded() {
  TRichEdit::Loaded();
  skinData_->Loaded();
}

void TsRichEdit::CreateWnd() {
  // The rich edit's own creation lifts the text limit on the new window: a limit asked for
  // before the window exists would reach nothing, and a long log would stop at the default.
  TRichEdit::CreateWnd();
  skinData_->Loaded();
}

void TsRichEdit::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsRichEdit::UpdateAdapter() { UpdateEditAdapter(skinData_.get(), scrollWnd_); }

void TsRichEdit::TakeSectionColors() {
  TsCommonData& d = *skinData_;
  const TsGeneralData* section = d.Section();
  if (section && !d.CustomColor) {
    SetColor(section->Color);
    const TColor text =
        Enabled() ? section->FontColor : AverageColors(section->FontColor, section->Color);
    Font()->SetColor(text);
  }
  d.Invalidate();
}

void TsRichEdit::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TRichEdit::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TRichEdit::WndProc(m);
  } else {
    if (m.Msg == WM_PRINT) {
      Print(m);
      return;
    }
    HandleCommonMessage(m, skinData_.get());
    TRichEdit::WndProc(m);
    switch (m.Msg) {
      case WM_SIZE:
      case EM_STREAMIN:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
      case CM_ENABLEDCHANGED:
        TakeSectionColors();
        break;
      case CM_SHOWINGCHANGED:
        UpdateAdapter();
        break;
      default:
        break;
    }
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}

void TsRichEdit::Print(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  TskEditWnd* adapter = scrollWnd_ && !scrollWnd_->Detached() ? scrollWnd_.get() : nullptr;
  // Without the adapter there is no skinned frame to print the text into: the system prints.
  if (!dc || !adapter) {
    TRichEdit::WndProc(m);
    return;
  }
  TsCommonData& d = *skinData_;
  d.PaintSuspended = false;
  if (d.BackgroundDirty) PrepareWindowCache(&d, Handle(), false);
  if (!d.CacheBitmap) return;
  TBitmap& cache = *d.CacheBitmap;
  const int edge = adapter->EdgeLeft;
  auto barThickness = [](const std::unique_ptr<TskScrollBar>& bar) {
    return bar && bar->Shown ? GetScrollBarSize(*bar, true, false) : 0;
  };
  const TRect clip =
      RichEditPrintClip(cache.Width(), cache.Height(), edge, barThickness(adapter->VertBar),
                        barThickness(adapter->HorzBar));
  FORMATRANGE range{};
  range.hdc = range.hdcTarget = dc;
  const TRect page = RichEditPrintPage(Width(), Height(), Screen->PixelsPerInch());
  range.rc = RECT{page.Left, page.Top, page.Right, page.Bottom};
  range.chrg = CHARRANGE{0, -1};
  {
    TSaveDC saved(dc);
    OffsetViewportOrgEx(dc, edge, edge, nullptr);
    IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
    // The text area shows the pane's colour behind the text, as on the screen.
    SetDCBrushColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
    const RECT area{clip.Left, clip.Top, clip.Right, clip.Bottom};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    OffsetViewportOrgEx(dc, 1, 1, nullptr);
    SendMessageA(Handle(), EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  }
  // The control's layout data for the printer is freed again.
  SendMessageA(Handle(), EM_FORMATRANGE, FALSE, 0);
  PaintCtrlBorder(d, TsPaintState::Normal);
  CopyBorderFrame(dc, cache.Canvas()->Handle(), cache.Width(), cache.Height(), edge);
  adapter->PaintBars(dc, -1);
  m.Result = 2;
}
