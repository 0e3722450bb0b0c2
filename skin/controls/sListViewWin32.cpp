#include "skin/controls/sListViewWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/controls/sListViewGeometry.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

constexpr UINT kItemTextFlags =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT kSubItemTextFlags =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS;

TRect ToRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

bool Contains(const TRect& r, POINT p) {
  return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom;
}

// The item's rectangle of one kind (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL) in client coordinates.
TRect ItemRect(HWND list, int index, int kind) {
  RECT r{};
  r.left = kind;
  if (!SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&r)))
    return TRect{};
  return ToRect(r);
}

int TextExtent(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void DrawPlainText(TBitmap* bitmap, const std::string& text, TRect r, UINT flags, TColor color) {
  HDC dc = bitmap->Canvas()->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rr, flags);
}

}  // namespace

// ---- the list view as its bound label sees it --------------------------------------------------

// ---- the skin command
// ----------------------------------------------------------------------------

class TsCustomListView::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsCustomListView& view)
      : TsControlCmdHandler(view, *view.skinData_), v_(view) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    v_.FollowSkin();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    v_.adapter_.reset();
    v_.ApplyColors(false);
    v_.RedrawAll();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (Data().IsSkinned() && !v_.settingUp_) v_.FollowSkin();
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    v_.printDC_ = nullptr;
    v_.RepaintHeader();
    return true;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    m.Result = Data().PaintSuspended ? 1 : 0;
    return true;
  }
  bool OnBeforeScroll(TSkinCmdMessage& m) override {
    m.Result = 1;  // the list view scrolls itself: the bars send the whole position
    return true;
  }

 private:
  TsCustomListView& v_;
};

// ---- construction ----------------------------------------------------------------------------

TsCustomListView::TsCustomListView(TComponent* owner)
    : TCustomListView(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)) {
  settingUp_ = true;
  skinData_->ControlKind = TsControlKind::ListView;
  skinData_->BackgroundDirty = true;
  cmdHandler_ = std::make_unique<TCmdHandler>(*this);
  headerHeight_ = Font()->Size();
  // A list view made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
  settingUp_ = false;
}

TsCustomListView::~TsCustomListView() {
  adapter_.reset();
  header_.Detach();
  label_.reset();
  InstallCustomDraw(false);
  cmdHandler_.reset();
  skinData_.reset();
}

void TsCustomListView::Loaded() {
  settingUp_ = true;
  TCustomListView::Loaded();
  settingUp_ = false;
}

void TsCustomListView::CreateWnd() {
  TCustomListView::CreateWnd();
  try {
    skinData_->Loaded();
  } catch (...) {
    Application->HandleException(this);
  }
  if (skinData_->IsSkinned()) ApplyColors(true);
  InstallCustomDraw(true);
  // A header made while the window was being created never told us through WM_PARENTNOTIFY.
  HookHeader(FindWindowExA(Handle(), nullptr, WC_HEADERA, nullptr));
  if (skinData_->IsSkinned()) UpdateEditAdapter(skinData_.get(), adapter_);
}

void TsCustomListView::DestroyWnd() {
  header_.Detach();
  TCustomListView::DestroyWnd();
}

void TsCustomListView::InstallCustomDraw(bool on) {
  if (ComponentState().Contains(csDesigning)) return;
  const auto listDraw = TLVAdvancedCustomDrawEvent::Of<&TsCustomListView::ListCustomDraw>(this);
  const auto itemDraw = TLVAdvancedCustomDrawItemEvent::Of<&TsCustomListView::ItemCustomDraw>(this);
  if (on) {
    if (!(OnAdvancedCustomDraw() == listDraw)) {
      savedCustomDraw_ = OnAdvancedCustomDraw();
      SetOnAdvancedCustomDraw(listDraw);
    }
    if (!(OnAdvancedCustomDrawItem() == itemDraw)) {
      savedCustomDrawItem_ = OnAdvancedCustomDrawItem();
      SetOnAdvancedCustomDrawItem(itemDraw);
    }
    customDrawInstalled_ = true;
  } else if (customDrawInstalled_) {
    SetOnAdvancedCustomDraw(savedCustomDraw_);
    SetOnAdvancedCustomDrawItem(savedCustomDrawItem_);
    savedCustomDraw_ = nullptr;
    savedCustomDrawItem_ = nullptr;
    customDrawInstalled_ = false;
  }
}

