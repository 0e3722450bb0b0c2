#include "skin/core/runtime/sSkinMenusWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "framework/FormsWin32.h"
#include "framework/ShortCuts.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sGraphics.h"

namespace {

// The frame the system keeps around a popup's items: item coordinates + this are background
// coordinates.
// The frame of a system popup menu: where its items' coordinates start in the window.
constexpr int kMenuFrame = 3;

// Where the popup window's item coordinates start inside the window. Windows gives popups
// a frame of kMenuFrame outside their client area; Wine draws that frame inside the client
// area and its item rectangles already lie past it. Without a window the system's frame.
TPoint ItemOriginInWindow(HWND window) {
  if (!window) return {kMenuFrame, kMenuFrame};
  POINT client{0, 0};
  RECT frame{};
  if (!ClientToScreen(window, &client) || !GetWindowRect(window, &frame))
    return {kMenuFrame, kMenuFrame};
  return {client.x - frame.left, client.y - frame.top};
}

std::unique_ptr<TBitmap> NewImage(int width, int height) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(std::max(width, 0), std::max(height, 0));
  return bmp;
}

bool IsMainMenuTopItem(const TMenuItem* item) {
  const TMenuItem* parent = item->Parent();
  return parent && !parent->Parent() && dynamic_cast<TMainMenu*>(item->GetParentMenu());
}

TCustomImageList* ImagesOf(TMenuItem* item) {
  if (item->Parent() && item->Parent()->SubMenuImages()) return item->Parent()->SubMenuImages();
  TMenu* menu = item->GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

bool HasImage(TMenuItem* item) {
  TCustomImageList* images = ImagesOf(item);
  return images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
}

// The skin's menu font on the canvas: the screen's menu font, bold for the default item.
void SetMenuFont(TCanvas* canvas, TMenuItem* item) {
  if (Screen) canvas->Font()->Assign(Screen->MenuFont());
  TFontStyles style = canvas->Font()->Style();
  if (item->Default()) style.Include(fsBold);
  canvas->Font()->SetStyle(style);
}

int TextWidth(TCanvas* canvas, const std::string& text) {
  RECT r{0, 0, 0, 0};
  DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
  return r.right - r.left;
}

void CopyToDC(HDC dc, int x, int y, const TBitmap* image, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  BitBlt(dc, x, y, w, h, const_cast<TBitmap*>(image)->Canvas()->Handle(), sx, sy, SRCCOPY);
}

// The popup windows being watched for their closing, with the menus object to tell.
LRESULT CALLBACK PopupWindowProc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                 DWORD_PTR data) {
  auto* menus = reinterpret_cast<TsSkinableMenus*>(data);
  if ((msg == WM_SHOWWINDOW && !w) || msg == WM_NCDESTROY) {
    RemoveWindowSubclass(wnd, PopupWindowProc, id);
    menus->PopupClosed();
  }
  return DefSubclassProc(wnd, msg, w, l);
}

// The system-menu commands and their glyphs in the symbol font.
char SysMenuGlyph(int command) {
  switch (command) {
    case SC_MINIMIZE:
      return '0';
    case SC_MAXIMIZE:
      return '1';
    case SC_CLOSE:
      return 'r';
    case SC_RESTORE:
      return '2';
    default:
      return 0;
  }
}

// A system-menu glyph drawn as lines where the symbol font is missing: a bar (minimize), a
// box (maximize), a cross (close), two boxes (restore), 10 pixels wide.
void DrawFallbackSysGlyph(HDC dc, char glyph, int x, int y, TColor color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HGDIOBJ old = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  switch (glyph) {
    case '0':
      Rectangle(dc, x + 1, y + 7, x + 9, y + 9);
      break;
    case '1':
      Rectangle(dc, x, y, x + 10, y + 10);
      MoveToEx(dc, x, y + 1, nullptr);
      LineTo(dc, x + 10, y + 1);
      break;
    case 'r':
      MoveToEx(dc, x, y, nullptr);
      LineTo(dc, x + 10, y + 10);
      MoveToEx(dc, x + 9, y, nullptr);
      LineTo(dc, x - 1, y + 10);
      break;
    default:
      Rectangle(dc, x + 3, y, x + 10, y + 7);
      Rectangle(dc, x, y + 3, x + 7, y + 10);
      break;
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, old);
  DeleteObject(pen);
}

