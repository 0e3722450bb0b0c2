// Per-control skin data: links a skinned control, form provider or window adapter to a skin
// manager and one section of the loaded skin, keeps the small state that decides when the
// owner's cached image must be rebuilt, and answers the common skin commands. This is the
// portable half: the owner is reached through ISkinDataHost, so every decision (which section
// a control gets, which colour it shows, which command a change sends) is tested over a fake
// control tree. The Win32 half binds the host to a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/skinfiles/sMessages.h"

class TsSkinManager;

// ---- control kinds ----------------------------------------------------------------------------

// A control's kind: the code its owner writes into the skin data right after creating it. The
// kinds of the program's skinned controls have names; the skin format's tables (the sets below
// and the default sections) cover every code up to 255, named or not.
enum class TsControlKind : int {
  None = 0,
  ComboBoxEx = 1,  // extended combo boxes name their section themselves
  Edit = 3,        // edits, masked edits and combo boxes
  RichEdit = 7,
  ListBox = 8,
  ListView = 10,
  CheckBox = 32,
  RadioButton = 33,
  Panel = 51,
  ToolBar = 54,
  PanelLow = 58,
  GroupBox = 74,
  SpeedButton = 92,
  Button = 93,
  BitBtn = 94,
  TreeView = 96,
  PageControl = 141,
  StatusBar = 151,
  Gauge = 161,
};

// Kinds whose Color and font colour come from the skin and whose frame follows focus and mouse.
bool IsEditLikeKind(TsControlKind kind);
// Containers and bars: the mouse over them does not make them hot.
bool IsNoHotStateKind(TsControlKind kind);
// Kinds that get no glow on mouse enter; the buttons get none either (HasNoGlow).
bool IsNoGlowKind(TsControlKind kind);
bool HasNoGlow(TsControlKind kind);
// The section a control of that kind is painted with when it names none; empty for a kind
// that has no default (the owner's class name is used then).
std::string DefaultSectionOfKind(TsControlKind kind);

// ---- the owner --------------------------------------------------------------------------------

// What the skin data needs of its owner. A form's provider is an owner without HostControl
// (IsControl false); its Parent is the form's parent.
class ISkinDataHost {
 public:
  virtual ~ISkinDataHost() = default;
  virtual bool IsControl() const = 0;
  virtual bool IsWindowed() const = 0;
  virtual bool IsDestroying() const = 0;
  virtual bool IsLoading() const = 0;
  virtual bool IsEnabled() const = 0;
  virtual std::string ClassName() const = 0;
  // The parent control, null without one.
  virtual ISkinDataHost* Parent() const = 0;
  virtual TColor Color() const = 0;
  virtual void SetColor(TColor color) = 0;
  virtual TColor FontColor() const = 0;
  virtual void SetFontColor(TColor color) = 0;
  // Delivers a skin command to this owner by the sending rules: a windowed control only while
  // it has a window and is not being destroyed (0 otherwise), else through Perform.
  virtual intptr_t SkinCmd(int cmd, int lowWord, intptr_t lParam) = 0;
  // Redraws the owner (frame, children, erase).
  virtual void Redraw() = 0;
  // The child controls, in order.
  virtual std::vector<ISkinDataHost*> Children() const { return {}; }
  // A scrolling container or a page control: its skin state may say "plain background".
  virtual bool IsPlainContainer() const { return false; }
  // A form provider's form is an MDI parent.
  virtual bool IsMdiForm() const { return false; }
  virtual bool IsTabSheet() const { return false; }
  // A windowed control that became skinned tells its form (CmdControlChanged).
  virtual void NotifyControlChanged() {}
  // The skin was removed: the owner empties its cache image and takes its standard colours
  // back (an edit its window colours unless CustomColor / CustomFont, labels theirs).
  virtual void SkinRemoved(class TsCommonData& data) { (void)data; }