// ---- colours and the skin --------------------------------------------------------------------

void TsCustomListView::ApplyColors(bool skinned) {
  if (skinned) {
    skinData_->UpdateColors(false);
    return;
  }
  if (!skinData_->CustomColor) SetColor(clWindow);
  if (!skinData_->CustomFont) Font()->SetColor(clWindowText);
}

void TsCustomListView::FollowSkin() {
  if (!skinData_->IsSkinned()) return;
  ApplyColors(true);
  if (HandleAllocated()) {
    UpdateEditAdapter(skinData_.get(), adapter_);
    HookHeader(FindWindowExA(Handle(), nullptr, WC_HEADERA, nullptr));
  }
  skinData_->BackgroundDirty = true;
  RedrawAll();
}

void TsCustomListView::RedrawAll() {
  if (!HandleAllocated() || AnimationRunning) return;
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- the window procedure --------------------------------------------------------------------

void TsCustomListView::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD && cmdHandler_ && cmdHandler_->Answer(m)) return;
  if (m.Msg == WM_PARENTNOTIFY) {
    const UINT event = LOWORD(m.WParam);
    if (event == WM_CREATE || event == WM_DESTROY) {
      try {
        char name[96] = {};
        GetClassNameA(reinterpret_cast<HWND>(m.LParam), name, sizeof name);
        if (lstrcmpiA(name, WC_HEADERA) == 0) {
          header_.Detach();
          if (event == WM_CREATE) HookHeader(reinterpret_cast<HWND>(m.LParam));
        }
      } catch (...) {
        Application->HandleException(this);
      }
    }
  }
  const bool skinned = HandleAllocated() && skinData_ && skinData_->IsSkinned() &&
                       !ControlState().Contains(csCreating);
  if (skinned) {
    TsCommonData& d = *skinData_;
    switch (m.Msg) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS: {
        TCustomListView::WndProc(m);
        // The selected item shows the focused or unfocused selection look.
        const int selected = ItemIndex();
        if (selected >= 0)
          SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(selected), selected);
        return;
      }
      case WM_ERASEBKGND:
        if (printDC_) {
          m.WParam = reinterpret_cast<WPARAM>(printDC_);
          break;
        }
        d.PaintSuspended = d.PaintingSuspended();
        if (d.PaintSuspended) {
          m.Result = 1;
          return;
        }
        break;
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (m.Msg == WM_VSCROLL && adapter_) adapter_->UpdateScrollBars(true);
        if (LOWORD(m.WParam) == SB_THUMBTRACK) {
          ThumbTrack(m);
          return;
        }
        // The position travels in LParam for the skinned bars only: the list view would take
        // it for the window of a scroll-bar control.
        m.LParam = 0;
        break;
      case LVM_SETCOLUMNA:
      case LVM_INSERTCOLUMNA: {
        // A column without an image has no image space in its header item.
        auto* column = reinterpret_cast<LVCOLUMNA*>(m.LParam);
        if (column && (column->mask & LVCF_IMAGE) && column->iImage == -1)
          column->mask &= ~static_cast<UINT>(LVCF_IMAGE);
        break;
      }
      case WM_PRINT:
        TCustomListView::WndProc(m);
        if (ViewStyle() == vsReport && adapter_ && m.WParam) {
          HDC dc = reinterpret_cast<HDC>(m.WParam);
          TSaveDC saved(dc);
          POINT origin{};
          GetWindowOrgEx(dc, &origin);
          SetWindowOrgEx(dc, origin.x - adapter_->EdgeLeft, origin.y - adapter_->EdgeTop, nullptr);
          printDC_ = dc;
          PaintHeader(dc);
          printDC_ = nullptr;
        }
        return;
      case CM_UIACTIVATE:
        m.Result = 1;
        return;
      default:
        break;
    }
  }
  if (HandleCommonMessage(m, skinData_.get())) return;
  TCustomListView::WndProc(m);
  if (skinned && !ComponentState().Contains(csDestroying)) {
    switch (m.Msg) {
      case WM_MOVE:
      case WM_SIZE:
      case WM_WINDOWPOSCHANGED:
      case CM_VISIBLECHANGED:
      case CM_ENABLEDCHANGED:
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
        break;
      case WM_STYLECHANGED:
        SendMessageA(Handle(), LVM_SCROLL, 0, 0);
        if (adapter_) adapter_->UpdateScrollBars(true);
        break;
      case WM_NCPAINT:
        RepaintHeader();
        break;
      case LVM_SETITEMCOUNT:
      case LVM_INSERTITEMA:
      case LVM_DELETEITEM:
      case LVM_REDRAWITEMS:
        if (adapter_ && !skinData_->PaintingSuspended()) adapter_->UpdateScrollBars(true);
        break;
      case WM_NCHITTEST:
        // The mouse is over the list, not the header: no header item stays hot.
        if (hotColumn_ >= 0 && highlightHeaders_) {
          hotColumn_ = -2;
          RepaintHeader();
        }
        break;
      case CM_MOUSELEAVE:
        if (ViewStyle() == vsReport && hotColumn_ != -2) {
          hotColumn_ = -2;
          RepaintHeader();
        }
        break;
      default:
        break;
    }
  }
  // The label moves, shows and hides with the list; it keeps its own enabled look.
  label_->Follow(m, false, false);
}

