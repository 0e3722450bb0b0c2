// The skin provider of a form: the component that makes one form skinned. It hooks the
// form's window procedure (the form's replaceable WindowProc, so hooks installed after it
// survive its removal and messages sent by Perform reach it too), joins the skinned-forms
// list, owns the form's skin data (section "FORM") with the frame image, and follows the skin
// manager: a new skin, a refresh and the skin's removal. While skinned it paints the whole
// frame (borders, title, caption, menu line, title buttons) into the frame image and copies
// it to the window; the client background comes from the same image around the children.
//
// The title buttons are drawn from the skin's masks in their normal, hot, pressed and disabled
// looks and follow the mouse (sTitleButtonTrackerWin32.h); the skinned system menu opens on
// Alt+Space, on the icon and on a right click on the title. The system still moves and sizes
// the form, after which the frame is painted again.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/sRubberFrameWin32.h"
#include "skin/forms/sTitleButtonStates.h"
#include "skin/forms/sTitleButtons.h"

class TsSystemMenu;
class TsTitleButton;
class TsTitleButtons;
class TsTitleButtonTracker;
class TsTitleIcon;
class TskAddedTitle;

class TskBorderForm;
class TskMinTimer;
class TskMoveTimer;
class TskSBAnimation;

// The skin editor's command to a previewed form (WParam: 1 close, 3 passed on, 4 answer 1).
constexpr UINT SkinEditorCommand = 0xA400;
constexpr WPARAM SkinEditorClose = 1;
constexpr WPARAM SkinEditorPassOn = 3;
constexpr WPARAM SkinEditorPing = 4;

// The program runs as a skin editor's preview ("/skpreview" as its first argument); the
// editor may close its previewed form. Set by the first provider made.
extern bool PreviewMode;

enum TsGripMode { gmNone, gmRightBottom };
// rmBorder: the form is moved and sized with a rubber-band frame and placed once at the end.
enum TsResizeMode { rmStandard, rmBorder };

class TsSkinProvider;

// The adapters of a skinned form's foreign controls. They live in a room above the forms, so
// the provider reaches them through this seam, which the adapters fill in at start
// (SetControlAdapterFactory); without it a form's controls keep their own looks.
class IFormControlAdapter {
 public:
  virtual ~IFormControlAdapter() = default;
  // Walks the container's components and controls (null: the form) and adapts what is new.
  virtual void AdaptChildren(TWinControl* container) = 0;
  virtual bool IsControlSupported(TControl* control) = 0;
  virtual void AddItem(TControl* control) = 0;
  // The message to the window of every adapted control.
  virtual void BroadcastToItems(const TMessage& message) = 0;
};
using TControlAdapterFactory =
    std::function<std::unique_ptr<IFormControlAdapter>(TsSkinProvider& provider)>;
void SetControlAdapterFactory(TControlAdapterFactory factory);

// Asked before a control is adapted: clearing canBeAdded leaves it alone; a windowed control
// is painted with the section it leaves.
using TAddItemEvent =
    std::function<void(TComponent* item, bool& canBeAdded, std::string& skinSection)>;

// The form's BorderStyle as the frame sees it.
TsFrameBorder FrameBorderOf(TFormBorderStyle style);

class TsSkinProvider : public TComponent, public ISkinProvider {
  K_CLASS(TsSkinProvider, TComponent)

 public:
  // The owner must be a form (EAbort otherwise).
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;

  TCustomForm* Form() const { return form_; }

