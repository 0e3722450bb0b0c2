#include "skin/controls/sComboBoxesWin32.h"

#include <commctrl.h>

#include <string>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sComboBoxExGeometry.h"
#include "skin/controls/sComboBoxGeometry.h"
#include "skin/controls/sComboBoxWin32.h"
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

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void DrawPlainText(HDC dc, const std::string& text, TRect r, uint32_t format, TColor color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  DrawTextRect(dc, text, r, format);
}

}  // namespace

// ---- the skin command ------------------------------------------------------------------------

class TsCustomComboBoxEx::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsCustomComboBoxEx& box)
      : TsControlCmdHandler(box, *box.skinData_), b_(box) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    if (b_.listAdapter_ && IsWindow(b_.listWnd_))
      SendSkinCmd(b_.listWnd_, CmdSkinChanged, static_cast<LPARAM>(m.LParam));
    b_.RepaintBox();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    if (!Data().CustomColor) b_.SetColor(clWindow);
    if (!Data().CustomFont) b_.Font()->SetColor(clWindowText);
    b_.ReleaseListAdapter();
    b_.RepaintBox();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    b_.RepaintBox();
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().PaintSuspended = false;
    b_.RepaintBox();
    return true;
  }
  bool OnRepaintAll(TSkinCmdMessage&) override {
    b_.RepaintBox();
    return false;
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
  TsCustomComboBoxEx& b_;
};

// ---- construction ----------------------------------------------------------------------------

TsCustomComboBoxEx::TsCustomComboBoxEx(TComponent* owner)
    : TCustomComboBoxEx(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::Edit;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("COMBOBOX");
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsCustomComboBoxEx::~TsCustomComboBoxEx() {
  ReleaseListAdapter();
  edit_.Detach();
  innerCombo_.Detach();
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsCustomComboBoxEx::Loaded() {
  TCustomComboBoxEx::Loaded();
  skinData_->Loaded();
}

void TsCustomComboBoxEx::CreateParams(TCreateParams& p) {
  TCustomComboBoxEx::CreateParams(p);
  // Every item, the current one in the box included, reaches the box as WM_DRAWITEM.
  p.Style |= CBS_OWNERDRAWVARIABLE;
}

void TsCustomComboBoxEx::CreateWnd() {
  TCustomComboBoxEx::CreateWnd();
  if (!HandleAllocated()) return;
  skinData_->Loaded();
  SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount()), 0);
  auto inner = [this](HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    return InnerMessage(wnd, msg, wp, lp, result);
  };
  if (auto combo = reinterpret_cast<HWND>(SendMessageA(Handle(), CBEM_GETCOMBOCONTROL, 0, 0)))
    innerCombo_.Attach(combo, inner);
  if (auto edit = reinterpret_cast<HWND>(SendMessageA(Handle(), CBEM_GETEDITCONTROL, 0, 0)))
    edit_.Attach(edit, inner);
  if (skinData_->IsSkinned()) {
    if (!skinData_->CustomColor) SetColor(GetControlBgColor(this));
    if (!skinData_->CustomFont) {
      TsSkinManager* manager = skinData_->SkinManager();
      if (manager && skinData_->SectionIndex >= 0)
        Font()->SetColor(
            manager->Sections()[static_cast<size_t>(skinData_->SectionIndex)].FontColor);
    }
  }
}

void TsCustomComboBoxEx::DestroyWnd() {
  ReleaseListAdapter();
  edit_.Detach();
  innerCombo_.Detach();
  TCustomComboBoxEx::DestroyWnd();
}

void TsCustomComboBoxEx::ReleaseListAdapter() {
  if (listAdapter_) {
    RestoreListBorder(listWnd_);
    ReleaseScrollAdapter(true, true, listAdapter_);
  }
  listWnd_ = nullptr;
}

void TsCustomComboBoxEx::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsCustomComboBoxEx::SetShowButton(bool value) {
  if (value == showButton_) return;
  showButton_ = value;
  skinData_->Invalidate();
}

bool TsCustomComboBoxEx::Focused() {
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == Handle() || IsChild(Handle(), focus));
}

