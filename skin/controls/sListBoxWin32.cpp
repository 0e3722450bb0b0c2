#include "skin/controls/sListBoxWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sListGeometry.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

constexpr UINT kItemTextFlags =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;

void DrawItemTextIn(HDC dc, const std::string& text, const TRect& r, TColor color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rr, kItemTextFlags);
}

}  // namespace

// The skin command as the list box answers it.
class TsCustomListBox::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsCustomListBox& box) : TsControlCmdHandler(box, *box.skinData_), b_(box) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    if (b_.HandleAllocated()) b_.UpdateAdapter();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    // Let go of the window but keep the adapter object: this message may be passing through
    // it right now. The next skin replaces it.
    ReleaseScrollAdapter(false, true, b_.scrollWnd_);
    TsSkinCmdHandler::OnRemoveSkin(m);
    b_.SetColor(clWindow);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (b_.HandleAllocated() && !AnimationRunning)
      RedrawWindow(b_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    return true;
  }
  bool OnGetBgColor(TSkinCmdMessage& m) override {
    if (Data().IsSkinned()) return TsSkinCmdHandler::OnGetBgColor(m);
    m.Result = ColorToRGB(b_.Color());
    return true;
  }

 private:
  TsCustomListBox& b_;
};

TsCustomListBox::TsCustomListBox(TComponent* owner)
    : TCustomListBox(owner),
      host_(this),
      label_(std::make_unique<TsControlLabel>(*this)),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  TControlStyle style = ControlStyle();
  style.Exclude(csOpaque);
  SetControlStyle(style);
  skinData_->ControlKind = TsControlKind::ListBox;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("EDIT");
  SetDoubleBuffered(false);
  // A list made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsCustomListBox::~TsCustomListBox() {
  scrollWnd_.reset();
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsCustomListBox::SetAutoHideScroll(bool value) {
  if (value == autoHideScroll_) return;
  autoHideScroll_ = value;
  if (!IsLoading()) RecreateWnd();
}

void TsCustomListBox::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsCustomListBox::CreateParams(TCreateParams& p) {
  TCustomListBox::CreateParams(p);
  // Every list box draws its items itself, so a skin can paint them.
  if (Style() == lbStandard) p.Style |= LBS_OWNERDRAWFIXED;
  if (!autoHideScroll_) p.Style |= LBS_DISABLENOSCROLL;
}

void TsCustomListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  if (HandleAllocated() && Style() == lbStandard) {
    // Drawn by us, a standard list keeps the height a system-drawn one gives its items: its
    // font's.
    Canvas()->Font()->Assign(Font());
    SendMessageA(handle_, LB_SETITEMHEIGHT, 0, Canvas()->TextHeight("Wg"));
  }
  skinData_->Loaded();
  if (HandleAllocated()) UpdateAdapter();
}

void TsCustomListBox::Loaded() {
  TCustomListBox::Loaded();
  skinData_->Loaded();
}

void TsCustomListBox::UpdateAdapter() { UpdateEditAdapter(skinData_.get(), scrollWnd_); }

TPoint TsCustomListBox::ClientOffset() const {
  // The picture covers the whole window; the client area starts inside the window's frame,
  // whatever its border style gives it.
  RECT window{};
  GetWindowRect(handle_, &window);
  POINT origin{0, 0};
  ::ClientToScreen(handle_, &origin);
  return TPoint{origin.x - window.left, origin.y - window.top};
}

void TsCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (skinData_->IsSkinned())
    DrawSkinnedItem(index, rect, state);
  else
    DrawStandardItem(index, rect, state);
}

