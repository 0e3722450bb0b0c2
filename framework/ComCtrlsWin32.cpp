#include "framework/ComCtrlsWin32.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/TypInfo.h"

namespace {

void LoadRichEditLibrary() {
  // Loaded once for the program's life: the window class lives as long as the module.
  static HMODULE module = LoadLibraryA("riched20.dll");
  (void)module;
}

}  // namespace

// ---- TCustomRichEdit ----------------------------------------------------------------------

K_PUBLISH(TCustomRichEdit) {
  p.Prop("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText);
  p.Prop("HideSelection", &TCustomRichEdit::HideSelection, &TCustomRichEdit::SetHideSelection);
}

TCustomRichEdit::TCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {}

void TCustomRichEdit::CreateParams(TCreateParams& p) {
  LoadRichEditLibrary();
  TCustomMemo::CreateParams(p);
  CreateSubClass(p, RICHEDIT_CLASSA);
  if (!hideSelection_) p.Style |= ES_NOHIDESEL;
}

void TCustomRichEdit::CreateWnd() {
  TCustomMemo::CreateWnd();
  if (!HandleAllocated()) return;
  // Without a limit a rich edit stops at 32K characters.
  SendMessageA(handle_, EM_EXLIMITTEXT, 0, maxLength_ > 0 ? maxLength_ : 0x7FFFFFF0);
  if (plainText_) SendMessageA(handle_, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  // No word wrap: lay the text out for an endless line.
  if (!wordWrap_) SendMessageA(handle_, EM_SETTARGETDEVICE, 0, 1);
  SendMessageA(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  KeepTextFromBorder();
  ApplyColors();
}

void TCustomRichEdit::ApplyColors() {
  SendMessageA(handle_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  CHARFORMAT2A format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = static_cast<COLORREF>(ColorToRGB(font_->Color()));
  SendMessageA(handle_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void TCustomRichEdit::KeepTextFromBorder() {
  // The text keeps a little room from the border, as in a plain edit; the formatting
  // rectangle is set again whenever the window's size changes.
  RECT r{};
  GetClientRect(handle_, &r);
  if (r.right - r.left <= 6) return;
  r.left += 3;
  r.right -= 3;
  SendMessageA(handle_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomRichEdit::ShowLastLine() {
  if (!HandleAllocated()) return;
  const int length = GetWindowTextLengthA(handle_);
  SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(length), length);
  const int lines = static_cast<int>(SendMessageA(handle_, EM_GETLINECOUNT, 0, 0));
  if (lines < 2) return;
  // A text that ends in a line break has an empty last line; the one before it counts.
  int last = lines - 1;
  if (SendMessageA(handle_, EM_LINELENGTH,
                   static_cast<WPARAM>(SendMessageA(handle_, EM_LINEINDEX, last, 0)), 0) == 0)
    --last;
  // The rich edit scrolls in pixels: the top line is placed at a multiple of the line height.
  POINTL first{}, second{};
  SendMessageA(handle_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first),
               SendMessageA(handle_, EM_LINEINDEX, 0, 0));
  SendMessageA(handle_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second),
               SendMessageA(handle_, EM_LINEINDEX, 1, 0));
  const int lineHeight = second.y - first.y;
  RECT text{};
  SendMessageA(handle_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  if (lineHeight <= 0 || text.bottom <= text.top) return;
  const int shown = std::max(1, static_cast<int>((text.bottom - text.top) / lineHeight));
  POINT scroll{0, std::max(0, last + 1 - shown) * lineHeight};
  SendMessageA(handle_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

void TCustomRichEdit::SetPlainText(bool value) {
  if (value == plainText_) return;
  plainText_ = value;
  RecreateWnd();
}

void TCustomRichEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomRichEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) return;
  if (m.Msg == WM_SIZE) {
    TCustomMemo::WndProc(m);
    if (HandleAllocated()) KeepTextFromBorder();
    return;
  }
  if (m.Msg == CM_TEXTCHANGED) {
    // A rich edit reports a text set in code through EN_CHANGE itself.
    if (!HandleAllocated() && !IsLoading()) Change();
    return;
  }
  TCustomMemo::WndProc(m);
  if ((m.Msg == CM_COLORCHANGED || m.Msg == CM_FONTCHANGED) && HandleAllocated()) ApplyColors();
}

// ---- TTabSheet / TPageControl -------------------------------------------------------------

K_PUBLISH(TTabSheet) {
  p.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
  p.Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
  p.Prop("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  SetAlign(alClient);
  color_ = clBtnFace;
  brush_->SetColor(color_);
  SetVisibleNoShow(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* value) {
  if (value == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  SetParent(value);
  if (value) value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& l = pageControl_->pages_;
  return static_cast<int>(std::find(l.begin(), l.end(), this) - l.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (!pageControl_) return;
  auto& l = pageControl_->pages_;
  l.erase(std::find(l.begin(), l.end(), this));
  value = std::clamp(value, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + value, this);
  pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!tabVisible_ || !pageControl_) return -1;
  int index = 0;
  for (TTabSheet* p : pageControl_->pages_) {
    if (p == this) return index;
    if (p->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int value) {
  imageIndex_ = value;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->UpdateTabs();
  TWinControl::WndProc(m);
}

K_PUBLISH(TPageControl) {
  p.Prop("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex);
  p.Prop("Images", &TPageControl::Images, &TPageControl::SetImages);
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  width_ = 289;
  height_ = 193;
  SetTabStop(true);
  color_ = clBtnFace;
  brush_->SetColor(color_);
}

TPageControl::~TPageControl() {
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TABCONTROLA);
  p.Style |= WS_CLIPCHILDREN;
  if (tabPosition_ == tpBottom) p.Style |= TCS_BOTTOM;
  if (tabPosition_ == tpLeft) p.Style |= TCS_VERTICAL | TCS_MULTILINE;
  if (tabPosition_ == tpRight) p.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
  if (style_ == tsButtons) p.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (hotTrack_) p.Style |= TCS_HOTTRACK;
}

void TPageControl::SetTabPosition(TTabPosition value) {
  if (value == tabPosition_) return;
  tabPosition_ = value;
  RecreateWnd();
}

void TPageControl::SetStyle(TTabStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TPageControl::SetHotTrack(bool value) {
  if (value == hotTrack_) return;
  hotTrack_ = value;
  RecreateWnd();
}

TRect TPageControl::TabRect(int tabIndex) {
  RECT r{};
  if (!HandleAllocated() || !SendMessageA(handle_, TCM_GETITEMRECT, static_cast<WPARAM>(tabIndex),
                                          reinterpret_cast<LPARAM>(&r)))
    return TRect{};
  return Rect(r.left, r.top, r.right, r.bottom);
}

int TPageControl::RowCount() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(handle_, TCM_GETROWCOUNT, 0, 0)) : 0;
}

void TPageControl::SelectNextPage(bool forward) {
  const int count = PageCount();
  if (count == 0) return;
  const int from = ActivePageIndex();
  for (int step = 1; step <= count; ++step) {
    const int i =
        ((from < 0 ? (forward ? -1 : 0) : from) + (forward ? step : -step) + count) % count;
    TTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!page->TabVisible()) continue;
    if (page == activePage_) return;
    bool allow = true;
    if (OnChanging_) OnChanging_(this, allow);
    if (!allow) return;
    SetActivePage(page);
    Changed();
    if (OnChange_) OnChange_(this);
    return;
  }
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  if (images_)
    SendMessageA(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  UpdateTabs();
}

void TPageControl::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == images_) images_ = nullptr;
}

void TPageControl::SetImages(TCustomImageList* value) {
  images_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(handle_, TCM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  UpdateTabs();
  if (!activePage_ && page->TabVisible()) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  page->pageControl_ = nullptr;
  if (activePage_ == page) {
    activePage_ = nullptr;
    for (TTabSheet* p : pages_)
      if (p->TabVisible()) {
        SetActivePage(p);
        break;
      }
  }
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
  int index = 0;
  for (TTabSheet* p : pages_) {
    if (!p->TabVisible()) continue;
    std::string caption = p->Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = p->ImageIndex();
    SendMessageA(handle_, TCM_INSERTITEMA, static_cast<WPARAM>(index++),
                 reinterpret_cast<LPARAM>(&item));
  }
  if (activePage_)
    SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(activePage_->TabIndex()), 0);
  Realign();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? pages_[static_cast<size_t>(value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* value) {
  if (value && value->pageControl_ != this) return;
  if (value == activePage_) return;
  TTabSheet* old = activePage_;
  activePage_ = value;
  if (value) value->SetVisible(true);
  if (old) old->SetVisible(false);
  if (HandleAllocated() && value)
    SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(value->TabIndex()), 0);
  Realign();
  UpdateActivePage();
}

int TPageControl::TabIndex() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(handle_, TCM_GETCURSEL, 0, 0)) : -1;
}

TRect TPageControl::DisplayRect() {
  RECT r{0, 0, width_, height_};
  if (HandleAllocated()) {
    GetClientRect(handle_, &r);
    SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  } else {
    InflateRect(&r, -4, -4);
    r.top += 20;
  }
  return Rect(r.left, r.top, r.right, r.bottom);
}

TRect TPageControl::ClientRect() { return DisplayRect(); }

void TPageControl::WndProc(TMessage& m) {
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages of the control that holds the focus.
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      HandleAllocated() && (GetFocus() == handle_ || IsChild(handle_, GetFocus()))) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    m.Result = 1;
    return;
  }
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == TCN_SELCHANGING) {
      bool allow = true;
      if (OnChanging_) OnChanging_(this, allow);
      m.Result = allow ? FALSE : TRUE;
      return;
    }
    if (hdr->code == TCN_SELCHANGE) {
      int tab = TabIndex();
      for (TTabSheet* p : pages_)
        if (p->TabIndex() == tab) {
          SetActivePage(p);
          break;
        }
      Changed();
      if (OnChange_) OnChange_(this);
      return;
    }
  }
  TWinControl::WndProc(m);
}

// ---- TStatusBar ---------------------------------------------------------------------------

K_PUBLISH(TStatusPanel) {
  p.Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  p.Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
  p.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
  p.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel,
         {"pbNone", "pbLowered", "pbRaised"});
  p.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, {"psText", "psOwnerDraw"});
}

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const std::string& value) {
  if (value == text_) return;
  text_ = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  width_ = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  style_ = value;
  Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* bar)
    : TCollection(TStatusPanel::StaticClassInfo(), bar), bar_(bar) {}