bool TsCustomComboBoxEx::RightToLeft() {
  return HandleAllocated() && (GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

TRect TsCustomComboBoxEx::ButtonRect() {
  const int width = Style() != csExSimple && showButton_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  return ComboButtonRect(Width(), Height(), width, RightToLeft(), TsComboKind::DropDown);
}

void TsCustomComboBoxEx::RepaintBox() {
  skinData_->BackgroundDirty = true;
  if (!HandleAllocated()) return;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- the window procedure ------------------------------------------------------------------

void TsCustomComboBoxEx::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TCustomComboBoxEx::WndProc(m);
    return;
  }
  if (m.Msg == WM_DRAWITEM && skinData_->IsSkinned()) {
    DrawItemMessage(m);
    if (m.Result == 1) return;
  }
  if (RefusedWhileReadOnly(m)) return;
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TCustomComboBoxEx::WndProc(m);
  } else {
    if (HandleSkinned(m)) return;
    HandleCommonMessage(m, skinData_.get());
    TCustomComboBoxEx::WndProc(m);
    AfterEffects(m);
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}

bool TsCustomComboBoxEx::RefusedWhileReadOnly(const TMessage& m) {
  if (!readOnly_) return false;
  switch (m.Msg) {
    case WM_COMMAND:
      // However it was asked for, a read-only box's list does not stay open; the inner
      // windows' other news (a typed or pasted text, a new item) change nothing.
      if (HIWORD(m.WParam) == CBN_DROPDOWN && innerCombo_.Attached())
        PostMessageA(innerCombo_.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      return HIWORD(m.WParam) != CBN_CLOSEUP;
    case CN_COMMAND:
      return HIWORD(m.WParam) != CBN_CLOSEUP && HIWORD(m.WParam) != CBN_DROPDOWN;
    default:
      return ReadOnlyComboRefusesKey(m.Msg, m.WParam);
  }
}

bool TsCustomComboBoxEx::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case CM_ENTER:
    case WM_KILLFOCUS:
    case CM_EXIT: {
      if (m.Msg == CM_ENTER && !CanFocus()) return false;
      if (focusing_) return false;
      focusing_ = true;
      const bool entering = m.Msg == WM_SETFOCUS || m.Msg == CM_ENTER;
      if (!entering && DroppedDown() && innerCombo_.Attached())
        SendMessageA(innerCombo_.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      d.HasFocus = entering;
      d.MouseOver = false;
      d.BackgroundDirty = true;
      TCustomComboBoxEx::WndProc(m);
      focusing_ = false;
      RepaintBox();
      return true;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_NCPAINT:
      m.Result = 0;
      return true;
    case WM_PRINT:
      d.PaintSuspended = false;
      PaintToDC(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_MOUSEWHEEL:
      d.BackgroundDirty = true;
      return false;
    case WM_STYLECHANGED:
      ReleaseListAdapter();
      return false;
    case WM_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN || HIWORD(m.WParam) == CBN_CLOSEUP) return false;
      dropped_ = false;
      d.BackgroundDirty = true;
      return false;
    case WM_CTLCOLORLISTBOX:
      if (!IsLoading() && !listAdapter_) {
        listWnd_ = reinterpret_cast<HWND>(m.LParam);
        listAdapter_ = TskComboListWnd::CreateForCombo(listWnd_, nullptr, d.SkinManager(), "EDIT",
                                                       true, Style() == csExSimple);
      }
      return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      MouseEnterOrLeave(m);
      return true;
    case CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN) {
        dropped_ = true;
        d.BackgroundDirty = true;
      } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
        d.BackgroundDirty = true;
        dropped_ = false;
        Perform(CM_MOUSELEAVE, 0, 0);
        RepaintBox();
      }
      return false;
    default:
      return false;
  }
}

void TsCustomComboBoxEx::MouseEnterOrLeave(TMessage& m) {
  TsCommonData& d = *skinData_;
  if (ComponentState().Contains(csDesigning)) return;
  if (dropped_) {
    TCustomComboBoxEx::WndProc(m);
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
  RepaintBox();
  TCustomComboBoxEx::WndProc(m);
  UpdateGlow(d, !d.MouseOver, Handle());
}

void TsCustomComboBoxEx::AfterEffects(const TMessage& m) {
  switch (m.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED:
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      RepaintBox();
      break;
    default:
      break;
  }
}

// ---- the inner windows ---------------------------------------------------------------------

bool TsCustomComboBoxEx::RefusedByInnerWindow(HWND wnd, UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYUP:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      return true;
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
      // Alt with an arrow would open the list.
      return ComboKeyChangesSelection(static_cast<int>(wp));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A click only takes the focus: the list stays closed.
      if (GetFocus() != wnd) ::SetFocus(wnd);
      if (msg == WM_LBUTTONDBLCLK) DblClick();
      return true;
    default:
      return false;
  }
}