  // Size and place: the control's bounds in its parent (a form provider's: its form's), the
  // size the cache bitmap follows. Empty for an owner without one.
  virtual TRect BoundsRect() const { return TRect{}; }
  // The owner's top-left in the parent that AskParentBackground asks.
  virtual TPoint OriginInParent() const { return TPoint{BoundsRect().Left, BoundsRect().Top}; }
  // A graphic control that takes its parent's font.
  virtual bool ParentFont() const { return false; }
  // Asks what lies behind the owner: its parent control (copying into the request's DrawDC
  // when copyNow is set and the parent can), else, for an owner with a window, its parent
  // window (never copying). False when there is neither: nothing was asked.
  virtual bool AskParentBackground(TsBackgroundRequest& request, bool copyNow) {
    (void)request;
    (void)copyNow;
    return false;
  }
  // Drawing into a request's DrawDC: R filled with a colour, or R copied from the source
  // bitmap at the request's (X, Y).
  virtual void FillRequestRect(const TsBackgroundRequest& request, TColor color) {
    (void)request;
    (void)color;
  }
  virtual void CopyToRequest(const TsBackgroundRequest& request, const TBitmap& source) {
    (void)request;
    (void)source;
  }
};

// ---- the skin data ----------------------------------------------------------------------------

class TsCommonData {
 public:
  // withCache: an empty 32-bit cache bitmap is made now (controls ask for one).
  explicit TsCommonData(ISkinDataHost* owner, bool withCache = false);
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;
  ~TsCommonData();

  // The owner's own manager, or the default manager when none is set.
  TsSkinManager* SkinManager() const;
  // The manager the owner names itself; null = follow the default manager.
  TsSkinManager* OwnSkinManager() const { return skinManager_; }
  // Naming the default manager stores nothing, so the owner keeps following the default.
  void SetSkinManager(TsSkinManager* value);
  const std::string& SkinSection() const { return skinSection_; }
  // Upper-cased; an empty name becomes "UNKNOWN". The owner is told CmdRefresh when it stays
  // skinned, CmdRemoveSkin otherwise.
  void SetSkinSection(const std::string& value);

  bool IsSkinned(bool checkActive = false) const;
  // The manager's section at SectionIndex; null when there is none.
  const struct TsGeneralData* Section() const;
  // The manager's mask at BorderMaskIndex; null when there is none.
  const struct TsMaskData* BorderMask() const;
  // The owner shows its hot look: enabled and focused, or under the mouse with a section
  // that has a hot state.
  bool IsActive() const;
  // False only for a plain background while the owner is neither focused nor hot and no
  // window animation runs: then the owner can paint straight to the screen.
  bool NeedsCache() const;
  // The owner must not paint now: its own flag, or (needing a cache) a parent that is
  // rebuilding its background or has its painting suspended.
  bool PaintingSuspended() const;
  void SetPaintSuspended(bool value) { PaintSuspended = value; }
  void UpdateIndexes();
  void ApplyDefaultSection();
  void Loaded();
  void UpdateColors(bool invalidate);
  void UpdateSkinState(bool passToChildren);
  void UpdateBgDependency();
  bool HasComplexBackground() const;
  bool DependsOnParentBg() const;
  // The parent's answer to CmdIsBgGraphic (0 without a parent).
  int ParentBgIsGraphic() const;
  // The colour the owner shows (state > 0: hot), mixed with its parent's by the transparency.
  TColor BgColor(int state) const;
  // The owner's own Color, or clBtnFace.
  TColor OwnColor() const;
  void Invalidate();
  void BeginUpdate();
  void EndUpdate(bool repaint);
  // What the glow around the owner is to do (UpdateGlow): only when the manager allows
  // glowing and the section has a GLOW value. A control keeps its glow only while the mouse
  // is over it and the left button is not down on it; `hide` takes any owner's glow away.
  enum class TGlowAction { None, Free, Show };
  TGlowAction GlowAction(bool hide, bool leftButtonDown) const;
  // Frees the glow shown around the owner, if any. A glow list emptied meanwhile may have
  // given the same id to another owner's glow: that one is left alone.
  void FreeShownGlow();
  // The glow with that id (-1 none) is the one shown around the owner now.
  void SetShownGlow(int id);

