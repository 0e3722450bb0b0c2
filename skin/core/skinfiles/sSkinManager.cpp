#include "skin/core/skinfiles/sSkinManager.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "framework/ScopeExit.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sMessages.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "skin/core/skinfiles/skSkinPack.h"

TsSkinManager* DefaultManager = nullptr;
bool SkinLoadInProgress = false;
bool SkinChangeInProgress = false;
bool PressedPaintFlag = false;
bool HintsSuppressed = false;
bool SavedShowHint = false;
TObject* DroppedDownButton = nullptr;
bool SkinnedMenuShowing = false;
bool SkinBatchOpen = false;
bool SkinPreviewMode = false;

namespace {

// Every manager alive, so that a number received as a manager can be checked before use.
std::vector<const TsSkinManager*>& LiveManagers() {
  static std::vector<const TsSkinManager*> managers;
  return managers;
}

// The "Options.dat" text of a skin editor's preview, present during one load.
const std::string* PreviewText = nullptr;

bool GlowingAvailableFlag = true;

const std::string kOptionsFile = "Options.dat";

// The bytes of a file the manager reads; packed skins may hold this much.
constexpr int64_t kMaxSkinFileSize = TskSkinPackLimits::MaxTotalSize;

// Size() is not const in the stream family, so the stream is taken as it is.
std::string TextOf(TMemoryStream& stream) {
  const auto* p = reinterpret_cast<const char*>(stream.Memory());
  return std::string(p, p + stream.Size());
}

class TPackedImageSource : public ISkinImageSource {
 public:
  explicit TPackedImageSource(const TskSkinConvertor& reader) : reader_(reader) {}
  TMemoryStream* Open(const std::string& value, std::unique_ptr<TMemoryStream>&) const override {
    const TskImageItem* item = reader_.FindImage(value);
    if (!item) return nullptr;
    item->Data->SetPosition(0);
    return item->Data.get();
  }

 private:
  const TskSkinConvertor& reader_;
};

class TFolderImageSource : public ISkinImageSource {
 public:
  TFolderImageSource(const ISkinFileSystem& fs, const std::string& folder)
      : fs_(fs), folder_(folder) {}
  TMemoryStream* Open(const std::string& value,
                      std::unique_ptr<TMemoryStream>& holder) const override {
    const std::string path = value.find(':') == std::string::npos ? folder_ + value : value;
    std::vector<uint8_t> bytes;
    if (!fs_.ReadFile(path, bytes, MaxSkinImageFileSize)) return nullptr;
    holder = std::make_unique<TMemoryStream>();
    if (!bytes.empty()) holder->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    holder->SetPosition(0);
    return holder.get();
  }

 private:
  const ISkinFileSystem& fs_;
  std::string folder_;
};

bool IsDriveRoot(const std::string& folder) {
  return folder.size() == 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
}

}  // namespace

#ifndef _WIN32
// Natively the program's folder comes from the process's own link (the Win32 half asks the
// module for its file name).
std::string DefaultAppFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string() + "/";
}
#endif

// ---- stored skins -----------------------------------------------------------------------------

TsStoredSkin::TsStoredSkin(TCollection* collection)
    : TCollectionItem(collection),
      masterBitmap_(std::make_unique<TBitmap>()),
      data_(std::make_unique<TMemoryStream>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TsStoredSkin*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  data_->Clear();
  const int64_t size = other->data_->Size();
  if (size > 0) data_->WriteBuffer(other->data_->Memory(), size);
  data_->SetPosition(0);
  Name = other->Name;
  masterBitmap_->Assign(other->masterBitmap_.get());
  Shadow1Color = other->Shadow1Color;
  Shadow1Offset = other->Shadow1Offset;
  Shadow1Blur = other->Shadow1Blur;
  Shadow1Transparency = other->Shadow1Transparency;
  BorderColor = other->BorderColor;
  Version = other->Version;
  Author = other->Author;
  Description = other->Description;
}