  // ---- ISkinProvider
  TsSkinManager* SkinManager() const override { return skinData_->SkinManager(); }
  bool DrawNonClientArea() const override { return drawNonClientArea_; }
  TsCommonData* SkinData() override { return skinData_.get(); }
  bool HasBorderForm() const override { return borderForm_ != nullptr; }
  TWindowKey BorderWindow() const override;
  bool ExtendedBordersAllowed() const override;
  TRegionKey CreateBorderRegion() override;
  void UpdateExBorder(bool rebuild, int alpha) override;
  void ClearBorderShowing() override;
  TWindowKey CoverWindow() const override { return 0; }
  void FreeCoverWindow() override {}
  // The form's picture flies to the task bar while the form minimizes (nothing without the
  // skin manager's minimize animation, or with its time below one tick).
  void StartMinimizeAnimation() override;
  // The picture flies back from the task bar to the form's place, where the form shows again
  // when it lands; false when the form was not minimized with the animation (or its time is
  // below one tick), and the form is just restored.
  bool StartRestoreAnimation() override;
  void PrepareRegionParts() override;
  void SetFormRegion(bool redraw) override;
  int GetClientOffsetX() const override;
  int GetClientOffsetY() const override;

  // ---- properties
  void SetDrawNonClientArea(bool value);
  bool MakeSkinMenu() const { return makeSkinMenu_; }
  void SetMakeSkinMenu(bool value) { makeSkinMenu_ = value; }
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  bool UseGlobalColor() const { return useGlobalColor_; }
  void SetUseGlobalColor(bool value) { useGlobalColor_ = value; }
  const std::string& TitleSkin() const { return titleSkin_; }
  void SetTitleSkin(const std::string& value);
  const std::string& MenuLineSkin() const { return menuLineSkin_; }
  void SetMenuLineSkin(const std::string& value);
  TsGripMode GripMode() const { return gripMode_; }
  void SetGripMode(TsGripMode value) { gripMode_ = value; }
  // A moved form snaps to the work area's edges when it comes nearer than SnapBuffer pixels.
  TsResizeMode ResizeMode() const { return resizeMode_; }
  void SetResizeMode(TsResizeMode value) { resizeMode_ = value; }
  // A rubber-band frame is being dragged.
  bool RubberFrameActive() const { return rubberFrame_ && rubberFrame_->Active(); }
  bool ScreenSnap() const { return screenSnap_; }
  void SetScreenSnap(bool value) { screenSnap_ = value; }
  int SnapBuffer() const { return snapBuffer_; }
  void SetSnapBuffer(int value) { snapBuffer_ = value; }
  const TAddItemEvent& OnSkinItem() const { return onSkinItem_; }
  void SetOnSkinItem(TAddItemEvent value) { onSkinItem_ = std::move(value); }

  // ---- the adapters of the form's foreign controls
  // Made and walked over the form when the form is skinned; null before and after.
  IFormControlAdapter* ControlAdapter() const { return controlAdapter_.get(); }
  void AdaptControls();
  // The adapted controls told that the skin goes, then their adapters freed.
  void RemoveAdapter();
  void BroadcastToAdapter(const TMessage& message);
  // The form may carry the skin's extended borders and shadow in a border window when the
  // skin manager asks for them.
  bool AllowExtBorders() const { return allowExtBorders_; }
  void SetAllowExtBorders(bool value);

  // ---- the extended border window
  // Makes the border window when wanted and the form can have one, frees it otherwise.
  void UpdateBorderForm(bool wanted);
  TskBorderForm* BorderForm() const { return borderForm_.get(); }
  // The animations running on the form (blend on moving, minimizing, hiding, a skin change)
  // and the border window's adjustment while the form is sized: bits the border window and
  // the animations read.
  unsigned FrameFlags = 0;
  // The bits the form's animations set: dragged with blend on moving, minimizing, restoring.
  static constexpr unsigned BlendingFlag = 0x80, MinimizingFlag = 0x100, RestoringFlag = 0x400;
  // The minimize animation, while one runs or after it ran; null before the first.
  TskMinTimer* MinimizeTimer() const { return minTimer_.get(); }