int CALLBACK FoundFont(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager) : TComponent(manager), manager_(manager) {}

TsSkinableMenus::~TsSkinableMenus() {
  Destroying();
  cache_.Clear();
}

void TsSkinableMenus::UpdateActive() { SetActive(manager_->CurrentSkin().Active); }

void TsSkinableMenus::SetActive(bool on) {
  if (on == skinActive_) return;
  skinActive_ = on;
  InitAllMenus(on);
}

void TsSkinableMenus::PopupClosed() {
  cache_.Clear();
  ++popupsClosed_;
}

void TsSkinableMenus::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  // No cached background outlives the item that identifies it.
  if (operation == opRemove) cache_.ForgetItem(c);
}

void TsSkinableMenus::InitAllMenus(bool on) {
  skinActive_ = on;
  if (!Application) return;
  std::function<void(TComponent*)> visit = [&](TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* c = owner->Components(i);
      if (auto* mainMenu = dynamic_cast<TMainMenu*>(c)) {
        InitMainMenu(mainMenu, on);
      } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
        InitPopupMenu(popup, on);
      } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
        if (!dynamic_cast<TMainMenu*>(item->GetParentMenu())) InitItems(item, on);
      }
      visit(c);
    }
  };
  visit(Application);
}

void TsSkinableMenus::InitItem(TMenuItem* item, bool on, bool topLevel) {
  const auto measureBar = MakeEvent<&TsSkinableMenus::MeasureMainMenuItem>(this);
  const auto drawBar = MakeEvent<&TsSkinableMenus::DrawMainMenuItem>(this);
  const auto measurePopup = MakeEvent<&TsSkinableMenus::MeasurePopupItem>(this);
  const auto drawPopup = MakeEvent<&TsSkinableMenus::DrawPopupItem>(this);
  if (on) {
    item->FreeNotification(this);
    if (topLevel) {
      item->SetOnMeasureItem(measureBar);
      item->SetOnAdvancedDrawItem(drawBar);
    } else if (manager_->SkinnedPopups() && !item->OnMeasureItem() && !item->OnAdvancedDrawItem()) {
      item->SetOnMeasureItem(measurePopup);
      item->SetOnAdvancedDrawItem(drawPopup);
    }
    return;
  }
  // Only our own handlers are ever taken away.
  if (item->OnMeasureItem() == measureBar || item->OnMeasureItem() == measurePopup)
    item->SetOnMeasureItem(nullptr);
  if (item->OnAdvancedDrawItem() == drawBar || item->OnAdvancedDrawItem() == drawPopup)
    item->SetOnAdvancedDrawItem(nullptr);
}

void TsSkinableMenus::InitMainMenu(TMainMenu* menu, bool on) {
  TMenuItem* root = menu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    InitItem(root->Items(i), on, true);
    InitItems(root->Items(i), on);
  }
  if (!menu->ComponentState().Contains(csDestroying)) menu->SetOwnerDraw(on);
}

void TsSkinableMenus::InitPopupMenu(TPopupMenu* menu, bool on) {
  InitItems(menu->Items(), on);
  menu->SetOwnerDraw(on);
}

void TsSkinableMenus::InitItems(TMenuItem* item, bool on) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!IsMainMenuTopItem(child)) InitItem(child, on, false);
    InitItems(child, on);
  }
}

TSize TsSkinableMenus::GlyphSize(TMenuItem* item) const {
  if (TCustomImageList* images = ImagesOf(item)) return {images->Width(), images->Height()};
  return {16, 16};
}