void TsCustomListView::ThumbTrack(TMessage& m) {
  const bool vertical = m.Msg == WM_VSCROLL;
  const int pos = m.LParam ? static_cast<int>(m.LParam) : HIWORD(m.WParam);
  const int last = ScrollTrackState().LastTrackPos();
  if (pos == last) return;
  int delta = pos - last;
  const TRect first = ItemRect(Handle(), 0, LVIR_BOUNDS);
  if (vertical) {
    // Report rows scroll by whole items: the position counts rows.
    if (ViewStyle() == vsReport) delta *= first.Height();
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), LVM_SCROLL, 0, delta);
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  } else {
    if (ViewStyle() == vsList) delta *= first.Width();
    SendMessageA(Handle(), LVM_SCROLL, delta, 0);
    RepaintHeader();
  }
}

// ---- custom draw ------------------------------------------------------------------------------

void TsCustomListView::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TsBackgroundSource background;
  d.GetParentBackground(background);
  const TsPaintState state = d.IsActive() ? TsPaintState::Hot : TsPaintState::Normal;
  PaintControlItem(d, background, d.CacheBitmap.get(), TPoint{Left(), Top()},
                   TRect{0, 0, Width(), Height()}, state);
  d.BackgroundDirty = false;
}

void TsCustomListView::ListCustomDraw(TCustomListView* sender, const TRect& rect,
                                      TCustomDrawStage stage, bool& defaultDraw) {
  if (savedCustomDraw_ && !ComponentState().Contains(csDesigning)) {
    savedCustomDraw_(sender, rect, stage, defaultDraw);
    return;
  }
  defaultDraw = false;
  if (stage == cdPostPaint || stage == cdPostErase) return;
  defaultDraw = true;
  TsCommonData& d = *skinData_;
  if (d.IsSkinned()) {
    d.PaintSuspended = d.PaintingSuspended();
    if (!d.PaintSuspended && d.BackgroundDirty) PrepareCache();
  }
  // The list's background is erased by the window itself in its colour: the custom-draw
  // erase would only repeat it.
  if (stage == cdPreErase) defaultDraw = false;
}

void TsCustomListView::ItemCustomDraw(TCustomListView* sender, TListItem* item,
                                      TCustomDrawState state, TCustomDrawStage stage,
                                      bool& defaultDraw) {
  if (savedCustomDrawItem_ && !ComponentState().Contains(csDesigning)) {
    savedCustomDrawItem_(sender, item, state, stage, defaultDraw);
    return;
  }
  if (!skinData_->IsSkinned() || (stage != cdPrePaint && stage != cdPostPaint)) return;
  HDC dc = Canvas()->Handle();
  if (ViewStyle() == vsReport && RowSelect())
    PaintRowSelectItem(item, state, dc);
  else
    PaintLabelItem(item, state, dc);
  defaultDraw = false;
}

