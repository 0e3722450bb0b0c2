// The skin provider's title: its buttons (masks, places, looks, the hot and pressed button, a
// button repainted alone over the strip saved behind the buttons), its icon and the system
// menu it opens.
#include <windows.h>

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/IconWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/sSystemMenuWin32.h"
#include "skin/forms/sTitleButtonsWin32.h"
#include "skin/forms/sTitleIconWin32.h"

namespace {

constexpr int MissingMaskSize = 21;
// A disabled button, or any button of an inactive form in its normal look, shows half over
// the title behind it.
constexpr uint8_t HalfTransparent = 128;

HDC ImageDC(TBitmap* image) { return image->Canvas()->Handle(); }

// The icon the title shows when the program gave none: the window's own, the application's,
// the program file's, else the standard one.
HICON TitleIconOf(HWND wnd, bool large) {
  auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
  if (!icon && Application && Application->Handle())
    icon = reinterpret_cast<HICON>(SendMessageA(Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
  TIcon* shell = large ? AppLargeIcon.get() : AppSmallIcon.get();
  if (!icon && shell) icon = IconHandle(shell);
  if (!icon) icon = LoadIcon(nullptr, IDI_APPLICATION);
  return icon;
}

}  // namespace

// ---- the system-menu style ------------------------------------------------------------------

bool TsSkinProvider::HadSystemMenu() const {
  if (sysMenuStyleRemoved_) return true;
  return form_->HandleAllocated() && (GetWindowLongPtrA(form_->Handle(), GWL_STYLE) & WS_SYSMENU);
}

void TsSkinProvider::UpdateSysMenuStyle(bool apply) {
  if (!form_->HandleAllocated()) return;
  HWND wnd = form_->Handle();
  const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
  if (apply && ((style & WS_SYSMENU) || sysMenuStyleRemoved_)) {
    // Without the style the system neither draws its own close box and icon nor answers for
    // them, and Alt+Space reaches the provider as SC_KEYMENU.
    if (style & WS_SYSMENU)
      SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
    sysMenuStyleRemoved_ = true;
    return;
  }
  if (!apply && sysMenuStyleRemoved_) SetWindowLongPtrA(wnd, GWL_STYLE, style | WS_SYSMENU);
  sysMenuStyleRemoved_ = false;
}

// ---- masks and places -----------------------------------------------------------------------

void TsSkinProvider::InitButtonMasks() {
  TsSkinManager* manager = SkinManager();
  masks_ = {};
  if (!manager) return;
  const int global = manager->FixedIndexes().GlobalInfo;
  if (!manager->IsValidSectionIndex(global)) return;
  auto mask = [&](const char* name) { return manager->GetMaskIndex(global, "GLOBALINFO", name); };
  bigButtons_ = HasBigButtons(FormFacts());
  helpBig_ = false;
  if (bigButtons_) {
    masks_.Max = mask("BICONMAX");
    masks_.Min = mask("BICONMIN");
    masks_.Help = mask("BICONHELP");
    InitCloseMask();
  } else {
    masks_.Close = mask("SICONCLOSE");
    masks_.Max = mask("SICONMAX");
    masks_.Min = mask("SICONMIN");
    masks_.Help = mask("SICONHELP");
    if (masks_.Help < 0) masks_.Help = mask("BICONHELP");
  }
  if (masks_.Close < 0) {
    // A skin without small buttons: the big ones stand in.
    bigButtons_ = helpBig_ = true;
    masks_.Close = mask("BICONCLOSE");
    masks_.Max = mask("BICONMAX");
    masks_.Min = mask("BICONMIN");
    masks_.Help = mask("BICONHELP");
  }
  // The restore image, asked for by a maximized or minimized form's button.
  masks_.Norm = mask("BICONNORM");
  if (masks_.Norm < 0)
    masks_.Norm =
        manager->GetMaskIndex(skinData_->SectionIndex, skinData_->SkinSection(), "BICONNORM");
  masks_.User = mask("TITLEBUTTON");
}

void TsSkinProvider::InitCloseMask() {
  TsSkinManager* manager = SkinManager();
  const int global = manager->FixedIndexes().GlobalInfo;
  // A close button standing alone has an image of its own in some skins.
  const bool alone = !sysMenu_ || (!sysMenu_->VisibleMax() && !sysMenu_->VisibleMin());
  masks_.Close = alone ? manager->GetMaskIndex(global, "GLOBALINFO", "BICLOSEALONE") : -1;
  if (masks_.Close < 0) masks_.Close = manager->GetMaskIndex(global, "GLOBALINFO", "BICONCLOSE");
}

TsButtonMask TsSkinProvider::ButtonMaskFacts(int maskIndex) const {
  TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidMaskIndex(maskIndex)) return {};
  return ButtonMaskOf(manager->Masks()[static_cast<size_t>(maskIndex)]);
}

int TsSkinProvider::ButtonMaskIndex(const TsPlacedTitleButton& button) const {
  return TitleButtonMaskIndex(button, masks_);
}

TsTitleButtonsSetup TsSkinProvider::TitleButtonsSetup(const TsFormFacts&) const {
  TsTitleButtonsSetup s;
  s.HasSystemMenu = sysMenu_ != nullptr;
  if (sysMenu_) s.Menu = sysMenu_->Answers();
  s.HelpIcon = form_->BorderIcons().Contains(biHelp);
  s.Close = ButtonMaskFacts(masks_.Close);
  s.Max = ButtonMaskFacts(masks_.Max);
  s.Norm = ButtonMaskFacts(masks_.Norm);
  s.Min = ButtonMaskFacts(masks_.Min);
  s.Help = ButtonMaskFacts(masks_.Help);
  s.Big = bigButtons_;
  s.HelpBig = helpBig_;
  if (TsSkinManager* manager = SkinManager()) {
    s.BIRight = manager->CurrentSkin().BIRight;
    s.BISpace = manager->CurrentSkin().BISpace;
  }
  const TsButtonMask userMask = ButtonMaskFacts(masks_.User);
  for (int i = 0; i < titleButtons_->Count(); ++i) {
    const TsTitleButton* b = titleButtons_->GetItem(i);
    const int glyphWidth = b->Glyph() ? b->Glyph()->Width() + 2 : 0;
    s.User.push_back(TsUserButtonFacts{
        .Visible = b->Visible(),
        .Enabled = b->Enabled(),
        .Width = std::max(glyphWidth, userMask.Valid ? userMask.Width : MissingMaskSize),
        .Drawn = b->UseSkinData() && userMask.Valid});
  }
  return s;
}

std::vector<TsPlacedTitleButton> TsSkinProvider::TitleButtonLayout(const TsFormFacts& facts) const {
  return LayoutTitleButtons(facts, TitleButtonsSetup(facts));
}

TPoint TsSkinProvider::WindowToImage(const TsFormFacts& facts, POINT p) const {
  const TRect shadow = GetShadowMargins(facts);
  return TPoint{p.x + GetExBorderDelta(facts) + shadow.Left,
                p.y + GetExTitleDelta(facts) + shadow.Top};
}

TRect TsSkinProvider::TitleButtonRect(int hitCode) const {
  const TsFormFacts facts = FormFacts();
  const std::vector<TsPlacedTitleButton> layout = TitleButtonLayout(facts);
  const TsPlacedTitleButton* button = FindTitleButton(layout, hitCode);
  if (!button) return TRect{};
  const TPoint shift = WindowToImage(facts, POINT{0, 0});
  const TRect& r = button->Rect;
  return TRect{r.Left - shift.X, r.Top - shift.Y, r.Right - shift.X, r.Bottom - shift.Y};
}

int TsSkinProvider::TitleButtonHitAt(POINT windowPoint) const {
  // Asked on every mouse move over the window: below the title no button lies.
  const TsFormFacts facts = FormFacts();
  const TPoint p = WindowToImage(facts, windowPoint);
  if (p.Y >= GetTitleBottom(facts)) return TitleHitNowhere;
  const TsTitleButtonsSetup setup = TitleButtonsSetup(facts);
  const std::vector<TsPlacedTitleButton> layout = LayoutTitleButtons(facts, setup);
  return TitleButtonHitTest(facts, setup, layout, p);
}

// ---- painting -------------------------------------------------------------------------------

void TsSkinProvider::SaveButtonsBackground(TBitmap* image, const TsFormFacts& facts) {
  const int width =
      std::min(GetBorderWidth(facts, true) + TitleButtonsWidth(facts, TitleButtonsSetup(facts)) +
                   GetShadowMargins(facts).Right + 10,
               imageSize_.cx);
  const int height = std::min(GetTitleBottom(facts), imageSize_.cy);
  if (width <= 0 || height <= 0) {
    buttonsBackground_.reset();
    return;
  }
  if (!buttonsBackground_ || buttonsBackground_->Width() != width ||
      buttonsBackground_->Height() != height)
    buttonsBackground_ = CreateBmp32(width, height);
  buttonsBackgroundAt_ = TPoint{std::max(imageSize_.cx - width - 1, 0), 0};
  BitBlt(ImageDC(buttonsBackground_.get()), 0, 0, width, height, ImageDC(image),
         buttonsBackgroundAt_.X, buttonsBackgroundAt_.Y, SRCCOPY);
}

void TsSkinProvider::PaintTitleButtons(TBitmap* image, const TsFormFacts& facts) {
  if (!HasFrame(facts)) return;
  SaveButtonsBackground(image, facts);
  for (const TsPlacedTitleButton& button : TitleButtonLayout(facts))
    PaintTitleButton(image, button, false);
}

void TsSkinProvider::PaintTitleButton(TBitmap* image, const TsPlacedTitleButton& button,
                                      bool restoreBehind) {
  TsSkinManager* manager = SkinManager();
  const TRect& r = button.Rect;
  // The strip's part under this button, in the strip's coordinates.
  const TRect behind{r.Left - buttonsBackgroundAt_.X, r.Top - buttonsBackgroundAt_.Y,
                     r.Right - buttonsBackgroundAt_.X, r.Bottom - buttonsBackgroundAt_.Y};
  const bool haveBehind = buttonsBackground_ && behind.Left >= 0 && behind.Top >= 0 &&
                          behind.Right <= buttonsBackground_->Width() &&
                          behind.Bottom <= buttonsBackground_->Height();
  if (restoreBehind && haveBehind)
    BitBlt(ImageDC(image), r.Left, r.Top, r.Width(), r.Height(), ImageDC(buttonsBackground_.get()),
           behind.Left, behind.Top, SRCCOPY);
  const int state = TitleButtonState(button.HitCode);
  const int maskIndex = ButtonMaskIndex(button);
  if (manager && manager->IsValidMaskIndex(maskIndex)) {
    const TsMaskData& mask = manager->Masks()[static_cast<size_t>(maskIndex)];
    PaintMaskGlyph(image, r.TopLeft(), state, mask, MakeBackgroundSource(image, r.Left, r.Top));
    if (state == 0 && (!button.Enabled || !activeLook_) && haveBehind)
      BlendBitmapRect(image, buttonsBackground_.get(), HalfTransparent, r.TopLeft(), behind);
  }
  if (button.Kind != TsTitleButtonKind::User) return;
  TBitmap* glyph = UserTitleButton(button.HitCode)->Glyph();
  if (!glyph || glyph->Empty()) return;
  // Centred, one pixel lower and to the right while pressed.
  const int pressed = state == 2 ? 1 : 0;
  const int x = r.Left + (r.Width() - glyph->Width()) / 2 + pressed;
  const int y = r.Top + (r.Height() - glyph->Height()) / 2 + pressed;
  if (glyph->PixelFormat() == pf32bit) {
    CopyAlphaBitmap(TRect{x, y, x + glyph->Width(), y + glyph->Height()},
                    TRect{0, 0, glyph->Width(), glyph->Height()}, image, true,
                    MakeBackgroundSource(image, 0, 0), glyph);
  } else {
    CopyKeyedBitmap(image, glyph, x, glyph->Canvas()->Pixels(0, glyph->Height() - 1), y);
  }
}

// ---- the hot and pressed button -------------------------------------------------------------

TsTitleButton* TsSkinProvider::UserTitleButton(int hitCode) const {
  const int index = hitCode - TitleHitUserButton;
  return index >= 0 && index < titleButtons_->Count() ? titleButtons_->GetItem(index) : nullptr;
}

void TsSkinProvider::SetHotButton(int hitCode, bool repaint) {
  if (!drawNonClientArea_) return;
  const std::vector<int> changed = buttonStates_.SetHot(hitCode);
  // A user button shows its hint while it is hot.
  for (int code : changed)
    if (TsTitleButton* user = UserTitleButton(code)) {
      if (code == HotButtonCode())
        user->OpenHintWindow();
      else
        user->CloseHintWindow();
    }
  if (repaint)
    for (int code : changed) RepaintTitleButton(code);
}

void TsSkinProvider::SetPressedButton(int hitCode) {
  bool canAct = true;
  if (hitCode == TitleHitMaximize && sysMenu_)
    canAct = sysMenu_->EnabledMax() || (IsZoomed(form_->Handle()) && sysMenu_->EnabledRestore());
  for (int code : buttonStates_.SetPressed(hitCode, canAct)) {
    if (TsTitleButton* user = UserTitleButton(code)) user->CloseHintWindow();
    RepaintTitleButton(code);
  }
}

void TsSkinProvider::ShowPressedButton(bool over) {
  for (int code : buttonStates_.ShowPressed(over)) RepaintTitleButton(code);
}

void TsSkinProvider::RepaintTitleButton(int hitCode) {
  if (!FormShowing() || !Skinned() || !drawNonClientArea_) return;
  const TsFormFacts facts = FormFacts();
  const std::vector<TsPlacedTitleButton> layout = TitleButtonLayout(facts);
  const TsPlacedTitleButton* button = FindTitleButton(layout, hitCode);
  if (!button) return;
  TBitmap* image = FrameImage();
  if (!image || !buttonsBackground_ || skinData_->BackgroundDirty ||
      imageSize_ != TSize{GetImageWidth(facts), GetImageHeight(facts)}) {
    FreeButtonAnimations();
    RepaintNonClient();
    return;
  }
  // The look the frame shows now fades out over the new one.
  AnimateTitleButton(*button, image, facts);
  PaintTitleButton(image, *button, true);
  UpdateTitleButtonGlow(*button, facts);
  // With a border window the title is shown there.
  if (HasBorderForm()) {
    UpdateExBorder(true, 255);
    return;
  }
  TWindowDC dc(form_->Handle(), true);
  if (!dc) return;
  const TPoint shift = WindowToImage(facts, POINT{0, 0});
  const TRect& r = button->Rect;
  BitBlt(dc.Get(), r.Left - shift.X, r.Top - shift.Y, r.Width(), r.Height(), ImageDC(image), r.Left,
         r.Top, SRCCOPY);
}

// ---- the title icon -------------------------------------------------------------------------

bool TsSkinProvider::TitleIconShown(const TsFormFacts& facts) const {
  return showAppIcon_ && HasBigButtons(facts) && HadSystemMenu();
}

TRect TsSkinProvider::GetIconRect(const TsFormFacts& facts) const {
  const int biLeft = SkinManager() ? SkinManager()->CurrentSkin().BILeft : 0;
  return TitleIconRect(facts, TitleIconSize(facts, titleIcon_->Width(), titleIcon_->Height()),
                       biLeft);
}

void TsSkinProvider::PaintTitleIcon(TBitmap* image, const TsFormFacts& facts) {
  if (!TitleIconShown(facts)) return;
  const TRect r = GetIconRect(facts);
  if (TBitmap* glyph = titleIcon_->Glyph(); glyph && !glyph->Empty()) {
    if (glyph->PixelFormat() == pf32bit) {
      CopyAlphaBitmap(TRect{r.Left, r.Top, r.Left + glyph->Width(), r.Top + glyph->Height()},
                      TRect{0, 0, glyph->Width(), glyph->Height()}, image, true,
                      MakeBackgroundSource(image, 0, 0), glyph);
    } else {
      glyph->SetTransparent(true);
      glyph->SetTransparentMode(tmFixed);
      glyph->SetTransparentColor(static_cast<TColor>(0xFF00FF));
      image->Canvas()->StretchDraw(r, glyph);
    }
    return;
  }
  // The icon is drawn without alpha: pixels it changed become opaque, the others keep what
  // was there, so the icon shows whole on a layered image too.
  const TRect inImage{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, imageSize_.cx),
                      std::min(r.Bottom, imageSize_.cy)};
  if (inImage.Width() <= 0 || inImage.Height() <= 0) return;
  const std::unique_ptr<TBitmap> saved = CopyBitmapArea(*image, inImage);
  const bool large = r.Height() > 16;
  DrawIconEx(ImageDC(image), r.Left, r.Top, TitleIconOf(form_->Handle(), large), r.Width(),
             r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  for (int y = 0; y < inImage.Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image->ScanLine(inImage.Top + y)) + inImage.Left;
    const auto* before = reinterpret_cast<const uint32_t*>(saved->ScanLine(y));
    for (int x = 0; x < inImage.Width(); ++x)
      row[x] = (row[x] & 0xFFFFFF) == (before[x] & 0xFFFFFF) ? before[x] : row[x] | 0xFF000000u;
  }
}