int TsSkinableMenus::ItemHeight(TCanvas* canvas, TMenuItem* item) {
  SetMenuFont(canvas, item);
  return MenuItemHeight(canvas->TextHeight("W"), GlyphSize(item).cy, Margin,
                        MenuItemTypeOf(item->Caption()));
}

TSize TsSkinableMenus::PopupSizeOf(TCanvas* canvas, TMenuItem* item) {
  std::vector<TsMeasuredItem> measured;
  TMenuItem* parent = item->Parent();
  if (!parent) return {0, 0};
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* sibling = parent->Items(i);
    if (!sibling->Visible()) continue;
    int w = 0, h = 0;
    MeasurePopupItem(sibling, canvas, w, h);
    measured.push_back({w, h, false});
  }
  return PopupSize(measured);
}

void TsSkinableMenus::MeasurePopupItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || item->ComponentState().Contains(csDestroying)) return;
  SkinnedMenuShowing = true;
  bool extraShown = false;
  if (TsMenuCache::Entry* entry =
          cache_.FindByItem(item->Parent() ? item->Parent()->Items(0) : nullptr)) {
    extraShown = entry->ExtraLineShown;
  } else if (MenuSupport.UseExtraLine && item->Parent()) {
    TMenuItem* first = item->Parent()->Items(0);
    extraShown = QueryExtraLine(first, first->Name(), OnGetExtraLineData).LineVisible;
  }
  SetMenuFont(canvas, item);
  const std::string shortCut = item->ShortCut() ? ShortCutToText(item->ShortCut()) : "";
  const std::string text = MeasuredItemText(item->Caption(), shortCut);
  const int textWidth = text.empty() ? 0 : TextWidth(canvas, text);
  width = PopupItemWidth(textWidth, GlyphSize(item).cx, Margin, Spacing,
                         ExtraLineSpace(MenuSupport, extraShown));
  height = ItemHeight(canvas, item);
}

TsMenuCache::Entry* TsSkinableMenus::FindOrBuild(TMenuItem* item, int width, int height,
                                                 HWND window) {
  TMenuItem* first = item->Parent() ? item->Parent()->Items(0) : item;
  if (TsMenuCache::Entry* entry = cache_.FindByItem(first)) return entry;
  if (width <= 0 || height <= 0) return nullptr;
  const TsExtraLineData extra = QueryExtraLine(first, first->Name(), OnGetExtraLineData);
  const int extraSpace = ExtraLineSpace(MenuSupport, extra.LineVisible);
  const int iconLineWidth = Margin + GlyphSize(item).cx + Spacing;
  TsMenuBackground bg =
      PaintMenuBackground(manager_, width, height, MenuSupport, iconLineWidth, extraSpace);
  const int border = std::max(MenuSkinBorderWidth(manager_), 0);
  const int extraSection = manager_->GetSectionIndex(extra.SkinSection);
  if (bg.Painted && extraSpace > 0 && extraSection >= 0 && height > 2 * border) {
    // The extra line: its section, the glyph near the bottom, the caption written upwards.
    const int stripHeight = height - 2 * border;
    auto strip = NewImage(extraSpace, stripHeight);
    PaintItem({.Bitmap = strip.get(),
               .R = TRect{0, 0, extraSpace, stripHeight},
               .SectionIndex = extraSection,
               .SectionName = extra.SkinSection,
               .Background = MakeBackgroundSource(bg.Image.get(), border, border),
               .Manager = manager_,
               .CornerBackground = false});
    int baseline = 12;
    if (extra.Glyph && !extra.Glyph->Empty()) {
      const int gx = (extraSpace - extra.Glyph->Width()) / 2;
      const int gy = stripHeight - 12 - extra.Glyph->Height();
      strip->Canvas()->Draw(gx, gy, extra.Glyph.get());
      baseline = extra.Glyph->Height() + 20;
    }
    if (!extra.Caption.empty()) {
      TCanvas* canvas = strip->Canvas();
      LOGFONTA lf{};
      lf.lfHeight = -MulDiv(10, 96, 72);
      lf.lfEscapement = lf.lfOrientation = 900;  // reads upwards
      lf.lfWeight = FW_NORMAL;
      lf.lfCharSet = DEFAULT_CHARSET;
      lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
      HFONT font = CreateFontIndirectA(&lf);
      HGDIOBJ old = SelectObject(canvas->Handle(), font);
      SetBkMode(canvas->Handle(), TRANSPARENT);
      SetTextColor(canvas->Handle(),
                   ColorToRGB(manager_->Sections()[static_cast<size_t>(extraSection)].FontColor));
      TEXTMETRICA tm{};
      GetTextMetricsA(canvas->Handle(), &tm);
      TextOutA(canvas->Handle(), (extraSpace - tm.tmHeight) / 2, stripHeight - baseline,
               extra.Caption.c_str(), static_cast<int>(extra.Caption.size()));
      SelectObject(canvas->Handle(), old);
      DeleteObject(font);
    }
    for (int y = 0; y < stripHeight; ++y)
      std::memcpy(bg.Image->ScanLine(border + y) + 4 * border, strip->ScanLine(y),
                  static_cast<size_t>(std::min(extraSpace, width - border)) * 4);
  }
  regionHoles_ = bg.Holes;
  if (bg.Painted && window) SetMenuRegion(window, bg.Holes, width, height);
  return &cache_.Add(first, std::move(bg.Image), reinterpret_cast<uintptr_t>(window),
                     extra.LineVisible);
}

