#include "skin/adapters/skTabControlWndWin32.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skSmallCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

constexpr int kTabTextCapacity = 4096;

uint32_t StyleOf(HWND wnd) { return static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE)); }

TRect ToRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

TRect Moved(TRect r, TPoint by) {
  return TRect{r.Left + by.X, r.Top + by.Y, r.Right + by.X, r.Bottom + by.Y};
}

TRect Intersected(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

struct TTabItem {
  std::string Text;
  int Image = -1;
};

TTabItem ReadTabItem(HWND wnd, int index) {
  std::string buffer(kTabTextCapacity, '\0');
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  item.pszText = buffer.data();
  item.cchTextMax = kTabTextCapacity;
  item.iImage = -1;
  if (!SendMessageA(wnd, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return {};
  // The control may answer with a text of its own instead of filling the buffer.
  const char* text = item.pszText ? item.pszText : "";
  return TTabItem{std::string(text, strnlen(text, kTabTextCapacity - 1)), item.iImage};
}

// The tab control's framework page control, when it is one.
TPageControl* HostPageControl(TsCommonData* data) {
  return dynamic_cast<TPageControl*>(HostControlOf(*data));
}

}  // namespace

// ---- tab control --------------------------------------------------------------------------------

class TskTabControlWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskTabControlWnd& tab)
      : TskAdapterCmdHandler(*tab.CommonData(), tab.Manager(), tab.AdapterWindow()), t_(tab) {}

 protected:
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    const bool answered = TskAdapterCmdHandler::OnRemoveSkin(m);
    if (IsOwn(m)) {
      t_.ReleaseSpinAdapter();
      RedrawWindow(t_.WindowHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN |
                       RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
    }
    return answered;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    const bool answered = TskAdapterCmdHandler::OnRefresh(m);
    if (IsOwn(m)) {
      InvalidateRect(t_.WindowHandle(), nullptr, TRUE);
      t_.UpdateSpinAdapter();
    }
    return answered;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    Data().SetPaintSuspended(false);
    InvalidateRect(t_.WindowHandle(), nullptr, TRUE);
    return true;
  }
  // Pages of a tab control ask which manager paints it.
  bool OnGetContainerInfo(TSkinCmdMessage& m) override {
    m.Result = reinterpret_cast<intptr_t>(t_.Manager());
    return true;
  }

 private:
  bool IsOwn(const TSkinCmdMessage& m) const { return t_.IsOwnRefresh(m); }
  TskTabControlWnd& t_;
};

TskTabControlWnd::TskTabControlWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                   const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "PAGECONTROL" : section) {}

TskTabControlWnd::~TskTabControlWnd() { ReleaseSpinAdapter(); }

bool TskTabControlWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) {
  return TCmdHandler(*this).Handle(cmd);
}

TsTabPosition TskTabControlWnd::Position() const { return TabPosition(StyleOf(windowHandle_)); }
TsTabStyle TskTabControlWnd::Style() const { return TabStyleOf(StyleOf(windowHandle_)); }

int TskTabControlWnd::TabCount() const {
  return static_cast<int>(SendMessageA(windowHandle_, TCM_GETITEMCOUNT, 0, 0));
}
int TskTabControlWnd::CurrentTab() const {
  return static_cast<int>(SendMessageA(windowHandle_, TCM_GETCURSEL, 0, 0));
}

