#include "skin/controls/sComboBoxWin32.h"

#include <commctrl.h>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sTextPaintWin32.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Items are drawn vertically centred on one line, tabs expanded, '&' shown as it is.
constexpr uint32_t kItemTextFormat =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;

// A list window's border back as the system draws it.
void RestoreListBorder(HWND list) {
  if (!IsWindow(list)) return;
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  SetWindowLongPtrA(list, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
}

}  // namespace

// The skin command as the combo box answers it.
class TsCustomComboBox::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsCustomComboBox& box) : TsControlCmdHandler(box, *box.skinData_), b_(box) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    if (b_.dropListAdapter_ && IsWindow(b_.dropListWindow_))
      SendSkinCmd(b_.dropListWindow_, CmdSkinChanged, static_cast<LPARAM>(m.LParam));
    b_.skinData_->Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    if (!Data().CustomColor) b_.SetColor(clWindow);
    if (!Data().CustomFont) b_.Font()->SetColor(clWindowText);
    b_.ReleaseListAdapter();
    if (b_.HandleAllocated()) b_.Invalidate();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    b_.Repaint();
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().PaintSuspended = false;
    b_.Repaint();
    return true;
  }
  bool OnMouseLeave(TSkinCmdMessage&) override {
    b_.Perform(CM_MOUSELEAVE, 0, 0);
    return false;
  }
  bool OnMenuShown(TSkinCmdMessage& m) override {
    m.Result = b_.DroppedDown() ? 1 : 0;
    return true;
  }

 private:
  TsCustomComboBox& b_;
};

TsCustomComboBox::TsCustomComboBox(TComponent* owner)
    : TCustomComboBox(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::Edit;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("COMBOBOX");
  SetDropDownCount(16);
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsCustomComboBox::~TsCustomComboBox() {
  ReleaseListAdapter();
  editHook_.Detach();
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsCustomComboBox::Loaded() {
  TCustomComboBox::Loaded();
  skinData_->Loaded();
}

void TsCustomComboBox::ReleaseListAdapter() {
  if (!dropListAdapter_) return;
  RestoreListBorder(dropListWindow_);
  ReleaseScrollAdapter(true, true, dropListAdapter_);
  dropListWindow_ = nullptr;
}

void TsCustomComboBox::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsCustomComboBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  skinData_->Invalidate();
}

TsComboKind TsCustomComboBox::Kind() const {
  switch (Style()) {
    case csDropDown:
      return TsComboKind::DropDown;
    case csSimple:
      return TsComboKind::Simple;
    default:
      return TsComboKind::DropDownList;
  }
}

bool TsCustomComboBox::OwnerDrawn() const {
  return (Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable) && OnDrawItem();
}

void TsCustomComboBox::CreateParams(TCreateParams& p) {
  TCustomComboBox::CreateParams(p);
  // Every item, the current one in the box included, reaches DrawItem.
  if (Style() == csDropDown || Style() == csDropDownList) p.Style |= CBS_OWNERDRAWVARIABLE;
}

void TsCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount()), 0);
  skinData_->Loaded();
  if (HWND edit = EditHandle(); edit && edit != Handle())
    editHook_.Attach(edit, [this](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
      return EditChildMessage(msg, result);
    });
}

bool TsCustomComboBox::Focused() {
  if (skinData_->HasFocus) return true;
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == Handle() || IsChild(Handle(), focus));
}

TRect TsCustomComboBox::ButtonRect() const {
  return ComboButtonRect(Width(), Height(), GetSystemMetrics(SM_CXVSCROLL), false, Kind());
}

// ---- the window procedure ------------------------------------------------------------------

void TsCustomComboBox::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TCustomComboBox::WndProc(m);
    return;
  }
  if (RefusedWhileReadOnly(m)) return;
  if (HandleMouse(m)) return;
  if (m.Msg == CN_DRAWITEM) {
    DrawItemMessage(m);
    return;
  }
  // However it was asked for, a read-only box's list does not stay open.
  if (readOnly_ && m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_DROPDOWN)
    PostMessageA(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TCustomComboBox::WndProc(m);
  } else {
    if (HandleSkinned(m)) return;
    HandleCommonMessage(m, skinData_.get());
    TCustomComboBox::WndProc(m);
    AfterEffects(m);
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}

bool ReadOnlyComboRefusesKey(UINT msg, WPARAM key) {
  switch (msg) {
    case WM_CHAR:
      return true;
    case WM_KEYDOWN:
    case CN_KEYDOWN:
      // F4 opens the list as Alt with an arrow does: a read-only box keeps it closed.
      return ComboKeyChangesSelection(static_cast<int>(key)) || key == VK_F4;
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
      return ComboKeyChangesSelection(static_cast<int>(key));
    default:
      return false;
  }
}