void TsStoredSkin::SetData(const std::vector<uint8_t>& bytes) {
  data_->Clear();
  if (!bytes.empty()) data_->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  data_->SetPosition(0);
}

TsStoredSkins::TsStoredSkins(TPersistent* owner)
    : TCollection(TsStoredSkin::StaticClassInfo(), owner) {}

TsStoredSkin* TsStoredSkins::AddSkin(const std::string& name, const std::vector<uint8_t>& data) {
  auto* skin = static_cast<TsStoredSkin*>(Add());
  skin->Name = name;
  skin->SetData(data);
  return skin;
}

int TsStoredSkins::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SkinAt(i)->Name == name) return i;
  return -1;
}

// ---- options ----------------------------------------------------------------------------------

bool TskSkinEffects::GlowingAvailable() { return GlowingAvailableFlag; }
void TskSkinEffects::SetGlowingAvailable(bool value) { GlowingAvailableFlag = value; }

std::string ThirdPartyList::DefaultText(int index) { return index == tpButtons ? "TButton" : " "; }

// ---- the manager ------------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner)
    : TComponent(owner),
      skinDirectory_("c:\\Skins"),
      internalSkins_(this),
      animEffects_(this),
      effects_(this),
      appFolder_(DefaultAppFolder()) {
  commonSections_.SetCaseSensitive(true);
  for (TStringList& list : thirdPartyLists_) list.SetCaseSensitive(true);
  ReadThirdParty(true);
  if (!DefaultManager) DefaultManager = this;
  LiveManagers().push_back(this);
}

TsSkinManager* FindLiveSkinManager(intptr_t value) {
  for (const TsSkinManager* manager : LiveManagers())
    if (reinterpret_cast<intptr_t>(manager) == value) return const_cast<TsSkinManager*>(manager);
  return nullptr;
}

void TsSkinManager::ReadThirdParty(bool reset) {
  for (int i = 0; i < ThirdPartyListCount; ++i) {
    std::string& text = thirdParty_.Texts[static_cast<size_t>(i)];
    if (reset || text.empty()) text = ThirdPartyList::DefaultText(i);
    thirdPartyLists_[static_cast<size_t>(i)].SetText(text);
  }
}

void TsSkinManager::WriteThirdParty() {
  for (int i = 0; i < ThirdPartyListCount; ++i)
    thirdParty_.Texts[static_cast<size_t>(i)] = thirdPartyLists_[static_cast<size_t>(i)].Text();
}

TsSkinManager::~TsSkinManager() {
  Destroying();
  // Every window is told that the skin goes, with this manager in LParam: a control that
  // names this manager forgets it, so no window keeps a pointer to a freed manager.
  active_ = false;
  extendedBorders_ = false;
  try {
    BroadcastRemoveSkin();
  } catch (...) {
    // A receiver's failure cannot leave a destructor; the tables still go below.
  }
  ClearTables();
  if (DefaultManager == this) DefaultManager = nullptr;
  auto& live = LiveManagers();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  ReadThirdParty(false);
  if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
  if (active_ && !skinName_.empty()) BroadcastNewSkin(false);
}

bool TsSkinManager::Reading() const { return ComponentState().Contains(csLoading); }

void TsSkinManager::SetFileSystem(ISkinFileSystem* fileSystem) { fileSystem_ = fileSystem; }

void TsSkinManager::SetAppFolder(const std::string& folder) {
  appFolder_ = folder;
  if (!appFolder_.empty() && appFolder_.back() != '\\' && appFolder_.back() != '/')
    appFolder_ += '\\';
}

void TsSkinManager::SetSkinDirectory(const std::string& value) { skinDirectory_ = value; }