void TStatusPanels::Update(TCollectionItem* item) {
  TCollection::Update(item);
  bar_->UpdatePanels(static_cast<TStatusPanel*>(item));
}

K_PUBLISH(TStatusBar) {
  p.Prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  p.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
  p.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  p.Prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner),
      panels_(std::make_unique<TStatusPanels>(this)),
      canvas_(std::make_unique<TControlCanvas>(this)) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  height_ = 19;
  width_ = 200;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAMEA);
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | CCS_TOP;
  if (sizeGrip_) p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_) return;
  simplePanel_ = value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& value) {
  simpleText_ = value;
  if (HandleAllocated() && simplePanel_)
    SendMessageA(handle_, SB_SETTEXTA, 255 | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(value.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();
}

void TStatusBar::UpdatePanels(TStatusPanel* changed) {
  if (!HandleAllocated()) return;
  SendMessageA(handle_, SB_SIMPLE, simplePanel_, 0);
  if (simplePanel_) {
    SendMessageA(handle_, SB_SETTEXTA, 255 | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(simpleText_.c_str()));
    return;
  }
  int count = panels_->Count();
  auto textOf = [this](int i) {
    TStatusPanel* p = panels_->Items(i);
    UINT flags = static_cast<UINT>(i);
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) flags |= SBT_OWNERDRAW;
    std::string text = p->Text();
    // Centre and right alignment are asked for with leading tabs.
    if (p->Alignment() == taCenter) text = "\t" + text;
    if (p->Alignment() == taRightJustify) text = "\t\t" + text;
    SendMessageA(handle_, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
  };
  if (changed) {
    textOf(changed->Index());
    return;
  }
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
  int x = 0;
  for (int i = 0; i < count; ++i) {
    x += panels_->Items(i)->Width();
    edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : x;
  }
  if (count == 0) edges[0] = -1;
  SendMessageA(handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) textOf(i);
}

void TStatusBar::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (OnDrawPanel_ && static_cast<int>(di->itemID) < panels_->Count()) {
      TSaveDC saved(di->hDC);
      TCanvasOnDC onDC(canvas_.get(), di->hDC);
      canvas_->Font()->Assign(font_.get());
      const RECT& r = di->rcItem;
      OnDrawPanel_(this, panels_->Items(static_cast<int>(di->itemID)),
                   Rect(r.left, r.top, r.right, r.bottom));
    }
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

// ---- TToolButton / TToolBar ---------------------------------------------------------------

K_PUBLISH(TToolButton) {
  p.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle,
         {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
  p.Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
  p.Prop("Down", &TToolButton::Down, &TToolButton::SetDown);
  p.Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
  p.Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  width_ = 23;
  height_ = 22;
  controlStyle_ = {csCaptureMouse, csSetCaption};
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(parent_); }

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  for (int i = 0; i < bar->ButtonCount(); ++i)
    if (bar->Buttons(i) == this) return i;
  return -1;
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  if (TToolBar* bar = ToolBar()) bar->RebuildButtons();
}

void TToolButton::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated())
    SendMessageA(bar->Handle(), TB_CHANGEBITMAP, static_cast<WPARAM>(Command()), value);
}

void TToolButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
  dropdownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TToolButton::Notification(TComponent* c, TOperation operation) {
  TGraphicControl::Notification(c, operation);
  if (operation == opRemove && c == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::SetIndeterminate(bool value) {
  if (value == indeterminate_) return;
  indeterminate_ = value;
  if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
}

void TToolButton::SetMarked(bool value) {
  if (value == marked_) return;
  marked_ = value;
  if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
}

void TToolButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
      return;
    case CM_TEXTCHANGED:
      if (TToolBar* bar = ToolBar(); bar && bar->ShowCaptions()) bar->RebuildButtons();
      return;
  }
  TGraphicControl::WndProc(m);
}

K_PUBLISH(TToolBar) {
  p.Prop("Images", &TToolBar::Images, &TToolBar::SetImages);
  p.Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
  p.Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
  p.Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
  p.Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
  p.Prop("List", &TToolBar::List, &TToolBar::SetList);
  p.Prop("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  p.Prop("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  p.Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders,
        {"ebLeft", "ebTop", "ebRight", "ebBottom"});
  p.Enum("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner,
         {"esNone", "esRaised", "esLowered"});
  p.Enum("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter,
         {"esNone", "esRaised", "esLowered"});
  p.Prop("BorderWidth", &TToolBar::BorderWidth, &TToolBar::SetBorderWidth);
}