bool CursorOverWindow(HWND wnd) {
  POINT cursor{};
  RECT box{};
  GetCursorPos(&cursor);
  GetWindowRect(wnd, &box);
  return PtInRect(&box, cursor) != FALSE;
}

bool TsCustomComboBox::RefusedWhileReadOnly(const TMessage& m) const {
  if (!readOnly_) return false;
  switch (m.Msg) {
    case WM_COMMAND:
    case CN_COMMAND:
      // The edit's commands (a pasted or typed text) change nothing; the list's own
      // notifications still reach the box, which closes a list that opened anyway.
      return m.Msg == WM_COMMAND || m.WParam == 7;
    default:
      return ReadOnlyComboRefusesKey(m.Msg, m.WParam);
  }
}

bool TsCustomComboBox::HandleMouse(TMessage& m) {
  if (!readOnly_ || (m.Msg != WM_LBUTTONDOWN && m.Msg != WM_LBUTTONDBLCLK)) return false;
  // A read-only box only takes the focus: its list stays closed.
  if (CanFocus()) SetFocus();
  if (m.Msg == WM_LBUTTONDBLCLK) DblClick();
  m.Result = 0;
  return true;
}

bool TsCustomComboBox::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case CM_ENTER:
      if (m.Msg == CM_ENTER && !CanFocus()) return false;
      d.HasFocus = true;
      d.MouseOver = false;
      d.BackgroundDirty = true;
      TCustomComboBox::WndProc(m);
      Repaint();
      return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (DroppedDown()) SetDroppedDown(false);
      d.HasFocus = false;
      d.MouseOver = false;
      d.BackgroundDirty = true;
      TCustomComboBox::WndProc(m);
      Repaint();
      return true;
    case WM_PAINT: {
      TPaintDC painting(Handle());
      if (!AnimationRunning)
        PaintWindow(m.WParam ? reinterpret_cast<HDC>(m.WParam) : painting.Get());
      return true;
    }
    case WM_NCPAINT:
      if (AnimationRunning) PaintWindow(nullptr);
      return true;
    case WM_ERASEBKGND:
      // The cached picture covers the whole box.
      m.Result = 1;
      return true;
    case WM_PRINT:
      d.PaintSuspended = false;
      PaintWindow(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_MOUSEWHEEL:
      d.BackgroundDirty = true;
      return false;
    case WM_COMMAND:
      listDropped_ = false;
      PaintWindow(nullptr);
      return false;
    case WM_CTLCOLORLISTBOX:
      if (!IsLoading() && !dropListAdapter_ && Items()->Count() > DropDownCount()) {
        dropListWindow_ = reinterpret_cast<HWND>(m.LParam);
        dropListAdapter_ = TskComboListWnd::CreateForCombo(
            dropListWindow_, nullptr, d.SkinManager(), "EDIT", true, Kind() == TsComboKind::Simple);
      }
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      MouseEnterOrLeave(m);
      return true;
    case CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN) {
        listDropped_ = true;
      } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
        listDropped_ = false;
        d.BackgroundDirty = true;
        PaintWindow(nullptr);
      }
      return false;
    default:
      return false;
  }
}

void TsCustomComboBox::MouseEnterOrLeave(TMessage& m) {
  TsCommonData& d = *skinData_;
  if (ComponentState().Contains(csDesigning)) return;
  if (listDropped_) {
    TCustomComboBox::WndProc(m);
    return;
  }
  const bool entering = m.Msg == CM_MOUSEENTER;
  if (!entering) {
    if (CursorOverWindow(Handle())) return;
  } else if (d.MouseOver) {
    return;
  } else if (TsSkinRuntimeHotWindow) {
    TsSkinRuntimeHotWindow(Handle());
  }
  d.MouseOver = entering;
  d.BackgroundDirty = true;
  Repaint();
  TCustomComboBox::WndProc(m);
  UpdateGlow(d, !d.MouseOver, Handle());
}

void TsCustomComboBox::AfterEffects(const TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED:
      Repaint();
      break;
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      d.BackgroundDirty = true;
      Repaint();
      break;
    default:
      break;
  }
}

bool TsCustomComboBox::EditChildMessage(UINT msg, LRESULT& result) {
  if (readOnly_) {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
        result = 0;
        return true;
      default:
        break;
    }
  }
  if (!skinData_->IsSkinned() || ComponentState().Contains(csDestroying)) return false;
  // The edit paints its text itself only while it is being typed into; else the cached
  // picture shows it.
  const bool editPaints = Kind() == TsComboKind::Simple || (Focused() && Enabled() && !readOnly_);
  if (editPaints) return false;
  switch (msg) {
    case WM_PAINT: {
      TPaintDC validated(EditHandle());
      result = 0;
      return true;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      result = 1;
      return true;
    default:
      return false;
  }
}