  // ---- the cache bitmap and what lies behind ----
  // Makes the cache bitmap when missing, 32 bits per pixel, and gives it the control's size
  // (negative sizes count as 0); nothing is changed that already fits.
  void UpdateCacheSize();
  // Empties the cache to 0 x 0 (skin removed, owner hidden); the bitmap object stays.
  void EmptyCache();
  // The strips of the cache a control repaints after a size change, before UpdateCacheSize:
  // from the smaller of the old cache width and the new width, less the border's right width,
  // to the new width (RepaintStripV likewise at the bottom). Empty when the size did not
  // change that way or the background runs across it (a gradient along that side).
  void UpdateRepaintStrips();
  // The widest side of the border mask; 0 without one or for a mask without borders.
  int MaxBorderWidth() const;
  // The answer to CmdGetBgInfo: the owner's colour, its cache, or (fully transparent) what
  // its parent shows. With the request's PleaseDraw the area R of DrawDC is painted now.
  void FillBackgroundRequest(TsBackgroundRequest& request, int state);
  // What lies behind the owner, asked of its parent (no copying); its own colour when not
  // skinned or without a parent. The source is in the parent's coordinates.
  void GetParentBackground(TsBackgroundSource& source);

  ISkinDataHost* Host() const { return host_; }
  TsControlKind ControlKind = TsControlKind::None;
  bool CustomFont = false;
  bool CustomColor = false;
  int HUEOffset = 0;
  int Saturation = 0;
  int GlowIndex = -1;
  bool PaintSuspended = false;
  int BorderMaskIndex = -1;
  int SectionIndex = -1;
  int PatternIndex = -1;
  int HotPatternIndex = -1;
  bool ImmediatePaint = false;
  bool BackgroundDirty = true;
  bool PartlyHidden = true;
  bool HasFocus = false;
  bool MouseOver = false;
  uint16_t SkinState = 0;
  uint16_t BgDependency = 0;
  intptr_t PrintTarget = 0;
  // The device context the owner prints into (0 ends printing), with the printing state.
  void SetPrintTarget(intptr_t target);
  // The owner's painted image, 32 bits per pixel; null until asked for or sized.
  std::unique_ptr<TBitmap> CacheBitmap;
  // Strips of the cache to repaint after a size change (empty: none).
  TRect RepaintStripH{};
  TRect RepaintStripV{};

 private:
  ISkinDataHost* host_;
  TsSkinManager* skinManager_ = nullptr;
  std::string skinSection_;
  uint64_t glowSerial_ = 0;
};

// The skin data of a windowed skinned control (publishes HUEOffset and Saturation).
class TsCtrlSkinData : public TsCommonData {
 public:
  using TsCommonData::TsCommonData;
};

// The common answer of every skin data to a skin command (TsSkinCmdHandler's defaults); true
// when consumed.
bool ProcessSkinCommand(TSkinCmdMessage& message, TsCommonData* data);

// The colour a parent shows, as the CmdGetBgColor answer of a skinned host, or its Color.
TColor GetHostBgColor(ISkinDataHost* host);

// The section whose font colours a control's text takes: its parent's when that section
// gives its own font (GIVEOWNFONT), looking past parents more than half transparent; else
// defaultIndex. Null manager: the default manager.
int FindFontParentSection(ISkinDataHost* control, int defaultIndex, TsSkinManager* manager);
// The section a control's caption is drawn with for a state: its own, or for check boxes,
// radio buttons, group boxes and graphic controls with the parent's font over a transparent
// section, the parent's that gives its own font.
int TextSectionOf(const TsCommonData& data, int state);