  // ---- skinning
  // (Re)applies the skin to the form; safe to call repeatedly.
  void InitFormSkin();
  // The frame image rebuilt and copied to the window now.
  void RepaintNonClient();
  // The form is shown skinned: a skin is active and the provider paints the frame.
  bool Skinned() const;
  // The window's facts as the frame geometry reads them.
  TsFormFacts FormFacts() const;
  // Title section "FORMTITLE" unless TitleSkin names another.
  std::string GetTitleSection() const;
  int GetTitleSkinIndex();

  // ---- painting (the frame image is the skin data's cache bitmap)
  // Rebuilds the frame image when its background is dirty.
  void PaintFormCache(const TsFormFacts& facts);
  // Brings the image up to date and copies the frame strips into the window DC.
  void PaintFrameFromCache(HDC windowDC, const TsFormFacts& facts);
  // The client background from the image into the DC, around the visible children.
  void PaintClientBackground(HDC dc);
  // The whole form as it shows, frame and children, drawn into `target` at its corner (no
  // more than both bitmaps hold), opaque; nothing before the first frame image.
  void PaintFormToBitmap(TBitmap& target);
  // The frame image's pixels, or null before the first paint. The bitmap may be larger than
  // the image: the image is its top-left FrameImageSize().
  TBitmap* FrameImage() const { return skinData_->CacheBitmap.get(); }
  TSize FrameImageSize() const { return imageSize_; }
  // How often the frame image was rebuilt and how often the region was set: a form that sits
  // idle rebuilds and sets nothing.
  int FrameBuilds() const { return frameBuilds_; }
  // Where a title button lies in the window (its hit code: HTCLOSE, HTMAXBUTTON, HTMINBUTTON,
  // HTHELP, 1000 + n); empty when it is not shown.
  TRect TitleButtonRect(int hitCode) const;
  int RegionChanges() const { return regionChanges_; }

  // ---- title buttons, title icon, added title and the system menu
  TsTitleButtons* TitleButtons() const { return titleButtons_.get(); }
  TsTitleIcon* TitleIcon() const { return titleIcon_.get(); }
  TskAddedTitle* AddedTitle() const { return addedTitle_.get(); }
  TsSystemMenu* SystemMenu() const { return sysMenu_; }
  // The form had WS_SYSMENU when the provider took the style over (it draws its own title
  // buttons, so the system neither draws nor answers for its own while skinned).
  bool HadSystemMenu() const;
  void SetSkipHideAnimation(bool value) { skipHideAnimation_ = value; }
  // The buttons' setup and places (frame-image coordinates) for the form as it is now.
  TsTitleButtonsSetup TitleButtonsSetup(const TsFormFacts& facts) const;
  std::vector<TsPlacedTitleButton> TitleButtonLayout(const TsFormFacts& facts) const;
  // What a window point hits among the title buttons (TitleButtonHitTest's answers).
  int TitleButtonHitAt(POINT windowPoint) const;
  // The hot or pressed button and the look of each (0 normal, 1 hot, 2 pressed).
  int HotButtonCode() const { return buttonStates_.HotButtonCode(); }
  int TitleButtonState(int hitCode) const { return buttonStates_.StateOf(hitCode); }
  bool TitleButtonPressed() const { return buttonStates_.ButtonPressed(); }
  void SetHotButton(int hitCode, bool repaint);
  void SetPressedButton(int hitCode);
  // While a pressed button is held: the mouse is over it or not.
  void ShowPressedButton(bool over);
  // Shows one button's current look on the window.
  void RepaintTitleButton(int hitCode);
  // The user button with that hit code, or null.
  TsTitleButton* UserTitleButton(int hitCode) const;
  // The title icon's place in the frame image.
  TRect GetIconRect(const TsFormFacts& facts) const;
  // The skinned system menu at a screen point.
  void ShowSystemMenu(int x, int y);
  // The fade of a title button's look, made at its first change of look; null before.
  TskSBAnimation* TitleButtonAnimation(int hitCode) const;
  // The glow around a hot title button (its glow id), -1 when it shows none.
  int TitleButtonGlow(int hitCode) const;
  // The form may fade while it is dragged by its title, when the skin manager's blend on
  // moving is on.
  bool AllowBlendOnMoving() const { return allowBlendOnMoving_; }
  void SetAllowBlendOnMoving(bool value) { allowBlendOnMoving_ = value; }
  // The blend while the form is dragged; null when no drag runs.
  TskMoveTimer* MoveTimer() const { return moveTimer_.get(); }

