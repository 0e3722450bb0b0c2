// The skin manager: finds a skin by name in its three sources (a packed file, a skin folder,
// a skin stored in the form), reads it into the section, mask and pattern tables, and answers
// the lookups that every skinned window makes. This is the portable half: reading a skin is
// one transaction over a small file-system interface, so it is tested without windows. What
// a new or removed skin does to windows is the host's business (ISkinManagerHost).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Collection.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/Strings.h"
#include "skin/core/skinfiles/SkinFileSystem.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sMaskData.h"

class TsSkinManager;

// ---- stored skins -----------------------------------------------------------------------------

// A skin kept in the form: its name and the packed skin bytes ("Data"); the other values are
// carried with it.
class TsStoredSkin : public TCollectionItem {
  K_CLASS(TsStoredSkin, TCollectionItem)
  explicit TsStoredSkin(TCollection* collection);
  ~TsStoredSkin() override;

  // Copies Data whole (wherever its position stands) and every value; a null source raises
  // the framework's assignment error.
  void Assign(TPersistent* source) override;

  std::string Name;
  TBitmap* MasterBitmap() { return masterBitmap_.get(); }
  TColor Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  TColor BorderColor = clFuchsia;
  double Version = 0;
  std::string Author;
  std::string Description;
  // The packed skin bytes.
  TMemoryStream* Data() { return data_.get(); }
  void SetData(const std::vector<uint8_t>& bytes);

 private:
  std::unique_ptr<TBitmap> masterBitmap_;
  std::unique_ptr<TMemoryStream> data_;
};

class TsStoredSkins : public TCollection {
  K_CLASS(TsStoredSkins, TCollection)
  explicit TsStoredSkins(TPersistent* owner = nullptr);

  TsStoredSkin* SkinAt(int index) const { return static_cast<TsStoredSkin*>(Items(index)); }
  TsStoredSkin* AddSkin(const std::string& name, const std::vector<uint8_t>& data);
  // The first skin of exactly that name (case-sensitive); -1 when none.
  int IndexOfName(const std::string& name) const;
  // Assigning another collection copies nothing.
  void Assign(TPersistent*) override {}
};

// ---- option classes ---------------------------------------------------------------------------

enum TskAnimType { atFading, atAero };

class TskFormAnimation : public TPersistent {
  K_CLASS(TskFormAnimation, TPersistent)
  bool Active = true;
  uint16_t Time = 0;  // milliseconds
  TskAnimType Mode = atAero;
};
class TskFormShow : public TskFormAnimation {
  K_CLASS(TskFormShow, TskFormAnimation)
};
class TskFormHide : public TskFormAnimation {
  K_CLASS(TskFormHide, TskFormAnimation)
};
class TskPageChange : public TskFormAnimation {
  K_CLASS(TskPageChange, TskFormAnimation)
};
class TskDialogShow : public TskFormAnimation {
  K_CLASS(TskDialogShow, TskFormAnimation)
};
class TskSkinChanging : public TskFormAnimation {
  K_CLASS(TskSkinChanging, TskFormAnimation)
  TskSkinChanging() {
    Time = 100;
    Mode = atFading;
  }
};
class TskMinimizing : public TskFormAnimation {
  K_CLASS(TskMinimizing, TskFormAnimation)
  TskMinimizing() { Time = 200; }
};
class TskBlendOnMoving : public TskFormAnimation {
  K_CLASS(TskBlendOnMoving, TskFormAnimation)
  TskBlendOnMoving() {
    Active = false;
    Time = 1000;
  }
  uint8_t BlendValue = 170;
};

enum TskBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TskBtnEvents = TSet<TskBtnEvent>;

