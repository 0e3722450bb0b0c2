#include "skin/forms/sSkinProviderWin32.h"

#include <windowsx.h>

#include <cstdlib>
#include <cstring>

#include "framework/HandlesWin32.h"
#include "framework/MenusWin32.h"
#include "framework/ScopeExit.h"
#include "framework/StdCtrlsWin32.h"
#include "framework/SysUtils.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/runtime/sStyleSimply.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sDwmApi.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sFrameMouse.h"
#include "skin/forms/sSystemMenuWin32.h"
#include "skin/forms/sTitleButtonTrackerWin32.h"
#include "skin/forms/sTitleButtonsWin32.h"
#include "skin/forms/sTitleIconWin32.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "skin/forms/sVclUtilsWin32.h"
#include "skin/forms/skAddedTitleWin32.h"
#include "skin/forms/skBorderFormWin32.h"
#include "skin/forms/skMinTimerWin32.h"
#include "skin/forms/skMoveTimerWin32.h"
#include "skin/forms/skSBAnimationWin32.h"

bool PreviewMode = false;

namespace {

// The skin data's kind for a form.
constexpr TsControlKind FormControlKind = static_cast<TsControlKind>(224);
// Skin-state bits: the form's skin data is being updated, and a menu change waits for its end.
constexpr uint16_t UpdatingBit = 0x0800;
constexpr uint16_t MenuChangePendingBit = 0x0400;
// Framework messages the provider answers without passing them on.
constexpr UINT FrameworkQuery1 = 0xB04C;
constexpr UINT FrameworkQuery2 = 0xBC4D;
// Sent by the task bar for a window's menu.
constexpr UINT TaskBarWindowMenu = 0x0313;
// The longest the session's end waits for running fades to stop.
constexpr DWORD FadeWaitAtSessionEnd = 2000;

TComponent* RequireForm(TComponent* owner) {
  if (!dynamic_cast<TCustomForm*>(owner))
    throw EAbort("TsSkinProvider component may be used with forms only!");
  return owner;
}

// The window handed to the skin editor, 0 until one was.
HWND PreviewWindow = nullptr;

// Tells a running skin editor which window shows its preview; the editor answers 1 once it
// took the window.
void NotifySkinEditor(HWND wnd) {
  if (!PreviewMode || PreviewWindow) return;
  PreviewWindow = wnd;
  for (int attempt = 0; attempt <= 100; ++attempt) {
    HWND editor = FindWindowA(nullptr, "Skin Editor");
    if (!editor) break;
    if (SendMessageA(editor, SkinEditorCommand, SkinEditorPassOn, reinterpret_cast<LPARAM>(wnd)) ==
        1)
      break;
  }
}

TControlAdapterFactory& ControlAdapterFactory() {
  static TControlAdapterFactory factory;
  return factory;
}

// The windowed control among the container's children and their children whose address is
// `value`, or null: a command's LParam is compared, never followed.
TWinControl* FindChildContainer(TWinControl* container, intptr_t value) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(container->Controls(i));
    if (!child) continue;
    if (reinterpret_cast<intptr_t>(child) == value) return child;
    if (TWinControl* found = FindChildContainer(child, value)) return found;
  }
  return nullptr;
}

void RestoreLabelColors(TWinControl* container) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* child = container->Controls(i);
    auto* label = dynamic_cast<TLabel*>(child);
    if (label && label->Tag() != 98) label->Font()->SetColor(clWindowText);
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) RestoreLabelColors(windowed);
  }
}

bool FirstArgumentIsPreview() {
  return __argc > 1 && __argv[1] != nullptr && std::strcmp(__argv[1], "/skpreview") == 0;
}

}  // namespace

// ---- the skin data's owner: the form, seen through its provider ---------------------------

class TsSkinProvider::TSkinHost : public ISkinDataHost {
 public:
  explicit TSkinHost(TsSkinProvider& provider) : p_(provider) {}
  bool IsControl() const override { return false; }
  bool IsWindowed() const override { return true; }
  bool IsDestroying() const override { return p_.FormDestroying(); }
  bool IsLoading() const override { return p_.form_->ComponentState().Contains(csLoading); }
  bool IsEnabled() const override { return p_.form_->Enabled(); }
  std::string ClassName() const override { return "TsSkinProvider"; }
  ISkinDataHost* Parent() const override { return nullptr; }
  TColor Color() const override { return p_.form_->Color(); }
  void SetColor(TColor color) override { p_.form_->SetColor(color); }
  TColor FontColor() const override { return p_.form_->Font()->Color(); }
  void SetFontColor(TColor color) override { p_.form_->Font()->SetColor(color); }
  // The provider receives nothing through its skin data.
  intptr_t SkinCmd(int, int, intptr_t) override { return 0; }
  void Redraw() override { p_.InvalidateFrame(); }
  TRect BoundsRect() const override { return p_.form_->BoundsRect(); }

 private:
  TsSkinProvider& p_;
};

namespace {
// A title button's hit code (not the caption or client a disabled one answers).
bool IsTitleButtonHit(int code) {
  return code == TitleHitMinimize || code == TitleHitMaximize || code == TitleHitClose ||
         code == TitleHitHelp || code >= TitleHitUserButton;
}
}  // namespace

// ---- the border window's owner: the form, seen through its provider -----------------------

class TsSkinProvider::TBorderOwner : public IskBorderOwner {
 public:
  explicit TBorderOwner(TsSkinProvider& provider) : p_(provider) {}
  HWND OwnerHandle() const override {
    return p_.form_->HandleAllocated() ? p_.form_->Handle() : nullptr;
  }
  TsFormFacts OwnerFacts() const override { return p_.FormFacts(); }
  TBitmap* OwnerImage(TSize& size, bool& rebuilt) override {
    const TsFormFacts facts = p_.FormFacts();
    TsCommonData& data = *p_.skinData_;
    if (!data.CacheBitmap || p_.imageSize_ != TSize{GetImageWidth(facts), GetImageHeight(facts)})
      data.BackgroundDirty = true;
    rebuilt = data.BackgroundDirty;
    p_.PaintFormCache(facts);
    size = p_.imageSize_;
    return data.CacheBitmap.get();
  }
  bool BorderUpdatesAllowed() const override {
    return p_.Skinned() && p_.drawNonClientArea_ && !p_.Animating &&
           !(p_.skinData_->SkinState & UpdatingBit);
  }
  unsigned OwnerState() const override { return p_.FrameFlags; }
  int TitleButtonAt(TPoint p) const override {
    const TsFormFacts facts = p_.FormFacts();
    const TPoint shift = p_.WindowToImage(facts, POINT{0, 0});
    const int code = p_.TitleButtonHitAt(POINT{p.X - shift.X, p.Y - shift.Y});
    return IsTitleButtonHit(code) ? code : 0;
  }
  TRect IconRect() const override {
    const TsFormFacts facts = p_.FormFacts();
    return p_.TitleIconShown(facts) ? p_.GetIconRect(facts) : TRect{};
  }
  void SetHotButton(int code) override { p_.SetHotButton(code, true); }
  void FreeButtonAnimations() override { p_.FreeButtonAnimations(); }
  int OwnerAlpha() const override {
    return p_.form_->AlphaBlend() ? p_.form_->AlphaBlendValue() : -1;
  }