// ---- painting ------------------------------------------------------------------------------

void TsCustomComboBox::PaintWindow(HDC dc) {
  if (!HandleAllocated() || !Showing()) return;
  TsCommonData& d = *skinData_;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  if (AnimationRunning && (!dc || d.PrintTarget != reinterpret_cast<intptr_t>(dc))) return;
  TWindowDC own;
  if (!dc) {
    own = TWindowDC(Handle());
    dc = own.Get();
  }
  if (!dc) return;
  d.BackgroundDirty = d.BackgroundDirty || d.PartlyHidden ||
                      (Parent() && QueryControlSkinCmd(Parent(), CmdIsPartlyHidden) != 0) ||
                      OwnerDrawn();
  d.PartlyHidden = !Parent() || !RectContainsRect(Parent()->ClientRect(), BoundsRect());
  if (d.BackgroundDirty) PrepareCache();
  if (!d.CacheBitmap) return;
  // Only the frame's open corners take what the parent shows now: the whole border mask laid
  // again would cover the item and the button with its face.
  FillBorderCorners(d, TsPaintState::Normal);
  TBitmap& cache = *d.CacheBitmap;
  HDC source = cache.Canvas()->Handle();
  switch (ComboPaintCopy(Kind(), Focused())) {
    case TsComboCopy::Whole:
      BitBlt(dc, 0, 0, cache.Width(), cache.Height(), source, 0, 0, SRCCOPY);
      break;
    case TsComboCopy::FrameAndButton: {
      CopyBorderFrame(dc, source, cache.Width(), cache.Height(), ComboFrameWidth);
      const TRect button = ButtonRect();
      BitBlt(dc, button.Left, button.Top, button.Width(), button.Height(), source, button.Left,
             button.Top, SRCCOPY);
      break;
    }
    case TsComboCopy::Frame:
      CopyBorderFrame(dc, source, cache.Width(), cache.Height(), ComboFrameWidth);
      break;
  }
}

void TsCustomComboBox::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  if (!cache) return;
  const int height = ComboCacheHeight(Kind(), Height(), ItemHeight());
  if (cache->Height() != height) cache->SetSize(Width(), height);
  const TsPaintState look = d.IsActive() ? TsPaintState::Hot : TsPaintState::Normal;
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  PaintControlItem(d, behind, cache, TPoint{Left(), Top()}, TRect{0, 0, Width(), height}, look);
  if (Kind() != TsComboKind::Simple) {
    TOwnerDrawState state{odComboBoxEdit};
    if (Focused() && Style() != csDropDown) {
      state += odSelected;
      state += odFocused;
    }
    {
      TCanvasOnDC onCache(Canvas(), cache->Canvas()->Handle());
      DrawItem(ItemIndex(), ComboItemRect(ButtonRect(), height), state);
    }
    PaintButton();
  }
  if (!Enabled() && !OwnerDrawn()) {
    d.GetParentBackground(behind);
    PaintDisabledEffect(cache, disabledKind_, GetControlBgColor(Parent()), TPoint{Left(), Top()},
                        behind);
  }
  d.BackgroundDirty = false;
}

void TsCustomComboBox::PaintButton() {
  PaintComboButton(*skinData_, ButtonRect(), Height(), listDropped_);
}

void PaintComboButton(TsCommonData& d, const TRect& button, int boxHeight, bool dropped) {
  TsSkinManager* manager = d.SkinManager();
  TBitmap* cache = d.CacheBitmap.get();
  if (!manager || !cache) return;
  const int state = ComboButtonState(dropped, d.IsActive());

  // What the box shows under the button, for the key pixels of the button's images.
  std::unique_ptr<TBitmap> under = CopyBitmapArea(*cache, button);
  const TsBackgroundSource behind = MakeBackgroundSource(under.get(), -button.Left, -button.Top);
  if (const int section = manager->GetSectionIndex("COMBOBTN"); section >= 0)
    PaintItem(TsItemPaint{.Bitmap = cache,
                          .R = button,
                          .SectionIndex = section,
                          .SectionName = "COMBOBTN",
                          .State = static_cast<TsPaintState>(state),
                          .Background = behind,
                          .Manager = manager});
  const int arrow = manager->GetMaskIndex(d.SectionIndex, d.SkinSection(), "GLYPHMASK");
  if (!manager->IsValidMaskIndex(arrow)) return;
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(arrow)];
  const TPoint at = ComboArrowPlace(button, boxHeight, MaskStateWidth(mask), MaskStateHeight(mask));
  PaintMaskGlyph(cache, at, state, mask, MakeBackgroundSource(cache, 0, 0));
}