class TskBtnEffects : public TPersistent {
  K_CLASS(TskBtnEffects, TPersistent)
  explicit TskBtnEffects(TsSkinManager* manager = nullptr) : Manager(manager) {}
  TskBtnEvents Events{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
  TsSkinManager* Manager;
};

class TskAnimEffects : public TPersistent {
  K_CLASS(TskAnimEffects, TPersistent)
  explicit TskAnimEffects(TsSkinManager* manager = nullptr) : Manager(manager), Buttons(manager) {}
  TsSkinManager* Manager;
  TskBlendOnMoving BlendOnMoving;
  TskBtnEffects Buttons;
  TskDialogShow DialogShow;
  TskFormShow FormShow;
  TskFormHide FormHide;
  TskFormHide DialogHide;
  TskMinimizing Minimizing;
  TskPageChange PageChange;
  TskSkinChanging SkinChanging;
};

class TskSkinEffects : public TPersistent {
  K_CLASS(TskSkinEffects, TPersistent)
  explicit TskSkinEffects(TsSkinManager* manager = nullptr) : Manager(manager) {}
  // True only when stored true and the system can show glows (SetGlowingAvailable).
  bool AllowGlowing() const { return allowGlowing_ && GlowingAvailable(); }
  void SetAllowGlowing(bool value) { allowGlowing_ = value; }
  bool StoredAllowGlowing() const { return allowGlowing_; }
  TsSkinManager* Manager;

  // Layered windows exist and the process is not 32-bit on 64-bit Windows without desktop
  // composition; the Win32 half finds it out at start.
  static bool GlowingAvailable();
  static void SetGlowingAvailable(bool value);

 private:
  bool allowGlowing_ = true;
};

// The 18 lists of foreign control classes that adapters skin, by index.
enum TskThirdPartyIndex {
  tpEdits,
  tpButtons,
  tpBitBtns,
  tpCheckBoxes,
  tpComboBoxes,
  tpGrids,
  tpGroupBoxes,
  tpListViews,
  tpPanels,
  tpTreeViews,
  tpWWEdits,
  tpGridEh,
  tpVirtualTrees,
  tpPageControl,
  tpTabControl,
  tpToolBar,
  tpStatusBar,
  tpSpeedButton,
  ThirdPartyListCount
};

class ThirdPartyList : public TPersistent {
  K_CLASS(ThirdPartyList, TPersistent)
  // Each property's text: class names, one a line.
  std::array<std::string, ThirdPartyListCount> Texts;
  static std::string DefaultText(int index);
};

// ---- fixed indexes ----------------------------------------------------------------------------

// Section and mask indexes looked up once per skin; all -1 without a skin.
struct TsFixedIndexes {
  struct TScrollPart {
    int Section = -1;
    int BorderMask = -1;
    int GlyphMask = -1;
    int Pattern = -1;
    int HotPattern = -1;
  };
  int GlobalInfo = -1;
  int BoxChecked = -1, BoxUnchecked = -1, BoxGrayed = -1;
  int RadioChecked = -1, RadioUnchecked = -1, RadioGrayed = -1;
  int SmallChecked = -1, SmallUnchecked = -1, SmallGrayed = -1;
  int ExBorder = -1;
  int ComboBtn = -1, ComboBtnBorder = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1;
  int ComboGlyph = -1;
  std::array<int, 4> Tab{-1, -1, -1, -1};  // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT
  std::array<int, 4> TabMask{-1, -1, -1, -1};
  std::array<TScrollPart, 4> ScrollBtn;  // SCROLLBTNTOP, ...BOTTOM, ...LEFT, ...RIGHT
  TScrollPart ScrollSliderV, ScrollSliderH;
  std::array<TScrollPart, 4> ScrollBar;  // SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V
};

// ---- the manager ------------------------------------------------------------------------------

// What a skin change does outside the tables, step by step: telling the windows, freezing and
// animating the forms, the window-creation hook, showing a message. The Win32 half installs
// one; without a host the manager only keeps its tables. The manager decides the order.
class ISkinManagerHost {
 public:
  virtual ~ISkinManagerHost() = default;
  // The skin command (LParam = the manager) to every form of the application and all their
  // controls, then to the skinned forms and dialogs.
  virtual void SendToAllForms(TsSkinManager& manager, int cmd) = 0;
  virtual void FreeAllGlows() = 0;
  virtual void PrepareSkinChangeAnimation(TsSkinManager& manager) = 0;
  virtual void FreezeFormsForSkinChange(TsSkinManager& manager) = 0;
  virtual void FinishSkinChangeAnimation(TsSkinManager& manager, bool animate) = 0;
  // A change that failed, or ended without a new skin, after its forms were prepared or
  // frozen: they paint again and nothing stays animating.
  virtual void AbandonSkinChangeAnimation(TsSkinManager& manager) = 0;
  // The visible windows of the skinned dialogs are redrawn.
  virtual void RedrawDialogs() = 0;
  virtual void InstallCbtHook(TsSkinManager& manager) = 0;
  virtual void RemoveCbtHook(TsSkinManager& manager) = 0;
  // The skin came or went: the menu painter takes up the skin's active state.
  virtual void SkinStateChanged(TsSkinManager& manager) = 0;
  // A message for the user: a skin that failed to load (error), or a skin made for a newer
  // engine (information).
  virtual void ShowMessage(TsSkinManager& manager, const std::string& text, bool error) = 0;
};

// Kinds of GetSkinNames.
enum TskSkinNameKind { snFolders = 0, snPacked = 1, snAll = 2 };

// Which windows the skin reaches besides the skinned controls: forms without a provider of
// their own, standard dialogs, foreign controls named in the ThirdParty lists.
enum TskSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TskSkinningRules = TSet<TskSkinningRule>;

class TsSkinManager : public TComponent {
  K_CLASS(TsSkinManager, TComponent)
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  void Loaded() override;