 private:
  TsSkinProvider& p_;
};

// ---- the skin command as the form answers it ------------------------------------------------

class TsSkinProvider::TCmdHandler : public TsSkinCmdHandler {
 public:
  explicit TCmdHandler(TsSkinProvider& provider)
      : TsSkinCmdHandler(*provider.skinData_), p_(provider) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    // Another manager's skin is none of this form's business.
    if (!NamesOurManager(m) || p_.FormDestroying()) return true;
    const bool first = p_.firstSkinPending_;
    p_.InitFormSkin();
    if (!first) p_.SkinSwitched();
    return true;
  }
  // The broadcast goes on to the form's children by itself: they are not told twice.
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) p_.RemoveSkin();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!p_.Skinned()) return false;
    if (NamesOurManager(m)) p_.RefreshSkin();
    return true;
  }
  // A control (LParam) or the whole form (0) has changed: its foreign controls are walked.
  bool OnControlChanged(TSkinCmdMessage& m) override {
    if (!p_.controlAdapter_ || p_.form_->ComponentState().Contains(csLoading)) return true;
    if (m.LParam == 0) {
      p_.controlAdapter_->AdaptChildren(nullptr);
    } else if (TWinControl* container = FindChildContainer(p_.form_, m.LParam)) {
      p_.controlAdapter_->AdaptChildren(container);
    }
    return true;
  }
  bool OnGetProvider(TSkinCmdMessage& m) override {
    m.Result = reinterpret_cast<intptr_t>(static_cast<ISkinProvider*>(&p_));
    return true;
  }
  bool OnSetUpdating(TSkinCmdMessage& m) override {
    if (!p_.Skinned()) return false;
    Data().SetPaintSuspended(m.LowWord == 1);
    if (Data().PaintingSuspended()) Data().BackgroundDirty = true;
    return true;
  }
  bool OnGetBgColor(TSkinCmdMessage& m) override {
    if (!p_.Skinned()) return false;
    m.Result = static_cast<intptr_t>(Data().BgColor(0));
    return true;
  }
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    request.X = request.Y = 0;
    const TsFormFacts facts = p_.FormFacts();
    if (Data().BackgroundDirty && !Data().PaintSuspended && Data().NeedsCache())
      p_.PaintFormCache(facts);
    const int state = p_.activeLook_ ? 1 : 0;
    Data().FillBackgroundRequest(request, std::min(state, MaxState()));
    if (request.BgType == 2 && !request.PleaseDraw && !request.Bmp) {
      p_.PaintFormCache(facts);
      request.Bmp = Data().CacheBitmap.get();
    }
    // Children are placed in the client area; the image begins at the window's corner.
    request.X += ::GetClientOffsetX(facts);
    request.Y += ::GetClientOffsetY(facts);
    return true;
  }
  bool OnUpdateEnded(TSkinCmdMessage&) override {
    if (Data().SkinState & MenuChangePendingBit) {
      Data().SkinState &= static_cast<uint16_t>(~MenuChangePendingBit);
      p_.form_->Perform(CM_MENUCHANGED, 0, 0);
    }
    return false;
  }
  // Children ask whether the form's background is still being rebuilt.
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    if (!p_.Skinned()) return false;
    m.Result = !AnimationRunning && Data().NeedsCache() && Data().PaintingSuspended() ? 1 : 0;
    return true;
  }
  bool OnSetImmediatePaint(TSkinCmdMessage& m) override {
    if (!p_.Skinned()) return false;
    TsSkinCmdHandler::OnSetImmediatePaint(m);
    if (Data().ImmediatePaint) p_.PaintFormCache(p_.FormFacts());
    return true;
  }
  // A scrolled child whose background is the form's: the form holds its drawing until the
  // scroll is done, then paints everything once.
  bool OnBeforeScroll(TSkinCmdMessage&) override {
    if (!p_.Skinned()) return false;
    if (Data().DependsOnParentBg()) SendMessageA(p_.form_->Handle(), WM_SETREDRAW, FALSE, 0);
    return true;
  }
  bool OnAfterScroll(TSkinCmdMessage&) override {
    if (!p_.Skinned()) return false;
    if (Data().DependsOnParentBg()) {
      HWND wnd = p_.form_->Handle();
      SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    return true;
  }
  bool OnGetApplication(TSkinCmdMessage& m) override {
    m.Result = reinterpret_cast<intptr_t>(Application);
    return true;
  }
  bool OnGetClientOffset(TSkinCmdMessage& m) override {
    const TsFormFacts facts = p_.FormFacts();
    m.Result = static_cast<intptr_t>(MAKELONG(static_cast<WORD>(::GetClientOffsetX(facts)),
                                              static_cast<WORD>(::GetClientOffsetY(facts))));
    return true;
  }

 private:
  int MaxState() const {
    const TsGeneralData* section = Data().Section();
    return section ? std::max(section->States - 1, 0) : 0;
  }
  TsSkinProvider& p_;
};

// ---- life cycle -----------------------------------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(RequireForm(owner)), form_(static_cast<TCustomForm*>(owner)) {
  static bool previewChecked = false;
  if (!previewChecked) {
    previewChecked = true;
    PreviewMode = FirstArgumentIsPreview();
  }
  host_ = std::make_unique<TSkinHost>(*this);
  skinData_ = std::make_unique<TsCommonData>(host_.get());
  skinData_->SetSkinSection("FORM");
  skinData_->ControlKind = FormControlKind;
  cmdHandler_ = std::make_unique<TCmdHandler>(*this);
  titleButtons_ = std::make_unique<TsTitleButtons>(this);
  titleIcon_ = std::make_unique<TsTitleIcon>();
  addedTitle_ = std::make_unique<TskAddedTitle>(this);
  buttonTracker_ = std::make_unique<TsTitleButtonTracker>(*this);
  // A sizeable tool window is not faded while it is dragged.
  if (form_->BorderStyle() == bsSizeToolWin) allowBlendOnMoving_ = false;
  savedWindowProc_ = form_->WindowProc();
  form_->SetWindowProc(TWndMethod::Of(this, &TsSkinProvider::NewWndProc));
  // A form made before its window takes the skin when the window is created.
  InitFormSkin();
}

TsSkinProvider::~TsSkinProvider() {
  // Timers stop before the windows and data their ticks use.
  minTimer_.reset();
  DropPreparedHide(*this);
  moveTimer_.reset();
  buttonAnimations_.clear();
  FreeTitleButtonGlows();
  controlAdapter_.reset();
  borderForm_.reset();
  LeaveSkinnedForms();
  // Putting back the saved method unlinks this provider's hook only: hooks installed after
  // it stay in the chain and go on to what this one had saved.
  form_->SetWindowProc(savedWindowProc_);
  if (form_->HandleAllocated() && !FormDestroying()) {
    if (regionSet_) SetWindowRgn(form_->Handle(), nullptr, TRUE);
    // The form lives on with its own title: its system menu and buttons come back.
    UpdateSysMenuStyle(false);
  }
}

void TsSkinProvider::JoinSkinnedForms() {
  if (joinedWindow_ || !form_->HandleAllocated()) return;
  joinedWindow_ = reinterpret_cast<TWindowKey>(form_->Handle());
  AddSkinnedForm(joinedWindow_);
}