 private:
  class TSkinHost;
  class TCmdHandler;
  friend class TCmdHandler;

  void NewWndProc(TMessage& m);
  void CallOld(TMessage& m) { savedWindowProc_(m); }
  // Calls the form's procedure with the window's drawing held off (WM_SETREDRAW), paired by
  // a scope guard so that an exception cannot leave the form frozen.
  void CallOldWithoutRedraw(TMessage& m);
  void SkinnedMessage(TMessage& m);
  void PaintNonClient();
  // The region's parts and the region from facts the caller already has.
  void PrepareRegionParts(const TsFormFacts& facts);
  void SetFormRegion(bool redraw, const TsFormFacts& facts);
  // The frame image brought up to date and its strips copied into the window's DC.
  void CopyFrameToWindow(const TsFormFacts& facts);
  void OnNcActivate(TMessage& m);
  void OnSize(TMessage& m);
  void OnQueryEndSession(TMessage& m);
  void OnWindowPosChanged(TMessage& m);
  // The form's show, or the hide the record asks for, is to be animated (a time below one
  // frame shows or hides the form at once, with no cover made).
  bool ShowAnimationDue() const;
  bool HideAnimationDue(const WINDOWPOS* pos) const;
  void OnSkinEditorCommand(TMessage& m);
  void OnSysCommand(TMessage& m);
  void OnWindowPosChanging(TMessage& m);
  // A press on the caption or a sizing edge starts the rubber-band frame in rmBorder; false
  // leaves the press to the system.
  bool StartRubberFrame(int hitCode, POINT screen);
  void ClearHotControl();
  void OnCaptionDoubleClick();
  // Handles messages a moment after a press on the title icon; true when a double click on
  // the icon came meanwhile (the form is then closing).
  bool IconDoubleClickFollows();
  void OnActivate(TMessage& m);
  void OnShowWindow(TMessage& m);
  void OnControlListChange(TMessage& m);
  // Parts of the client area the form's new size uncovers or cuts that show skin images
  // anchored to the right edge: they are painted again.
  void InvalidateRightImages(const TRect& lastClient, int clientWidth, int clientHeight);
  // Children whose background follows the form's size are told that it changed.
  void TellChildrenOfNewSize(const TRect& lastClient, int clientWidth, int clientHeight);

  // The control adapter, when the form has one, walks a container (null: the form) or takes
  // a new control.
  void AdaptChildren(TWinControl* container) {
    if (controlAdapter_) controlAdapter_->AdaptChildren(container);
  }
  void AddAdaptedControl(TWinControl* control) {
    if (controlAdapter_ && controlAdapter_->IsControlSupported(control))
      controlAdapter_->AddItem(control);
  }
  // The title buttons' fades end at once (the frame beneath them changes or moves).
  void FreeButtonAnimations();
  // A title button's look changes from what the frame shows now: the fade starts over it,
  // when the form fades its buttons.
  void AnimateTitleButton(const TsPlacedTitleButton& button, TBitmap* image,
                          const TsFormFacts& facts);
  bool TitleButtonsFade() const;
  // A hot close, maximize or minimize button glows when the skin gives it a glow; any other
  // look has none.
  void UpdateTitleButtonGlow(const TsPlacedTitleButton& button, const TsFormFacts& facts);
  void FreeTitleButtonGlows();
  // The button's rectangle of the image on the screen.
  TRect ImageRectOnScreen(const TsFormFacts& facts, const TRect& r) const;
  // A press on the title drags the form, fading while it moves; false when the form does not
  // blend on moving and the press goes on to the system.
  bool StartBlendOnMoving();
  void EndBlendOnMoving();
  void RestoreAnimationEnded();
  // Shows the skinned system menu for Alt+Space below the title icon; false when the form's
  // menu has no close item (the form has no system menu).
  bool ShowSystemMenuFromKeyboard();
  // The system menu's items follow the form's state.
  void UpdateSystemMenuItems();
  // The border window, when the form has one, placed and shown again (with rebuild its
  // picture too) or hidden.
  void UpdateBorderWindow(bool rebuild) { UpdateExBorder(rebuild, 255); }
  void HideBorderWindow();
  // WM_PRINT: the skinned frame and the client background drawn into the given DC (the
  // system would print its own frame, or none).
  void PrintForm(TMessage& m);
  // The task bar's thumbnail of the form: the frame image fitted to the asked size.
  bool SetIconicThumbnail(int width, int height);
  // The task bar's live preview of the form: the form with its children, in its frame.
  bool SetIconicLivePreview();