void TsCustomListView::PaintSelection(TBitmap* bitmap, const TRect& r, bool focused) {
  TsSkinManager* manager = skinData_->SkinManager();
  if (manager->GetSectionIndex("SELECTION") >= 0) {
    auto part = CreateBmp32(r.Width(), r.Height());
    PaintSectionByName(part.get(),
                       TsSectionByName{.Name = "SELECTION",
                                       .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                                       .FillColor = Color(),
                                       .Manager = manager});
    BitBlt(bitmap->Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(),
           part->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    FillRect32(bitmap, r, ColorToRGB(manager->SelectionColor(focused)));
  }
}

void TsCustomListView::PaintRowSelectItem(TListItem* item, TCustomDrawState state, HDC dc) {
  const int index = item->Index();
  const TRect bounds = ItemRect(Handle(), index, LVIR_BOUNDS);
  if (bounds.Width() <= 0 || bounds.Height() <= 0) return;
  TsSkinManager* manager = skinData_->SkinManager();
  const bool selected = state.Contains(cdsSelected);
  const bool hasSection = manager->GetSectionIndex("SELECTION") >= 0;
  const bool focused = Focused();
  auto row = CreateBmp32(bounds.Width(), bounds.Height());
  row->Canvas()->Font()->Assign(Font());
  const TRect whole{0, 0, bounds.Width(), bounds.Height()};
  if (selected)
    PaintSelection(row.get(), whole, focused);
  else
    FillRect32(row.get(), whole, ColorToRGB(Color()));
  // The item's image, centred in its icon place.
  const TRect icon = ItemRect(Handle(), index, LVIR_ICON);
  TCustomImageList* images = SmallImages();
  if (images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count())
    images->Draw(row->Canvas(), icon.Left - bounds.Left + (icon.Width() - images->Width()) / 2,
                 (bounds.Height() - images->Height()) / 2, item->ImageIndex(), Enabled());
  // The caption in the first column, after the icon.
  const TRect label = ItemRect(Handle(), index, LVIR_LABEL);
  TRect t{label.Left - bounds.Left + 2, 0, label.Right - bounds.Left - 2, bounds.Height()};
  const int sectionIndex = manager->GetSectionIndex("SELECTION");
  if (selected && hasSection) {
    WriteTextOnBitmap32(row.get(),
                        TsSectionText{.Text = item->Caption(),
                                      .R = t,
                                      .Format = kItemTextFlags | DT_END_ELLIPSIS,
                                      .SectionIndex = sectionIndex,
                                      .Hot = focused,
                                      .Manager = manager},
                        true);
  } else {
    const TColor color = selected ? manager->SelectionTextColor(focused) : Font()->Color();
    DrawPlainText(row.get(), item->Caption(), t, kItemTextFlags | DT_END_ELLIPSIS, color);
  }
  for (int column = 1; column < Columns()->Count(); ++column)
    PaintSubItem(item, column, state, row.get(), bounds);
  if (!Enabled()) {
    TsBackgroundSource none;
    PaintDisabledEffect(row.get(), TsDisabledKind{dkBlended}, Color(), TPoint{0, 0}, none);
  }
  BitBlt(dc, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), row->Canvas()->Handle(), 0,
         0, SRCCOPY);
}