TRect TskTabControlWnd::GetDisplayRect() {
  RECT r{0, 0, WindowSize().cx, WindowSize().cy};
  SendMessageA(windowHandle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return TabDisplayRect(ToRect(r));
}

TRect TskTabControlWnd::GetFrameRect() {
  return TabFrameRect(WindowSize(), TabCount() > 0, Position(), GetDisplayRect());
}

TRect TskTabControlWnd::GetTabsArea() {
  return TabsArea(WindowSize(), TabCount() > 0, Position(), GetDisplayRect());
}

TRect TskTabControlWnd::GetTabRect(int index, bool active) {
  if (index < 0 || index >= TabCount()) return TRect{};
  RECT item{};
  SendMessageA(windowHandle_, TCM_GETITEMRECT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
  return TabRect(ToRect(item), active, Position(), Style());
}

int TskTabControlWnd::GetTabRow(int index) {
  const int rows = static_cast<int>(SendMessageA(windowHandle_, TCM_GETROWCOUNT, 0, 0));
  RECT item{};
  SendMessageA(windowHandle_, TCM_GETITEMRECT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
  return TabRow(ToRect(item), rows, Position(), GetTabsArea());
}

void TskTabControlWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      // The picture is painted by the erase that BeginPaint asks for.
      InvalidateRect(windowHandle_, nullptr, TRUE);
      PAINTSTRUCT ps{};
      BeginPaint(windowHandle_, &ps);
      EndPaint(windowHandle_, &ps);
      return;
    }
    case WM_ERASEBKGND:
      if (!IsWindowVisible(windowHandle_)) break;
      if (!AnimationRunning) PaintTabControl(nullptr);
      UpdateSpinAdapter();
      m.Result = 0;
      return;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
      UpdateSpinAdapter();
      PaintTabControl(reinterpret_cast<HDC>(m.WParam));
      return;
    case TCM_SETCURSEL: {
      {
        TRedrawOff off(windowHandle_);
        TskMainWnd::WndProc(m);
      }
      // The new tab was chosen while drawing was off: show it now.
      InvalidateRect(windowHandle_, nullptr, TRUE);
      return;
    }
    case WM_SIZE: {
      const TSize before = WindowSize();
      TskMainWnd::WndProc(m);
      UpdateSpinAdapter();
      RECT now{};
      GetWindowRect(windowHandle_, &now);
      if (now.right - now.left < before.cx || now.bottom - now.top < before.cy)
        RedrawWindow(
            windowHandle_, nullptr, nullptr,
            RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
      return;
    }
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskTabControlWnd::ReleaseSpinAdapter() { ReleaseAdapter(true, false, spin_); }

void TskTabControlWnd::UpdateSpinAdapter() {
  if (!SkinLive()) return;
  HWND arrows = FindWindowExA(windowHandle_, nullptr, "msctls_updown32", nullptr);
  // The same arrows keep their adapter; new arrows (or none) replace it.
  if (spin_ && !spin_->Detached() && spin_->WindowHandle() == arrows) return;
  ReleaseSpinAdapter();
  if (arrows) spin_ = TskMainWnd::Make<TskSpinWnd>(arrows, nullptr, manager_, "UPDOWNBTN", true);
}

void TskTabControlWnd::PaintTabControl(HDC given) {
  ReadWindowGeometry();
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  // A print or an animation hands its DC in; a paint draws on the window's own.
  TWindowDC own;
  HDC dc = given;
  if (!dc) {
    own = TWindowDC(windowHandle_);
    dc = own.Get();
  }
  if (!dc) return;
  TSaveDC saved(dc);
  commonData_->BackgroundDirty = true;
  const bool hasTabs = TabCount() > 0;
  const std::string section = PageSectionName(hasTabs, commonData_->SkinSection(), Position());
  commonData_->SectionIndex = manager_->GetSectionIndex(section);

  TsBackgroundSource behind;
  GetWindowParentBackground(windowHandle_, behind);
  if (!behind.HasBitmap) behind.FillColor = ColorToRGB(behind.FillColor);
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  cache->SetSize(WindowSize().cx, WindowSize().cy);
  if (hasTabs) PaintTabsArea(behind);
  PaintItem(TsItemPaint{.Bitmap = cache,
                        .R = GetFrameRect(),
                        .SectionIndex = commonData_->SectionIndex,
                        .SectionName = section,
                        .Background = behind,
                        .Offset = PosInParent(),
                        .Manager = manager_,
                        .CornerBackground = false});
  commonData_->BackgroundDirty = false;

  const int current = hasTabs ? CurrentTab() : -1;
  if (current >= 0) {
    const TRect active = GetTabRect(current, true);
    {
      TSaveDC clip(dc);
      ExcludeClipRect(dc, active.Left, active.Top, active.Right, active.Bottom);
      CopyCacheTo(dc, *cache);
    }
    DrawTabTo(current, 2, dc);
  } else {
    CopyCacheTo(dc, *cache);
  }
}

void TskTabControlWnd::PaintTabsArea(const TsBackgroundSource& behind) {
  TBitmap* cache = commonData_->CacheBitmap.get();
  const TRect area = GetTabsArea();
  if (behind.HasBitmap && behind.Bmp) {
    const TPoint from{behind.X + PosInParent().X + area.Left,
                      behind.Y + PosInParent().Y + area.Top};
    const TRect source =
        Intersected(TRect{from.X, from.Y, from.X + area.Width(), from.Y + area.Height()},
                    TRect{0, 0, behind.Bmp->Width(), behind.Bmp->Height()});
    FillRect32(cache, area, ColorToRGB(behind.FillColor));
    if (source.Width() > 0 && source.Height() > 0)
      CopyBitmapRect(cache, area.Left + source.Left - from.X, area.Top + source.Top - from.Y,
                     behind.Bmp, source);
  } else {
    FillRect32(cache, area, ColorToRGB(behind.FillColor));
  }
  const int rows =
      std::max(1, static_cast<int>(SendMessageA(windowHandle_, TCM_GETROWCOUNT, 0, 0)));
  const int current = CurrentTab();
  const int count = TabCount();
  // Rows nearer the page are drawn later, so they cover the farther ones.
  for (int row = 1; row <= rows; ++row)
    for (int j = 0; j < count; ++j)
      if (j != current && GetTabRow(j) == row) DrawTab(j, 0, TPoint{0, 0}, cache);
}

void TskTabControlWnd::DrawTabTo(int index, int state, HDC dc) {
  const TRect r = GetTabRect(index, state == 2);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  std::unique_ptr<TBitmap> picture = CreateBmp32(r.Width(), r.Height());
  if (!picture) return;
  DrawTab(index, state, TPoint{-r.Left, -r.Top}, picture.get());
  CopyCacheTo(dc, *picture, r.Left, r.Top);
}

void TskTabControlWnd::DrawTab(int index, int state, TPoint offset, TBitmap* target) {
  if (index < 0) return;
  TCanvas* canvas = target->Canvas();
  if (HFONT font = WindowFont(windowHandle_)) SetFontHandle(canvas->Font(), font);
  const int current = CurrentTab();
  TRect tab = GetTabRect(index, state == 2 && index == current);
  if (tab.Width() <= 0 || tab.Height() <= 0) return;
  const TTabItem item = ReadTabItem(windowHandle_, index);
  DrawTabFace(index, state, target, offset, tab);

  tab = Moved(tab, offset);
  const TsTabPosition pos = Position();
  const int section = manager_->GetSectionIndex(TabSectionName(pos, Style()));
  HIMAGELIST images =
      reinterpret_cast<HIMAGELIST>(SendMessageA(windowHandle_, TCM_GETIMAGELIST, 0, 0));
  TPageControl* host = HostPageControl(commonData_);
  if (host && host->Images()) {
    images = host->Images()->Handle();
    canvas->Font()->Assign(host->Font());
  }
  TSize icon{0, 0};
  const bool withImage = images && item.Image >= 0;
  if (withImage) {
    int w = 0, h = 0;
    ImageList_GetIconSize(images, &w, &h);
    icon = TSize{w, h};
  }
  canvas->Brush()->SetStyle(bsClear);
  if (pos == TsTabPosition::Top || pos == TsTabPosition::Bottom) {
    if (withImage) {
      const TPoint at = TabImagePos(tab, icon, canvas->TextWidth(item.Text));
      ImageList_Draw(images, item.Image, canvas->Handle(), at.X, at.Y, ILD_NORMAL);
      tab.Left += icon.cx;
    }
    DrawSectionTextEx(canvas, TsSectionText{.Text = item.Text,
                                            .R = tab,
                                            .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                            .SectionIndex = section,
                                            .Hot = state != 0,
                                            .Manager = manager_});
    return;
  }

  // Tabs on the left read upwards, tabs on the right downwards.
  LOGFONTA lf{};
  GetObjectA(FontHandle(canvas->Font()), sizeof lf, &lf);
  lf.lfWeight = FW_NORMAL;
  lf.lfWidth = 0;
  lf.lfEscapement = lf.lfOrientation = pos == TsTabPosition::Left ? -2700 : -900;
  if (lstrcmpiA(lf.lfFaceName, "MS Sans Serif") == 0)
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  TGdiObject<HFONT> rotated(CreateFontIndirectA(&lf));
  TColor colour = 0;
  if (section >= 0 && static_cast<size_t>(section) < manager_->Sections().size()) {
    const TsGeneralData& data = manager_->Sections()[static_cast<size_t>(section)];
    const bool hot = state != 0 && LimitSectionState(*manager_, section, TsPaintState::Hot) !=
                                       TsPaintState::Normal;
    colour = hot ? data.HotFontColor : data.FontColor;
  }
  HDC dc = canvas->Handle();
  const TSize text = [&] {
    TSelectObject plain(dc, FontHandle(canvas->Font()));
    SIZE s{};
    GetTextExtentPoint32A(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &s);
    return TSize{s.cx, s.cy};
  }();
  TSelectObject selected(dc, rotated.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(colour)));
  const auto out = [&](int x, int y) {
    TextOutA(dc, x, y, item.Text.c_str(), static_cast<int>(item.Text.size()));
  };
  const bool activeTab = state == 2 && index == current;
  if (pos == TsTabPosition::Left) {
    if (withImage) {
      if (activeTab) tab = Moved(tab, {2, 0});
      const int y = tab.Bottom - (tab.Height() - (icon.cy + text.cx + 4)) / 2 - icon.cy;
      ImageList_Draw(images, item.Image, dc, tab.Left + (tab.Width() - icon.cx) / 2, y,
                     ILD_TRANSPARENT);
      out(tab.Left + (tab.Width() - text.cy) / 2, y - 4);
    } else {
      out(tab.Left + (tab.Width() - text.cy) / 2, tab.Bottom - (tab.Height() - text.cx) / 2);
    }
    return;
  }
  tab = Moved(tab, {-2, -1});
  if (withImage) {
    if (activeTab) tab = Moved(tab, {2, 0});
    const int y = tab.Top + (tab.Height() - (icon.cy + text.cx + 4)) / 2;
    ImageList_Draw(images, item.Image, dc, tab.Left + (tab.Width() - icon.cx) / 2, y, ILD_NORMAL);
    out(tab.Left + (tab.Width() - text.cy) / 2 + text.cy, y + icon.cy + 4);
  } else {
    out(tab.Left + (tab.Width() - text.cy) / 2 + text.cy, tab.Top + (tab.Height() - text.cx) / 2);
  }
}

void TskTabControlWnd::DrawTabFace(int index, int state, TBitmap* target, TPoint offset,
                                   TRect tab) {
  (void)index;
  if (manager_->FixedIndexes().Tab[0] <= 0) return;
  const std::string name = TabSectionName(Position(), Style());
  const int section = manager_->GetSectionIndex(name);
  const int mask = manager_->GetMaskIndex(section, name, "BORDERSMASK");
  // Without the tab's border mask only its text and image are drawn.
  if (section < 0 || !manager_->IsValidMaskIndex(mask)) return;
  TBitmap* cache = commonData_->CacheBitmap.get();
  std::unique_ptr<TBitmap> face = CreateBmp32(tab.Width(), tab.Height());
  if (!face) return;
  const TRect whole{0, 0, tab.Width(), tab.Height()};
  CopyBitmapRect(face.get(), 0, 0, cache, tab);
  PaintItem(TsItemPaint{.Bitmap = face.get(),
                        .R = whole,
                        .SectionIndex = section,
                        .SectionName = name,
                        .State = static_cast<TsPaintState>(state),
                        .Background = MakeBackgroundSource(cache, 0, 0),
                        .Offset = tab.TopLeft(),
                        .Manager = manager_});
  TRect shown = whole;
  if (state == 0) {
    // The page frame covers the foot of a tab above or left of it.
    const TRect frame = GetFrameRect();
    if (Position() == TsTabPosition::Top)
      shown.Bottom = std::min(shown.Bottom, frame.Top - tab.Top);
    if (Position() == TsTabPosition::Left)
      shown.Right = std::min(shown.Right, frame.Left - tab.Left);
  }
  if (shown.Width() <= 0 || shown.Height() <= 0) return;
  CopyBitmapRect(target, tab.Left + offset.X, tab.Top + offset.Y, face.get(), shown);
}

// ---- page
// -----------------------------------------------------------------------------------------

class TskPageWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskPageWnd& page)
      : TskAdapterCmdHandler(*page.CommonData(), page.Manager(), page.AdapterWindow()), p_(page) {}

 protected:
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    m.Result = Data().PaintSuspended ? 1 : 0;
    return true;
  }
  // The page shows what lies behind it in its parent.
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    p_.ReadWindowGeometry();
    GetWindowBackground(request, GetParent(p_.WindowHandle()), false);
    request.X += p_.PosInParent().X;
    request.Y += p_.PosInParent().Y;
    return true;
  }

 private:
  TskPageWnd& p_;
};