TToolBar::TToolBar(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  height_ = 29;
  width_ = 150;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && index-- == 0) return b;
  return nullptr;
}

void TToolBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, TOOLBARCLASSNAMEA);
  // No tool tips of the system bar: a button's Hint shows through the application's hint
  // window, like every other control's, and one pointer must not raise two tips.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | WS_CLIPCHILDREN;
  if (flat_) p.Style |= TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
  if (list_) p.Style |= TBSTYLE_LIST;
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  RebuildButtons();
}

void TToolBar::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == images_) {
    images_ = nullptr;
    if (HandleAllocated()) SendMessageA(handle_, TB_SETIMAGELIST, 0, 0);
  }
  if (operation == opRemove && c == disabledImages_) {
    disabledImages_ = nullptr;
    if (HandleAllocated()) SendMessageA(handle_, TB_SETDISABLEDIMAGELIST, 0, 0);
  }
  if (operation == opRemove && c == hotImages_) {
    hotImages_ = nullptr;
    if (HandleAllocated()) SendMessageA(handle_, TB_SETHOTIMAGELIST, 0, 0);
  }
}

void TToolBar::SetHotImages(TCustomImageList* value) {
  hotImages_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(handle_, TB_SETHOTIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TToolBar::SetDisabledImages(TCustomImageList* value) {
  disabledImages_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(handle_, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TToolBar::SetEdgeBorders(TEdgeBorders value) {
  edgeBorders_ = value;
  RecreateWnd();
}

void TToolBar::SetEdgeInner(TEdgeStyle value) {
  edgeInner_ = value;
  RecreateWnd();
}

void TToolBar::SetEdgeOuter(TEdgeStyle value) {
  edgeOuter_ = value;
  RecreateWnd();
}

void TToolBar::SetBorderWidth(int value) {
  borderWidth_ = value;
  RecreateWnd();
}

int TToolBar::EdgeSize(TEdgeBorder side) const {
  int edges = (edgeInner_ != esNone ? 1 : 0) + (edgeOuter_ != esNone ? 1 : 0);
  return borderWidth_ + (edgeBorders_.Contains(side) ? edges : 0);
}

TRect TToolBar::ClientRect() {
  TRect r = TWinControl::ClientRect();
  if (HandleAllocated()) return r;
  return Rect(r.Left + EdgeSize(ebLeft), r.Top + EdgeSize(ebTop), r.Right - EdgeSize(ebRight),
              r.Bottom - EdgeSize(ebBottom));
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW* draw) {
  NMCUSTOMDRAW& cd = draw->nmcd;
  TCustomDrawStage stage = cdPrePaint;
  switch (cd.dwDrawStage & ~static_cast<DWORD>(CDDS_ITEM)) {
    case CDDS_PREPAINT:
      stage = cdPrePaint;
      break;
    case CDDS_POSTPAINT:
      stage = cdPostPaint;
      break;
    case CDDS_PREERASE:
      stage = cdPreErase;
      break;
    case CDDS_POSTERASE:
      stage = cdPostErase;
      break;
    default:
      return CDRF_DODEFAULT;
  }
  TCanvasOnDC onDC(canvas_.get(), cd.hdc);
  canvas_->Font()->Assign(font_.get());
  LRESULT result = CDRF_DODEFAULT;
  if (!(cd.dwDrawStage & CDDS_ITEM)) {
    bool defaultDraw = true;
    if (OnAdvancedCustomDraw_) OnAdvancedCustomDraw_(this, ClientRect(), stage, defaultDraw);
    if (stage == cdPrePaint) {
      if (OnAdvancedCustomDrawButton_) result |= CDRF_NOTIFYITEMDRAW;
      result |= CDRF_NOTIFYPOSTPAINT;
    }
    if (!defaultDraw) result |= CDRF_SKIPDEFAULT;
  } else if (int index = static_cast<int>(cd.dwItemSpec) - 1;
             index >= 0 && index < ButtonCount() && OnAdvancedCustomDrawButton_) {
    TCustomDrawState state;
    UINT s = cd.uItemState;
    if (s & CDIS_SELECTED) state += cdsSelected;
    if (s & CDIS_GRAYED) state += cdsGrayed;
    if (s & CDIS_DISABLED) state += cdsDisabled;
    if (s & CDIS_CHECKED) state += cdsChecked;
    if (s & CDIS_FOCUS) state += cdsFocused;
    if (s & CDIS_DEFAULT) state += cdsDefault;
    if (s & CDIS_HOT) state += cdsHot;
    if (s & CDIS_MARKED) state += cdsMarked;
    if (s & CDIS_INDETERMINATE) state += cdsIndeterminate;
    TTBCustomDrawFlags flags;
    bool defaultDraw = true;
    OnAdvancedCustomDrawButton_(this, Buttons(index), state, stage, flags, defaultDraw);
    if (flags.Contains(tbNoEdges)) result |= TBCDRF_NOEDGES;
    if (flags.Contains(tbHiliteHotTrack)) result |= TBCDRF_HILITEHOTTRACK;
    if (flags.Contains(tbNoOffset)) result |= TBCDRF_NOOFFSET;
    if (flags.Contains(tbNoMark)) result |= TBCDRF_NOMARK;
    if (flags.Contains(tbNoEtchedEffect)) result |= TBCDRF_NOETCHEDEFFECT;
    if (stage == cdPrePaint) result |= CDRF_NOTIFYPOSTPAINT;
    if (!defaultDraw) result |= CDRF_SKIPDEFAULT;
  }
  return result;
}

void TToolBar::SetImages(TCustomImageList* value) {
  images_ = value;
  if (value) value->FreeNotification(this);
  RebuildButtons();
}

void TToolBar::SetButtonWidth(int value) {
  buttonWidth_ = value;
  RebuildButtons();
}

void TToolBar::SetButtonHeight(int value) {
  buttonHeight_ = value;
  RebuildButtons();
}

void TToolBar::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  RecreateWnd();
}

void TToolBar::SetShowCaptions(bool value) {
  showCaptions_ = value;
  RebuildButtons();
}

void TToolBar::SetList(bool value) {
  if (value == list_) return;
  list_ = value;
  RecreateWnd();
}

namespace {
BYTE ButtonState(TToolButton* b) {
  return static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) |
                           (b->Down() ? TBSTATE_CHECKED : 0) | (b->Visible() ? 0 : TBSTATE_HIDDEN) |
                           (b->Indeterminate() ? TBSTATE_INDETERMINATE : 0) |
                           (b->Marked() ? TBSTATE_MARKED : 0));
}
}  // namespace

void TToolBar::RebuildButtons() {
  if (!HandleAllocated() || rebuilding_ || IsLoading()) return;
  rebuilding_ = true;
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  while (SendMessageA(handle_, TB_BUTTONCOUNT, 0, 0) > 0)
    SendMessageA(handle_, TB_DELETEBUTTON, 0, 0);
  SendMessageA(handle_, TB_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  if (images_)
    SendMessageA(handle_, TB_SETBITMAPSIZE, 0, MAKELPARAM(images_->Width(), images_->Height()));
  SendMessageA(handle_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* b = Buttons(i);
    TBBUTTON tb{};
    tb.idCommand = b->Command();
    tb.iBitmap = b->ImageIndex() >= 0 ? b->ImageIndex() : I_IMAGENONE;
    tb.fsState = ButtonState(b);
    switch (b->Style()) {
      case tbsButton:
        tb.fsStyle = BTNS_BUTTON;
        break;
      case tbsCheck:
        tb.fsStyle = BTNS_CHECK | (b->Grouped() ? BTNS_GROUP : 0);
        break;
      case tbsDropDown:
        tb.fsStyle = BTNS_DROPDOWN;
        break;
      case tbsSeparator:
      case tbsDivider:
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = b->Width();  // a separator's bitmap index is its width
        break;
    }
    std::string caption = b->Caption();
    tb.iString =
        showCaptions_ && !caption.empty() ? reinterpret_cast<INT_PTR>(caption.c_str()) : -1;
    SendMessageA(handle_, TB_INSERTBUTTONA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  Invalidate();
  UpdateButtonBounds();
  rebuilding_ = false;
}

void TToolBar::UpdateButtonBounds() {
  if (!HandleAllocated()) return;
  for (int i = 0; i < ButtonCount(); ++i) {
    RECT r{};
    if (SendMessageA(handle_, TB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&r))) {
      TToolButton* b = Buttons(i);
      b->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
  }
}

void TToolBar::UpdateButtonState(TToolButton* b) {
  if (!HandleAllocated()) return;
  SendMessageA(handle_, TB_SETSTATE, static_cast<WPARAM>(b->Command()), ButtonState(b));
}

void TToolBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
    case WM_COMMAND:
      if (m.Msg == CN_COMMAND || reinterpret_cast<HWND>(m.LParam) == handle_) {
        int index = LOWORD(m.WParam) - 1;
        if (index >= 0 && index < ButtonCount()) {
          TToolButton* b = Buttons(index);
          if (b->Style() == tbsCheck)
            b->SetDown(SendMessageA(handle_, TB_ISBUTTONCHECKED, LOWORD(m.WParam), 0) != 0);
          b->Click();
          return;
        }
      }
      break;
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        m.Result = CustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam));
        return;
      }
      if (hdr->code == TBN_DROPDOWN) {
        auto* tbn = reinterpret_cast<NMTOOLBARA*>(m.LParam);
        int index = tbn->iItem - 1;
        if (index >= 0 && index < ButtonCount())
          if (TPopupMenu* menu = Buttons(index)->DropdownMenu()) {
            RECT r{};
            SendMessageA(handle_, TB_GETRECT, static_cast<WPARAM>(tbn->iItem),
                         reinterpret_cast<LPARAM>(&r));
            MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&r), 2);
            menu->SetPopupComponent(Buttons(index));
            menu->Popup(r.left, r.bottom);
          }
        m.Result = TBDDRET_DEFAULT;
        return;
      }
      return;
    }
    case WM_SIZE:
      TWinControl::WndProc(m);
      UpdateButtonBounds();
      return;
    case WM_NCCALCSIZE: {
      TWinControl::WndProc(m);
      // Both forms of the message start with the rectangle to shrink.
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      r->left += EdgeSize(ebLeft);
      r->top += EdgeSize(ebTop);
      r->right -= EdgeSize(ebRight);
      r->bottom -= EdgeSize(ebBottom);
      return;
    }
    case WM_NCPAINT: {
      TWinControl::WndProc(m);
      if (edgeInner_ == esNone && edgeOuter_ == esNone) return;
      TWindowDC dc(handle_, true);
      RECT r;
      GetWindowRect(handle_, &r);
      OffsetRect(&r, -r.left, -r.top);
      UINT edge = (edgeInner_ == esRaised    ? BDR_RAISEDINNER
                   : edgeInner_ == esLowered ? BDR_SUNKENINNER
                                             : 0) |
                  (edgeOuter_ == esRaised    ? BDR_RAISEDOUTER
                   : edgeOuter_ == esLowered ? BDR_SUNKENOUTER
                                             : 0);
      UINT sides = (edgeBorders_.Contains(ebLeft) ? BF_LEFT : 0) |
                   (edgeBorders_.Contains(ebTop) ? BF_TOP : 0) |
                   (edgeBorders_.Contains(ebRight) ? BF_RIGHT : 0) |
                   (edgeBorders_.Contains(ebBottom) ? BF_BOTTOM : 0);
      InflateRect(&r, -borderWidth_, -borderWidth_);
      DrawEdge(dc.Get(), &r, edge, sides);
      return;
    }
    case CM_CONTROLCHANGE:
      if (dynamic_cast<TToolButton*>(reinterpret_cast<TControl*>(m.WParam))) RebuildButtons();
      return;
    case WM_PAINT:
      // The system window paints the buttons; windowed children paint themselves.
      break;
  }
  TWinControl::WndProc(m);
}