void TsCustomListView::PaintLabelItem(TListItem* item, TCustomDrawState state, HDC dc) {
  const int index = item->Index();
  const TRect label = ItemRect(Handle(), index, LVIR_LABEL);
  if (label.Width() <= 0 || label.Height() <= 0) return;
  TsSkinManager* manager = skinData_->SkinManager();
  const bool selected = state.Contains(cdsSelected);
  const int sectionIndex = manager->GetSectionIndex("SELECTION");
  const bool focused = Focused();
  UINT flags = kItemTextFlags;
  if (ViewStyle() == vsIcon)
    flags = (flags & ~static_cast<UINT>(DT_VCENTER | DT_SINGLELINE)) | DT_CENTER | DT_WORDBREAK |
            DT_END_ELLIPSIS;
  else if (ViewStyle() == vsReport)
    flags |= DT_END_ELLIPSIS;
  auto bitmap = CreateBmp32(label.Width(), label.Height());
  bitmap->Canvas()->Font()->Assign(Font());
  FillRect32(bitmap.get(), TRect{0, 0, label.Width(), label.Height()}, ColorToRGB(Color()));
  const std::string& caption = item->Caption();
  TRect t{0, 0, label.Width(), label.Height()};
  if (ViewStyle() != vsIcon) {
    t.Left += 2;
    t.Right -= 1;
  }
  if (selected) {
    const TRect highlight =
        ViewStyle() == vsIcon ? TRect{0, 0, label.Width(), label.Height()}
                              : LabelHighlightRect(label.Width(), label.Height(),
                                                   TextExtent(bitmap->Canvas()->Handle(), caption));
    PaintSelection(bitmap.get(), highlight, focused);
  }
  if (selected && sectionIndex >= 0) {
    WriteTextOnBitmap32(bitmap.get(),
                        TsSectionText{.Text = caption,
                                      .R = t,
                                      .Format = flags,
                                      .SectionIndex = sectionIndex,
                                      .Hot = focused,
                                      .Manager = manager},
                        true);
  } else {
    DrawPlainText(bitmap.get(), caption, t, flags,
                  selected ? manager->SelectionTextColor(focused) : Font()->Color());
  }
  if (selected && focused && sectionIndex < 0) {
    RECT fr{0, 0, label.Width(), label.Height()};
    if (ViewStyle() != vsIcon)
      fr.right = std::min<LONG>(fr.right, TextExtent(bitmap->Canvas()->Handle(), caption) + 5);
    DrawFocusRect(bitmap->Canvas()->Handle(), &fr);
  }
  if (!Enabled()) {
    TsBackgroundSource none;
    PaintDisabledEffect(bitmap.get(), TsDisabledKind{dkBlended}, Color(), TPoint{0, 0}, none);
  }
  BitBlt(dc, label.Left, label.Top, label.Width(), label.Height(), bitmap->Canvas()->Handle(), 0, 0,
         SRCCOPY);
  // The image, centred in its icon place over the list's colour.
  TCustomImageList* images = ViewStyle() == vsIcon ? LargeImages() : SmallImages();
  const TRect icon = ItemRect(Handle(), index, LVIR_ICON);
  if (images && icon.Width() > 0 && icon.Height() > 0) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color()))));
    RECT ir{icon.Left, icon.Top, icon.Right, icon.Bottom};
    FillRect(dc, &ir, brush.Get());
    if (item->ImageIndex() >= 0 && item->ImageIndex() < images->Count()) {
      TCanvasOnDC onDC(Canvas(), dc);
      images->Draw(Canvas(), icon.Left + (icon.Width() - images->Width()) / 2,
                   icon.Top + (icon.Height() - images->Height()) / 2, item->ImageIndex(),
                   Enabled());
    }
  }
  if (ViewStyle() == vsReport) {
    const TRect bounds = ItemRect(Handle(), index, LVIR_BOUNDS);
    for (int column = 1; column < Columns()->Count(); ++column)
      PaintSubItem(item, column, state, nullptr, bounds);
  }
}