void TsSkinableMenus::SetMenuRegion(HWND window, const std::vector<TRect>& holes, int width,
                                    int height) {
  if (regionBusy_) return;
  regionBusy_ = true;
  HRGN region = CreateRectRgn(0, 0, width, height);
  for (const TRect& cut : MenuRegionCuts(holes)) {
    HRGN hole = CreateRectRgn(cut.Left, cut.Top, cut.Right, cut.Bottom);
    CombineRgn(region, region, hole, RGN_DIFF);
    DeleteObject(hole);
  }
  if (!SetWindowRgn(window, region, TRUE)) DeleteObject(region);  // the window owns it after
  regionBusy_ = false;
}

bool TsSkinableMenus::AnswerRegionRequest(UINT msg, LPARAM lParam) {
  if (msg != WM_SKINMENU_REGION_BY_ITEM && msg != WM_SKINMENU_REGION_BY_WINDOW) return false;
  if (!skinActive_) return false;
  TsMenuCache::Entry* entry = nullptr;
  HWND window = nullptr;
  if (msg == WM_SKINMENU_REGION_BY_ITEM) {
    // The message carries the popup's first item, the cache's key: an item that went
    // meanwhile took its entry with it and is never touched.
    entry = cache_.FindByItem(reinterpret_cast<const void*>(lParam));
    if (!entry) return true;
    auto* first = static_cast<TMenuItem*>(const_cast<void*>(entry->FirstItem));
    TMenuItem* parent = first->Parent();
    RECT r{};
    if (!parent || !GetMenuItemRect(nullptr, parent->Handle(), 0, &r)) return true;
    window = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    if (window) entry->Window = reinterpret_cast<uintptr_t>(window);
  } else {
    window = reinterpret_cast<HWND>(lParam);
    entry = cache_.FindByWindow(reinterpret_cast<uintptr_t>(window));
  }
  if (entry && entry->Image && window && IsWindow(window))
    SetMenuRegion(window, regionHoles_, entry->Image->Width(), entry->Image->Height());
  return true;
}