// ---- TUpDown ------------------------------------------------------------------------------

K_PUBLISH(TUpDown) {
  p.Prop("Min", &TUpDown::Min, &TUpDown::SetMin);
  p.Prop("Max", &TUpDown::Max, &TUpDown::SetMax);
  p.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition);
  p.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement);
  p.Prop("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
  p.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap);
  p.Prop("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands);
  p.Prop("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys);
  p.Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation,
         {"udHorizontal", "udVertical"});
}

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
  width_ = 17;
  height_ = 25;
  controlStyle_ = {csCaptureMouse, csDoubleClicks};
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, UPDOWN_CLASSA);
  p.Style |= UDS_SETBUDDYINT | UDS_ALIGNRIGHT;
  if (wrap_) p.Style |= UDS_WRAP;
  if (!thousands_) p.Style |= UDS_NOTHOUSANDS;
  if (arrowKeys_) p.Style |= UDS_ARROWKEYS;
  if (orientation_ == udHorizontal) p.Style |= UDS_HORZ;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageA(handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (associate_)
    SendMessageA(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  SendMessageA(handle_, UDM_SETPOS32, 0, position_);
}

void TUpDown::Loaded() {
  TWinControl::Loaded();
  if (associate_) SetAssociate(associate_);
}

void TUpDown::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == associate_) associate_ = nullptr;
}