void TsSkinProvider::LeaveSkinnedForms() {
  if (!joinedWindow_) return;
  RemoveSkinnedForm(joinedWindow_);
  joinedWindow_ = 0;
}

bool TsSkinProvider::FormDestroying() const {
  return form_->ComponentState().Contains(csDestroying) ||
         form_->ControlState().Contains(csDestroyingHandle);
}

bool TsSkinProvider::FormShowing() const {
  return form_->HandleAllocated() && IsWindowVisible(form_->Handle());
}

bool TsSkinProvider::Skinned() const { return !FormDestroying() && skinData_->IsSkinned(true); }

// ---- properties -----------------------------------------------------------------------------

void TsSkinProvider::SetDrawNonClientArea(bool value) {
  if (drawNonClientArea_ == value) return;
  drawNonClientArea_ = value;
  if (!form_->HandleAllocated()) return;
  if (!value) {
    UpdateBorderForm(false);
    SetWindowRgn(form_->Handle(), nullptr, TRUE);
    regionSet_ = false;
    lastRegion_ = TsRegionPlan{};
  }
  skinData_->BackgroundDirty = true;
  regionDirty_ = true;
  UpdateSysMenuStyle(value && Skinned());
  UpdateMenus(Skinned());
  InvalidateFrame();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (showAppIcon_ == value) return;
  showAppIcon_ = value;
  skinData_->BackgroundDirty = true;
  if (FormShowing()) SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (titleSkin_ == value) return;
  titleSkin_ = value;
  titleSectionIndex_ = -1;
  cornerRunsRead_ = false;
  regionDirty_ = true;
  skinData_->BackgroundDirty = true;
  if (FormShowing()) SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
}

std::string TsSkinProvider::GetTitleSection() const {
  return titleSkin_.empty() ? std::string("FORMTITLE") : titleSkin_;
}

int TsSkinProvider::GetTitleSkinIndex() {
  TsSkinManager* manager = SkinManager();
  if (titleSectionIndex_ < 0 && manager)
    titleSectionIndex_ = manager->GetSectionIndex(GetTitleSection());
  return titleSectionIndex_;
}

// ---- following the skin manager -------------------------------------------------------------

void TsSkinProvider::InitFormSkin() {
  TsSkinManager* manager = SkinManager();
  if (!manager || !form_->HandleAllocated()) return;
  JoinSkinnedForms();
  skinData_->Loaded();
  skinData_->UpdateIndexes();
  titleSectionIndex_ = -1;
  cornerRunsRead_ = false;
  captionSectionIndex_ = manager->GetSectionIndex("CAPTION");
  FindMenuLineSection();
  captionFont_.Reset(CreateCaptionFont());
  // The menu reads the window's system menu while the window still has its style.
  if (!sysMenu_) {
    sysMenu_ = new TsSystemMenu(this);
    sysMenuWindow_ = form_->Handle();
  }
  sysMenu_->UpdateItems(sysMenuWindow_ != form_->Handle());
  sysMenuWindow_ = form_->Handle();
  // While a new skin is sent round it is not marked active yet: a skin with the form's section
  // is enough.
  UpdateSysMenuStyle(!FormDestroying() && skinData_->IsSkinned(false) && drawNonClientArea_);
  InitButtonMasks();
  if (!form_->ComponentState().Contains(csLoading)) ApplyGlobalColor();
  UpdateMenus(skinData_->IsSkinned(false));
  if (firstSkinPending_ && skinData_->IsSkinned(true)) FirstSkin();
}

void TsSkinProvider::SetMenuLineSkin(const std::string& value) {
  menuLineSkin_ = value;
  FindMenuLineSection();
}

void TsSkinProvider::FindMenuLineSection() {
  TsSkinManager* manager = SkinManager();
  menuLineSectionIndex_ = -1;
  menuLineSectionName_ = menuLineSkin_;
  if (!manager) return;
  if (!menuLineSkin_.empty()) menuLineSectionIndex_ = manager->GetSectionIndex(menuLineSkin_);
  if (menuLineSectionIndex_ < 0) {
    menuLineSectionName_ = "MENULINE";
    menuLineSectionIndex_ = manager->GetSectionIndex(menuLineSectionName_);
  }
}

void TsSkinProvider::UpdateMenus(bool skinned) {
  TsSkinManager* manager = SkinManager();
  if (!manager || manager != DefaultManager || !form_->Menu()) return;
  SkinableMenusOf(*manager).InitMainMenu(form_->Menu(), skinned && drawNonClientArea_);
}

void TsSkinProvider::ApplyGlobalColor() {
  TsSkinManager* manager = SkinManager();
  if (!manager || !useGlobalColor_ || skinData_->CustomColor || !skinData_->IsSkinned()) return;
  if (!formColorSaved_) {
    savedFormColor_ = form_->Color();
    formColorSaved_ = true;
  }
  form_->SetColor(manager->GlobalColor());
}

void TsSkinProvider::RestoreFormColor() {
  // The form's own colour comes back, not a standard one: a form that had its own colour
  // before the skin keeps it without the skin.
  if (!formColorSaved_) return;
  formColorSaved_ = false;
  form_->SetColor(savedFormColor_);
}