TskPageWnd::TskPageWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                       const std::string& section)
    : TskMainWnd(handle, skinData, manager, section) {
  ReadWindowGeometry();
}

bool TskPageWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) { return TCmdHandler(*this).Handle(cmd); }

void TskPageWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      if (!IsWindowVisible(windowHandle_)) break;
      TAdapterPaint paint(windowHandle_, m.WParam, true);
      if (paint.Given()) PaintPage(paint.Dc());
      return;
    }
    case WM_ERASEBKGND:
      if (!IsWindowVisible(windowHandle_)) break;
      PaintPage(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
      PaintPage(reinterpret_cast<HDC>(m.WParam));
      m.Result = SendMessageA(windowHandle_, WM_PAINT, m.WParam, m.LParam);
      return;
    case WM_PARENTNOTIFY:
      TskMainWnd::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE) NotifyTopControlChanged(windowHandle_);
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskPageWnd::PaintPage(HDC dc) {
  if (!dc) return;
  ReadWindowGeometry();
  TsBackgroundRequest request;
  GetWindowBackground(request, GetParent(windowHandle_), false);
  const int w = WindowSize().cx, h = WindowSize().cy;
  const TPoint at = PosInParent();
  if (request.BgType == 2 && request.Bmp) {
    BitBlt(dc, 0, 0, w, h, request.Bmp->Canvas()->Handle(), at.X + request.X, at.Y + request.Y,
           SRCCOPY);
    return;
  }
  TGdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(request.Color))));
  RECT whole{0, 0, w, h};
  FillRect(dc, &whole, brush.Get());
  if (!request.Bmp) return;
  // A coloured page still shows the parent's strip on its tab side.
  HDC source = request.Bmp->Canvas()->Handle();
  switch (TabPosition(StyleOf(GetParent(windowHandle_)))) {
    case TsTabPosition::Top:
      BitBlt(dc, 0, 0, w, 3, source, at.X, at.Y, SRCCOPY);
      break;
    case TsTabPosition::Bottom:
      BitBlt(dc, 0, h - 3, w, 3, source, at.X, at.Y + h - 3, SRCCOPY);
      break;
    case TsTabPosition::Left:
      BitBlt(dc, 0, 0, 3, h, source, at.X, at.Y, SRCCOPY);
      break;
    case TsTabPosition::Right:
      BitBlt(dc, w - 3, 0, 3, h, source, at.X + w - 3, at.Y, SRCCOPY);
      break;
  }
}