bool TsCustomComboBoxEx::InnerMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  (void)lp;
  if (readOnly_ && RefusedByInnerWindow(wnd, msg, wp)) {
    result = 0;
    return true;
  }
  if (!skinData_->IsSkinned() || ComponentState().Contains(csDestroying)) return false;
  const bool inner = wnd == innerCombo_.Handle();
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      // The inner box would paint its own focused look: the cached picture shows it instead.
      SendMessageA(innerCombo_.Handle(), WM_SETREDRAW, FALSE, 0);
      result = inner ? innerCombo_.CallNext(msg, wp, lp) : edit_.CallNext(msg, wp, lp);
      SendMessageA(innerCombo_.Handle(), WM_SETREDRAW, TRUE, 0);
      RepaintBox();
      return true;
    }
    case WM_PAINT:
      if (inner) {
        if (wp) {
          PaintToDC(reinterpret_cast<HDC>(wp));
        } else {
          TPaintDC painting(wnd);
          if (!skinData_->PaintingSuspended()) PaintToDC(painting.Get());
        }
        result = 0;
        return true;
      }
      if (Enabled()) return false;
      // A disabled box shows its text in the cached picture; the edit's region is still
      // validated, or the system would ask it to paint again and again.
      { TPaintDC painting(wnd); }
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 0;
      return true;
    case WM_NCPAINT:
      result = 1;
      return true;
    default:
      return false;
  }
}

// ---- painting --------------------------------------------------------------------------------

void TsCustomComboBoxEx::PaintToDC(HDC dc) {
  TsCommonData& d = *skinData_;
  if (!dc || !HandleAllocated()) return;
  if (d.BackgroundDirty || !d.CacheBitmap) PrepareCache();
  if (!d.CacheBitmap) return;
  FillBorderCorners(d, TsPaintState::Normal);
  TBitmap& cache = *d.CacheBitmap;
  HDC source = cache.Canvas()->Handle();
  // The inner box may not lie at the box's own top-left corner.
  POINT at{0, 0};
  if (innerCombo_.Attached()) MapWindowPoints(Handle(), innerCombo_.Handle(), &at, 1);
  if (dropped_) {
    const TRect button = ButtonRect();
    BitBlt(dc, button.Left + at.x, button.Top + at.y, button.Width(), button.Height(), source,
           button.Left, button.Top, SRCCOPY);
  } else {
    BitBlt(dc, at.x, at.y, cache.Width(), cache.Height(), source, 0, 0, SRCCOPY);
  }
}

void TsCustomComboBoxEx::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  if (!cache) return;
  const TsPaintState look = d.IsActive() ? TsPaintState::Hot : TsPaintState::Normal;
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  if (Style() == csExSimple) {
    const int height = ComboCacheHeight(TsComboKind::Simple, Height(), 16);
    if (cache->Height() != height) cache->SetSize(Width(), height);
    PaintControlItem(d, behind, cache, TPoint{Left(), Top()}, TRect{0, 0, Width(), height}, look);
  } else {
    PaintControlItem(d, behind, cache, TPoint{Left(), Top()}, TRect{0, 0, Width(), Height()}, look);
    if (showButton_) PaintButton();
    TOwnerDrawState state{odComboBoxEdit};
    if (Focused() && Style() == csExDropDownList && Enabled()) {
      state += odSelected;
      state += odFocused;
    }
    DrawSkinItem(ItemIndex(), ComboExEditRect(ButtonRect(), Width(), Height(), RightToLeft()),
                 nullptr, state);
  }
  if (!Enabled()) {
    d.GetParentBackground(behind);
    PaintDisabledEffect(cache, disabledKind_, GetControlBgColor(Parent()), TPoint{Left(), Top()},
                        behind);
  }
  d.BackgroundDirty = false;
}

void TsCustomComboBoxEx::PaintButton() {
  PaintComboButton(*skinData_, ButtonRect(), Height(), dropped_);
}

// ---- items ---------------------------------------------------------------------------------

void TsCustomComboBoxEx::DrawItemMessage(TMessage& m) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (item->CtlType != ODT_COMBOBOX) return;
  TOwnerDrawState state = OwnerDrawStateFromItemState(item->itemState);
  if (item->itemState & ODS_COMBOBOXEDIT) state += odComboBoxEdit;
  const RECT& r = item->rcItem;
  m.Result = DrawSkinItem(static_cast<int>(item->itemID), TRect{r.left, r.top, r.right, r.bottom},
                          item->hDC, state)
                 ? 1
                 : 0;
}