void TsSkinProvider::InvalidateFrame() {
  if (!FormShowing()) return;
  RedrawWindow(form_->Handle(), nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinProvider::FirstSkin() {
  firstSkinPending_ = false;
  SkinSwitched();
}

void TsSkinProvider::SkinSwitched() {
  cornerRunsRead_ = false;
  skinData_->UpdateSkinState(false);
  menuLinesCount_ = -1;
  regionDirty_ = true;
  skinData_->BackgroundDirty = true;
  skinData_->SetPaintSuspended(false);
  if (form_->HandleAllocated())
    DisableDwmTransitions(reinterpret_cast<TWindowKey>(form_->Handle()), true);
  AdaptChildrenAgain();
  if (FormShowing() && SkinManager()) UpdateBorderForm(SkinManager()->ExtendedBorders());
  InvalidateFrame();
}

void TsSkinProvider::RefreshSkin() {
  AdaptChildrenAgain();
  menuLinesCount_ = -1;
  regionDirty_ = true;
  skinData_->BackgroundDirty = true;
  skinData_->SetPaintSuspended(false);
  skinData_->UpdateSkinState(false);
  UpdateMenus(skinData_->IsSkinned(false));
  ApplyGlobalColor();
  // A refresh freezes the form's drawing, which hides it from IsWindowVisible: the form's
  // own visibility decides.
  if (SkinManager()) UpdateBorderForm(SkinManager()->ExtendedBorders() && form_->Visible());
  if (!AnimationRunning) InvalidateFrame();
  BroadcastToAdapter(
      TMessage{SM_SKINCMD, SkinCmdWParam(CmdRefresh), reinterpret_cast<LPARAM>(SkinManager()), 0});
}

void TsSkinProvider::RemoveSkin() {
  TSkinCmdMessage removal{CmdRemoveSkin, 0, reinterpret_cast<intptr_t>(SkinManager()), 0, true};
  ProcessSkinCommand(removal, skinData_.get());
  RemoveAdapter();
  if (form_->HandleAllocated())
    DisableDwmTransitions(reinterpret_cast<TWindowKey>(form_->Handle()), false);
  menuLinesCount_ = titleSectionIndex_ = captionSectionIndex_ = menuLineSectionIndex_ = -1;
  captionFont_.Reset();
  cornerRunsRead_ = false;
  firstSkinPending_ = true;
  buttonAnimations_.clear();
  FreeTitleButtonGlows();
  UpdateBorderForm(false);
  if (FormDestroying() || !form_->HandleAllocated()) return;
  // The labels took the skin's font colour when the form's controls were adapted, also
  // those inside containers.
  RestoreLabelColors(form_);
  buttonStates_.SetHot(0);
  UpdateSysMenuStyle(false);
  UpdateMenus(false);
  // Back to the standard look: the whole window again, the system's frame and colours.
  if (regionSet_) {
    SetWindowRgn(form_->Handle(), nullptr, FALSE);
    regionSet_ = false;
    lastRegion_ = TsRegionPlan{};
  }
  regionDirty_ = true;
  RestoreFormColor();
  skinData_->CacheBitmap.reset();
  imageSize_ = TSize{};
  framePainted_ = false;
  if (form_->Menu()) DrawMenuBar(form_->Handle());
  if (FormShowing())
    RedrawWindow(form_->Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

// ---- the adapters of the form's foreign controls ---------------------------------------------

void SetControlAdapterFactory(TControlAdapterFactory factory) {
  ControlAdapterFactory() = std::move(factory);
}

void TsSkinProvider::AdaptControls() {
  if (ComponentState().Contains(csDesigning) || !skinData_->IsSkinned() || !ControlAdapterFactory())
    return;
  controlAdapter_ = ControlAdapterFactory()(*this);
  if (controlAdapter_) controlAdapter_->AdaptChildren(nullptr);
}

void TsSkinProvider::AdaptChildrenAgain() {
  if (controlAdapter_)
    controlAdapter_->AdaptChildren(nullptr);
  else
    AdaptControls();
}

void TsSkinProvider::RemoveAdapter() {
  if (ComponentState().Contains(csDesigning) || !controlAdapter_) return;
  BroadcastToAdapter(TMessage{SM_SKINCMD, SkinCmdWParam(CmdRemoveSkin),
                              reinterpret_cast<LPARAM>(SkinManager()), 0});
  controlAdapter_.reset();
}

void TsSkinProvider::BroadcastToAdapter(const TMessage& message) {
  if (!ComponentState().Contains(csDesigning) && controlAdapter_)
    controlAdapter_->BroadcastToItems(message);
}

// ---- the window procedure -------------------------------------------------------------------

void TsSkinProvider::CallOldWithoutRedraw(TMessage& m) {
  HWND wnd = form_->Handle();
  SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
  TScopeExit redrawOn(IgnoringExceptions([wnd] { SendMessageA(wnd, WM_SETREDRAW, TRUE, 0); }));
  CallOld(m);
}

void TsSkinProvider::NewWndProc(TMessage& m) {
  // The window may be made without this procedure seeing its creation: the skin is taken
  // with the first message the window sends.
  if (!windowSeen_ && form_->HandleAllocated() && m.Msg != WM_NCDESTROY) {
    windowSeen_ = true;
    InitFormSkin();
  }
  if (m.Msg == SM_SKINCMD) {
    TSkinCmdMessage command = ReadSkinCmd(m.WParam, m.LParam);
    if (cmdHandler_->Handle(command)) {
      m.Result = static_cast<LRESULT>(command.Result);
      return;
    }
    // On a skinned form a command meant for nobody in particular ends here.
    if (Skinned() && IsSkinCmdTrusted(command)) {
      m.Result = 0;
      return;
    }
    CallOld(m);
    return;
  }
  switch (m.Msg) {
    case WM_NCCREATE:
    case WM_CREATE:
      CallOld(m);
      JoinSkinnedForms();
      InitFormSkin();
      return;
    case WM_DESTROY:
      // The system takes the owned border window along with the form's window.
      minTimer_.reset();
      buttonAnimations_.clear();
      FreeTitleButtonGlows();
      borderForm_.reset();
      CallOld(m);
      return;
    case WM_NCDESTROY:
      rubberFrame_.reset();
      borderForm_.reset();
      LeaveSkinnedForms();
      windowSeen_ = false;
      // A window made again has the style its form gives it.
      sysMenuStyleRemoved_ = false;
      CallOld(m);
      return;
    case WM_QUERYENDSESSION:
      OnQueryEndSession(m);
      return;
    case SkinEditorCommand:
      OnSkinEditorCommand(m);
      return;
    default:
      break;
  }
  if (!Skinned() || !drawNonClientArea_) {
    CallOld(m);
    return;
  }
  SkinnedMessage(m);
}

void TsSkinProvider::SkinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_NCPAINT:
      if (!FormShowing() || (skinData_->SkinState & (UpdatingBit | MenuChangePendingBit))) {
        m.Result = 0;
        return;
      }
      PaintNonClient();
      m.Result = 0;
      return;
    case WM_NCACTIVATE:
      OnNcActivate(m);
      return;
    case WM_ERASEBKGND:
      if (!FormShowing()) {
        CallOld(m);
        return;
      }
      if (skinData_->PaintingSuspended()) {
        m.Result = 0;
        return;
      }
      PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PRINT:
      PrintForm(m);
      return;
    case WM_PRINTCLIENT:
    case WM_ENTERIDLE:
    case FrameworkQuery1:
    case FrameworkQuery2:
      m.Result = 0;
      return;
    case WM_SETTEXT:
      if (!FormShowing() || form_->ControlState().Contains(csCreating)) {
        CallOld(m);
        return;
      }
      skinData_->BackgroundDirty = true;
      // The system draws its own caption for a new text: held off, and the skinned one
      // painted afterwards.
      CallOldWithoutRedraw(m);
      RepaintNonClient();
      return;
    case WM_SETICON:
      if (m.LParam == 0 || AnimationRunning || !FormShowing()) {
        CallOld(m);
        return;
      }
      CallOldWithoutRedraw(m);
      RepaintNonClient();
      return;
    case WM_SIZE:
      OnSize(m);
      return;
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(m);
      return;
    case WM_MOVE:
      FreeButtonAnimations();
      CallOld(m);
      return;
    case WM_SIZING:
      CallOld(m);
      UpdateBorderWindow(false);
      return;
    case WM_SHOWWINDOW:
      OnShowWindow(m);
      return;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged(m);
      return;
    case WM_GETMINMAXINFO: {
      const TsFormFacts facts = FormFacts();
      if (facts.Border != TsFrameBorder::None && !form_->Parent() && !facts.MdiChild) {
        HMONITOR monitor = MonitorFromWindow(form_->Handle(), MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(monitor, &info)) {
          const TRect work{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                           info.rcWork.bottom};
          const TsMaximizedBounds bounds = LimitMaximizedBounds(facts, work);
          auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
          mmi->ptMaxPosition = POINT{bounds.Position.X, bounds.Position.Y};
          mmi->ptMaxSize = POINT{bounds.Size.cx, bounds.Size.cy};
        }
      }
      CallOld(m);
      return;
    }
    case WM_SYSCOMMAND:
      OnSysCommand(m);
      return;
    case WM_NCHITTEST: {
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      const int button = buttonTracker_->HitTest(p);
      if (button != TitleHitNowhere && button != TitleHitClient) {
        m.Result = button;
        return;
      }
      CallOld(m);
      // The system answers for its own buttons and icon where the skin draws its own: there
      // the title is caption, or the system menu over the skinned icon.
      if (m.Result == HTCAPTION || m.Result == HTSYSMENU || m.Result == HTMINBUTTON ||
          m.Result == HTMAXBUTTON || m.Result == HTCLOSE || m.Result == HTHELP)
        m.Result = OverTitleIcon(p) ? HTSYSMENU : HTCAPTION;
      return;
    }
    case WM_NCMOUSEMOVE:
      buttonTracker_->NonClientMouseMoved();
      CallOld(m);
      return;
    case WM_NCMOUSELEAVE:
      buttonTracker_->NonClientMouseLeft();
      CallOld(m);
      return;
    case WM_NCLBUTTONDOWN:
      if (buttonTracker_->Press(static_cast<int>(m.WParam))) {
        m.Result = 0;
        return;
      }
      if (m.WParam == HTSYSMENU) {
        SetHotButton(0, true);
        m.Result = 0;
        if (IconDoubleClickFollows()) return;
        ShowSystemMenuBelowIcon();
        return;
      }
      if (StartRubberFrame(static_cast<int>(m.WParam),
                           POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) {
        m.Result = 0;
        return;
      }
      if (m.WParam == HTCAPTION && StartBlendOnMoving()) {
        m.Result = 0;
        return;
      }
      CallOld(m);
      if (FormShowing()) RepaintNonClient();
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      // A pressed title button or the rubber frame holds the mouse: its moves and its release
      // are theirs.
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      ClientToScreen(form_->Handle(), &p);
      if (buttonTracker_->Holding()) {
        if (m.Msg == WM_MOUSEMOVE)
          buttonTracker_->HeldMouseMoved(p);
        else
          buttonTracker_->Released(p);
        m.Result = 0;
        return;
      }
      if (RubberFrameActive()) {
        if (m.Msg == WM_MOUSEMOVE)
          rubberFrame_->MouseMoved(p);
        else
          rubberFrame_->End(p);
        m.Result = 0;
        return;
      }
      CallOld(m);
      // The mouse is over the form itself, on none of its controls.
      if (m.Msg == WM_MOUSEMOVE) ClearHotControl();
      return;
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      SetHotButton(0, true);
      ClearHotControl();
      CallOld(m);
      return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      // The mouse went elsewhere or the system cancels what the mouse was doing: a held title
      // button lets go, and the rubber frame goes and gives the desktop's DC back.
      buttonTracker_->CaptureLost();
      if (rubberFrame_) rubberFrame_->Cancel();
      CallOld(m);
      return;
    case WM_NCLBUTTONDBLCLK:
      // A quick second press on a title button is a press all the same.
      if (buttonTracker_->Press(static_cast<int>(m.WParam))) {
        m.Result = 0;
        return;
      }
      if (RubberFrameActive()) {
        POINT p;
        GetCursorPos(&p);
        rubberFrame_->End(p);
      }
      if (m.WParam == HTCAPTION && sysMenu_) {
        OnCaptionDoubleClick();
        m.Result = 0;
        return;
      }
      if (m.WParam == HTSYSMENU) {
        // A double click on the title icon closes the form, as on the system's own title.
        iconDoubleClicked_ = true;
        m.Result = 0;
        form_->Close();
        return;
      }
      // The system tracks the title buttons and drags the frame with its own drawing; the
      // skinned frame is put back once it is done.
      CallOld(m);
      if (FormShowing()) RepaintNonClient();
      return;
    case WM_NCRBUTTONDOWN:
      // The title's right click opens the system menu when the button comes up.
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
        m.Result = 0;
        return;
      }
      CallOld(m);
      return;
    case WM_NCRBUTTONUP:
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
        SetHotButton(0, true);
        ShowSystemMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 0;
        return;
      }
      CallOld(m);
      if (FormShowing()) RepaintNonClient();
      return;
    case TaskBarWindowMenu: {
      // The task bar asks for the window menu.
      POINT cursor;
      GetCursorPos(&cursor);
      ShowSystemMenu(cursor.x, cursor.y);
      m.Result = 0;
      return;
    }
    case WM_SETTINGCHANGE:
      // The caption font may be among the changed settings.
      captionFont_.Reset(CreateCaptionFont());
      [[fallthrough]];
    case WM_SYSCOLORCHANGE:
      skinData_->BackgroundDirty = true;
      menuLinesCount_ = -1;
      CallOld(m);
      return;
    case CM_ENABLEDCHANGED:
      CallOld(m);
      skinData_->BackgroundDirty = true;
      if (FormShowing()) SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
      return;
    case CM_MENUCHANGED:
      if (!FormShowing() || form_->ControlState().Contains(csCreating)) {
        CallOld(m);
        return;
      }
      // While the skin data is being updated the change waits for CmdUpdateEnded.
      if (skinData_->SkinState & UpdatingBit) {
        skinData_->SkinState |= MenuChangePendingBit;
        return;
      }
      menuLinesCount_ = -1;
      skinData_->BackgroundDirty = true;
      CallOld(m);
      return;
    case WM_ACTIVATE:
      OnActivate(m);
      return;
    case WM_INITMENUPOPUP:
      // A popup of the form's own menus opens: no skinned popup is showing any more.
      if (!HIWORD(m.LParam)) SkinnedMenuShowing = false;
      CallOld(m);
      return;
    case WM_CONTEXTMENU:
      if (TPopupMenu* popup = form_->PopupMenu(); popup && SkinManager() == DefaultManager)
        SkinableMenusOf(*SkinManager()).InitPopupMenu(popup, SkinManager()->SkinnedPopups());
      CallOld(m);
      return;
    case WM_PARENTNOTIFY:
      CallOld(m);
      if (form_->ComponentState().Contains(csLoading)) return;
      if (LOWORD(m.WParam) == WM_CREATE) AdaptChildren(nullptr);
      if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY)
        BroadcastToChildren(form_, TSkinCmdMessage{CmdSkinState, 0, 1, 0, true});
      return;
    case WM_NOTIFY:
      CallOld(m);
      // A tab control that shows another page shows other controls.
      if (m.LParam && reinterpret_cast<const NMHDR*>(m.LParam)->code == TCN_SELCHANGE)
        AdaptChildren(nullptr);
      return;
    case CM_CONTROLLISTCHANGE:
      OnControlListChange(m);
      return;
    case WM_COPYDATA:
      CallOld(m);
      if (m.Result == 0 && PreviewWindow && form_->Handle() == PreviewWindow &&
          !handlingPreviewData_ && SkinManager()) {
        handlingPreviewData_ = true;
        TScopeExit done([this] { handlingPreviewData_ = false; });
        HandleSkinPreviewData(m, *SkinManager());
      }
      return;
    case WM_DWMSENDICONICTHUMBNAIL:
      if (IconicPreviewEnabled && HIWORD(m.LParam) && LOWORD(m.LParam)) {
        m.Result = SetIconicThumbnail(HIWORD(m.LParam), LOWORD(m.LParam)) ? 1 : 0;
        return;
      }
      CallOld(m);
      return;
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP:
      if (IconicPreviewEnabled) {
        m.Result = SetIconicLivePreview() ? 1 : 0;
        return;
      }
      CallOld(m);
      return;
    case CM_SHOWINGCHANGED: {
      // A form shown with animation appears nearly transparent and fades in from its
      // picture once it is ready.
      const bool animateShow = !FormShowing() && form_->Visible() && ShowAnimationDue();
      int showAlpha = 255;
      if (animateShow && !HideForAnimation(form_->Handle(), true)) {
        showAlpha = form_->AlphaBlendValue();
        if (form_->AlphaBlend()) form_->SetAlphaBlendValue(0);
      }
      CallOld(m);
      if (!FormShowing()) return;
      if (SkinManager()) UpdateBorderForm(SkinManager()->ExtendedBorders());
      if (!Application->MainForm() || Application->MainForm() == form_)
        NotifySkinEditor(form_->Handle());
      UpdateMenus(skinData_->IsSkinned(false));
      AdaptChildren(nullptr);
      if (animateShow) {
        const TskFormShow& show = SkinManager()->AnimEffects()->FormShow;
        AnimateFormShow(*this, show.Time, showAlpha, show.Mode);
      }
      return;
    }
    case CM_VISIBLECHANGED:
      CallOld(m);
      if (m.WParam == 0) {
        if (!FormDestroying()) imageSize_ = TSize{};
        FreeButtonAnimations();
      } else if (form_->Parent()) {
        ResumeChildrenPainting(form_);
      }
      return;
    case CM_RECREATEWND: {
      // The skin editor previews this form: it learns the new window.
      const bool previewed =
          PreviewWindow && form_->HandleAllocated() && form_->Handle() == PreviewWindow;
      CallOld(m);
      if (previewed && form_->HandleAllocated()) {
        PreviewWindow = nullptr;
        NotifySkinEditor(form_->Handle());
      }
      return;
    }
    default:
      CallOld(m);
      return;
  }
}