void TsSkinableMenus::WatchPopupWindow(HWND window) {
  // Installing the same subclass again only renews its data.
  SetWindowSubclass(window, PopupWindowProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TsSkinableMenus::PaintSeparator(TCanvas* canvas, const TRect& rect, const TBitmap* bg,
                                     int extra, TPoint origin) {
  const int w = rect.Width(), h = rect.Height();
  CopyToDC(canvas->Handle(), rect.Left, rect.Top, bg, rect.Left + origin.X, rect.Top + origin.Y, w,
           h);
  // The line starts after the icon line.
  const int iconLineWidth = Margin + 16 + Spacing;
  int left = rect.Left + extra + Margin + Spacing;
  if (left < rect.Left + extra + iconLineWidth) left = rect.Left + extra + iconLineWidth + 2;
  const int right = rect.Right - (extra + 2 * Margin + Spacing);
  TColor color = static_cast<TColor>(manager_->CurrentSkin().BorderColor);
  if (color == clFuchsia) color = clBtnShadow;
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HGDIOBJ old = SelectObject(canvas->Handle(), pen);
  MoveToEx(canvas->Handle(), left, rect.Top, nullptr);
  LineTo(canvas->Handle(), right, rect.Top);
  SelectObject(canvas->Handle(), old);
  DeleteObject(pen);
}

void TsSkinableMenus::PaintCaptionItem(TMenuItem* item, TCanvas* canvas, const TRect& rect,
                                       TBitmap* bg, int extra, TPoint origin) {
  const int w = rect.Width(), h = rect.Height();
  auto image = NewImage(w, h);
  const TPoint at{rect.Left + origin.X, rect.Top + origin.Y};
  // Everything comes from the background first; TOOLBAR then covers the inner rectangle.
  CopyToDC(image->Canvas()->Handle(), 0, 0, bg, at.X, at.Y, w, h);
  const int toolbar = manager_->GetSectionIndex("TOOLBAR");
  const TRect inner{extra + 1, 1, w - 1, h - 1};
  if (toolbar >= 0 && inner.Right > inner.Left && inner.Bottom > inner.Top)
    PaintItem({.Bitmap = image.get(),
               .R = inner,
               .SectionIndex = toolbar,
               .SectionName = "TOOLBAR",
               .Background = MakeBackgroundSource(bg, at.X, at.Y),
               .Manager = manager_,
               .CornerBackground = false});
  TCanvas* ic = image->Canvas();
  ic->Font()->Assign(Screen ? Screen->MenuFont() : ic->Font());
  ic->Brush()->SetStyle(bsClear);
  DrawSectionText(ic, {.Text = CaptionItemText(item->Caption()),
                       .R = TRect{extra, 0, w, h},
                       .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX,
                       .SectionIndex = toolbar,
                       .Manager = manager_});
  CopyToDC(canvas->Handle(), rect.Left, rect.Top, image.get(), 0, 0, w, h);
}

void TsSkinableMenus::DrawPopupItem(TObject* sender, TCanvas* canvas, TRect rect,
                                    TOwnerDrawState state) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || !skinActive_ || !item->Parent()) return;
  TMenuItem* parent = item->Parent();
  // a. The extra line belongs to the first column only.
  int firstColumn = 1;
  HWND window = WindowFromDC(canvas->Handle());
  int bgWidth = 0, bgHeight = 0;
  if (window) {
    RECT wr;
    GetWindowRect(window, &wr);
    bgWidth = wr.right - wr.left;
    bgHeight = wr.bottom - wr.top;
    WatchPopupWindow(window);
  } else {
    // The region waits until the popup's window can be found.
    MSG queued;
    HWND app = Application ? Application->Handle() : nullptr;
    if (app && !PeekMessageA(&queued, app, WM_SKINMENU_REGION_BY_ITEM, WM_SKINMENU_REGION_BY_WINDOW,
                             PM_NOREMOVE))
      PostMessageA(app, WM_SKINMENU_REGION_BY_ITEM, 0, reinterpret_cast<LPARAM>(parent->Items(0)));
    const TSize size = PopupSizeOf(canvas, item);
    bgWidth = size.cx + 2 * BorderWidth;
    bgHeight = size.cy + 2 * BorderWidth;
  }
  const TPoint origin = ItemOriginInWindow(window);
  TsMenuCache::Entry* entry = FindOrBuild(item, bgWidth, bgHeight, window);
  if (!entry || !entry->Image) return;
  TBitmap* bg = entry->Image.get();
  const int extra = ExtraLineSpace(MenuSupport, entry->ExtraLineShown) * firstColumn;
  const int skinBorder = MenuSkinBorderWidth(manager_);

  // e. The window's border, strip by strip, from the background.
  if (window) {
    int firstVisible = -1, lastVisible = -1;
    for (int i = 0; i < parent->Count(); ++i)
      if (parent->Items(i)->Visible()) {
        if (firstVisible < 0) firstVisible = i;
        lastVisible = i;
      }
    HDC wdc = GetWindowDC(window);
    const int index = item->MenuIndex();
    if (index == firstVisible) CopyToDC(wdc, 0, 0, bg, 0, 0, bgWidth, BorderWidth);
    if (index == lastVisible)
      CopyToDC(wdc, 0, bgHeight - BorderWidth, bg, 0, bgHeight - BorderWidth, bgWidth, BorderWidth);
    const int top = rect.Top + origin.Y, h = rect.Height();
    const int leftWidth = extra + std::max(skinBorder, BorderWidth);
    CopyToDC(wdc, 0, top, bg, 0, top, leftWidth, h);
    CopyToDC(wdc, bgWidth - BorderWidth, top, bg, bgWidth - BorderWidth, top, BorderWidth, h);
    if (index == lastVisible && rect.Bottom + origin.Y < bgHeight - BorderWidth)
      CopyToDC(wdc, 0, rect.Bottom + origin.Y, bg, 0, rect.Bottom + origin.Y, bgWidth,
               bgHeight - BorderWidth - rect.Bottom - origin.Y);
    ReleaseDC(window, wdc);
  }

  const TsMenuItemType type = MenuItemTypeOf(item->Caption());
  if (type == smDivider) {
    PaintSeparator(canvas, rect, bg, extra, origin);
    return;
  }
  if (type == smCaption) {
    PaintCaptionItem(item, canvas, rect, bg, extra, origin);
    return;
  }
  // h. The area below the last item, down to the border, from the background.
  if (item->MenuIndex() == parent->Count() - 1 && rect.Bottom + origin.Y < bgHeight - 6)
    CopyToDC(canvas->Handle(), rect.Left, rect.Bottom, bg, rect.Left + origin.X,
             rect.Bottom + origin.Y, rect.Width(), bgHeight - 6 - rect.Bottom - origin.Y);

  // i. The item's image over the popup background.
  const int w = std::max(rect.Width() - extra, 0), h = rect.Height();
  auto image = NewImage(w, h);
  const TPoint at{extra + rect.Left + origin.X, rect.Top + origin.Y};
  const bool enabled = item->Enabled() && !state.Contains(odDisabled);
  const bool hot = enabled && (state.Contains(odSelected) || state.Contains(odHotLight));
  CopyToDC(image->Canvas()->Handle(), 0, 0, bg, at.X, at.Y, w, h);
  const int menuItem = manager_->GetSectionIndex("MENUITEM");
  if (menuItem >= 0 && w > 0 && h > 0)
    PaintItem(
        {.Bitmap = image.get(),
         .R = TRect{0, 0, w, h},
         .SectionIndex = menuItem,
         .SectionName = "MENUITEM",
         .State = enabled && state.Contains(odSelected) ? TsPaintState::Hot : TsPaintState::Normal,
         .Background = MakeBackgroundSource(bg, at.X, at.Y),
         .Manager = manager_,
         .CornerBackground = false});

  // j. The check mark of a checked item without a glyph.
  const bool hasImage = HasImage(item);
  if (item->Checked() && !hasImage) {
    int mask = FindMaskIndex(manager_, "GLOBALINFO", item->RadioItem() ? "RADIOCHECKED" : "CHECK");
    if (mask < 0) mask = FindMaskIndex(manager_, "GLOBALINFO", "BOXCHECKED");
    if (mask >= 0) {
      const TsMaskData& md = manager_->Masks()[static_cast<size_t>(mask)];
      const int stateHeight = MaskStateHeight(md);
      PaintMaskGlyph(image.get(), TPoint{Margin, (h - stateHeight) / 2},
                     enabled && state.Contains(odSelected) ? 1 : 0, md,
                     MakeBackgroundSource(image.get(), 0, 0));
    }
  }

  // k. The glyph: the image list's picture with a pressed frame when checked, or a
  // system-menu glyph.
  const TSize glyph = GlyphSize(item);
  TCanvas* ic = image->Canvas();
  if (hasImage) {
    TCustomImageList* images = ImagesOf(item);
    const int d = (h - images->Height()) / 2;
    if (item->Checked()) {
      const int frame = manager_->GetSectionIndex("SPEEDBUTTON_SMALL");
      if (frame >= 0)
        PaintItem({.Bitmap = image.get(),
                   .R = TRect{d - 1, d - 1, d + images->Width() + 1, d + images->Height() + 1},
                   .SectionIndex = frame,
                   .SectionName = "SPEEDBUTTON_SMALL",
                   .State = TsPaintState::Pressed,
                   .Background = MakeBackgroundSource(image.get(), 0, 0),
                   .Manager = manager_,
                   .CornerBackground = false});
    }
    images->Draw(ic, d, d, item->ImageIndex(), enabled);
  } else if (TMenu* menu = item->GetParentMenu(); menu && menu->Name() == "SysMenu") {
    if (const char g = SysMenuGlyph(static_cast<int>(item->Tag()))) {
      const TColor color =
          menuItem >= 0 ? (hot ? manager_->Sections()[static_cast<size_t>(menuItem)].HotFontColor
                               : manager_->Sections()[static_cast<size_t>(menuItem)].FontColor)
                        : clMenuText;
      if (SymbolFontAvailable()) {
        TFont* font = ic->Font();
        font->SetName("Webdings");
        font->SetSize(10);
        font->SetStyle({});
        font->SetColor(color);
        ic->Brush()->SetStyle(bsClear);
        const std::string s(1, g);
        ic->TextOut(4, (h - ic->TextHeight(s)) / 2, s);
      } else {
        DrawFallbackSysGlyph(ic->Handle(), g, 4, (h - 10) / 2, color);
      }
    }
  }

  // l. The caption; m. the shortcut.
  SetMenuFont(ic, item);
  ic->Brush()->SetStyle(bsClear);
  const TsShownCaption shown = ShownCaption(item->Caption());
  uint32_t format = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
  if (shown.RightAligned || Alignment == taRightJustify)
    format |= DT_RIGHT;
  else if (Alignment == taCenter)
    format |= DT_CENTER;
  if (state.Contains(odNoAccel)) format |= DT_HIDEPREFIX;
  TRect textRect{glyph.cx + 2 * Margin + Spacing, 0, w, h};
  DrawSectionTextEx(ic, {.Text = shown.Text,
                         .R = textRect,
                         .Format = format,
                         .SectionIndex = menuItem,
                         .Hot = hot,
                         .Manager = manager_});
  if (item->ShortCut()) {
    const std::string shortCut = ShortCutToText(item->ShortCut());
    const int sw = TextWidth(ic, shortCut);
    DrawSectionTextEx(ic, {.Text = shortCut,
                           .R = TRect{w - sw - 8, 0, w - 8, h},
                           .Format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP,
                           .SectionIndex = menuItem,
                           .Hot = hot,
                           .Manager = manager_});
  }
  if (OnDrawItem) OnDrawItem(item, ic, TRect{0, 0, w, h}, state, smNormal);

  // o. A disabled item: 60 % background, 40 % item.
  if (!enabled) {
    auto under = NewImage(w, h);
    CopyToDC(under->Canvas()->Handle(), 0, 0, bg, at.X, at.Y, w, h);
    BlendBitmapKeyed(image.get(), TPoint{0, 0}, under.get(), TRect{0, 0, w, h}, clFuchsia, 0.4);
  }
  // p. Onto the menu.
  CopyToDC(canvas->Handle(), rect.Left + extra, rect.Top, image.get(), 0, 0, w, h);
  if (extra > 0 && item->MenuIndex() == 0)
    CopyToDC(canvas->Handle(), 0, 0, bg, origin.X, origin.Y, extra, bgHeight);
  // q. The item's own drawing comes last.
  if (item->OnDrawItem()) item->OnDrawItem()(item, canvas, rect, state.Contains(odSelected));
}

