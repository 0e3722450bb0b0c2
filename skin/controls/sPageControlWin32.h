// The skinned page control: the framework's page control that, while a skin is active, paints
// its body from its section (PAGECONTROL, or the side's own section) and every tab from the
// tab section of its side (or a page's own) in its normal, hot or active look, the active tab
// grown over its neighbours. Tabs may carry close buttons, and a page change may cross-fade
// from the old page to the new one. Its pages paint nothing of their own: the control's
// picture shows through them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ComCtrlsWin32.h"
#include "skin/controls/sPageControlGeometry.h"
#include "skin/controls/sSpeedButtonWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/runtime/sFade.h"

class TsPageControl;

// Per-tab skin settings a page keeps (stored only).
class TsTabSkinData : public TPersistent {
  K_CLASS(TsTabSkinData, TPersistent)
  bool CustomColor = false;
  bool CustomFont = false;
  std::string SkinSection;
};

// The small "X" button on a tab while no skin is active.
class TsTabBtn : public TsSpeedButton {
  K_CLASS(TsTabBtn, TsSpeedButton)
  explicit TsTabBtn(TComponent* owner);
};

class TsTabSheet : public TTabSheet {
  K_CLASS(TsTabSheet, TTabSheet)
  explicit TsTabSheet(TComponent* owner);
  ~TsTabSheet() override;

  TsTabSkinData* SkinData() const { return skinData_.get(); }
  // A section painted for this page's tab instead of the side's tab section.
  const std::string& TabSkin() const { return tabSkin_; }
  void SetTabSkin(const std::string& value);
  // The section of this page's tab in the button styles.
  const std::string& ButtonSkin() const { return buttonSkin_; }
  void SetButtonSkin(const std::string& value);
  bool UseCloseBtn() const { return useCloseBtn_; }
  void SetUseCloseBtn(bool value);
  TsTabBtn* CloseButton() const { return closeButton_; }

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  friend class TsPageControl;
  class TCmdHandler;

  TsPageControl* SkinnedControl() const;
  bool EraseFromControl(HDC dc);

  std::unique_ptr<TsTabSkinData> skinData_;
  std::string tabSkin_;
  std::string buttonSkin_;
  bool useCloseBtn_ = true;
  TsTabBtn* closeButton_ = nullptr;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};

enum TskCloseAction { acaHide, acaFree };
using TskCloseBtnClick =
    TMethod<void(TComponent* sender, int tabIndex, bool& canClose, TskCloseAction& action)>;

class TsPageControl : public TPageControl {
  K_CLASS(TsPageControl, TPageControl)
  explicit TsPageControl(TComponent* owner);
  ~TsPageControl() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsTabSheet* ActivePage() const { return dynamic_cast<TsTabSheet*>(TPageControl::ActivePage()); }
  TskAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TskAnimatEvents value) { animatEvents_ = value; }
  bool ShowCloseBtns() const { return showCloseBtns_; }
  void SetShowCloseBtns(bool value);
  // A section painted for the close buttons (15 x 15, a red "X" on it) instead of the skin's
  // close icon.
  const std::string& CloseBtnSkin() const { return closeBtnSkin_; }
  void SetCloseBtnSkin(const std::string& value);
  KFW_EVENT(TskCloseBtnClick, OnCloseBtnClick)

  // The page index under the mouse (-1: none); never the active page.
  int HotTab() const { return hotTab_; }
  // The rectangle a page's tab is painted over (empty for a page without a shown tab).
  TRect SkinTabRect(int pageIndex, bool active);
  // The first page whose tab (as an inactive one) holds the point; -1 when none.
  int TabAtPoint(TPoint p);
  // The close button of a page's tab (empty without close buttons).
  TRect CloseButtonRect(int pageIndex);
  // The section name used for the body at the last paint.
  const std::string& BodySection() const { return bodySection_; }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void UpdateActivePage() override;

 private:
  friend class TsTabSheet;
  class TCmdHandler;

  sPageControl::TsTabSide Side() const;
  TsTabSheet* Page(int index) const;
  bool Skinned() const;
  TRect TabsArea();
  TRect BodyArea();
  struct TTabLook {
    int Section = -1;
    int Mask = -1;
    std::string Name;
  };
  TTabLook TabLookOf(TsTabSheet* page) const;
  void OwnPaint(HDC dc);
  void PrepareCache();
  void PaintTabs();
  void PaintTab(int pageIndex, int state, TPoint offset, TBitmap* target);
  void PaintTabCaption(TsTabSheet* page, int state, const TRect& r, const TTabLook& look,
                       TBitmap* target);
  void PaintTabInto(int pageIndex, int state, HDC dc);
  void LoadCloseButtonImage();
  void PaintCloseBtn(TBitmap* target, TPoint at, int state);
  void PaintCloseButtons(HDC dc);
  int CloseButtonState(int pageIndex) const;
  void UpdateCloseButtons();
  void CloseTab(int pageIndex);
  void SetHotTab(int pageIndex);
  void RepaintTab(int pageIndex);
  bool HandleMouse(TMessage& message);
  bool HandleSkinned(TMessage& message);
  bool HandleNotify(TMessage& message);

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  TskAnimatEvents animatEvents_{aeGlobalDef};
  bool showCloseBtns_ = false;
  std::string closeBtnSkin_;
  std::string bodySection_;
  int visibleTabCount_ = 0;
  int hotTab_ = -1;
  int closeMask_ = -1;
  int closeWidth_ = 0;
  int closeHeight_ = 0;
  int hotClose_ = -1;      // the page whose close button is under the mouse
  int pressedClose_ = -1;  // the page whose close button the left button went down on
  bool changeCovered_ = false;
};