std::string TsSkinManager::ResolveSkinDirectory() const {
  const std::string& p = skinDirectory_;
  const std::string& a = appFolder_;
  if (p.rfind("..", 0) == 0) {
    std::string parent = a;
    if (!parent.empty()) parent.pop_back();
    while (!parent.empty() && parent.back() != '\\' && parent.back() != '/') parent.pop_back();
    // A drive root has no parent: ".." stays at the root.
    if (parent.empty() || IsDriveRoot(a)) parent = a;
    return parent + (p.size() > 3 ? p.substr(3) : std::string());
  }
  if (p.rfind(".\\", 0) == 0 || p.rfind("./", 0) == 0) return a + p.substr(2);
#ifndef _WIN32
  // Natively an absolute path begins with "/".
  if (!p.empty() && p[0] == '/') return p;
#endif
  if (p.find(':') == std::string::npos && p.find("\\\\") == std::string::npos) return a + p;
  return p;
}

std::string TsSkinManager::GetSkinNames(TStrings* list, int kind) const {
  std::vector<std::string> names;
  std::string first;
  for (int i = 0; i < internalSkins_.Count(); ++i) names.push_back(internalSkins_.SkinAt(i)->Name);
  if (!names.empty()) first = names[0];
  const std::string dir = ResolveSkinDirectory();
  const ISkinFileSystem& fs = FileSystem();
  if (fs.FolderExists(dir)) {
    for (const ISkinFileSystem::TEntry& entry : fs.ListFolder(dir)) {
      if (entry.Name.empty() || entry.Name[0] == '.') continue;
      std::string name;
      if (entry.IsFolder) {
        if (kind == snPacked) continue;
        if (!fs.FileExists(dir + "\\" + entry.Name + "\\" + kOptionsFile)) continue;
        name = entry.Name;
      } else {
        if (kind == snFolders || ExtractFileExt(entry.Name) != ".asz") continue;
        name = entry.Name.substr(0, entry.Name.find('.'));
      }
      if (first.empty()) first = name;
      names.push_back(name);
    }
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) {
    return AnsiCompareText(x, y) < 0;
  });
  if (list) {
    list->Clear();
    for (const std::string& name : names) list->Add(name);
  }
  return first;
}

// ---- switching and reading --------------------------------------------------------------------

