// The skin provider of a form: the component that makes one form skinned. It hooks the
// form's window procedure (the form's replaceable WindowProc, so hooks installed after it
// survive its removal and messages sent by Perform reach it too), joins the skinned-forms
// list, owns the form's skin data (section "FORM") with the frame image, and follows the skin
// manager: a new skin, a refresh and the skin's removal. While skinned it paints the whole
// frame (borders, title, caption, menu line, title buttons) into the frame image and copies
// it to the window; the client background comes from the same image around the children.
//
// The title buttons are drawn from the skin's masks; their hot and pressed looks, the mouse
// on the title and the skinned system menu are not built yet: the system still handles
// moving, sizing and the buttons' clicks, after which the frame is painted again.
#pragma once

#include <windows.h>

#include <functional>
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
  bool HasBorderForm() const override { return false; }
  TWindowKey BorderWindow() const override { return 0; }
  bool ExtendedBordersAllowed() const override { return false; }
  TRegionKey CreateBorderRegion() override { return 0; }
  void UpdateExBorder(bool, int) override {}
  void ClearBorderShowing() override {}
  TWindowKey CoverWindow() const override { return 0; }
  void FreeCoverWindow() override {}
  void StartMinimizeAnimation() override {}
  bool StartRestoreAnimation() override { return false; }
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
  // HTHELP); empty when it is not shown.
  TRect TitleButtonRect(int hitCode) const;
  int RegionChanges() const { return regionChanges_; }

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
  void OnSkinEditorCommand(TMessage& m);
  void OnSysCommand(TMessage& m);
  void OnWindowPosChanging(TMessage& m);
  // A press on the caption or a sizing edge starts the rubber-band frame in rmBorder; false
  // leaves the press to the system.
  bool StartRubberFrame(int hitCode, POINT screen);
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
  // Hooks for what the frame does not do itself yet: the title buttons' fades, the skinned
  // system menu and the extended border window. Each does nothing (or answers false) until
  // that work exists, and the message then goes to the system as before.
  void FreeButtonAnimations() {}
  // Shows the skinned system menu for Alt+Space; false leaves the system's own to the form.
  bool ShowSystemMenuFromKeyboard() { return false; }
  void UpdateSystemMenuItems() {}
  void UpdateBorderWindow(bool /*rebuild*/) {}
  void HideBorderWindow() {}
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
  void PaintTitleButtons(TBitmap* image, const TsFormFacts& facts);
  struct TTitleButton {
    int MaskIndex = -1;
    int HitCode = 0;
  };
  std::vector<TTitleButton> VisibleTitleButtons() const;
  struct TPlacedButton {
    TTitleButton Button;
    TRect Rect;  // in window coordinates
  };
  std::vector<TPlacedButton> TitleButtonRects(const TsFormFacts& facts) const;
  std::vector<TPlacedButton> TitleButtonRects(const TsFormFacts& facts,
                                              const std::vector<TTitleButton>& buttons) const;
  // The title button under a window point's hit code, 0 for none.
  int TitleButtonAt(POINT windowPoint) const;
  // Follows the mouse over a pressed title button until it is released; its command is
  // carried out when the button is released over it.
  void TrackTitleButton(int hitCode);
  int ButtonWidth(int maskIndex) const;
  TsTitleButtonsFacts ButtonsFacts() const;
  TsTitleButtonsFacts ButtonsFacts(const std::vector<TTitleButton>& buttons) const;
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
  int closeMask_ = -1, maxMask_ = -1, normMask_ = -1, minMask_ = -1, helpMask_ = -1;
  bool bigButtons_ = true;
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
  int frameBuilds_ = 0;
  int regionChanges_ = 0;
};

// The provider of a form, or null: the form's answer to CmdGetProvider.
TsSkinProvider* FormSkinProvider(TCustomForm* form);