void TUpDown::SetMin(int value) {
  min_ = value;
  if (HandleAllocated()) SendMessageA(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TUpDown::SetMax(int value) {
  max_ = value;
  if (HandleAllocated()) SendMessageA(handle_, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TUpDown::Position() {
  if (HandleAllocated()) {
    BOOL error = FALSE;
    int pos =
        static_cast<int>(SendMessageA(handle_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
    if (!error) position_ = pos;
  }
  return position_;
}

void TUpDown::SetPosition(int value) {
  position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated())
    SendMessageA(handle_, UDM_SETPOS32, 0, position_);
  else if (associate_ && !IsLoading())
    associate_->SetText(std::to_string(position_));
}

void TUpDown::SetIncrement(int value) {
  increment_ = value;
  if (HandleAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(value)};
    SendMessageA(handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetAssociate(TWinControl* value) {
  associate_ = value;
  if (!value) return;
  value->FreeNotification(this);
  if (IsLoading()) return;
  if (HandleAllocated() || (parent_ && parent_->HandleAllocated())) {
    SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(value->Handle()), 0);
    SendMessageA(handle_, UDM_SETPOS32, 0, position_);
  } else {
    value->SetText(std::to_string(position_));
  }
}

void TUpDown::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  RecreateWnd();
}

void TUpDown::SetThousands(bool value) {
  if (value == thousands_) return;
  thousands_ = value;
  RecreateWnd();
}

void TUpDown::SetArrowKeys(bool value) {
  if (value == arrowKeys_) return;
  arrowKeys_ = value;
  RecreateWnd();
}

void TUpDown::SetOrientation(TUDOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

void TUpDown::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY &&
      reinterpret_cast<NMHDR*>(m.LParam)->code == static_cast<UINT>(UDN_DELTAPOS)) {
    bool allow = true;
    if (OnChanging_) OnChanging_(this, allow);
    m.Result = allow ? 0 : 1;
    return;
  }
  if (m.Msg == CN_VSCROLL || m.Msg == CN_HSCROLL) {
    int old = position_;
    int now = Position();
    if (LOWORD(m.WParam) == SB_THUMBPOSITION && OnClick_)
      OnClick_(this, now >= old ? btNext : btPrev);
    return;
  }
  TWinControl::WndProc(m);
}

// ---- TProgressBar -------------------------------------------------------------------------

K_PUBLISH(TProgressBar) {
  p.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin);
  p.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax);
  p.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
  p.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep);
  p.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth);
  p.Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation,
         {"pbHorizontal", "pbVertical"});
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 17;
}

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, PROGRESS_CLASSA);
  if (smooth_) p.Style |= PBS_SMOOTH;
  if (orientation_ == pbVertical) p.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageA(handle_, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int value) {
  min_ = value;
  if (HandleAllocated()) SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  if (HandleAllocated()) SendMessageA(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TProgressBar::Position() {
  if (HandleAllocated()) position_ = static_cast<int>(SendMessageA(handle_, PBM_GETPOS, 0, 0));
  return position_;
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int value) {
  step_ = value;
  if (HandleAllocated()) SendMessageA(handle_, PBM_SETSTEP, static_cast<WPARAM>(value), 0);
}

void TProgressBar::StepIt() { StepBy(step_); }

void TProgressBar::StepBy(int delta) {
  int pos = Position() + delta;
  // The system bar wraps round past the maximum; start again from the minimum likewise.
  if (pos > max_) pos = min_ + (pos - max_) - 1;
  SetPosition(pos);
}

void TProgressBar::SetSmooth(bool value) {
  if (value == smooth_) return;
  smooth_ = value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

// ---- list view ----------------------------------------------------------------------------

K_PUBLISH(TListColumn) {
  p.Prop("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  p.Prop("Width", &TListColumn::Width, &TListColumn::SetWidth);
  p.Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
}

void TListColumn::SetCaption(const std::string& value) {
  caption_ = value;
  Changed(false);
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* view)
    : TCollection(TListColumn::StaticClassInfo(), view), view_(view) {}

void TListColumns::Update(TCollectionItem* item) {
  TCollection::Update(item);
  view_->UpdateColumns();
}

K_PUBLISH(TListItem) {
  p.Prop("Caption", &TListItem::Caption, &TListItem::SetCaption);
  p.Prop("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex);
}

TListItem::TListItem(TListItems* owner)
    : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = TNotifyEvent([this](TObject*) { Update(); });
}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return owner_->Owner(); }
int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Update() {
  int i = Index();
  if (i >= 0) ListView()->UpdateItems(i, i);
}

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  Update();
}

void TListItem::SetImageIndex(int value) {
  imageIndex_ = value;
  Update();
}

bool TListItem::Selected() const {
  TCustomListView* v = ListView();
  if (!v->HandleAllocated()) return v->itemIndex_ == Index();
  return SendMessageA(v->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_SELECTED) !=
         0;
}

void TListItem::SetSelected(bool value) {
  TCustomListView* v = ListView();
  if (!v->HandleAllocated()) {
    if (value)
      v->itemIndex_ = Index();
    else if (v->itemIndex_ == Index())
      v->itemIndex_ = -1;
    return;
  }
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | (value ? LVIS_FOCUSED : 0);
  item.state = value ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  SendMessageA(v->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
               reinterpret_cast<LPARAM>(&item));
}

void TListItem::Delete() { owner_->Delete(Index()); }

TListItems::~TListItems() = default;

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
  if (updateCount_ == 0) view_->UpdateItemCount();
  return items_[static_cast<size_t>(index)].get();
}

void TListItems::Delete(int index) {
  items_.erase(items_.begin() + index);
  if (updateCount_ == 0) view_->UpdateItemCount();
}

void TListItems::Clear() {
  items_.clear();
  if (updateCount_ == 0) view_->UpdateItemCount();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TListItems::BeginUpdate() { ++updateCount_; }

void TListItems::EndUpdate() {
  if (--updateCount_ == 0) view_->UpdateItemCount();
}

K_PUBLISH(TCustomListView) {
  p.Enum("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle,
         {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
  p.Prop("Columns", &TCustomListView::Columns);
  p.Prop("Items", &TCustomListView::Items);
  p.Prop("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
  p.Prop("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
  p.Prop("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
         &TCustomListView::SetShowColumnHeaders);
  p.Prop("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect);
  p.Prop("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly);
  p.Prop("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines);
  p.Prop("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection);
  p.Prop("FlatScrollBars", &TCustomListView::FlatScrollBars, &TCustomListView::SetFlatScrollBars);
  p.Prop("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect);
  p.Prop("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick);
  p.Prop("ItemIndex", &TCustomListView::ItemIndex, &TCustomListView::SetItemIndex);
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      canvas_(std::make_unique<TControlCanvas>(this)),
      items_(std::make_unique<TListItems>(this)),
      columns_(std::make_unique<TListColumns>(this)) {
  width_ = 250;
  height_ = 150;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_LISTVIEWA);
  // The items live here; the window asks for their texts and images when it paints.
  p.Style |= LVS_OWNERDATA | LVS_SHAREIMAGELISTS;
  switch (viewStyle_) {
    case vsIcon:
      p.Style |= LVS_ICON;
      break;
    case vsSmallIcon:
      p.Style |= LVS_SMALLICON;
      break;
    case vsList:
      p.Style |= LVS_LIST;
      break;
    case vsReport:
      p.Style |= LVS_REPORT;
      break;
  }
  if (!showColumnHeaders_) p.Style |= LVS_NOCOLUMNHEADER;
  if (!multiSelect_) p.Style |= LVS_SINGLESEL;
  if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
  if (!readOnly_) p.Style |= LVS_EDITLABELS;
  if (!columnClick_) p.Style |= LVS_NOSORTHEADER;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  DWORD ex = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? LVS_EX_GRIDLINES : 0);
  SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
  SendMessageA(handle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  SendMessageA(handle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  SendMessageA(handle_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(font_->Color())));
  ApplyImageLists();
  UpdateColumns();
  UpdateItemCount();
  if (itemIndex_ >= 0 && itemIndex_ < items_->Count()) items_->Item(itemIndex_)->SetSelected(true);
}

void TCustomListView::DestroyWnd() {
  itemIndex_ = ItemIndex();
  TWinControl::DestroyWnd();
}

void TCustomListView::ApplyImageLists() {
  if (!HandleAllocated()) return;
  SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle() : nullptr));
  SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation != opRemove) return;
  if (c == smallImages_) smallImages_ = nullptr;
  if (c == largeImages_) largeImages_ = nullptr;
  if (c == smallImages_ || c == largeImages_) ApplyImageLists();
}

void TCustomListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  viewStyle_ = value;
  RecreateWnd();
}

void TCustomListView::SetSmallImages(TCustomImageList* value) {
  smallImages_ = value;
  if (value) value->FreeNotification(this);
  ApplyImageLists();
}

void TCustomListView::SetLargeImages(TCustomImageList* value) {
  largeImages_ = value;
  if (value) value->FreeNotification(this);
  ApplyImageLists();
}

void TCustomListView::SetShowColumnHeaders(bool value) {
  if (value == showColumnHeaders_) return;
  showColumnHeaders_ = value;
  RecreateWnd();
}

void TCustomListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 value ? LVS_EX_FULLROWSELECT : 0);
}

void TCustomListView::SetGridLines(bool value) {
  gridLines_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES,
                 value ? LVS_EX_GRIDLINES : 0);
}

void TCustomListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TCustomListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  RecreateWnd();
}

void TCustomListView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

int TCustomListView::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(
      SendMessageA(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TCustomListView::SetItemIndex(int value) {
  if (HandleAllocated()) {
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED;
    SendMessageA(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
  }
  itemIndex_ = value >= 0 && value < items_->Count() ? value : -1;
  if (itemIndex_ >= 0) items_->Item(itemIndex_)->SetSelected(true);
}

TListItem* TCustomListView::Selected() {
  int i = ItemIndex();
  return i >= 0 && i < items_->Count() ? items_->Item(i) : nullptr;
}

void TCustomListView::SetSelected(TListItem* value) { SetItemIndex(value ? value->Index() : -1); }

void TCustomListView::UpdateItems(int first, int last) {
  if (HandleAllocated()) SendMessageA(handle_, LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

void TCustomListView::UpdateItemCount() {
  if (!HandleAllocated()) return;
  SendMessageA(handle_, LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->Count()), LVSICF_NOSCROLL);
  Invalidate();
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated()) return;
  while (SendMessageA(handle_, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* c = columns_->Items(i);
    std::string caption = c->Caption();
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = c->Alignment() == taCenter         ? LVCFMT_CENTER
              : c->Alignment() == taRightJustify ? LVCFMT_RIGHT
                                                 : LVCFMT_LEFT;
    col.cx = c->Width();
    col.pszText = caption.data();
    SendMessageA(handle_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&col));
  }
}

void TCustomListView::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
      case LVN_GETDISPINFOA: {
        auto* di = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
        LVITEMA& it = di->item;
        if (it.iItem < 0 || it.iItem >= items_->Count()) return;
        TListItem* item = items_->Item(it.iItem);
        if (it.mask & LVIF_TEXT) {
          std::string text = it.iSubItem == 0 ? item->Caption()
                             : it.iSubItem - 1 < item->SubItems()->Count()
                                 ? (*item->SubItems())[it.iSubItem - 1]
                                 : std::string();
          if (it.pszText && it.cchTextMax > 0) lstrcpynA(it.pszText, text.c_str(), it.cchTextMax);
        }
        if ((it.mask & LVIF_IMAGE) && it.iSubItem == 0) it.iImage = item->ImageIndex();
        return;
      }
      case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (nm->uChanged & LVIF_STATE) {
          itemIndex_ = ItemIndex();
          if (OnChange_) OnChange_(this);
        }
        return;
      }
      case NM_CLICK:
        Click();
        return;
      case NM_DBLCLK:
        DblClick();
        return;
      case NM_CUSTOMDRAW:
        m.Result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam));
        return;
    }
    return;
  }
  if (m.Msg == CM_COLORCHANGED && HandleAllocated()) {
    SendMessageA(handle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
    SendMessageA(handle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  }
  if (m.Msg == CM_FONTCHANGED && HandleAllocated())
    SendMessageA(handle_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(font_->Color())));
  TWinControl::WndProc(m);
}

namespace {

TCustomDrawState CustomDrawStateOf(UINT itemState) {
  TCustomDrawState state;
  if (itemState & CDIS_SELECTED) state.Include(cdsSelected);
  if (itemState & CDIS_GRAYED) state.Include(cdsGrayed);
  if (itemState & CDIS_DISABLED) state.Include(cdsDisabled);
  if (itemState & CDIS_CHECKED) state.Include(cdsChecked);
  if (itemState & CDIS_FOCUS) state.Include(cdsFocused);
  if (itemState & CDIS_DEFAULT) state.Include(cdsDefault);
  if (itemState & CDIS_HOT) state.Include(cdsHot);
  if (itemState & CDIS_MARKED) state.Include(cdsMarked);
  if (itemState & CDIS_INDETERMINATE) state.Include(cdsIndeterminate);
  return state;
}

}  // namespace

LRESULT TCustomListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
  NMCUSTOMDRAW& cd = draw.nmcd;
  TCanvasOnDC onDC(canvas_.get(), cd.hdc);
  canvas_->Font()->Assign(font_.get());
  canvas_->Brush()->SetColor(color_);
  bool defaultDraw = true;
  const DWORD stage = cd.dwDrawStage;
  if (stage == CDDS_PREPAINT || stage == CDDS_PREERASE || stage == CDDS_POSTPAINT ||
      stage == CDDS_POSTERASE) {
    const TCustomDrawStage s = stage == CDDS_PREPAINT    ? cdPrePaint
                               : stage == CDDS_PREERASE  ? cdPreErase
                               : stage == CDDS_POSTPAINT ? cdPostPaint
                                                         : cdPostErase;
    if (OnAdvancedCustomDraw_) OnAdvancedCustomDraw_(this, ClientRect(), s, defaultDraw);
    if (!defaultDraw) return CDRF_SKIPDEFAULT;
    if (stage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    LRESULT answer = CDRF_DODEFAULT;
    if (OnAdvancedCustomDrawItem_ || OnAdvancedCustomDrawSubItem_) answer |= CDRF_NOTIFYITEMDRAW;
    return answer;
  }
  const int index = static_cast<int>(cd.dwItemSpec);
  TListItem* item = index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr;
  if (!item) return CDRF_DODEFAULT;
  // The list's own drawing state: a virtual list reports its selection and focus here.
  UINT itemState = cd.uItemState;
  const UINT lvState = static_cast<UINT>(SendMessageA(
      handle_, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED | LVIS_FOCUSED));
  if (lvState & LVIS_SELECTED) itemState |= CDIS_SELECTED;
  if (lvState & LVIS_FOCUSED) itemState |= CDIS_FOCUS;
  const TCustomDrawState state = CustomDrawStateOf(itemState);
  const bool post = (stage & CDDS_ITEMPOSTPAINT) == CDDS_ITEMPOSTPAINT;
  const TCustomDrawStage s = post ? cdPostPaint : cdPrePaint;
  if (stage & CDDS_SUBITEM) {
    if (OnAdvancedCustomDrawSubItem_)
      OnAdvancedCustomDrawSubItem_(this, item, draw.iSubItem, state, s, defaultDraw);
    return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
  }
  if (OnAdvancedCustomDrawItem_) OnAdvancedCustomDrawItem_(this, item, state, s, defaultDraw);
  if (!defaultDraw) return CDRF_SKIPDEFAULT;
  return OnAdvancedCustomDrawSubItem_ && !post ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
}

// ---- extended combo box -------------------------------------------------------------------

K_PUBLISH(TComboExItem) {
  p.Prop("Caption", &TComboExItem::Caption, &TComboExItem::SetCaption);
  p.Prop("ImageIndex", &TComboExItem::ImageIndex, &TComboExItem::SetImageIndex);
  p.Prop("SelectedImageIndex", &TComboExItem::SelectedImageIndex,
         &TComboExItem::SetSelectedImageIndex);
  p.Prop("Indent", &TComboExItem::Indent, &TComboExItem::SetIndent);
}

void TComboExItem::SetCaption(const std::string& value) {
  caption_ = value;
  Changed(false);
}

void TComboExItem::SetImageIndex(int value) {
  imageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetSelectedImageIndex(int value) {
  selectedImageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetIndent(int value) {
  indent_ = value;
  Changed(false);
}

TComboExItems::TComboExItems(TCustomComboBoxEx* combo)
    : TCollection(TComboExItem::StaticClassInfo(), combo), combo_(combo) {}

TComboExItem* TComboExItems::AddItem(const std::string& caption, int imageIndex,
                                     int selectedImageIndex, int indent) {
  BeginUpdate();
  TComboExItem* item = Add();
  item->SetCaption(caption);
  item->SetImageIndex(imageIndex);
  item->SetSelectedImageIndex(selectedImageIndex);
  item->SetIndent(indent);
  EndUpdate();
  return item;
}

void TComboExItems::Update(TCollectionItem* item) {
  TCollection::Update(item);
  combo_->UpdateItems();
}

K_PUBLISH(TCustomComboBoxEx) {
  p.Prop("ItemsEx", &TCustomComboBoxEx::ItemsEx);
  p.Prop("Images", &TCustomComboBoxEx::Images, &TCustomComboBoxEx::SetImages);
  p.Enum("Style", &TCustomComboBoxEx::Style, &TCustomComboBoxEx::SetStyle,
         {"csExDropDown", "csExSimple", "csExDropDownList"});
  p.Prop("DropDownCount", &TCustomComboBoxEx::DropDownCount, &TCustomComboBoxEx::SetDropDownCount);
  p.Prop("ItemIndex", &TCustomComboBoxEx::ItemIndex, &TCustomComboBoxEx::SetItemIndex);
}

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TComboExItems>(this)) {
  width_ = 145;
  height_ = 22;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomComboBoxEx::~TCustomComboBoxEx() = default;

void TCustomComboBoxEx::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_COMBOBOXEXA);
  p.Style |= WS_VSCROLL;
  switch (style_) {
    case csExDropDown:
      p.Style |= CBS_DROPDOWN;
      break;
    case csExSimple:
      p.Style |= CBS_SIMPLE;
      break;
    case csExDropDownList:
      p.Style |= CBS_DROPDOWNLIST;
      break;
  }
  // The window's height includes its drop-down list.
  p.Height = std::max(height_, 22) + std::max(dropDownCount_, 1) * 18;
}

void TCustomComboBoxEx::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, CBEM_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  UpdateItems();
  RECT r;
  GetWindowRect(handle_, &r);
  height_ = r.bottom - r.top;
}

void TCustomComboBoxEx::DestroyWnd() {
  itemIndex_ = ItemIndex();
  TWinControl::DestroyWnd();
}

void TCustomComboBoxEx::UpdateItems() {
  if (!HandleAllocated()) return;
  const int selected = ItemIndex() >= 0 ? ItemIndex() : itemIndex_;
  SendMessageA(handle_, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_->Count(); ++i) {
    TComboExItem* item = items_->Items(i);
    std::string caption = item->Caption();
    COMBOBOXEXITEMA cbi{};
    cbi.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    cbi.iItem = i;
    cbi.pszText = caption.data();
    cbi.iImage = item->ImageIndex();
    cbi.iSelectedImage =
        item->SelectedImageIndex() >= 0 ? item->SelectedImageIndex() : item->ImageIndex();
    cbi.iIndent = item->Indent();
    SendMessageA(handle_, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&cbi));
  }
  if (selected >= 0 && selected < items_->Count())
    SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void TCustomComboBoxEx::SetImages(TCustomImageList* value) {
  images_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(handle_, CBEM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TCustomComboBoxEx::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == images_) SetImages(nullptr);
}

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

int TCustomComboBoxEx::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
}