void TsSkinManager::SetSkinName(const std::string& value) {
  const std::string oldName = skinName_;
  skinName_ = value;
  if (!active_) return;
  if (OnBeforeChange) OnBeforeChange(this);
  {
    // Forms prepared for the animation that no new-skin broadcast takes over (the load
    // failed, no skin was found) must not stay animating.
    bool prepared = false;
    TScopeExit endChange([&] {
      SkinLoadInProgress = false;
      if (prepared && host_) host_->AbandonSkinChangeAnimation(*this);
    });
    if (ExtendedBorders() && !SkinBatchOpen && animEffects_.SkinChanging.Active && host_) {
      prepared = true;
      host_->PrepareSkinChangeAnimation(*this);
    }
    SkinLoadInProgress = true;
    const bool wasActive = tables_.Skin.Active;
    tables_.Skin.Active = false;
    bool loaded = false;
    try {
      LoadSkin();
      loaded = true;
    } catch (const std::exception& e) {
      // The previous skin stays: its name comes back and its tables were never touched.
      skinName_ = oldName;
      tables_.Skin.Active = wasActive;
      lastLoadError_ = e.what();
      if (host_) host_->ShowMessage(*this, lastLoadError_, true);
    }
    if (loaded) {
      if (!active_) {
        BroadcastRemoveSkin();
      } else if (!SkinBatchOpen) {
        prepared = false;  // the broadcast ends what was prepared, also when it fails
        BroadcastNewSkin(true);
      }
    }
  }
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::LoadSkin() {
  const ISkinFileSystem& fs = FileSystem();
  const std::string dir = ResolveSkinDirectory();
  // Both the packed file and the folder are looked for in the resolved folder.
  const std::string packedPath = dir + "\\" + skinName_ + ".asz";
  const std::string folder = dir + "\\" + skinName_ + "\\";
  auto tables = std::make_unique<TsSkinTables>();
  bool fromPack = false;
  const bool previewFolder = SkinPreviewMode && fs.FolderExists(dir + "\\" + skinName_);
  std::vector<uint8_t> bytes;
  if (!previewFolder && fs.FileExists(packedPath)) {
    if (!fs.ReadFile(packedPath, bytes, kMaxSkinFileSize))
      throw ESkinLoadError("Packed skin file " + packedPath + " cannot be read");
    ReadFromPacked(bytes, dir + "\\", *tables);
    fromPack = true;
  } else if (PreviewText || fs.FileExists(folder + kOptionsFile)) {
    std::string text;
    if (PreviewText) {
      text = *PreviewText;
    } else {
      if (!fs.ReadFile(folder + kOptionsFile, bytes, kMaxSkinIniSize))
        throw ESkinLoadError("Skin file " + folder + kOptionsFile +
                             " cannot be read or is larger than " + IntToStr(kMaxSkinIniSize) +
                             " bytes");
      text.assign(bytes.begin(), bytes.end());
    }
    CheckSkinIniText(text, folder + kOptionsFile);
    const TSkinIni ini(text);
    const TFolderImageSource images(fs, folder);
    tables->Skin.SkinPath = folder;
    ReadFromIni(ini, images, *tables);
  } else {
    int index = internalSkins_.IndexOfName(skinName_);
    if (index < 0 && internalSkins_.Count() > 0) {
      index = 0;
      skinName_ = internalSkins_.SkinAt(0)->Name;
    }
    if (index < 0) {
      // No source has the skin: the manager switches itself off.
      active_ = false;
      return;
    }
    TMemoryStream* data = internalSkins_.SkinAt(index)->Data();
    if (data->Size() > 0) {
      bytes.assign(data->Memory(), data->Memory() + data->Size());
      ReadFromPacked(bytes, "", *tables);
      fromPack = true;
    }
  }
  // Only a skin that was read completely replaces the tables in use.
  tables_ = std::move(*tables);
  loadedFromPack_ = fromPack;
  lastLoadError_.clear();
  UpdateFixedIndexes();
  // The shadow is made once a skin is read, not again each time the skin is broadcast.
  PrepareShadowTemplates();
  if (tables_.Skin.Version > 7.99 && host_)
    host_->ShowMessage(*this,
                       "This version of the skin have not complete support by used skin engine "
                       "release.\nComponents must be updated up to latest version for using "
                       "this skin.",
                       false);
}

void TsSkinManager::ReadFromPacked(const std::vector<uint8_t>& packed, const std::string& path,
                                   TsSkinTables& tables) {
  auto reader = std::make_unique<TskSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  if (!packed.empty()) source->WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
  reader->SetSource(source.release(), true);
  ReadPackedSkin(reader);
  reader->ReleaseSource();
  const std::string text = TextOf(*reader->Options);
  CheckSkinIniText(text, kOptionsFile);
  const TSkinIni ini(text);
  const TPackedImageSource images(*reader);
  tables.Skin.SkinPath = path;
  ReadFromIni(ini, images, tables);
}

void TsSkinManager::ReadFromIni(const TSkinIni& ini, const ISkinImageSource& images,
                                TsSkinTables& tables) {
  TSkinReadSettings settings;
  settings.HueOffset = hueOffset_;
  settings.Saturation = saturation_;
  settings.Manager = this;
  const std::string path = tables.Skin.SkinPath;
  std::vector<std::string> common;
  for (int i = 0; i < commonSections_.Count(); ++i) common.push_back(commonSections_[i]);
  const TFolderImageSource disk(FileSystem(), path);
  settings.CommonSections = &common;
  settings.DiskImages = &disk;
  ReadSkinTables(ini, images, settings, tables);
  tables.Skin.SkinPath = path;
}

void TsSkinManager::SetCommonSections(const TStrings& lines) {
  commonSections_.Clear();
  for (int i = 0; i < lines.Count(); ++i) {
    std::string line = lines[i];
    if (!line.empty() && line[0] != ';') line = RemoveChar(line, ' ');
    commonSections_.Add(line);
  }
  if (active_ && !Reading() && !skinName_.empty()) SetSkinName(skinName_);
}

void TsSkinManager::SetActive(bool value) {
  active_ = value;
  if (Reading()) return;
  if (value) {
    SetSkinName(skinName_);
  } else {
    BroadcastRemoveSkin();
    UpdateFixedIndexes();
    PrepareShadowTemplates();
  }
}

void TsSkinManager::ReloadForSettings(bool refreshInBatch) {
  if (!active_ || !tables_.Skin.Active) return;
  {
    SkinLoadInProgress = true;
    TScopeExit endLoad([] { SkinLoadInProgress = false; });
    // The skin stays in force while it is read again; only its colours change.
    LoadSkin();
    tables_.Skin.Active = active_;
  }
  if (!Reading() && (refreshInBatch || !SkinBatchOpen)) BroadcastRefresh(true);
}

void TsSkinManager::SetHueOffset(int value) {
  hueOffset_ = value;
  ReloadForSettings(false);
}

void TsSkinManager::SetSaturation(int value) {
  saturation_ = value;
  ReloadForSettings(false);
}

bool TsSkinManager::ExtendedBorders() const { return extendedBorders_ && HasLayeredWindows(); }

void TsSkinManager::SetExtendedBorders(bool value) {
  if (extendedBorders_ == value) return;
  extendedBorders_ = value;
  // The shadow first: reading the skin again prepares it once more with the new tables.
  PrepareShadowTemplates();
  ReloadForSettings(true);
}

void TsSkinManager::PrepareShadowTemplates() {
  if (!active_ || !ExtendedBorders()) {
    shadowMargins_ = TRect{};
    return;
  }
  TsShadowImages shadow = MakeShadowImages(*this, ActiveShadowTemplate.get(),
                                           InactiveShadowTemplate.get(), IsCompositionEnabled());
  shadowImageActive_ = std::move(shadow.Active);
  shadowImageInactive_ = std::move(shadow.Inactive);
  shadowMargins_ = shadow.Margins;
}

bool TsSkinManager::IsDefault() const { return DefaultManager == this; }

void TsSkinManager::SetIsDefault(bool value) {
  if (!value && DefaultManager) return;  // the default manager cannot give up the role
  DefaultManager = this;
  if (active_)
    BroadcastNewSkin(true);
  else
    BroadcastRemoveSkin();
}

std::string TsSkinManager::SkinInfo() const {
  if (!tables_.Skin.Active) return "N/A";
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, tables_.Skin.Version);
  return std::string(text, result.ptr);
}