  void FirstSkin();
  void SkinSwitched();
  void RefreshSkin();
  void RemoveSkin();
  void UpdateMenus(bool skinned);
  void ApplyGlobalColor();
  void RestoreFormColor();
  void InitButtonMasks();
  void InvalidateFrame();
  void JoinSkinnedForms();
  void LeaveSkinnedForms();
  bool FormShowing() const;
  bool FormDestroying() const;

  // ---- painting steps, in the order the frame image is composed
  void PaintTitle(TBitmap* image, const TsFormFacts& facts, TsPaintState state);
  void PaintTitleIcon(TBitmap* image, const TsFormFacts& facts);
  // The form's icon stands at the left of the title.
  bool TitleIconShown(const TsFormFacts& facts) const;
  void PaintMenuLine(TBitmap* image, const TsFormFacts& facts);
  // The look of the frame: hot while the form is active.
  TsPaintState ActiveState() const {
    return activeLook_ ? TsPaintState::Hot : TsPaintState::Normal;
  }
  void PaintCaptionText(TBitmap* image, const TsFormFacts& facts);
  // The added title from r.Left on, in its own font.
  void PaintAddedTitle(TCanvas* canvas, const TRect& r);
  void PaintTitleButtons(TBitmap* image, const TsFormFacts& facts);
  // One button in its look, over the title strip saved behind the buttons.
  void PaintTitleButton(TBitmap* image, const TsPlacedTitleButton& button, bool restoreBehind);
  // The title strip behind the buttons, kept so that a button's new look is drawn over it.
  void SaveButtonsBackground(TBitmap* image, const TsFormFacts& facts);
  int ButtonMaskIndex(const TsPlacedTitleButton& button) const;
  TsButtonMask ButtonMaskFacts(int maskIndex) const;
  // The image point of a window point.
  TPoint WindowToImage(const TsFormFacts& facts, POINT windowPoint) const;
  // WS_SYSMENU off while the frame is skinned, back on otherwise.
  void UpdateSysMenuStyle(bool apply);
  // The system-menu answers and the big-button rule decide the close button's image.
  void InitCloseMask();
  bool OverTitleIcon(POINT screenPoint) const;
  // Below the title icon, as a click on it opens the menu.
  void ShowSystemMenuBelowIcon();
  int MenuLineCount();
  bool HasMenuLine() const;
  void FindMenuLineSection();

  // The walk again over the form, or the first one when there is no adapter yet.
  void AdaptChildrenAgain();

  TCustomForm* form_;
  std::unique_ptr<TSkinHost> host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  TWndMethod savedWindowProc_;
  TWindowKey joinedWindow_ = 0;