void TsSkinProvider::OnNcActivate(TMessage& m) {
  activeLook_ = m.WParam != 0;
  skinData_->BackgroundDirty = true;
  skinData_->SetPaintSuspended(false);
  if (!FormShowing()) {
    CallOld(m);
    return;
  }
  // The system would draw its own active or inactive caption here; with -1 it only changes
  // the state, and the skinned frame is painted instead.
  TMessage quiet{m.Msg, m.WParam, static_cast<LPARAM>(-1), 0};
  CallOld(quiet);
  m.Result = quiet.Result ? quiet.Result : TRUE;
  menuLinesCount_ = -1;
  SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
  UpdateBorderWindow(true);
}

void TsSkinProvider::OnSize(TMessage& m) {
  if (skinData_->PaintingSuspended()) {
    CallOld(m);
    return;
  }
  menuLinesCount_ = -1;
  {
    // The form's own layout paints nothing skinned meanwhile; the guard lets painting go
    // on again on every way out, exceptions included.
    const bool wasSuspended = skinData_->PaintSuspended;
    skinData_->SetPaintSuspended(true);
    TScopeExit resume([this, wasSuspended] { skinData_->SetPaintSuspended(wasSuspended); });
    CallOld(m);
  }
  const TRect lastClient = lastClientRect_;
  const TsFormFacts facts = FormFacts();
  lastClientRect_ = TRect{0, 0, facts.ClientWidth, facts.ClientHeight};
  if (AnimationRunning) return;
  const bool sizeChanged = imageSize_ != TSize{GetImageWidth(facts), GetImageHeight(facts)};
  if (!sizeChanged) return;
  regionDirty_ = true;
  skinData_->BackgroundDirty = true;
  if (!FormShowing()) return;
  InvalidateRightImages(lastClient, facts.ClientWidth, facts.ClientHeight);
  SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
  TellChildrenOfNewSize(lastClient, facts.ClientWidth, facts.ClientHeight);
  // A background that follows the form's size (a gradient) is different everywhere now; a
  // plain or tiled one only where the system shows new parts, which it asks to paint itself.
  if (skinData_->BgDependency != 0)
    RedrawWindow(form_->Handle(), nullptr, nullptr,
                 RDW_NOFRAME | RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
}

void TsSkinProvider::InvalidateRightImages(const TRect& lastClient, int width, int height) {
  const TsGeneralData* section = skinData_->Section();
  TsSkinManager* manager = SkinManager();
  if (!section || !manager || (width == lastClient.Right && height == lastClient.Bottom)) return;
  HWND wnd = form_->Handle();
  // The images sit at the client's right corners: both the place they left and the place
  // they go to are painted again.
  for (const bool bottom : {false, true}) {
    const int index = bottom ? section->ImgBtmRight : section->ImgTopRight;
    if (!manager->IsValidMaskIndex(index)) continue;
    const TsMaskData& mask = manager->Masks()[static_cast<size_t>(index)];
    const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
    for (const TRect& client : {lastClient, TRect{0, 0, width, height}}) {
      if (client.Right <= 0) continue;
      const int top = bottom ? client.Bottom - h : 0;
      const RECT r{client.Right - w, top, client.Right, top + h};
      InvalidateRect(wnd, &r, TRUE);
    }
  }
}

void TsSkinProvider::TellChildrenOfNewSize(const TRect& lastClient, int width, int height) {
  // Bit 1: the background follows the width; bit 2: the height.
  const bool widthMatters = (skinData_->BgDependency & 1) && width != lastClient.Right;
  const bool heightMatters = (skinData_->BgDependency & 2) && height != lastClient.Bottom;
  if (widthMatters || heightMatters)
    BroadcastToChildren(form_, TSkinCmdMessage{CmdBgChangedRedraw, 1, 0, 0, true});
  ResumeChildrenPainting(form_);
}

void TsSkinProvider::OnWindowPosChanging(TMessage& m) {
  // The region being set moves nothing; the form's own procedure need not know.
  if (regionUpdating_ || form_->ComponentState().Contains(csLoading)) return;
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  // While the form still shows, its picture is put over it: the hide's frames take over
  // from there without a flicker.
  if (HideAnimationDue(pos) && FormShowing()) PrepareFormHide(*this);
  if (pos && screenSnap_ && !(pos->flags & SWP_NOMOVE) && (pos->x != 0 || pos->y != 0) &&
      FormShowing() && !IsZoomed(form_->Handle())) {
    HMONITOR monitor = MonitorFromWindow(form_->Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
      // A move alone keeps the window's size; the record's is then not filled in.
      RECT window;
      GetWindowRect(form_->Handle(), &window);
      const bool sized = !(pos->flags & SWP_NOSIZE);
      TsSnapFacts snap;
      snap.WorkArea =
          TRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
      snap.Size = sized ? TSize{pos->cx, pos->cy}
                        : TSize{window.right - window.left, window.bottom - window.top};
      snap.Buffer = snapBuffer_;
      if (borderForm_) {
        // The frame the user sees is the border window's: that meets the edges.
        const TsFormFacts facts = FormFacts();
        const int align = SkinManager() ? SkinManager()->CurrentSkin().AlignOffset : 0;
        snap.SideOffset = GetExBorderDelta(facts) + align;
        snap.TopOffset = -(GetExTitleDelta(facts) + align);
      }
      const TPoint snapped = SnapFormPosition(TPoint{pos->x, pos->y}, snap);
      pos->x = snapped.X;
      pos->y = snapped.Y;
    }
  }
  CallOld(m);
}

namespace {
// How long a press on the title icon waits for a second press before the menu opens (ms).
constexpr DWORD IconDoubleClickWait = 200;
}  // namespace

bool TsSkinProvider::IconDoubleClickFollows() {
  // The system's own menu is modal and would take the second click of a double click on
  // the icon: the click waits for it a moment first. A skinned menu sees it itself.
  TsSkinManager* manager = SkinManager();
  if (manager && manager->SkinnedPopups()) return false;
  iconDoubleClicked_ = false;
  const DWORD start = GetTickCount();
  MSG msg;
  while (!iconDoubleClicked_ && GetTickCount() - start < IconDoubleClickWait) {
    while (!iconDoubleClicked_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!iconDoubleClicked_) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return iconDoubleClicked_;
}

void TsSkinProvider::OnCaptionDoubleClick() {
  // What the skinned system menu allows decides, not the window's style: a form whose
  // maximize and restore items are disabled stays as it is.
  const TsFormFacts facts = FormFacts();
  TsCaptionDoubleClickFacts click;
  click.CloseVisible = sysMenu_->VisibleClose();
  click.MaxEnabled = sysMenu_->EnabledMax();
  click.RestoreEnabled = sysMenu_->EnabledRestore();
  click.Framed = HasFrame(facts);
  click.Minimized = facts.Minimized;
  click.Maximized = facts.Maximized;
  switch (CaptionDoubleClick(click)) {
    case TsCaptionDoubleClick::Restore:
      SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case TsCaptionDoubleClick::Maximize:
      SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      break;
    case TsCaptionDoubleClick::None:
      return;
  }
  if (sysMenu_) sysMenu_->UpdateItems(false);
}

void TsSkinProvider::ClearHotControl() {
  // The control that was hot is told that the mouse left it, which a window without a
  // framework control (an adapted one) learns no other way.
  if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) &&
      TsSkinRuntimeHotWindow)
    TsSkinRuntimeHotWindow(nullptr);
}