// ---- broadcasts -------------------------------------------------------------------------------

void TsSkinManager::BeginSkinBatch() { SkinBatchOpen = true; }

void TsSkinManager::EndSkinBatch(bool animate, bool allowAnimation) {
  SkinBatchOpen = false;
  const bool saved = animEffects_.SkinChanging.Active;
  if (!allowAnimation) animEffects_.SkinChanging.Active = false;
  ResendSkin(animate);
  animEffects_.SkinChanging.Active = saved;
}

void TsSkinManager::ResendSkin(bool animate) {
  if (active_) BroadcastNewSkin(animate);
}

void TsSkinManager::BroadcastNewSkin(bool animate) {
  if (Reading()) return;
  if (host_) host_->FreeAllGlows();
  // A receiver's exception must leave no form frozen and no change in progress.
  TScopeExit recover([&] {
    SkinChangeInProgress = false;
    if (animate && host_) host_->AbandonSkinChangeAnimation(*this);
  });
  if (animate && host_) host_->FreezeFormsForSkinChange(*this);
  // The menu painter measures its border from the skin on every use: no cached width to reset.
  tables_.Skin.Active = false;
  SkinChangeInProgress = true;
  UpdateFixedIndexes();
  if (host_) host_->SendToAllForms(*this, CmdSkinChanged);
  SkinChangeInProgress = false;
  tables_.Skin.Active = true;
  if (IsDefault() && host_) host_->InstallCbtHook(*this);
  if (host_) host_->SkinStateChanged(*this);
  if (animate) BroadcastRefresh(false);
  recover.Dismiss();
}

