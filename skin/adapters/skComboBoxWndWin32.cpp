#include "skin/adapters/skComboBoxWndWin32.h"

#include <algorithm>
#include <string>

#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {
constexpr int kFaceFrame = 3;  // the combo box's own border, painted from the cache

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }
}  // namespace

TskComboBoxWnd::~TskComboBoxWnd() { ReleaseList(); }

void TskComboBoxWnd::RestoreColors() {
  TskEditWnd::RestoreColors();
  ReleaseList();
}

void TskComboBoxWnd::Start(bool repaint) {
  TskEditWnd::Start(repaint);
  if (repaint) InvalidateRect(windowHandle_, nullptr, TRUE);
}

bool TskComboBoxWnd::IsSimple() const { return (StyleOf(windowHandle_) & 3) == CBS_SIMPLE; }

bool TskComboBoxWnd::IsDropDownList() const {
  return (StyleOf(windowHandle_) & 3) == CBS_DROPDOWNLIST;
}

bool TskComboBoxWnd::IsActiveLook() const {
  return commonData_ && (commonData_->IsActive() || commonData_->MouseOver);
}

void TskComboBoxWnd::ReleaseList() {
  if (!listAdapter_) return;
  if (!listAdapter_->Detached()) listAdapter_->Release(false);
  listAdapter_.reset();
  listHandle_ = nullptr;
}

TRect TskComboBoxWnd::GetButtonRect() const {
  RECT r{};
  GetWindowRect(windowHandle_, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int w = (StyleOf(windowHandle_) & CBS_DROPDOWN) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int left =
      (GetWindowLongPtrA(windowHandle_, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : width - w - 2;
  return TRect{left, 2, left + w, height - 2};
}

void TskComboBoxWnd::PaintButton(HDC dc) {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache || !manager_) return;
  const TsPaintState state = listHandle_ && IsWindowVisible(listHandle_) ? TsPaintState::Pressed
                             : IsActiveLook()                            ? TsPaintState::Hot
                                                                         : TsPaintState::Normal;
  const TRect r = GetButtonRect();
  if (r.Width() <= 0 || r.Height() <= 0) return;
  // Only the button's rectangle is composed and copied: it repaints on every hover change.
  auto image = CreateBmp32(r.Width(), r.Height());
  const TRect local{0, 0, r.Width(), r.Height()};
  CopyBitmapRect(image.get(), 0, 0, cache, r);
  const TsFixedIndexes& fixed = manager_->FixedIndexes();
  if (manager_->IsValidSectionIndex(fixed.ComboBtn)) {
    TsBackgroundSource behind;
    behind.HasBitmap = true;
    behind.Bmp = cache;
    PaintItem(TsItemPaint{.Bitmap = image.get(),
                          .R = local,
                          .SectionIndex = fixed.ComboBtn,
                          .SectionName = "COMBOBTN",
                          .State = state,
                          .Background = behind,
                          .Offset = r.TopLeft(),
                          .Manager = manager_});
  }
  if (manager_->IsValidMaskIndex(fixed.ComboGlyph)) {
    const TsMaskData& glyph = manager_->Masks()[static_cast<size_t>(fixed.ComboGlyph)];
    const int glyphHeight = MaskStateHeight(glyph) > 0 ? MaskStateHeight(glyph) : 16;
    TsBackgroundSource behind;
    behind.HasBitmap = true;
    behind.Bmp = image.get();
    PaintMaskGlyph(image.get(),
                   TPoint{(r.Width() - MaskStateWidth(glyph)) / 2,
                          (cache->Height() - glyphHeight) / 2 - r.Top},
                   StateIndex(state), glyph, behind);
  }
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TskComboBoxWnd::PaintButtonNow() {
  TWindowDC dc(windowHandle_, true);
  if (dc.Get()) PaintButton(dc.Get());
}

void TskComboBoxWnd::Repaint() {
  if (!HostControlOf(*commonData_)) return;
  InvalidateRect(windowHandle_, nullptr, TRUE);
  UpdateWindow(windowHandle_);
}

void TskComboBoxWnd::PaintFace() {
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  const int height = static_cast<int>(SendMessageA(windowHandle_, CB_GETITEMHEIGHT, -1, 0)) + 8;
  const int width = WindowSize().cx;
  if (cache->Width() != width || cache->Height() != height) cache->SetSize(width, height);
  TsWindowPlace place{
      .PosInParent = PosInParent(), .Width = width, .Height = height, .InDialog = InDialog()};
  GetWindowParentBackground(windowHandle_, place.Behind);
  PaintWindowCache(*commonData_, place, IsActiveLook(),
                   static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
}

void TskComboBoxWnd::PaintText() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  HDC dc = cache->Canvas()->Handle();
  const TRect button = GetButtonRect();
  const bool rtl = (GetWindowLongPtrA(windowHandle_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  RECT r{rtl ? button.Right : kFaceFrame, kFaceFrame,
         rtl ? WindowSize().cx - kFaceFrame : button.Left, WindowSize().cy - kFaceFrame};
  std::string text;
  const LRESULT selected = SendMessageA(windowHandle_, CB_GETCURSEL, 0, 0);
  if (selected != CB_ERR) {
    // Read with its real length: a fixed buffer would be overrun by a long item.
    const LRESULT length = SendMessageA(windowHandle_, CB_GETLBTEXTLEN, selected, 0);
    if (length > 0) {
      text.assign(static_cast<size_t>(length) + 1, '\0');
      const LRESULT got = SendMessageA(windowHandle_, CB_GETLBTEXT, selected,
                                       reinterpret_cast<LPARAM>(text.data()));
      text.resize(got > 0 ? static_cast<size_t>(std::min<LRESULT>(got, length)) : 0);
    }
  } else {
    text = CaptionText();
  }
  TSaveDC saved(dc);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(windowHandle_, WM_GETFONT, 0, 0));
  if (font) SelectObject(dc, font);
  const TsGeneralData* section = commonData_->Section();
  COLORREF color = section ? static_cast<COLORREF>(ColorToRGB(section->FontColor))
                           : GetSysColor(COLOR_WINDOWTEXT);
  const bool focusedList = IsDropDownList() && GetFocus() == windowHandle_;
  if (focusedList) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    color = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  const int shift = IsDropDownList() ? 1 : 0;
  ExtTextOutA(dc, r.left + shift, r.top + shift, ETO_CLIPPED, &r, text.data(),
              static_cast<UINT>(text.size()), nullptr);
  if (focusedList) DrawFocusRect(dc, &r);
}

void TskComboBoxWnd::Paint(TMessage& m) {
  if (!colorsApplied_) ApplySkinColors();
  ReadWindowGeometry();
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);  // the combo box paints itself first
  HDC given = reinterpret_cast<HDC>(m.WParam);
  TWindowDC own;
  if (!given) own = TWindowDC(windowHandle_, true);
  HDC dc = given ? given : own.Get();
  if (!dc) return;
  if (IsSimple()) {
    PaintFace();
    CopyCacheFrame(dc, kFaceFrame);
    return;
  }
  commonData_->BackgroundDirty = true;
  SendSkinCmd(windowHandle_, CmdPrepareCache, 0);
  CopyCacheFrame(dc, kFaceFrame);
  PaintButton(dc);
}

void TskComboBoxWnd::Print(TMessage& m) {
  ReadWindowGeometry();
  commonData_->SetPaintSuspended(true);
  if (!colorsApplied_) ApplySkinColors();
  if (Detached()) return;
  commonData_->SetPaintSuspended(false);
  commonData_->BackgroundDirty = true;
  if (IsSimple())
    PaintFace();
  else
    SendSkinCmd(windowHandle_, CmdPrepareCache, 0);
  PrepareWindowCache(commonData_, windowHandle_, InDialog());
  PaintText();
  FillTransparentCorners(TsPaintState::Normal);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!dc || !cache) return;
  BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  PaintButton(dc);
}

void TskComboBoxWnd::ListColors(TMessage& m) {
  if (openingList_) return;
  openingList_ = true;
  TskEditWnd::WndProc(m);  // the window's own answer stands unless the skin gives one
  if (!listHandle_) listHandle_ = reinterpret_cast<HWND>(m.LParam);
  if (!listAdapter_ && listHandle_) {
    const bool saved = DialogAdapterMode;
    if (!HostControlOf(*commonData_)) DialogAdapterMode = InDialog();
    listAdapter_ = TskComboListWnd::CreateForCombo(
        listHandle_, nullptr, manager_, "EDIT", SendMessageA(windowHandle_, CB_GETCOUNT, 0, 0) > 0,
        IsSimple());
    DialogAdapterMode = saved;
  }
  int32_t index = -1;
  if (listHandle_) SendSkinCmd(listHandle_, CmdGetSectionIndex, reinterpret_cast<LPARAM>(&index));
  if (manager_ && manager_->IsValidSectionIndex(index) && !InDialog()) {
    const TsGeneralData& section = manager_->Sections()[static_cast<size_t>(index)];
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (section.FontColor >= 0)
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(section.FontColor)));
    const TColor color = ColorToRGB(section.Color);
    SetBkColor(dc, static_cast<COLORREF>(color));
    if (!listBrush_ || listBrushColor_ != color) {
      listBrush_.Reset(CreateSolidBrush(static_cast<COLORREF>(color)));
      listBrushColor_ = color;
    }
    m.Result = reinterpret_cast<LRESULT>(listBrush_.Get());
  }
  openingList_ = false;
}

void TskComboBoxWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskEditWnd::WndProc(m);
    return;
  }
  if (m.Msg == SM_SKINCMD) {
    const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    const bool forUs = IsOwnRefresh(cmd);
    if (cmd.Cmd == CmdRemoveSkin && forUs) {
      // The list gets its plain frame back before it lets go (restoring the colours does that).
      if (listHandle_ && IsWindow(listHandle_)) {
        const LONG_PTR style = GetWindowLongPtrA(listHandle_, GWL_STYLE);
        SetWindowLongPtrA(listHandle_, GWL_STYLE, (style & ~WS_THICKFRAME) | WS_BORDER);
      }
      TskEditWnd::WndProc(m);
      ReleaseList();
      return;
    }
    if (cmd.Cmd == CmdMouseEnter || cmd.Cmd == CmdMouseLeave) {
      TskEditWnd::WndProc(m);
      PaintButtonNow();
      return;
    }
    TskEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
      TskEditWnd::WndProc(m);
      PaintButtonNow();
      return;
    case WM_PAINT:
      Paint(m);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_DRAWITEM:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      Repaint();
      return;
    case WM_NCCALCSIZE:
      TskEditWnd::WndProc(m);
      EdgeLeft = kFaceFrame;
      return;
    case WM_COMMAND:
    case CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_CLOSEUP &&
          (m.Msg == CN_COMMAND || !(StyleOf(windowHandle_) & 1))) {
        commonData_->BackgroundDirty = true;
        PaintButtonNow();
      }
      break;
    case WM_CTLCOLORLISTBOX:
      ListColors(m);
      return;
    case WM_PRINT:
      Print(m);
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      commonData_->MouseOver = m.Msg == CM_MOUSEENTER;
      commonData_->BackgroundDirty = true;
      TskEditWnd::WndProc(m);
      Repaint();
      return;
    default:
      break;
  }
  TskEditWnd::WndProc(m);
}