bool TsSkinProvider::StartRubberFrame(int hitCode, POINT screen) {
  if (resizeMode_ != rmBorder || !form_->Enabled() || IsZoomed(form_->Handle()) ||
      IsIconic(form_->Handle()))
    return false;
  if (hitCode != fhCaption && !(IsSizingHit(hitCode) && FormFacts().ThickFrame)) return false;
  // With composition the system shows the whole window while it moves anyway, and without
  // full-window dragging it draws its own outline.
  BOOL dragFull = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &dragFull, 0);
  if (!dragFull || DwmCompositionEnabled()) return false;
  if (!rubberFrame_) rubberFrame_ = std::make_unique<TsRubberFrameWin32>(form_->Handle());
  const TSizeConstraints* constraints = form_->Constraints();
  rubberFrame_->Begin(
      hitCode, screen,
      RubberMinSize(TSize{constraints->MinWidth, constraints->MinHeight},
                    TSize{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)}));
  return rubberFrame_->Active();
}

void TsSkinProvider::OnSysCommand(TMessage& m) {
  const WPARAM command = m.WParam & 0xFFF0;
  // Moving by the caption: the form is painted before the system's move loop takes over.
  if (m.WParam == SC_MOVE + HTCAPTION) form_->Repaint();
  const TsFormFacts facts = FormFacts();
  // Alt+Space: the skinned system menu below the title icon, when there is one.
  if (command == SC_KEYMENU && LOWORD(m.LParam) == VK_SPACE && HasFrame(facts) &&
      ShowSystemMenuFromKeyboard()) {
    m.Result = 0;
    return;
  }
  // The form's picture is taken while it still shows; a minimized form's picture flies back
  // before the form shows again.
  if (command == SC_MINIMIZE) StartMinimizeAnimation();
  if ((command == SC_RESTORE || command == SC_MAXIMIZE) && IsIconic(form_->Handle()))
    StartRestoreAnimation();
  CallOld(m);
  switch (command) {
    case SC_MINIMIZE:
      imageSize_ = TSize{};
      HideBorderWindow();
      break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
      UpdateSystemMenuItems();
      skinData_->BackgroundDirty = true;
      regionDirty_ = true;
      if (HasFrame(facts)) {
        InvalidateFrame();
        // A restore flight shows the border window when it lands.
        if (!(FrameFlags & RestoringFlag)) UpdateBorderWindow(true);
      } else if (regionSet_ && form_->HandleAllocated()) {
        // An unframed form is shaped by nothing: it is the whole window again.
        SetWindowRgn(form_->Handle(), nullptr, TRUE);
        regionSet_ = false;
        lastRegion_ = TsRegionPlan{};
      }
      break;
    default:
      break;
  }
}