void TCustomComboBoxEx::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  itemIndex_ = value;
  if (HandleAllocated()) SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

std::string TCustomComboBoxEx::GetText() {
  if (!HandleAllocated()) return TWinControl::GetText();
  if (auto edit = reinterpret_cast<HWND>(SendMessageA(handle_, CBEM_GETEDITCONTROL, 0, 0))) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextA(edit, text.data(),
                                                            static_cast<int>(text.size())),
                                             0)));
    return text;
  }
  const int index = ItemIndex();
  return index >= 0 && index < items_->Count() ? items_->Items(index)->Caption() : std::string();
}

bool TCustomComboBoxEx::DroppedDown() {
  return HandleAllocated() && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBoxEx::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    switch (HIWORD(m.WParam)) {
      case CBN_SELCHANGE:
        itemIndex_ = ItemIndex();
        Click();
        if (OnSelect_) OnSelect_(this);
        Changed();
        if (OnChange_) OnChange_(this);
        break;
      case CBN_EDITCHANGE:
        itemIndex_ = -1;
        Changed();
        if (OnChange_) OnChange_(this);
        break;
      default:
        break;
    }
    return;
  }
  TWinControl::WndProc(m);
}

// ---- tree view ----------------------------------------------------------------------------

K_PUBLISH(TTreeNode) {
  p.Prop("Text", &TTreeNode::Text, &TTreeNode::SetText);
  p.Prop("ImageIndex", &TTreeNode::ImageIndex, &TTreeNode::SetImageIndex);
  p.Prop("SelectedIndex", &TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex);
}

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