  // ---- properties
  bool Active() const { return active_; }
  // true: the skin named by SkinName is loaded again; false: the skin is removed.
  void SetActive(bool value);
  const std::string& SkinName() const { return skinName_; }
  // Switches the skin. A skin that fails to load leaves the previous skin's tables and name
  // as they were and reports the message through the host.
  void SetSkinName(const std::string& value);
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& value);
  int HueOffset() const { return hueOffset_; }
  void SetHueOffset(int value);
  int Saturation() const { return saturation_; }
  void SetSaturation(int value);
  bool IsDefault() const;
  void SetIsDefault(bool value);
  // Reads true only when set and layered windows are available.
  bool ExtendedBorders() const;
  // Stored; with a skin active the skin is read again and every form refreshed (frozen first).
  void SetExtendedBorders(bool value);
  // Extra INI sections added to every skin (case-sensitive).
  const TStringList& CommonSections() const { return commonSections_; }
  // Takes the lines with every blank removed (comment and empty lines stay as they are) and
  // reads the skin again.
  void SetCommonSections(const TStrings& lines);
  TsStoredSkins* InternalSkins() { return &internalSkins_; }
  // The loaded skin's VERSION with "." as separator; "N/A" without a skin.
  std::string SkinInfo() const;
  std::string Version() const { return "7.2"; }
  TskAnimEffects* AnimEffects() { return &animEffects_; }
  TskSkinEffects* Effects() { return &effects_; }
  TskSkinningRules SkinningRules() const { return skinningRules_; }
  void SetSkinningRules(TskSkinningRules value) { skinningRules_ = value; }
  // Popup menus are painted by the menu painter too.
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool value) { skinnedPopups_ = value; }
  ThirdPartyList* ThirdParty() { return &thirdParty_; }
  // The parsed ThirdParty lists (case-sensitive), by TskThirdPartyIndex.
  TStringList& ThirdPartyLists(int index) { return thirdPartyLists_[static_cast<size_t>(index)]; }
  // Each list takes its property's lines; with reset, or for an empty property, the property
  // gets its default text first.
  void ReadThirdParty(bool reset);
  // Each property gets its list's text back.
  void WriteThirdParty();
  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnAfterChange;

  // ---- where skins are found
  // The files skins are read from (the disk when null). Tests hand in a memory one.
  void SetFileSystem(ISkinFileSystem* fileSystem);
  ISkinFileSystem& FileSystem() const { return fileSystem_ ? *fileSystem_ : DiskSkinFileSystem(); }
  // The program's folder with a trailing "\"; relative skin folders hang from it.
  const std::string& AppFolder() const { return appFolder_; }
  void SetAppFolder(const std::string& folder);
  // SkinDirectory made absolute (no separator at the end).
  std::string ResolveSkinDirectory() const;
  // Fills the list (sorted) with the stored skins, the skin folders holding "Options.dat"
  // (kind 0 or 2) and the packed skin files (kind 1 or 2); answers the first name found.
  std::string GetSkinNames(TStrings* list, int kind) const;
  bool LoadedFromPack() const { return loadedFromPack_; }
  void SetHost(ISkinManagerHost* host) { host_ = host; }
  // The message of the last skin that failed to load (empty after a good load).
  const std::string& LastLoadError() const { return lastLoadError_; }

  // ---- batches and broadcasts
  void BeginSkinBatch();
  void EndSkinBatch(bool animate, bool allowAnimation);
  void BroadcastNewSkin(bool animate);
  void BroadcastRemoveSkin();
  // CmdStopFade and CmdRefresh to every window, the forms frozen first (with freeze) and
  // animated to their new image afterwards; the skinned dialogs are redrawn.
  void BroadcastRefresh(bool freeze);
  void ResendSkin(bool animate);
  // True while the skin is being removed from every window.
  bool Unskinning() const { return unskinning_; }

  // ---- the tables
  const TsSkinData& CurrentSkin() const { return tables_.Skin; }
  const TsGeneralDataArray& Sections() const { return tables_.Sections; }
  TsMaskArray& Masks() { return tables_.Masks; }
  const TsMaskArray& Masks() const { return tables_.Masks; }
  const TsPatternArray& Patterns() const { return tables_.Patterns; }
  TBitmap* MasterImage() const { return tables_.MasterImage.get(); }
  const TsFixedIndexes& FixedIndexes() const { return fixedIndexes_; }
  void UpdateFixedIndexes();

  // ---- the window shadow of extended borders
  // 32-bit shadow images for active and inactive windows; null without.
  TBitmap* ShadowImageActive() const { return shadowImageActive_.get(); }
  TBitmap* ShadowImageInactive() const { return shadowImageInactive_.get(); }
  // The shadow's width on the left, top, right and bottom of a window.
  const TRect& ShadowMargins() const { return shadowMargins_; }
  // The shadow for the loaded skin: its EXBORDER mask, else the program's templates; zero
  // margins while the manager is not active or extended borders are off.
  void PrepareShadowTemplates();

  int GetSectionIndex(const std::string& name) const;
  // The mask (section, property), looked up again under the section's PARENTCLASS chain.
  int GetMaskIndex(int sectionIndex, const std::string& sectionName,
                   const std::string& propertyName) const;
  int GetTextureIndex(int sectionIndex, const std::string& sectionName,
                      const std::string& propertyName) const;
  int GetPatternIndex(int sectionIndex, const std::string& sectionName,
                      const std::string& propertyName) const;
  bool IsValidMaskIndex(int index) const;
  bool IsValidSectionIndex(int index) const;
  int MaskWidthLeft(int index);
  int MaskWidthRight(int index) const;
  int MaskWidthTop(int index) const;
  int MaskWidthBottom(int index) const;

  // ---- colours
  TColor GlobalColor() const;
  TColor GlobalFontColor() const;
  TColor GlobalHotColor() const;
  TColor EditTextColor() const;
  TColor SelectionColor(bool hot) const;
  TColor SelectionTextColor(bool hot) const;

 private:
  void LoadSkin();
  void ReadFromPacked(const std::vector<uint8_t>& packed, const std::string& path,
                      TsSkinTables& tables);
  void ReadFromIni(const TSkinIni& ini, const ISkinImageSource& images, TsSkinTables& tables);
  // Reads the skin in force again after a setting changed and refreshes every form (with
  // refreshInBatch also while a skin batch is open).
  void ReloadForSettings(bool refreshInBatch);
  void ClearTables();
  bool Reading() const;

  bool active_ = true;
  bool extendedBorders_ = false;
  bool unskinning_ = false;
  TskSkinningRules skinningRules_{srStdForms, srStdDialogs, srThirdParty};
  bool skinnedPopups_ = true;
  std::string skinName_;
  std::string skinDirectory_;
  int hueOffset_ = 0;
  int saturation_ = 0;
  TsStoredSkins internalSkins_;
  TStringList commonSections_;
  TskAnimEffects animEffects_;
  TskSkinEffects effects_;
  ThirdPartyList thirdParty_;
  std::array<TStringList, ThirdPartyListCount> thirdPartyLists_;
  ISkinFileSystem* fileSystem_ = nullptr;
  std::string appFolder_;
  ISkinManagerHost* host_ = nullptr;
  std::string lastLoadError_;
  bool loadedFromPack_ = false;
  TsSkinTables tables_;
  TsFixedIndexes fixedIndexes_;
  std::unique_ptr<TBitmap> shadowImageActive_;
  std::unique_ptr<TBitmap> shadowImageInactive_;
  TRect shadowMargins_{};
};