// ---- items ---------------------------------------------------------------------------------

void TsCustomComboBox::DrawItemMessage(TMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TOwnerDrawState state = OwnerDrawStateFromItemState(item->itemState);
  if (item->itemState & ODS_COMBOBOXEDIT) state += odComboBoxEdit;
  TSaveDC saved(item->hDC);
  TCanvasOnDC onItem(Canvas(), item->hDC);
  const RECT& r = item->rcItem;
  DrawItem(static_cast<int>(item->itemID), TRect{r.left, r.top, r.right, r.bottom}, state);
  m.Result = 1;
}

void TsCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  if (skinData_->IsSkinned())
    SkinnedDrawItem(index, rect, state);
  else
    PlainDrawItem(index, rect, state);
}

void TsCustomComboBox::PlainDrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  const bool selected = state.Contains(odSelected);
  canvas->Font()->Assign(Font());
  canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->FillRect(rect);
  const bool valid = index >= 0 && index < Items()->Count();
  if (valid && (Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable) && OnDrawItem()) {
    OnDrawItem()(this, index, rect, state);
  } else if (valid) {
    TRect text = rect;
    text.Left += 2;
    SetBkMode(canvas->Handle(), TRANSPARENT);
    SetTextColor(canvas->Handle(), static_cast<COLORREF>(ColorToRGB(canvas->Font()->Color())));
    DrawTextRect(canvas->Handle(), (*Items())[index], text, kItemTextFormat);
  }
  if (state.Contains(odFocused)) canvas->DrawFocusRect(rect);
}

void TsCustomComboBox::SkinnedDrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  const bool selected = state.Contains(odSelected);
  const bool focused = state.Contains(odFocused);
  const bool editPart = state.Contains(odComboBoxEdit);
  std::unique_ptr<TBitmap> item = CreateBmp32(rect.Width(), rect.Height());
  TCanvas* ic = item->Canvas();
  ic->Font()->Assign(Font());
  const TRect whole{0, 0, rect.Width(), rect.Height()};
  const int selection = manager ? manager->GetSectionIndex("SELECTION") : -1;
  if (selected) {
    if (selection >= 0)
      PaintItem(
          TsItemPaint{.Bitmap = item.get(),
                      .R = whole,
                      .SectionIndex = selection,
                      .SectionName = "SELECTION",
                      .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                      .Background = MakeBackgroundSource(d.CacheBitmap.get(), rect.Left, rect.Top),
                      .Manager = manager});
    else
      FillRect32(item.get(), whole, ColorToRGB(manager->SelectionColor(focused)));
  } else if (editPart && d.CacheBitmap) {
    BitBlt(ic->Handle(), 0, 0, rect.Width(), rect.Height(), d.CacheBitmap->Canvas()->Handle(),
           rect.Left, rect.Top, SRCCOPY);
  } else {
    FillRect32(item.get(), whole, ColorToRGB(manager->GlobalHotColor()));
  }
  const bool valid = index >= 0 && index < Items()->Count();
  if (valid && OwnerDrawn()) {
    TCanvasOnDC onItem(Canvas(), ic->Handle());
    TSaveDC saved(ic->Handle());
    SetWindowOrgEx(ic->Handle(), rect.Left, rect.Top, nullptr);
    OnDrawItem()(this, index, rect, state);
  } else {
    const int editSection = manager->GetSectionIndex("EDIT");
    TRect text{whole.Left + 2, whole.Top, whole.Right - 2, whole.Bottom};
    HDC dc = ic->Handle();
    SetBkMode(dc, TRANSPARENT);
    if (editPart && Style() == csDropDown) {
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
      DrawTextRect(dc, Text(), text, kItemTextFormat);
    } else if (valid && selection >= 0 && selected) {
      DrawSectionTextEx(ic, TsSectionText{.Text = (*Items())[index],
                                          .R = text,
                                          .Format = kItemTextFormat,
                                          .SectionIndex = selection,
                                          .Hot = focused,
                                          .Manager = manager});
    } else if (valid) {
      TColor color = Font()->Color();
      if (selected)
        color = manager->SelectionTextColor(focused);
      else if (!editPart && editSection >= 0)
        color = manager->Sections()[static_cast<size_t>(editSection)].FontColor;
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
      DrawTextRect(dc, (*Items())[index], text, kItemTextFormat);
    }
    if (focused && selection < 0) DrawFocusRect(dc, reinterpret_cast<const RECT*>(&whole));
  }
  BitBlt(Canvas()->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), ic->Handle(), 0, 0,
         SRCCOPY);
}