void TsSkinManager::BroadcastRemoveSkin() {
  unskinning_ = true;
  TScopeExit endUnskinning([&] { unskinning_ = false; });
  if (host_) {
    host_->FreeAllGlows();
    host_->RemoveCbtHook(*this);
  }
  tables_.Skin.Active = false;
  if (host_) host_->SendToAllForms(*this, CmdRemoveSkin);
  ClearTables();
  if (host_) host_->SkinStateChanged(*this);
}

void TsSkinManager::BroadcastRefresh(bool freeze) {
  if (!host_) return;
  host_->SendToAllForms(*this, CmdStopFade);
  if (Reading()) {
    host_->SendToAllForms(*this, CmdRefresh);
    return;
  }
  {
    TScopeExit recover([&] { host_->AbandonSkinChangeAnimation(*this); });
    if (freeze) host_->FreezeFormsForSkinChange(*this);
    host_->SendToAllForms(*this, CmdRefresh);
    host_->FinishSkinChangeAnimation(*this, true);
    recover.Dismiss();
  }
  host_->RedrawDialogs();
}

void TsSkinManager::ClearTables() {
  tables_.Masks.clear();
  tables_.MasterImage.reset();
  tables_.Patterns.clear();
  tables_.Sections.clear();
}

// ---- lookups ----------------------------------------------------------------------------------

int TsSkinManager::GetSectionIndex(const std::string& name) const {
  return SectionIndexOf(tables_.Sections, name);
}

int TsSkinManager::GetMaskIndex(int sectionIndex, const std::string& sectionName,
                                const std::string& propertyName) const {
  return MaskIndexOf(tables_.Sections, tables_.Masks, sectionIndex, sectionName, propertyName);
}

int TsSkinManager::GetTextureIndex(int sectionIndex, const std::string& sectionName,
                                   const std::string& propertyName) const {
  return MaskIndexOf(tables_.Sections, tables_.Masks, sectionIndex, sectionName, propertyName,
                     TMaskFilter::Textures);
}

int TsSkinManager::GetPatternIndex(int sectionIndex, const std::string& sectionName,
                                   const std::string& propertyName) const {
  return PatternIndexOf(tables_.Sections, tables_.Patterns, sectionIndex, sectionName,
                        propertyName);
}

bool TsSkinManager::IsValidMaskIndex(int index) const {
  return index >= 0 && index < static_cast<int>(tables_.Masks.size());
}

bool TsSkinManager::IsValidSectionIndex(int index) const {
  return index >= 0 && index < static_cast<int>(tables_.Sections.size());
}

int TsSkinManager::MaskWidthLeft(int index) {
  if (!IsValidMaskIndex(index)) return 0;
  TsMaskData& mask = tables_.Masks[static_cast<size_t>(index)];
  if (mask.ImageCount == 0) mask.ImageCount = 1;
  if (mask.WidthLeft > 0) return mask.WidthLeft;
  if (mask.BorderWidth > 0) return mask.BorderWidth;
  return MaskStateWidth(mask);
}

int TsSkinManager::MaskWidthRight(int index) const {
  if (!IsValidMaskIndex(index)) return 0;
  const TsMaskData& mask = tables_.Masks[static_cast<size_t>(index)];
  if (mask.WidthRight > 0) return mask.WidthRight;
  if (mask.BorderWidth > 0) return mask.BorderWidth;
  return MaskStateWidth(mask);
}

int TsSkinManager::MaskWidthTop(int index) const {
  if (!IsValidMaskIndex(index)) return 0;
  const TsMaskData& mask = tables_.Masks[static_cast<size_t>(index)];
  if (mask.WidthTop > 0) return mask.WidthTop;
  if (mask.BorderWidth > 0) return mask.BorderWidth;
  return MaskStateHeight(mask);
}