// The folder of the running program with a trailing separator: what a new manager takes as
// its AppFolder.
std::string DefaultAppFolder();

// The exact mask (section, property): no PARENTCLASS fall-back; -1 when none.
int FindMaskIndex(const TsSkinManager* manager, const std::string& sectionName,
                  const std::string& propertyName);

// ---- process-wide state -----------------------------------------------------------------------

// The live manager whose address is `value`; null for any other number (a freed manager, or
// whatever a foreign sender put into a message).
TsSkinManager* FindLiveSkinManager(intptr_t value);

// The first manager made, which controls without a manager of their own use.
extern TsSkinManager* DefaultManager;
// True while a manager reads a skin.
extern bool SkinLoadInProgress;
// True while a manager broadcasts CmdSkinChanged; a receiver clears it too.
extern bool SkinChangeInProgress;
// Re-entry guard shared by a button's forced pressed redraw and a form's menu rebuild.
extern bool PressedPaintFlag;
// While a pressed button repaints, the application's hints are off (HintsSuppressed) and
// their former setting is kept in SavedShowHint; the menu painter reads HintsSuppressed.
extern bool HintsSuppressed;
extern bool SavedShowHint;
// The speed button whose drop-down menu is open; null when none.
extern TObject* DroppedDownButton;
// Set when the menu painter measures a popup item; the popup-menu window adapter clears it
// when the menu window goes.
extern bool SkinnedMenuShowing;
// True between BeginSkinBatch and EndSkinBatch: a skin change loads but tells nobody.
extern bool SkinBatchOpen;
// Set for the rest of the run once a skin editor sent preview data.
extern bool SkinPreviewMode;

// ---- preview data from a skin editor ----------------------------------------------------------

// The block a skin editor sends: signature 0xA400, then the skin name (128 bytes), the skin
// folder (513) and an "Options.dat" text (30001), each ending at its first zero byte.
struct TSkinPreviewData {
  static constexpr uint32_t Signature = 0xA400;
  static constexpr size_t NameSize = 128;
  static constexpr size_t FolderSize = 513;
  static constexpr size_t TextSize = 30001;
  static constexpr size_t BlockSize = 4 + NameSize + FolderSize + TextSize;
  std::string SkinName;
  std::string SkinFolder;
  std::string OptionsText;
};

// Reads a block; false for a block of another size or another signature.
bool ParseSkinPreviewData(const void* data, size_t size, TSkinPreviewData& preview);
// Shows the previewed skin in the manager (preview mode from then on); false when the block
// is refused, and nothing changes then.
bool ApplySkinPreviewData(TsSkinManager& manager, const void* data, size_t size);

#ifdef _WIN32
struct TMessage;
// WM_COPYDATA from a skin editor: the block is applied and the message answered 1; a block
// that is refused leaves the message unanswered. False when nothing was applied.
bool HandleSkinPreviewData(TMessage& message, TsSkinManager& manager);
#endif