void TsCustomListView::PaintSubItem(TListItem* item, int column, TCustomDrawState state,
                                    TBitmap* row, const TRect& rowBounds) {
  if (ViewStyle() != vsReport || ComponentState().Contains(csDesigning)) return;
  if (OnAdvancedCustomDrawSubItem()) {
    bool defaultDraw = true;
    OnAdvancedCustomDrawSubItem()(this, item, column, state, cdPrePaint, defaultDraw);
    return;
  }
  std::vector<int> widths;
  for (int i = 0; i < Columns()->Count(); ++i)
    widths.push_back(static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, i, 0)));
  const TRect cell = SubItemRect(rowBounds, widths, column);
  if (cell.Width() <= 0 || cell.Height() <= 0) return;
  TsSkinManager* manager = skinData_->SkinManager();
  auto bitmap = CreateBmp32(cell.Width(), cell.Height());
  bitmap->Canvas()->Font()->Assign(Font());
  if (row)
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, cell.Width(), cell.Height(), row->Canvas()->Handle(),
           cell.Left - rowBounds.Left, 0, SRCCOPY);
  else
    FillRect32(bitmap.get(), TRect{0, 0, cell.Width(), cell.Height()}, ColorToRGB(Color()));
  const std::string text =
      column - 1 < item->SubItems()->Count() ? (*item->SubItems())[column - 1] : std::string();
  const TRect t = SubItemTextRect(cell.Width(), cell.Height(), 0);
  const TAlignment alignment = Columns()->Items(column)->Alignment();
  const UINT flags = GetTextAlignFlags(this, alignment) | kSubItemTextFlags;
  const bool selected = state.Contains(cdsSelected) && RowSelect();
  const int sectionIndex = manager->GetSectionIndex("SELECTION");
  if (selected && sectionIndex >= 0)
    WriteTextOnBitmap32(bitmap.get(),
                        TsSectionText{.Text = text,
                                      .R = t,
                                      .Format = flags,
                                      .SectionIndex = sectionIndex,
                                      .Hot = Focused(),
                                      .Manager = manager},
                        true);
  else
    DrawPlainText(bitmap.get(), text, t, flags,
                  selected ? manager->SelectionTextColor(Focused()) : Font()->Color());
  if (!Enabled() && !row) {
    TsBackgroundSource none;
    PaintDisabledEffect(bitmap.get(), TsDisabledKind{dkBlended}, Color(), TPoint{0, 0}, none);
  }
  if (row)
    BitBlt(row->Canvas()->Handle(), cell.Left - rowBounds.Left, 0, cell.Width(), cell.Height(),
           bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  else
    BitBlt(Canvas()->Handle(), cell.Left, cell.Top, cell.Width(), cell.Height(),
           bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- the column header ------------------------------------------------------------------------

void TsCustomListView::HookHeader(HWND header) {
  // A list without column headers may still keep a hidden header window: nothing to paint.
  if (!header || header_.Handle() == header || !ShowColumnHeaders()) return;
  header_.Attach(header, [this](HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    try {
      return HeaderProc(wnd, msg, wp, lp, result);
    } catch (...) {
      // The list view stays usable; the program hears of the fault.
      Application->HandleException(this);
      return false;
    }
  });
}

bool TsCustomListView::HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (ViewStyle() != vsReport || !skinData_->IsSkinned()) return false;
  switch (msg) {
    case WM_PAINT:
      PaintHeader(nullptr);
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_NCDESTROY:
      result = header_.CallNext(msg, wp, lp);
      header_.Detach();
      return true;
    case WM_NCHITTEST: {
      result = ColumnClick() ? header_.CallNext(msg, wp, lp) : HTCLIENT;
      if (highlightHeaders_) {
        const int column =
            ColumnAtPoint(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        if (column != hotColumn_) {
          hotColumn_ = column;
          RepaintHeader();
        }
      }
      return true;
    }
    case WM_LBUTTONUP:
      if (ColumnClick()) {
        pressedColumn_ = -1;
        headerMouseDown_ = false;
      }
      return false;
    case WM_PRINT:
      PaintHeader(reinterpret_cast<HDC>(wp));
      return false;
    case WM_MOUSEMOVE:
      result = header_.CallNext(msg, wp, lp);
      if (headerMouseDown_ && adapter_) adapter_->UpdateScrollBars(true);
      return true;
    case WM_LBUTTONDOWN: {
      result = header_.CallNext(msg, wp, lp);
      if (ColumnClick()) {
        headerMouseDown_ = true;
        HDHITTESTINFO hit{};
        hit.pt = POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const int index =
            static_cast<int>(SendMessageA(wnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        // A press on a divider starts a resize, not a column press.
        pressedColumn_ = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : index;
        InvalidateRect(wnd, nullptr, FALSE);
      }
      return true;
    }
    default:
      return false;
  }
}

TRect TsCustomListView::HeaderItemRect(int position) const {
  HWND header = header_.Handle();
  if (!header) return TRect{};
  // Dragged columns keep their visual order: the position is mapped to its item.
  const int index = static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, position, 0));
  RECT r{};
  if (!SendMessageA(header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return TRect{};
  return ToRect(r);
}

int TsCustomListView::ColumnAtPoint(POINT screen) const {
  HWND header = header_.Handle();
  if (!header) return -2;
  ::ScreenToClient(header, &screen);
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int position = 0; position < count; ++position)
    if (Contains(HeaderItemRect(position), screen))
      return static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, position, 0));
  return -2;
}

void TsCustomListView::RepaintHeader() {
  if (HWND header = header_.Handle()) {
    InvalidateRect(header, nullptr, FALSE);
    UpdateWindow(header);
  }
}

void TsCustomListView::PaintHeader(HDC printDC) {
  HWND header = header_.Handle();
  if (!header) return;
  std::optional<TPaintDC> paint;
  HDC dc = printDC;
  if (!dc) {
    paint.emplace(header);
    dc = paint->Get();
  }
  if (!dc || !skinData_->CacheBitmap) return;
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  int right = 0;
  for (int position = 0; position < count; ++position) {
    const TRect r = HeaderItemRect(position);
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    headerHeight_ = r.Height();
    PaintHeaderSection(dc, r,
                       static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, position, 0)));
    right = std::max(right, r.Right);
  }
  RECT client{};
  GetClientRect(header, &client);
  if (count == 0) headerHeight_ = client.bottom;
  const TRect rest{right, 0, client.right, client.bottom};
  if (rest.Width() > 0 && rest.Height() > 0) PaintHeaderSection(dc, rest, -1);
}