// ---- the system menu ------------------------------------------------------------------------

void TsSkinProvider::ShowSystemMenu(int x, int y) {
  if (sysMenu_) sysMenu_->ShowAt(x, y);
}

bool TsSkinProvider::ShowSystemMenuFromKeyboard() {
  if (!sysMenu_ || !sysMenu_->VisibleClose()) return false;
  const TsFormFacts facts = FormFacts();
  RECT window;
  GetWindowRect(form_->Handle(), &window);
  ShowSystemMenu(window.left + GetBorderWidth(facts, true),
                 window.top + GetFrameWidth(facts, true) + GetIconRect(facts).Height());
  return true;
}

void TsSkinProvider::UpdateSystemMenuItems() {
  if (sysMenu_) sysMenu_->UpdateItems(false);
}

bool TsSkinProvider::OverTitleIcon(POINT screenPoint) const {
  const TsFormFacts facts = FormFacts();
  if (!TitleIconShown(facts)) return false;
  RECT window;
  GetWindowRect(form_->Handle(), &window);
  const TPoint p =
      WindowToImage(facts, POINT{screenPoint.x - window.left, screenPoint.y - window.top});
  const TRect r = GetIconRect(facts);
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

void TsSkinProvider::ShowSystemMenuBelowIcon() {
  const TsFormFacts facts = FormFacts();
  RECT window;
  GetWindowRect(form_->Handle(), &window);
  ShowSystemMenu(window.left + GetFrameWidth(facts, true), window.top + GetFrameWidth(facts, true) +
                                                               GetIconRect(facts).Height() +
                                                               GetStdBorderWidth(facts, false));
}