void TsCustomListBox::DrawStandardItem(int index, TRect rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  const bool selected = state.Contains(odSelected);
  canvas->Font()->Assign(Font());
  canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  HDC dc = canvas->Handle();
  {
    TSaveDC saved(dc);
    SetDCBrushColor(dc, static_cast<COLORREF>(ColorToRGB(selected ? clHighlight : Color())));
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  if (OnDrawItem()) {
    OnDrawItem()(this, index, rect, state);
    return;
  }
  if (index < 0 || index >= Items()->Count()) return;
  rect.Left += 1;
  rect.Right -= 1;
  DrawItemTextIn(dc, (*Items())[index], rect, canvas->Font()->Color());
  if (state.Contains(odFocused)) {
    const RECT focus{rect.Left - 1, rect.Top, rect.Right + 1, rect.Bottom};
    DrawFocusRect(dc, &focus);
  }
}

void TsCustomListBox::DrawSkinnedItem(int index, const TRect& rect, TOwnerDrawState state) {
  TsCommonData& d = *skinData_;
  if (rect.Width() <= 0 || rect.Height() <= 0 || !d.CacheBitmap) return;
  TCanvas* canvas = Canvas();
  HDC target = canvas->Handle();
  const bool selected = state.Contains(odSelected);
  const bool focused = state.Contains(odFocused);
  const TPoint offset = ClientOffset();
  auto item = CreateBmp32(rect.Width(), rect.Height());
  HDC itemDC = item->Canvas()->Handle();
  BitBlt(itemDC, 0, 0, rect.Width(), rect.Height(), d.CacheBitmap->Canvas()->Handle(),
         rect.Left + offset.X, rect.Top + offset.Y, SRCCOPY);
  const TsBackgroundSource cache =
      MakeBackgroundSource(d.CacheBitmap.get(), rect.Left + offset.X, rect.Top + offset.Y);

  if (OnDrawItem()) {
    // The handler draws at the item's place in the client area, into the item's picture.
    canvas->SetHandle(itemDC);
    {
      TSaveDC saved(itemDC);
      SetWindowOrgEx(itemDC, rect.Left, rect.Top, nullptr);
      TScopeExit giveBack([&] { canvas->SetHandle(target); });
      OnDrawItem()(this, index, rect, state);
    }
  } else {
    TsSkinManager* manager = d.SkinManager();
    const TRect whole{0, 0, rect.Width(), rect.Height()};
    int section = -1;
    if (selected) {
      section = manager->GetSectionIndex("SELECTION");
      if (section < 0)
        FillRect32(item.get(), whole, ColorToRGB(manager->SelectionColor(true)));
      else
        PaintSectionByName(
            item.get(), TsSectionByName{.Name = "SELECTION",
                                        .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                                        .FillColor = Color(),
                                        .Manager = manager});
    }
    if (index >= 0 && index < Items()->Count()) {
      item->Canvas()->Font()->Assign(Font());
      const TRect text = ListItemTextRect(rect.Width(), rect.Height());
      if (section < 0) {
        TColor color = Font()->Color();
        if (selected) {
          color = manager->SelectionTextColor(focused);
        } else if (const TsGeneralData* own = d.Section()) {
          color = d.IsActive() && own->States > 1 ? own->HotFontColor : own->FontColor;
        }
        // The DC from the canvas now, with the font just assigned selected into it.
        HDC textDC = item->Canvas()->Handle();
        DrawItemTextIn(textDC, (*Items())[index], text, color);
        if (focused) {
          const RECT focus{0, 0, rect.Width(), rect.Height()};
          DrawFocusRect(textDC, &focus);
        }
      } else {
        WriteTextOnBitmap32(item.get(),
                            TsSectionText{.Text = (*Items())[index],
                                          .R = text,
                                          .Format = kItemTextFlags,
                                          .SectionIndex = section,
                                          .Hot = focused,
                                          .Enabled = Enabled(),
                                          .Manager = manager},
                            true);
      }
    }
    if (!Enabled()) PaintDisabledEffect(item.get(), disabledKind_, Color(), TPoint{0, 0}, cache);
  }
  BitBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), itemDC, 0, 0, SRCCOPY);
}

void TsCustomListBox::PaintSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(handle_, &ps);
  TScopeExit endPaint([&] {
    if (own) EndPaint(handle_, &ps);
  });
  m.Result = 0;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended || !dc) return;
  if (d.BackgroundDirty) PrepareWindowCache(&d, handle_, false);
  if (!d.CacheBitmap) return;
  RECT client{};
  GetClientRect(handle_, &client);
  TRect last{0, 0, client.right, 0};
  int lowest = 0;
  const bool focused = GetFocus() == handle_;
  const int current = ItemIndex();
  for (int index = std::max(TopIndex(), 0), count = Items()->Count(); index < count; ++index) {
    const TRect r = ItemRect(index);
    if (r.Width() <= 0 || r.Height() <= 0 || r.Top >= client.bottom || r.Bottom <= 0 ||
        r.Left >= client.right || r.Right <= 0)
      break;
    last = r;
    lowest = std::max(lowest, r.Bottom);
    const TsListItemLook look =
        ListItemLook(TsListItemFacts{.Index = index,
                                     .ItemIndex = current,
                                     .MultiSelect = MultiSelect(),
                                     .SelectedInList = MultiSelect() && Selected(index),
                                     .ListFocused = focused});
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(handle_));
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (look.Selected ? ODS_SELECTED : 0u) | (look.Focused ? ODS_FOCUS : 0u);
    item.hwndItem = handle_;
    item.hDC = dc;
    item.rcItem = RECT{r.Left, r.Top, r.Right, r.Bottom};
    item.itemData = static_cast<ULONG_PTR>(
        SendMessageA(handle_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  HDC cache = d.CacheBitmap->Canvas()->Handle();
  for (const TsCacheStrip& strip :
       ListEmptyStrips(client.right, client.bottom, last, lowest, ClientOffset()))
    BitBlt(dc, strip.Dest.Left, strip.Dest.Top, strip.Dest.Width(), strip.Dest.Height(), cache,
           strip.Source.X, strip.Source.Y, SRCCOPY);
}

void TsCustomListBox::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TCustomListBox::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TCustomListBox::WndProc(m);
    label_->Follow(m, true, disabledKind_.Contains(dkBlended));
    return;
  }
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_PAINT:
      PaintSkinned(m);
      return;
    case WM_ERASEBKGND:
      if (d.PaintSuspended) return;
      // The items and the cached picture cover the whole client area.
      if (m.WParam) {
        m.Result = 1;
        return;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      // One scroll step is painted once, after the scroll, with all items.
      SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
      d.PaintSuspended = true;
      TScopeExit redraw([&] {
        SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
        d.PaintSuspended = false;
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      });
      HandleCommonMessage(m, &d);
      TCustomListBox::WndProc(m);
      return;
    }
    default:
      break;
  }
  HandleCommonMessage(m, &d);
  TCustomListBox::WndProc(m);
  if (m.Msg == WM_ENABLE && Visible() && !IsLoading()) {
    d.BackgroundDirty = true;
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}