bool TsCustomComboBoxEx::DrawSkinItem(int index, const TRect& rect, HDC dc, TOwnerDrawState state) {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (!manager || rect.Width() <= 0 || rect.Height() <= 0) return false;
  TBitmap* cache = d.CacheBitmap.get();
  const bool inList = !state.Contains(odComboBoxEdit);
  const bool selected = state.Contains(odSelected);
  const bool focused = state.Contains(odFocused);
  const TComboExItem* item =
      index >= 0 && index < ItemsEx()->Count() ? ItemsEx()->Items(index) : nullptr;

  // The section behind the item: a selected list item, and the current item of a drop-down
  // list box, show the selection; an unselected list item shows the edit's face.
  int section = d.SectionIndex;
  std::string sectionName = d.SkinSection();
  const bool highlighted = selected && (inList || Style() == csExDropDownList);
  const int selection = manager->GetSectionIndex("SELECTION");
  if (highlighted) {
    section = selection;
    sectionName = "SELECTION";
  } else if (inList) {
    section = manager->GetSectionIndex("EDIT");
    sectionName = "EDIT";
  }

  std::unique_ptr<TBitmap> picture = CreateBmp32(rect.Width(), rect.Height());
  TCanvas* pc = picture->Canvas();
  pc->Font()->Assign(Font());
  HDC pdc = pc->Handle();
  const TColor color = Color();
  const TRect whole{0, 0, rect.Width(), rect.Height()};
  const std::string caption = item ? item->Caption() : std::string();
  TCustomImageList* images = Images();
  TsComboExItemFacts facts{.Width = rect.Width(),
                           .Height = rect.Height(),
                           .InList = inList,
                           .Indent = item ? item->Indent() : 0,
                           .HasImages = images != nullptr,
                           .ImageWidth = images ? images->Width() : 0,
                           .ImageHeight = images ? images->Height() : 0,
                           .TextWidth = TextWidth(pdc, caption)};
  const TsComboExItemLayout layout = ComboExItemLayout(facts);

  // The background: the box's colour in the list, the cached picture in the edit part.
  if (inList || !cache)
    FillRect32(picture.get(), whole, ColorToRGB(color));
  else
    BitBlt(pdc, 0, 0, rect.Width(), rect.Height(), cache->Canvas()->Handle(), rect.Left, rect.Top,
           SRCCOPY);
  if (!layout.Empty) {
    if (highlighted) {
      TRect area = layout.Content;
      if (Style() == csExDropDown) {
        FillRect32(picture.get(), area, ColorToRGB(color));
        area = layout.TextHighlight;
      }
      if (selection < 0)
        FillRect32(picture.get(), area, ColorToRGB(manager->SelectionColor(focused)));
      else
        PaintItem(TsItemPaint{.Bitmap = picture.get(),
                              .R = area,
                              .SectionIndex = selection,
                              .SectionName = "SELECTION",
                              .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                              .Background = MakeBackgroundSource(picture.get(), 0, 0),
                              .Manager = manager});
    }
    if (images && item) {
      const int image = inList || item->SelectedImageIndex() < 0 ? item->ImageIndex()
                                                                 : item->SelectedImageIndex();
      if (image >= 0 && image < images->Count())
        images->Draw(pc, layout.ImageAt.X, layout.ImageAt.Y, image, Enabled());
    }
    if (!inList && Style() == csExDropDown) {
      TRect text = layout.Text;
      text.Right += 2;
      text.Top += 1;
      text.Bottom += 1;
      const TColor font = d.SectionIndex >= 0
                              ? manager->Sections()[static_cast<size_t>(d.SectionIndex)].FontColor
                              : Font()->Color();
      DrawPlainText(pdc, Text(), text, (kItemTextFormat & ~DT_VCENTER) | DT_BOTTOM, font);
    } else if (item) {
      if (section >= 0 && highlighted) {
        DrawSectionTextEx(pc, TsSectionText{.Text = caption,
                                            .R = layout.Text,
                                            .Format = kItemTextFormat,
                                            .SectionIndex = section,
                                            .Hot = focused,
                                            .Manager = manager});
      } else if (highlighted) {
        DrawPlainText(pdc, caption, layout.Text, kItemTextFormat,
                      manager->SelectionTextColor(focused));
      } else {
        const TColor font = section >= 0
                                ? manager->Sections()[static_cast<size_t>(section)].FontColor
                                : Font()->Color();
        DrawPlainText(pdc, caption, layout.Text, kItemTextFormat, font);
      }
    }
  }
  if (focused && selection < 0 && !layout.Empty) {
    const RECT focus{layout.Content.Left, 0, layout.Content.Right, rect.Height()};
    DrawFocusRect(pdc, &focus);
  }
  HDC target = dc ? dc : (cache ? cache->Canvas()->Handle() : nullptr);
  if (target) BitBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), pdc, 0, 0, SRCCOPY);
  return true;
}