void TsSkinableMenus::MeasureMainMenuItem(TObject* sender, TCanvas* canvas, int& width,
                                          int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  height = GetSystemMetrics(SM_CYMENU) - 1;
  SetMenuFont(canvas, item);
  width = canvas->TextWidth(StripHotkey(item->Caption()));
  if (HasImage(item)) width += ImagesOf(item)->Width() + 6;
}

void TsSkinableMenus::DrawMainMenuItem(TObject* sender, TCanvas* canvas, TRect rect,
                                       TOwnerDrawState state) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || !skinActive_) return;
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return;
  // The menu line behind the items: MENULINE over the item's place.
  auto line = NewImage(w, h);
  const int lineSection = manager_->GetSectionIndex("MENULINE");
  if (lineSection >= 0)
    PaintSectionBackground({.Bitmap = line.get(),
                            .R = TRect{0, 0, w, h},
                            .SectionIndex = lineSection,
                            .SectionName = "MENULINE",
                            .Manager = manager_});
  auto image = NewImage(w, h);
  CopyToDC(image->Canvas()->Handle(), 0, 0, line.get(), 0, 0, w, h);
  const bool enabled = item->Enabled() && !state.Contains(odDisabled);
  const bool hot = enabled && (state.Contains(odSelected) || state.Contains(odHotLight));
  const int menuItem = manager_->GetSectionIndex("MENUITEM");
  if (menuItem >= 0 && hot)
    PaintItem({.Bitmap = image.get(),
               .R = TRect{0, 0, w, h},
               .SectionIndex = menuItem,
               .SectionName = "MENUITEM",
               .State = TsPaintState::Hot,
               .Background = MakeBackgroundSource(line.get(), 0, 0),
               .Manager = manager_,
               .CornerBackground = false});
  int glyphRight = 0;
  TCanvas* ic = image->Canvas();
  if (HasImage(item)) {
    TCustomImageList* images = ImagesOf(item);
    images->Draw(ic, 3, (h - images->Height()) / 2, item->ImageIndex(), enabled);
    glyphRight = 3 + images->Width() + 3;
  }
  SetMenuFont(ic, item);
  ic->Brush()->SetStyle(bsClear);
  uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
  if (state.Contains(odNoAccel)) format |= DT_HIDEPREFIX;
  DrawSectionText(ic, {.Text = item->Caption(),
                       .R = TRect{glyphRight + Margin, 0, w - Margin, h},
                       .Format = format,
                       .SectionIndex = hot ? menuItem : lineSection,
                       .Hot = hot,
                       .Manager = manager_});
  if (OnDrawItem) OnDrawItem(item, ic, TRect{0, 0, glyphRight, h}, state, smTopLine);
  if (!enabled) BlendBitmapRect(image.get(), line.get(), 102, TPoint{0, 0}, TRect{0, 0, w, h});
  CopyToDC(canvas->Handle(), rect.Left, rect.Top, image.get(), 0, 0, w, h);
}

bool TsSkinableMenus::SymbolFontAvailable() {
  static const bool available = [] {
    HDC dc = GetDC(nullptr);
    bool found = false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Webdings", LF_FACESIZE);
    EnumFontFamiliesExA(dc, &lf, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
  }();
  return available;
}

TsSkinableMenus& SkinableMenusOf(TsSkinManager& manager) {
  for (int i = 0; i < manager.ComponentCount(); ++i)
    if (auto* menus = dynamic_cast<TsSkinableMenus*>(manager.Components(i))) return *menus;
  return *new TsSkinableMenus(&manager);
}