// ---- page control
// ---------------------------------------------------------------------------------

TskPageControlWnd::TskPageControlWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                     const std::string& section)
    : TskTabControlWnd(handle, skinData, manager, section) {}

TskPageControlWnd::~TskPageControlWnd() {
  for (auto& page : pages_) ReleaseAdapter(true, false, page);
}

void TskPageControlWnd::Start(bool repaint) {
  TskTabControlWnd::Start(repaint);
  AttachPages();
}

int TskPageControlWnd::LivePageAdapters() const {
  return static_cast<int>(std::count_if(pages_.begin(), pages_.end(),
                                        [](const auto& p) { return p && !p->Detached(); }));
}

void TskPageControlWnd::AddPage(HWND page, TsSkinManager* manager, TTabSheet* sheet) {
  auto adapter = TskMainWnd::Make<TskPageWnd>(page, nullptr, manager, "CHECKBOX", true);
  adapter->HostPage = sheet;
  pages_.push_back(std::move(adapter));
}

void TskPageControlWnd::AttachPages() {
  // An adapter whose page is gone leaves the list here, freed once: it is no longer kept for
  // a later sweep that would free it a second time.
  std::erase_if(pages_, [](const auto& p) { return !p || p->Detached(); });
  if (TPageControl* host = HostPageControl(commonData_)) {
    for (int i = 0; i < host->PageCount(); ++i) {
      TTabSheet* sheet = host->Pages(i);
      if (!sheet->HandleAllocated() || TestSkinCmd(sheet->Handle(), CmdIsSkinned)) continue;
      AddPage(sheet->Handle(), manager_, sheet);
    }
    return;
  }
  std::vector<HWND> children;
  for (HWND child = GetWindow(windowHandle_, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (HWND child : children) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    // The control's own arrows have their own adapter.
    if (lstrcmpiA(cls, "msctls_updown32") == 0) continue;
    auto* manager =
        reinterpret_cast<TsSkinManager*>(SendSkinCmd(windowHandle_, CmdGetContainerInfo, 0));
    if (!manager || TestSkinCmd(child, CmdIsSkinned)) continue;
    AddPage(child, manager, nullptr);
  }
}

void TskPageControlWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskTabControlWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!IsWindowVisible(windowHandle_)) break;
      if (!AnimationRunning) PaintTabControl(nullptr);
      m.Result = 1;
      return;
    case WM_NCPAINT:
      AttachPages();
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) AttachPages();
      break;
    case WM_PRINT:
      UpdateSpinAdapter();
      AttachPages();
      PaintTabControl(reinterpret_cast<HDC>(m.WParam));
      return;
    case TCM_SETCURSEL:
      if (TControl* host = HostControlOf(*commonData_)) NotifyControlChanged(host);
      break;
    default:
      break;
  }
  TskTabControlWnd::WndProc(m);
}