void TsSkinProvider::OnActivate(TMessage& m) {
  CallOld(m);
  if (!FormShowing() || form_->ControlState().Contains(csCreating)) return;
  menuLinesCount_ = -1;
  if (LOWORD(m.WParam) != WA_ACTIVE) return;
  UpdateMenus(skinData_->IsSkinned(false));
  UpdateSystemMenuItems();
  if (form_->BorderStyle() == bsNone) ResumeChildrenPainting(form_);
}

void TsSkinProvider::OnShowWindow(TMessage& m) {
  HWND wnd = form_->Handle();
  // With composition the system shows the window from its own picture of the frame: the
  // skinned one is asked for at once.
  if (m.WParam && DwmCompositionEnabled() && !AnimationRunning &&
      !(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED))
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
  CallOld(m);
  if (m.WParam && form_->Parent()) {
    // A form shown inside another control takes its background from its parent again.
    skinData_->SkinState &= static_cast<uint16_t>(~ssPlainBackground);
    skinData_->BackgroundDirty = true;
  }
}

void TsSkinProvider::OnControlListChange(TMessage& m) {
  auto* control = reinterpret_cast<TControl*>(m.WParam);
  CallOld(m);
  if (!control) return;
  const TSkinCmdMessage state{CmdSkinState, 0, 1, 0, true};
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    // A control on its way out of the form gets no adapter.
    if (m.LParam) AddAdaptedControl(windowed);
    BroadcastToChildren(windowed, state);
  }
  PerformSkinCmd(control, CmdSkinState, 1);
}

bool TsSkinProvider::ShowAnimationDue() const {
  TsSkinManager* manager = SkinManager();
  return manager && manager->Active() && drawNonClientArea_ && skinData_->IsSkinned(false) &&
         manager->AnimEffects()->FormShow.Active &&
         AnimationFrames(manager->AnimEffects()->FormShow.Time) > 0 && HasLayeredWindows() &&
         !form_->Parent() && form_->FormStyle() != fsMDIChild && form_->Handle() != PreviewWindow &&
         !IsIconic(form_->Handle());
}

bool TsSkinProvider::HideAnimationDue(const WINDOWPOS* pos) const {
  TsSkinManager* manager = SkinManager();
  const bool hiding = pos && (pos->flags & SWP_HIDEWINDOW) != 0;
  return hiding && !skipHideAnimation_ && manager && manager->Active() && drawNonClientArea_ &&
         HasLayeredWindows() && skinData_->CacheBitmap && !IsIconic(form_->Handle()) &&
         manager->AnimEffects()->FormHide.Active &&
         AnimationFrames(manager->AnimEffects()->FormHide.Time) > 0;
}

