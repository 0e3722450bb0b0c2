// The adapter of a skinned standard dialog or message box: it subclasses the raw dialog window
// the creation hook found and paints its frame (border, title, icon, caption text, title
// buttons) from the skin's "DIALOG" section into a 32-bit frame image, measured and laid out by
// the same functions as a skinned form's frame. It answers the non-client hit test, runs the
// title buttons (hot, pressed, click), shows the dialog's system menu in place of the window's
// own (whose WS_SYSMENU it takes away while skinned), keeps the window region in the skin's
// shape, paints the client background from the frame image and gives statics and buttons the
// skin's colours. It lets go of the window when the window is destroyed or the adapter freed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/HandlesWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/forms/sTitleButtonStates.h"
#include "skin/forms/skDials.h"

class TsSkinManager;
class TskProvider;
class TskSystemMenu;
class TskCoverForm;

class TskDialogWnd {
 public:
  // Takes no part in the window yet: Prepare does.
  TskDialogWnd(HWND wnd, TsSkinManager* manager, TskProvider* owner);
  // Lets go of the window when still attached.
  ~TskDialogWnd();
  TskDialogWnd(const TskDialogWnd&) = delete;
  TskDialogWnd& operator=(const TskDialogWnd&) = delete;

  // Saves the style, reads the icon and the button masks, takes WS_SYSMENU away and hooks the
  // window. Throws EOSError when the window cannot be subclassed (nothing is changed then).
  void Prepare();
  // Unhooked, WS_SYSMENU and the window's region given back, the frame redrawn by the system.
  void Release();
  // The window was destroyed, or the adapter let go of it.
  bool Detached() const { return detached_; }

  HWND Handle() const { return wnd_; }
  TsSkinManager* Manager() const { return manager_; }
  TsCommonData& SkinData() { return *skinData_; }
  // The window's style, size and state now, with the style saved at Prepare.
  TskDialogFacts Facts() const;
  TsFormFacts FormFacts() const { return DialogFormFacts(Facts()); }
  TskDialogFrameKind FrameKind() const { return DialogFrameKind(savedStyle_); }
  TsTitleButtonsSetup ButtonsSetup(const TskDialogFacts& facts) const;

  // The frame image, rebuilt when its background is dirty; null without a valid section.
  TBitmap* PaintFormCache();
  // The frame into the window's non-client area.
  void PaintNonClient();
  // Rebuilds the frame image and shows it.
  void RepaintFrame();
  // The client background from the frame image into dc, around the visible children.
  void PaintClientBackground(HDC dc);
  int GetClientOffsetX() const { return ::GetClientOffsetX(FormFacts()); }
  int GetClientOffsetY() const { return ::GetClientOffsetY(FormFacts()); }

  // Where a title button lies in window coordinates; empty when it is not shown.
  TRect TitleButtonRect(int hitCode) const;
  // The title icon in window coordinates; empty without one.
  TRect IconRect() const;
  int HotButtonCode() const { return buttonStates_.HotButtonCode(); }
  int TitleButtonState(int hitCode) const { return buttonStates_.StateOf(hitCode); }
  void SetHotButton(int hitCode);
  void PressButton(int hitCode);
  TskSystemMenu* SystemMenu() const { return sysMenu_.get(); }
  void ShowSystemMenu(int x, int y);
  // The brush statics and buttons are painted on: one per adapter, of the skin's colour.
  HBRUSH StaticBrush();
  bool DialogActive() const { return active_; }
  // The dialog as it shows, frame and client with its children, opaque: the picture its show
  // and hide animations fade.
  std::unique_ptr<TBitmap> Snapshot();

 private:
  class TCmdHandler;
  class THost;
  bool Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  LRESULT CallOld(UINT msg, WPARAM wp, LPARAM lp) { return subclass_.CallNext(msg, wp, lp); }
  void UpdateSkin();
  void InitButtonMasks();
  void ReadTitleIcon();
  void ReadCaptionFont();
  void SetFormRegion(const TsFormFacts& facts);
  void PaintTitle(TBitmap* image, const TsFormFacts& facts, TsPaintState state);
  void PaintCaptionText(TBitmap* image, const TsFormFacts& facts);
  void PaintTitleButtons(TBitmap* image, const TsFormFacts& facts);
  int ButtonMaskIndex(const TsPlacedTitleButton& button) const;
  TsButtonMask ButtonMask(int maskIndex) const;
  int HitTest(POINT screen);
  void NcLButtonDown(int hitCode, POINT screen);
  // The released button acts; the window may be gone afterwards.
  void ButtonClicked(int hitCode);
  void NcDoubleClick(int hitCode);
  void ShowSystemMenuBelowIcon();
  TsPaintState ActiveState() const;
  // The child windows get their adapters (new ones only).
  void AdaptChildren();
  // The manager asks for a dialog show or hide animation of at least one frame.
  bool ShowAnimationDue() const;
  bool HideAnimationDue() const;

  HWND wnd_;
  TsSkinManager* manager_;
  TskProvider* owner_;
  std::unique_ptr<THost> host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  TWindowSubclass subclass_;
  std::unique_ptr<TskSystemMenu> sysMenu_;
  bool detached_ = false;
  bool prepared_ = false;
  bool sysMenuRemoved_ = false;
  bool regionSet_ = false;
  bool regionDirty_ = true;
  bool childrenAdapted_ = false;
  bool active_ = true;
  bool trackingLeave_ = false;
  uint32_t savedStyle_ = 0;
  uint32_t savedExStyle_ = 0;
  HICON icon_ = nullptr;  // the dialog's own (not owned)
  TGdiObject<HFONT> captionFont_;
  TGdiObject<HBRUSH> staticBrush_;
  TColor staticBrushColor_ = clNone;
  int captionSection_ = -1;
  int titleSection_ = -1;
  TsTitleButtonMaskIndexes masks_;
  bool bigButtons_ = true;
  TsTitleButtonStates buttonStates_;
  TsRegionPlan lastRegion_;
  // The cover of a show animation, kept over the dialog until it painted itself.
  std::unique_ptr<TskCoverForm> showCover_;
};