int TsSkinManager::MaskWidthBottom(int index) const {
  if (!IsValidMaskIndex(index)) return 0;
  const TsMaskData& mask = tables_.Masks[static_cast<size_t>(index)];
  if (mask.WidthBottom > 0) return mask.WidthBottom;
  if (mask.BorderWidth > 0) return mask.BorderWidth;
  return MaskStateHeight(mask);
}

int FindMaskIndex(const TsSkinManager* manager, const std::string& sectionName,
                  const std::string& propertyName) {
  if (!manager || sectionName.empty()) return -1;
  const TsMaskArray& masks = manager->Masks();
  for (size_t i = 0; i < masks.size(); ++i)
    if (masks[i].SectionName == sectionName && masks[i].PropertyName == propertyName)
      return static_cast<int>(i);
  return -1;
}

void TsSkinManager::UpdateFixedIndexes() {
  TsFixedIndexes f;
  if (!tables_.Sections.empty()) {
    auto section = [&](const char* name) { return GetSectionIndex(name); };
    auto mask = [&](int s, const char* name, const char* property) {
      return s < 0 ? -1 : GetMaskIndex(s, name, property);
    };
    f.GlobalInfo = section("GLOBALINFO");
    const int g = f.GlobalInfo;
    f.BoxChecked = mask(g, "GLOBALINFO", "BOXCHECKED");
    f.BoxUnchecked = mask(g, "GLOBALINFO", "BOXUNCHECKED");
    f.BoxGrayed = mask(g, "GLOBALINFO", "BOXGRAYED");
    f.RadioChecked = mask(g, "GLOBALINFO", "RADIOCHECKED");
    f.RadioUnchecked = mask(g, "GLOBALINFO", "RADIOUNCHECKED");
    f.RadioGrayed = mask(g, "GLOBALINFO", "RADIOGRAYED");
    f.SmallChecked = mask(g, "GLOBALINFO", "SMALLCHECKED");
    f.SmallUnchecked = mask(g, "GLOBALINFO", "SMALLUNCHECKED");
    f.SmallGrayed = mask(g, "GLOBALINFO", "SMALLGRAYED");
    f.ExBorder = mask(g, "GLOBALINFO", "EXBORDER");
    f.ComboBtn = section("COMBOBTN");
    f.ComboBtnBorder = FindMaskIndex(this, "COMBOBTN", "BORDERSMASK");
    f.ComboBtnPattern = GetTextureIndex(f.ComboBtn, "COMBOBTN", "PATTERN");
    f.ComboBtnHotPattern = GetTextureIndex(f.ComboBtn, "COMBOBTN", "HOTPATTERN");
    f.ComboGlyph = FindMaskIndex(this, "COMBOBOX", "GLYPHMASK");
    const char* tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (size_t i = 0; i < 4; ++i) {
      f.Tab[i] = section(tabs[i]);
      f.TabMask[i] = mask(f.Tab[i], tabs[i], "BORDERSMASK");
    }
    auto part = [&](const char* name, bool glyph) {
      TsFixedIndexes::TScrollPart p;
      p.Section = section(name);
      p.BorderMask = mask(p.Section, name, "BORDERSMASK");
      if (glyph) p.GlyphMask = mask(p.Section, name, "GLYPHMASK");
      p.Pattern = mask(p.Section, name, "PATTERN");
      p.HotPattern = mask(p.Section, name, "HOTPATTERN");
      return p;
    };
    const char* buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    for (size_t i = 0; i < 4; ++i) f.ScrollBtn[i] = part(buttons[i], true);
    f.ScrollSliderV = part("SCROLLSLIDERV", true);
    f.ScrollSliderH = part("SCROLLSLIDERH", true);
    const char* bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (size_t i = 0; i < 4; ++i) f.ScrollBar[i] = part(bars[i], false);
  }
  fixedIndexes_ = f;
}