void TsSkinProvider::OnWindowPosChanged(TMessage& m) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
  if (!HideAnimationDue(pos)) {
    CallOld(m);
    if (borderForm_) UpdateExBorder(false, 255);
    return;
  }
  CallOld(m);
  // The border window goes with the form; the prepared cover shows both meanwhile.
  if (borderForm_) UpdateExBorder(false, 255);
  // The program's one hide timer is reused by every hide: the reference to it is kept, not
  // dropped for a new timer each time.
  skipHideAnimation_ = true;
  TScopeExit skipOff([this] {
    skipHideAnimation_ = false;
    // A cover prepared for the hide that the animation did not take goes now.
    DropPreparedHide(*this);
  });
  FormServices().AnimateFormHide(*this);
}

void TsSkinProvider::OnQueryEndSession(TMessage& m) {
  FadesStopped = true;
  // Running fades see the flag at their next tick; a fade that never ticks again must not
  // hold the session's end for ever.
  const DWORD start = GetTickCount();
  MSG msg;
  while (FadeTimerCount > 0 && GetTickCount() - start < FadeWaitAtSessionEnd) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (FadeTimerCount > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  CallOld(m);
}

void TsSkinProvider::OnSkinEditorCommand(TMessage& m) {
  switch (m.WParam) {
    case SkinEditorClose:
      // Only a form shown for a skin editor's preview may be closed this way: any program
      // can send this number to any window.
      if (PreviewMode) form_->Close();
      m.Result = 0;
      return;
    case SkinEditorPassOn:
      CallOld(m);
      return;
    case SkinEditorPing:
      m.Result = 1;
      return;
    default:
      m.Result = 0;
      return;
  }
}

TsSkinProvider* FormSkinProvider(TCustomForm* form) {
  ISkinProvider* provider = SkinProviderOf(form);
  return dynamic_cast<TsSkinProvider*>(provider);
}

// ---- the extended border window ------------------------------------------------------------

void TsSkinProvider::SetAllowExtBorders(bool value) {
  if (allowExtBorders_ == value) return;
  allowExtBorders_ = value;
  if (form_->ComponentState().Contains(csLoading)) return;
  UpdateBorderForm(value && SkinManager() && SkinManager()->ExtendedBorders());
  skinData_->BackgroundDirty = true;
  if (FormShowing()) RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool TsSkinProvider::ExtendedBordersAllowed() const {
  TsSkinManager* manager = SkinManager();
  return allowExtBorders_ && manager && manager->ExtendedBorders() && drawNonClientArea_ &&
         !form_->Parent() && form_->FormStyle() != fsMDIChild && HasFrame(FormFacts());
}

void TsSkinProvider::UpdateBorderForm(bool wanted) {
  if (wanted && ExtendedBordersAllowed() && form_->HandleAllocated() && Skinned()) {
    if (borderForm_) return;
    if (!borderOwner_) borderOwner_ = std::make_unique<TBorderOwner>(*this);
    borderForm_ = std::make_unique<TskBorderForm>(*borderOwner_);
  } else {
    if (!borderForm_) return;
    borderForm_.reset();
  }
  // The form's frame, image and region change with the border window's coming or going, and
  // the title is shown in the other window, above which the fades lie.
  buttonAnimations_.clear();
  FreeTitleButtonGlows();
  skinData_->BackgroundDirty = true;
  regionDirty_ = true;
  imageSize_ = TSize{};
  if (borderForm_) UpdateExBorder(true, 255);
  if (FormShowing() && !FormDestroying())
    RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

TWindowKey TsSkinProvider::BorderWindow() const {
  return borderForm_ ? reinterpret_cast<TWindowKey>(borderForm_->Handle()) : 0;
}

TRegionKey TsSkinProvider::CreateBorderRegion() {
  return borderForm_ ? reinterpret_cast<TRegionKey>(borderForm_->CreateRegion()) : 0;
}

void TsSkinProvider::UpdateExBorder(bool rebuild, int alpha) {
  if (borderForm_) borderForm_->UpdateExBorder(rebuild, alpha);
}

void TsSkinProvider::ClearBorderShowing() {
  if (borderForm_) borderForm_->SetShowing(false);
}

void TsSkinProvider::HideBorderWindow() {
  if (HWND wnd = borderForm_ ? borderForm_->Handle() : nullptr) ShowWindow(wnd, SW_HIDE);
}

// ---- the minimize animation -----------------------------------------------------------------

void TsSkinProvider::StartMinimizeAnimation() {
  TsSkinManager* manager = SkinManager();
  // Minimized again while the restore flies: the flight turns round where it is.
  if ((FrameFlags & RestoringFlag) && minTimer_ &&
      minTimer_->Fly(true, [this] { MinimizeAnimationEnded(); })) {
    FrameFlags = (FrameFlags & ~RestoringFlag) | MinimizingFlag;
    MinimizedWithAnimation = true;
    return;
  }
  if (!manager || !HasLayeredWindows() || !FormShowing() || IsIconic(form_->Handle()) ||
      (FrameFlags & MinimizingFlag))
    return;
  const TskMinimizing& minimizing = manager->AnimEffects()->Minimizing;
  const int steps = MinimizeSteps(minimizing.Time);
  // A time below one tick shows the end state at once: the form just minimizes.
  if (!minimizing.Active || steps == 0) return;
  // What the user sees of the form: with a border window its frame and shadow as well.
  HWND shown = form_->Handle();
  if (HWND border = borderForm_ ? borderForm_->Handle() : nullptr;
      border && IsWindowVisible(border))
    shown = border;
  RECT r{};
  GetWindowRect(shown, &r);
  const TRect start{r.left, r.top, r.right, r.bottom};
  if (start.Width() <= 0 || start.Height() <= 0) return;
  auto picture = CreateBmp32(start.Width(), start.Height());
  {
    TWindowDC screen(nullptr);
    BitBlt(picture->Canvas()->Handle(), 0, 0, start.Width(), start.Height(), screen.Get(),
           start.Left, start.Top, SRCCOPY);
  }
  FillAlphaRect(picture.get(), TRect{0, 0, start.Width(), start.Height()}, 255, false);
  HWND owner = GetWindow(form_->Handle(), GW_OWNER);
  TskMinimizePlan plan;
  plan.Start = start;
  plan.Target = GetTaskBarTarget(owner ? owner : form_->Handle(), start, IsCompositionEnabled());
  plan.Steps = steps;
  plan.OpaqueAlpha = form_->AlphaBlend() ? form_->AlphaBlendValue() : 255;
  minTimer_.reset();
  FreeButtonAnimations();
  FrameFlags |= MinimizingFlag;
  MinimizedWithAnimation = true;
  minTimer_ =
      std::make_unique<TskMinTimer>(plan, std::move(picture), [this] { MinimizeAnimationEnded(); });
}

void TsSkinProvider::MinimizeAnimationEnded() {
  FrameFlags &= ~MinimizingFlag;
  if (!form_->HandleAllocated() || form_->AlphaBlend()) return;
  // The minimized form is left as it was before: not layered.
  HWND wnd = form_->Handle();
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_LAYERED)
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}