namespace {
HWND TreeWindow(const TTreeNodes* nodes) {
  TCustomTreeView* v = nodes->Owner();
  return v && v->HandleAllocated() ? v->Handle() : nullptr;
}
}  // namespace

void TTreeNode::InsertIntoWindow(HWND tree, HTREEITEM after) {
  TVINSERTSTRUCTA ins{};
  ins.hParent = parent_ && parent_->parent_ ? parent_->item_ : TVI_ROOT;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  ins.item.pszText = text_.data();
  ins.item.iImage = imageIndex_;
  ins.item.iSelectedImage = selectedIndex_;
  ins.item.lParam = reinterpret_cast<LPARAM>(this);
  item_ = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  for (auto& c : children_) c->InsertIntoWindow(tree, TVI_LAST);
  if (expanded_) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
}

void TTreeNode::SetText(const std::string& value) {
  text_ = value;
  if (HWND tree = TreeWindow(owner_); tree && item_) {
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = item_;
    it.pszText = text_.data();
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  if (HWND tree = TreeWindow(owner_); tree && item_) {
    TVITEMA it{};
    it.mask = TVIF_IMAGE;
    it.hItem = item_;
    it.iImage = value;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  if (HWND tree = TreeWindow(owner_); tree && item_) {
    TVITEMA it{};
    it.mask = TVIF_SELECTEDIMAGE;
    it.hItem = item_;
    it.iSelectedImage = value;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
}

int TTreeNode::Index() const {
  if (!parent_) return -1;
  for (size_t i = 0; i < parent_->children_.size(); ++i)
    if (parent_->children_[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int level = -1;
  for (const TTreeNode* n = this; n->parent_; n = n->parent_) ++level;
  return level;
}

bool TTreeNode::Expanded() const {
  if (HWND tree = TreeWindow(owner_); tree && item_)
    return (SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  return expanded_;
}

void TTreeNode::SetExpanded(bool value) {
  expanded_ = value;
  if (HWND tree = TreeWindow(owner_); tree && item_)
    SendMessageA(tree, TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE,
                 reinterpret_cast<LPARAM>(item_));
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (auto& c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return owner_->Owner() && owner_->Owner()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  if (value && owner_->Owner()) owner_->Owner()->SetSelected(this);
}

void TTreeNode::Delete() { owner_->Delete(this); }

TRect TTreeNode::DisplayRect(bool textOnly) const {
  HWND tree = TreeWindow(owner_);
  if (!tree || !item_) return TRect{};
  // The message takes the item in the rectangle it fills.
  RECT r{};
  static_assert(sizeof(item_) <= sizeof(r));
  std::memcpy(&r, &item_, sizeof(item_));
  if (!SendMessageA(tree, TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r)))
    return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

TTreeNodes::~TTreeNodes() = default;

int TTreeNodes::Count() const {
  int n = 0;
  std::vector<const TTreeNode*> stack{&root_};
  while (!stack.empty()) {
    const TTreeNode* node = stack.back();
    stack.pop_back();
    n += node->Count();
    for (auto& c : node->children_) stack.push_back(c.get());
  }
  return n;
}

TTreeNode* TTreeNodes::Item(int index) const {
  // Depth first, in display order.
  std::vector<TTreeNode*> stack;
  for (auto it = root_.children_.rbegin(); it != root_.children_.rend(); ++it)
    stack.push_back(it->get());
  while (!stack.empty()) {
    TTreeNode* node = stack.back();
    stack.pop_back();
    if (index-- == 0) return node;
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
      stack.push_back(it->get());
  }
  throw EListError("List index out of bounds");
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  TTreeNode* p = parent ? parent : &root_;
  p->children_.push_back(std::make_unique<TTreeNode>(this, p));
  TTreeNode* node = p->children_.back().get();
  node->text_ = text;
  if (HWND tree = TreeWindow(this); tree && (p == &root_ || p->item_))
    node->InsertIntoWindow(tree, TVI_LAST);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddChild(sibling ? sibling->parent_ : nullptr, text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || !node->parent_) return;
  if (view_ && view_->Selected() == node) view_->SetSelected(nullptr);
  if (HWND tree = TreeWindow(this); tree && node->item_)
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
  auto& l = node->parent_->children_;
  l.erase(std::find_if(l.begin(), l.end(), [node](auto& c) { return c.get() == node; }));
}

void TTreeNodes::Clear() {
  if (view_) view_->SetSelected(nullptr);
  if (HWND tree = TreeWindow(this))
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  root_.children_.clear();
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0)
    if (HWND tree = TreeWindow(this)) SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (--updateCount_ == 0)
    if (HWND tree = TreeWindow(this)) {
      SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(tree, nullptr, TRUE);
    }
}

TTreeNode* TTreeNodes::FindNode(HTREEITEM item) const {
  if (!item) return nullptr;
  for (int i = 0, n = Count(); i < n; ++i)
    if (TTreeNode* node = Item(i); node->item_ == item) return node;
  return nullptr;
}

K_PUBLISH(TCustomTreeView) {
  p.Prop("Items", &TCustomTreeView::Items);
  p.Prop("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  p.Prop("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines);
  p.Prop("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot);
  p.Prop("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons);
  p.Prop("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly);
  p.Prop("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection);
}

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TTreeNodes>(this)),
      canvas_(std::make_unique<TControlCanvas>(this)) {
  width_ = 121;
  height_ = 97;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomTreeView::~TCustomTreeView() { items_.reset(); }

void TCustomTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TREEVIEWA);
  if (showLines_) p.Style |= TVS_HASLINES;
  if (showRoot_) p.Style |= TVS_LINESATROOT;
  if (showButtons_) p.Style |= TVS_HASBUTTONS;
  if (!readOnly_) p.Style |= TVS_EDITLABELS;
  if (!hideSelection_) p.Style |= TVS_SHOWSELALWAYS;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  ApplyColors();
  if (images_)
    SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(images_->Handle()));
  for (auto& c : items_->root_.children_) c->InsertIntoWindow(handle_, TVI_LAST);
  if (selected_ && selected_->item_)
    SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
}

void TCustomTreeView::DestroyWnd() {
  // Remember what the window knows before it goes.
  for (int i = 0, n = items_->Count(); i < n; ++i) {
    TTreeNode* node = items_->Item(i);
    node->expanded_ = node->Expanded();
  }
  selected_ = Selected();
  TWinControl::DestroyWnd();
  for (int i = 0, n = items_->Count(); i < n; ++i) items_->Item(i)->item_ = nullptr;
}

void TCustomTreeView::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == images_) SetImages(nullptr);
}

TTreeNode* TCustomTreeView::Selected() {
  if (!HandleAllocated()) return selected_;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return nullptr;
  // Each window item carries its node.
  TVITEMA it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  if (!SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return reinterpret_cast<TTreeNode*>(it.lParam);
}

void TCustomTreeView::SetSelected(TTreeNode* value) {
  selected_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(value ? value->item_ : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
  images_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TCustomTreeView::SetShowLines(bool value) {
  if (value == showLines_) return;
  showLines_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetShowRoot(bool value) {
  if (value == showRoot_) return;
  showRoot_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetShowButtons(bool value) {
  if (value == showButtons_) return;
  showButtons_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomTreeView::FullExpand() {
  for (auto& c : items_->root_.children_) c->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (auto& c : items_->root_.children_) c->Collapse(true);
}

void TCustomTreeView::ApplyColors() {
  if (!HandleAllocated()) return;
  // -1 leaves the system's own colour, which follows the system's colour scheme.
  const LPARAM back = color_ == clWindow ? -1 : static_cast<LPARAM>(ColorToRGB(color_));
  const TColor fontColor = font_->Color();
  const LPARAM text = fontColor == clWindowText ? -1 : static_cast<LPARAM>(ColorToRGB(fontColor));
  // The window answers its colours as 32-bit values, -1 included.
  auto differs = [this](UINT get, LPARAM value) {
    return static_cast<COLORREF>(SendMessageA(handle_, get, 0, 0)) != static_cast<COLORREF>(value);
  };
  if (differs(TVM_GETBKCOLOR, back)) SendMessageA(handle_, TVM_SETBKCOLOR, 0, back);
  if (differs(TVM_GETTEXTCOLOR, text)) SendMessageA(handle_, TVM_SETTEXTCOLOR, 0, text);
}

LRESULT TCustomTreeView::CustomDraw(NMTVCUSTOMDRAW& draw) {
  NMCUSTOMDRAW& cd = draw.nmcd;
  if (!OnAdvancedCustomDrawItem_) return CDRF_DODEFAULT;
  if (cd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  const bool pre = cd.dwDrawStage == CDDS_ITEMPREPAINT;
  if (!pre && cd.dwDrawStage != CDDS_ITEMPOSTPAINT) return CDRF_DODEFAULT;
  auto* node = reinterpret_cast<TTreeNode*>(cd.lItemlParam);
  if (!node) return CDRF_DODEFAULT;
  TCanvasOnDC onDC(canvas_.get(), cd.hdc);
  canvas_->Font()->Assign(font_.get());
  canvas_->Brush()->SetColor(color_);
  bool paintImages = true;
  bool defaultDraw = true;
  OnAdvancedCustomDrawItem_(this, node, CustomDrawStateOf(cd.uItemState),
                            pre ? cdPrePaint : cdPostPaint, paintImages, defaultDraw);
  if (!defaultDraw) return CDRF_SKIPDEFAULT;
  return pre ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
}

void TCustomTreeView::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == TVN_SELCHANGEDA) {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
      selected_ = reinterpret_cast<TTreeNode*>(nm->itemNew.lParam);
      if (OnChange_) OnChange_(this, selected_);
    } else if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
      m.Result = CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(m.LParam));
    }
    return;
  }
  TWinControl::WndProc(m);
  if (m.Msg == CM_COLORCHANGED || m.Msg == CM_FONTCHANGED) ApplyColors();
}