  bool drawNonClientArea_ = true;
  bool makeSkinMenu_ = false;
  bool showAppIcon_ = true;
  bool useGlobalColor_ = true;
  std::string titleSkin_;
  std::string menuLineSkin_;
  TsGripMode gripMode_ = gmNone;
  TsResizeMode resizeMode_ = rmStandard;
  std::unique_ptr<TsRubberFrameWin32> rubberFrame_;
  bool screenSnap_ = false;
  int snapBuffer_ = 10;
  TAddItemEvent onSkinItem_;
  std::unique_ptr<IFormControlAdapter> controlAdapter_;

  bool windowSeen_ = false;
  bool activeLook_ = true;
  bool regionDirty_ = true;
  bool regionUpdating_ = false;
  bool framePainted_ = false;
  bool firstSkinPending_ = true;
  bool skipHideAnimation_ = false;
  // A double click on the title icon arrived (it closes the form instead of the menu).
  bool iconDoubleClicked_ = false;
  bool handlingPreviewData_ = false;
  int menuLinesCount_ = -1;
  int titleSectionIndex_ = -1;
  int captionSectionIndex_ = -1;
  // The menu line's section: MenuLineSkin when the skin has it, else "MENULINE".
  int menuLineSectionIndex_ = -1;
  std::string menuLineSectionName_;
  // The system's caption font, made when the form is skinned and again when the settings
  // change.
  TGdiObject<HFONT> captionFont_;
  TsTitleButtonMaskIndexes masks_;
  bool bigButtons_ = true;
  bool helpBig_ = false;
  TsTitleButtonStates buttonStates_;
  // The title strip behind the buttons and where it lies in the image.
  std::unique_ptr<TBitmap> buttonsBackground_;
  TPoint buttonsBackgroundAt_{};
  std::unique_ptr<TsTitleButtons> titleButtons_;
  std::unique_ptr<TsTitleIcon> titleIcon_;
  std::unique_ptr<TskAddedTitle> addedTitle_;
  std::unique_ptr<TsTitleButtonTracker> buttonTracker_;
  TsSystemMenu* sysMenu_ = nullptr;  // owned as a component
  HWND sysMenuWindow_ = nullptr;     // the window whose system menu it was built from
  bool sysMenuStyleRemoved_ = false;
  std::vector<TRect> regionHoles_;
  // The corners' key-colour runs of the skin in force, read once per skin.
  std::vector<TsCornerRun> cornerRuns_;
  bool cornerRunsRead_ = false;
  // The region last given to the window: an unchanged one is not set again, so the region
  // change cannot start another round of non-client painting.
  TsRegionPlan lastRegion_;
  bool regionSet_ = false;
  // The form's own colour, given back when the skin goes.
  TColor savedFormColor_ = clBtnFace;
  bool formColorSaved_ = false;
  TSize imageSize_{};  // the composed image's size (0 x 0: none)
  // The client rectangle at the last WM_SIZE (empty before the first).
  TRect lastClientRect_{};
  // The extended border window and what it asks of the form.
  class TBorderOwner;
  friend class TBorderOwner;
  std::unique_ptr<TBorderOwner> borderOwner_;
  std::unique_ptr<TskBorderForm> borderForm_;
  std::unique_ptr<TskMinTimer> minTimer_;
  std::unique_ptr<TskMoveTimer> moveTimer_;
  std::map<int, std::unique_ptr<TskSBAnimation>> buttonAnimations_;
  // The glow of each glowing title button: its id and the glow's serial, which tells it from
  // a later glow that got the same id after the glows were all freed elsewhere.
  std::map<int, std::pair<int, uint64_t>> buttonGlows_;
  bool allowBlendOnMoving_ = true;
  void MinimizeAnimationEnded();
  bool allowExtBorders_ = true;
  // The extended border and shadow around the frame in the image.
  void PaintExtendedBorder(TBitmap* image, const TsFormFacts& facts);
  int frameBuilds_ = 0;
  int regionChanges_ = 0;
};

// The provider of a form, or null: the form's answer to CmdGetProvider.
TsSkinProvider* FormSkinProvider(TCustomForm* form);