void TsCustomListView::PaintHeaderSection(HDC dc, const TRect& r, int index) {
  HWND header = header_.Handle();
  TsSkinManager* manager = skinData_->SkinManager();
  auto bitmap = CreateBmp32(r.Width(), r.Height());
  TsPaintState state = TsPaintState::Normal;
  if (pressedColumn_ >= 0)
    state = index == pressedColumn_ ? TsPaintState::Pressed : TsPaintState::Normal;
  else if (index >= 0 && index == hotColumn_)
    state = TsPaintState::Hot;
  const int sectionIndex = PaintSectionByName(bitmap.get(), TsSectionByName{.Name = "COLHEADER",
                                                                            .SecondName = "BUTTON",
                                                                            .State = state,
                                                                            .FillColor = Color(),
                                                                            .Manager = manager});
  if (index >= 0) {
    char text[129] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) {
      const std::string caption(text);
      HDC canvas = bitmap->Canvas()->Handle();
      bitmap->Canvas()->Font()->Assign(Font());
      TCustomImageList* images = SmallImages();
      if (!(item.fmt & (HDF_IMAGE | HDF_OWNERDRAW))) images = nullptr;
      int arrowMask = -1;
      if (item.fmt & HDF_SORTDOWN)
        arrowMask = manager->GetMaskIndex(manager->GetSectionIndex("SCROLLBTNBOTTOM"),
                                          "SCROLLBTNBOTTOM", "GLYPHMASK");
      else if (item.fmt & HDF_SORTUP)
        arrowMask = manager->GetMaskIndex(manager->GetSectionIndex("SCROLLBTNTOP"), "SCROLLBTNTOP",
                                          "GLYPHMASK");
      const TsMaskData* arrow = manager->IsValidMaskIndex(arrowMask)
                                    ? &manager->Masks()[static_cast<size_t>(arrowMask)]
                                    : nullptr;
      const THeaderAlign align = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? THeaderAlign::Right
                                 : (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? THeaderAlign::Center
                                                                              : THeaderAlign::Left;
      const THeaderItemPlace place{.Width = r.Width(),
                                   .Height = r.Height(),
                                   .ImageSpace = images ? images->Width() + 4 : 0,
                                   .TextExtent = TextExtent(canvas, caption),
                                   .ArrowWidth = arrow ? MaskStateWidth(*arrow) + 6 : 0,
                                   .Align = align};
      TRect t = HeaderTextRect(place);
      if (arrow) {
        TsBackgroundSource behind;
        behind.HasBitmap = true;
        behind.Bmp = bitmap.get();
        PaintMaskGlyph(bitmap.get(),
                       TPoint{t.Right + 6, (t.Height() - MaskStateHeight(*arrow)) / 2},
                       StateIndex(state), *arrow, behind);
      }
      if (state == TsPaintState::Pressed)
        t = TRect{t.Left + 1, t.Top + 1, t.Right + 1, t.Bottom + 1};
      if (manager->IsValidSectionIndex(sectionIndex))
        WriteTextOnBitmap32(
            bitmap.get(),
            TsSectionText{.Text = caption,
                          .R = t,
                          .Format = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS,
                          .SectionIndex = sectionIndex,
                          .Hot = state != TsPaintState::Normal,
                          .Manager = manager},
            true);
      if (images)
        images->Draw(bitmap->Canvas(), t.Left - place.ImageSpace,
                     (t.Height() - images->Height()) / 2 + (state == TsPaintState::Pressed ? 1 : 0),
                     item.iImage, Enabled());
    }
  }
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}