// ---- colours ----------------------------------------------------------------------------------

TColor TsSkinManager::GlobalColor() const {
  const int g = GetSectionIndex("GLOBALINFO");
  return g < 0 ? clBtnFace : tables_.Sections[static_cast<size_t>(g)].Color;
}

TColor TsSkinManager::GlobalFontColor() const {
  const int g = GetSectionIndex("GLOBALINFO");
  return g < 0 ? clFuchsia : tables_.Sections[static_cast<size_t>(g)].FontColor;
}

TColor TsSkinManager::GlobalHotColor() const {
  const int g = GetSectionIndex("GLOBALINFO");
  return g < 0 ? clWindow : tables_.Sections[static_cast<size_t>(g)].HotColor;
}

TColor TsSkinManager::EditTextColor() const {
  const int e = GetSectionIndex("EDIT");
  return e < 0 ? clWindowText : tables_.Sections[static_cast<size_t>(e)].Props[0].FontColor;
}

TColor TsSkinManager::SelectionColor(bool hot) const {
  const int s = GetSectionIndex("SELECTION");
  if (s >= 0) {
    const TsGeneralData& g = tables_.Sections[static_cast<size_t>(s)];
    const TColor c = g.Props[hot && g.States > 1 ? 1 : 0].Color;
    if (c != -1 && c != clFuchsia) return c;
  }
  const int m = GetSectionIndex("MENUITEM");
  if (m >= 0) {
    const TColor c = tables_.Sections[static_cast<size_t>(m)].HotColor;
    if (c != clFuchsia && c != 0xFFFFFF && c != -1) return c;
  }
  return clHighlight;
}

TColor TsSkinManager::SelectionTextColor(bool hot) const {
  const int s = GetSectionIndex("SELECTION");
  if (s >= 0) {
    const TsGeneralData& g = tables_.Sections[static_cast<size_t>(s)];
    const TColor c = g.Props[hot && g.States > 1 ? 1 : 0].FontColor;
    if (c != -1 && c != clFuchsia) return c;
  }
  const int m = GetSectionIndex("MENUITEM");
  if (m >= 0) {
    const TColor c = tables_.Sections[static_cast<size_t>(m)].HotFontColor;
    if (c != -1 && c != clFuchsia) return c;
  }
  return clHighlightText;
}

// ---- preview data -----------------------------------------------------------------------------

namespace {

// The text of a fixed-size field: up to its first zero byte, never past the field.
std::string FieldText(const uint8_t* field, size_t size) {
  const void* zero = std::memchr(field, 0, size);
  const size_t length =
      zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - field) : size;
  return std::string(reinterpret_cast<const char*>(field), length);
}

}  // namespace

bool ParseSkinPreviewData(const void* data, size_t size, TSkinPreviewData& preview) {
  if (!data || size < TSkinPreviewData::BlockSize) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  const uint32_t signature =
      p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  if (signature != TSkinPreviewData::Signature) return false;
  p += 4;
  preview.SkinName = FieldText(p, TSkinPreviewData::NameSize);
  p += TSkinPreviewData::NameSize;
  preview.SkinFolder = FieldText(p, TSkinPreviewData::FolderSize);
  p += TSkinPreviewData::FolderSize;
  preview.OptionsText = FieldText(p, TSkinPreviewData::TextSize);
  return true;
}

bool ApplySkinPreviewData(TsSkinManager& manager, const void* data, size_t size) {
  TSkinPreviewData preview;
  if (!ParseSkinPreviewData(data, size, preview)) return false;
  SkinPreviewMode = true;
  manager.BeginSkinBatch();
  PreviewText = &preview.OptionsText;
  struct TEndPreview {
    ~TEndPreview() { PreviewText = nullptr; }
  } endPreview;
  manager.SetSkinDirectory(preview.SkinFolder);
  manager.SetSkinName(preview.SkinName);
  manager.EndSkinBatch(true, false);
  return true;
}
