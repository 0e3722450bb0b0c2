#include "skin/core/painting/sCommonData.h"

#include <algorithm>

#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

struct TKindRange {
  int First, Last;
};

template <size_t N>
bool InRanges(TsControlKind kind, const TKindRange (&ranges)[N]) {
  const int code = static_cast<int>(kind);
  for (const TKindRange& r : ranges)
    if (code >= r.First && code <= r.Last) return true;
  return false;
}

constexpr TKindRange kEditLike[] = {{2, 18}, {41, 41}, {76, 84}, {96, 96}, {131, 140}};
constexpr TKindRange kNoHotState[] = {{19, 19}, {51, 74}, {110, 110}, {141, 161}};
constexpr TKindRange kNoGlow[] = {{51, 52},   {54, 54},   {56, 60},   {68, 68},
                                  {73, 74},   {110, 110}, {141, 141}, {143, 143},
                                  {151, 151}, {161, 161}, {226, 226}};

struct TKindSection {
  TKindRange Kinds;
  const char* Section;
};

constexpr TKindSection kDefaultSections[] = {
    {{2, 8}, "EDIT"},          {{10, 10}, "EDIT"},          {{41, 41}, "EDIT"},
    {{76, 76}, "EDIT"},        {{78, 78}, "EDIT"},          {{83, 85}, "EDIT"},
    {{96, 96}, "EDIT"},        {{131, 131}, "EDIT"},        {{140, 140}, "EDIT"},
    {{227, 227}, "EDIT"},      {{11, 18}, "COMBOBOX"},      {{81, 82}, "COMBOBOX"},
    {{19, 19}, "BAR"},         {{20, 20}, "BARTITLE"},      {{32, 32}, "CHECKBOX"},
    {{152, 152}, "CHECKBOX"},  {{33, 33}, "RADIOBUTTON"},   {{51, 51}, "PANEL"},
    {{59, 59}, "PANEL"},       {{68, 68}, "PANEL"},         {{73, 73}, "PANEL"},
    {{52, 52}, "PANEL_LOW"},   {{58, 58}, "PANEL_LOW"},     {{53, 54}, "TOOLBAR"},
    {{60, 60}, "TOOLBAR"},     {{56, 56}, "DRAGBAR"},       {{57, 57}, "TABSHEET"},
    {{74, 74}, "GROUPBOX"},    {{226, 226}, "GROUPBOX"},    {{75, 75}, "SPLITTER"},
    {{92, 92}, "SPEEDBUTTON"}, {{95, 95}, "SPEEDBUTTON"},   {{93, 94}, "BUTTON"},
    {{98, 98}, "TOOLBUTTON"},  {{141, 141}, "PAGECONTROL"}, {{143, 143}, "PAGECONTROL"},
    {{151, 151}, "STATUSBAR"}, {{161, 161}, "GAUGE"},       {{165, 165}, "TRACKBAR"},
};

bool IsBeingDestroyed(const TsSkinManager* manager) {
  return manager->ComponentState().Contains(csDestroying);
}

}  // namespace

bool IsEditLikeKind(TsControlKind kind) { return InRanges(kind, kEditLike); }
bool IsNoHotStateKind(TsControlKind kind) { return InRanges(kind, kNoHotState); }
bool IsNoGlowKind(TsControlKind kind) { return InRanges(kind, kNoGlow); }
bool HasNoGlow(TsControlKind kind) {
  // Buttons show their hot look themselves.
  return IsNoGlowKind(kind) || kind == TsControlKind::SpeedButton ||
         kind == TsControlKind::Button || kind == TsControlKind::BitBtn;
}

std::string DefaultSectionOfKind(TsControlKind kind) {
  const int code = static_cast<int>(kind);
  for (const TKindSection& entry : kDefaultSections)
    if (code >= entry.Kinds.First && code <= entry.Kinds.Last) return entry.Section;
  return std::string();
}

TColor GetHostBgColor(ISkinDataHost* host) {
  if (!host) return clFuchsia;
  if (host->SkinCmd(CmdIsSkinned, 0, 0) == 1)
    return ColorToRGB(static_cast<TColor>(host->SkinCmd(CmdGetBgColor, 0, clFuchsia)));
  return ColorToRGB(host->Color());
}

// ---- the skin data ----------------------------------------------------------------------------

TsCommonData::TsCommonData(ISkinDataHost* owner, bool withCache) : host_(owner) {
  if (withCache) CacheBitmap = CreateBmp32(0, 0);
}

TsCommonData::~TsCommonData() { FreeShownGlow(); }

void TsCommonData::FreeShownGlow() {
  if (GlowIndex >= 0 && FormServices().GlowSerial(GlowIndex) == glowSerial_)
    FormServices().FreeGlow(GlowIndex);
  GlowIndex = -1;
  glowSerial_ = 0;
}

void TsCommonData::SetShownGlow(int id) {
  GlowIndex = id;
  glowSerial_ = FormServices().GlowSerial(id);
}

TsCommonData::TGlowAction TsCommonData::GlowAction(bool hide, bool leftButtonDown) const {
  TsSkinManager* manager = SkinManager();
  const TsGeneralData* section = Section();
  if (!manager || !manager->Effects()->AllowGlowing() || !section || section->Glow < 1)
    return TGlowAction::None;
  if (hide || (host_ && host_->IsControl() && (!MouseOver || leftButtonDown)))
    return TGlowAction::Free;
  return TGlowAction::Show;
}

TsSkinManager* TsCommonData::SkinManager() const {
  return skinManager_ ? skinManager_ : DefaultManager;
}

const TsGeneralData* TsCommonData::Section() const {
  const TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidSectionIndex(SectionIndex)) return nullptr;
  return &manager->Sections()[static_cast<size_t>(SectionIndex)];
}

const TsMaskData* TsCommonData::BorderMask() const {
  const TsSkinManager* manager = SkinManager();
  if (!manager || !manager->IsValidMaskIndex(BorderMaskIndex)) return nullptr;
  return &manager->Masks()[static_cast<size_t>(BorderMaskIndex)];
}

bool TsCommonData::IsSkinned(bool checkActive) const {
  const TsSkinManager* manager = SkinManager();
  if (!manager || IsBeingDestroyed(manager)) return false;
  if (!manager->IsValidSectionIndex(SectionIndex)) return false;
  if (host_ && host_->IsDestroying()) return false;
  return checkActive ? manager->CurrentSkin().Active : true;
}

bool TsCommonData::IsActive() const {
  if (!host_) return false;
  if (host_->IsEnabled() && HasFocus) return true;
  const TsGeneralData* section = Section();
  return MouseOver && section && section->States > 1;
}

bool TsCommonData::NeedsCache() const {
  return !(SkinState & ssPlainBackground) || HasFocus || MouseOver || AnimationRunning;
}

bool TsCommonData::PaintingSuspended() const {
  if (PaintSuspended) return true;
  if (!NeedsCache() || !host_) return false;
  ISkinDataHost* parent = host_->Parent();
  return parent && parent->SkinCmd(CmdIsUpdating, 0, 0) != 0;
}

void TsCommonData::UpdateIndexes() {
  BackgroundDirty = true;
  TsSkinManager* manager = SkinManager();
  SectionIndex = manager && manager->Active() ? manager->GetSectionIndex(skinSection_) : -1;
  UpdateBgDependency();
  SkinState = 0;
  if (SectionIndex >= 0) {
    BorderMaskIndex = manager->Sections()[static_cast<size_t>(SectionIndex)].BorderMaskIndex;
    PatternIndex = manager->GetTextureIndex(SectionIndex, skinSection_, "PATTERN");
    HotPatternIndex = manager->GetTextureIndex(SectionIndex, skinSection_, "HOTPATTERN");
    UpdateSkinState(false);
  } else {
    PatternIndex = -1;
    HotPatternIndex = -1;
  }
}

void TsCommonData::UpdateBgDependency() {
  BgDependency = 0;
  const TsGeneralData* section = Section();
  if (!section) return;
  if (section->ImagePercent != 0) BgDependency |= 4;
  if (section->GradientPercent != 0 && !section->Gradient.empty()) {
    switch (section->Gradient.front().Mode) {
      case 0:
        BgDependency |= 2;
        break;
      case 1:
        BgDependency |= 1;
        break;
      case 2:
        BgDependency |= 3;
        break;
      default:
        break;
    }
  }
}

void TsCommonData::ApplyDefaultSection() {
  if (!skinSection_.empty()) {
    UpdateIndexes();
    return;
  }
  std::string section = DefaultSectionOfKind(ControlKind);
  if (section.empty() && host_) section = host_->ClassName();
  SetSkinSection(section);
}

void TsCommonData::SetSkinSection(const std::string& value) {
  if (value == skinSection_) return;
  skinSection_ = value.empty() ? "UNKNOWN" : UpperCase(value);
  TsSkinManager* manager = SkinManager();
  const bool hasSections = manager && !manager->Sections().empty();
  if (hasSections)
    UpdateIndexes();
  else
    SectionIndex = -1;
  if (!host_) return;
  if (host_->IsControl()) {
    if (host_->IsLoading() || host_->IsDestroying() || !host_->Parent()) return;
    const bool stays = hasSections && manager->IsValidSectionIndex(SectionIndex);
    host_->SkinCmd(stays ? CmdRefresh : CmdRemoveSkin, 0, reinterpret_cast<intptr_t>(manager));
  } else {
    BackgroundDirty = true;
  }
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == skinManager_) return;
  skinManager_ = value == DefaultManager ? nullptr : value;
  if (host_ && host_->IsControl() && host_->IsLoading()) return;
  const bool hasSections = value && !value->Sections().empty();
  if (hasSections)
    UpdateIndexes();
  else
    SectionIndex = -1;
  const bool stays = hasSections && value->IsValidSectionIndex(SectionIndex);
  // A provider's own skin-command method does nothing with it; a control hears it.
  if (host_ && host_->IsControl() && host_->Parent() && !host_->IsDestroying())
    host_->SkinCmd(stays ? CmdRefresh : CmdRemoveSkin, 0, reinterpret_cast<intptr_t>(value));
}

void TsCommonData::Loaded() {
  ApplyDefaultSection();
  if (IsSkinned() && host_ && host_->IsControl() && host_->Parent() && !host_->IsLoading()) {
    if (host_->IsWindowed()) host_->NotifyControlChanged();
    UpdateColors(false);
  }
}

void TsCommonData::UpdateColors(bool invalidate) {
  if (!IsSkinned() || !IsEditLikeKind(ControlKind) || !host_ || !host_->IsControl()) return;
  const TsGeneralData& section = *Section();
  auto skinColour = [&](TColor c) {
    return ChangeColorSaturation(ChangeColorHue(HUEOffset, c), Saturation);
  };
  if (!CustomColor) {
    const TColor color = skinColour(section.Color);
    if (host_->Color() != color) host_->SetColor(color);
  }
  if (!CustomFont) {
    const TColor color = skinColour(section.FontColor);
    if (host_->FontColor() != color) host_->SetFontColor(color);
  }
  if (invalidate) Invalidate();
}

bool TsCommonData::HasComplexBackground() const {
  TsSkinManager* manager = SkinManager();
  const TsGeneralData* section = Section();
  if (!section) return false;
  if (manager->IsValidMaskIndex(BorderMaskIndex)) {
    if (manager->MaskWidthLeft(BorderMaskIndex) + manager->MaskWidthRight(BorderMaskIndex) > 20 ||
        manager->MaskWidthTop(BorderMaskIndex) + manager->MaskWidthBottom(BorderMaskIndex) > 20)
      return true;
  }
  const int t = section->Transparency;
  if (t == 100) {
    ISkinDataHost* parent = host_ && host_->IsControl() ? host_->Parent() : nullptr;
    if (!parent) return true;
    return (parent->SkinCmd(CmdSkinState, 0, 0) & ssPlainBackground) == 0;
  }
  if (t != 0) return true;
  return section->ImagePercent != 0 || section->GradientPercent != 0;
}

void TsCommonData::UpdateSkinState(bool passToChildren) {
  SkinState &= static_cast<uint16_t>(~ssPlainBackground);
  if (!host_) return;
  if (host_->IsControl()) {
    if (host_->IsPlainContainer() && !HasComplexBackground()) SkinState |= ssPlainBackground;
    if (passToChildren && host_->IsWindowed())
      for (ISkinDataHost* child : host_->Children()) child->SkinCmd(CmdSkinState, 0, 1);
  } else if (!HasComplexBackground() && !host_->IsMdiForm()) {
    SkinState |= ssPlainBackground;
  }
}

bool TsCommonData::DependsOnParentBg() const {
  if (ImmediatePaint || !IsSkinned()) return true;
  if (!host_ || !host_->IsControl() || !host_->IsEnabled() || host_->IsTabSheet()) return true;
  if (Section()->Transparency <= 0) return false;
  ISkinDataHost* parent = host_->Parent();
  return parent && parent->SkinCmd(CmdIsBgGraphic, 0, 0) != 0;
}

int TsCommonData::ParentBgIsGraphic() const {
  ISkinDataHost* parent = host_ && host_->IsControl() ? host_->Parent() : nullptr;
  return parent ? static_cast<int>(parent->SkinCmd(CmdIsBgGraphic, 0, 0)) : 0;
}

TColor TsCommonData::OwnColor() const { return host_ ? host_->Color() : clBtnFace; }

TColor TsCommonData::BgColor(int state) const {
  if (!IsSkinned() || CustomColor) return OwnColor();
  const TsGeneralData& section = *Section();
  const bool hot = state > 0 && section.States > 1;
  const int t = hot ? section.HotTransparency : section.Transparency;
  const TColor c = hot ? section.HotColor : section.Color;
  if (t == 0) return c;
  const TColor parent = host_ ? GetHostBgColor(host_->Parent()) : ColorToRGB(clBtnFace);
  if (t == 100 || !host_) return parent;
  return MixColors(parent, c, t / 100.0);
}

void TsCommonData::Invalidate() {
  if (!host_) return;
  if (host_->IsControl() && (host_->IsDestroying() || host_->IsLoading())) return;
  BackgroundDirty = true;
  host_->Redraw();
}

void TsCommonData::BeginUpdate() {
  PaintSuspended = true;
  SkinState |= ssUpdating;
  if (host_) host_->SkinCmd(CmdUpdateStarted, 0, 0);
}

void TsCommonData::EndUpdate(bool repaint) {
  PaintSuspended = false;
  SkinState &= static_cast<uint16_t>(~ssUpdating);
  if (host_) host_->SkinCmd(CmdUpdateEnded, 0, 0);
  if (repaint) Invalidate();
}

// ---- the cache bitmap and what lies behind ---------------------------------------------------

void TsCommonData::UpdateCacheSize() {
  if (!CacheBitmap) CacheBitmap = CreateBmp32(0, 0);
  if (CacheBitmap->PixelFormat() != pf32bit) CacheBitmap->SetPixelFormat(pf32bit);
  if (!host_ || !host_->IsControl()) return;
  const TRect bounds = host_->BoundsRect();
  const int width = std::max(bounds.Width(), 0), height = std::max(bounds.Height(), 0);
  if (CacheBitmap->Width() != width || CacheBitmap->Height() != height)
    CacheBitmap->SetSize(width, height);
}

void TsCommonData::EmptyCache() {
  if (CacheBitmap && !CacheBitmap->Empty()) CacheBitmap->SetSize(0, 0);
}

void TsCommonData::UpdateRepaintStrips() {
  RepaintStripH = RepaintStripV = TRect{};
  // Without a cache image there is nothing to keep: the whole control is painted.
  if (!host_ || !CacheBitmap || CacheBitmap->Empty()) return;
  const TRect bounds = host_->BoundsRect();
  const int width = std::max(bounds.Width(), 0), height = std::max(bounds.Height(), 0);
  const int oldWidth = CacheBitmap->Width(), oldHeight = CacheBitmap->Height();
  const TsMaskData* mask = BorderMask();
  const int rightWidth = mask ? mask->WidthRight : 0, bottomWidth = mask ? mask->WidthBottom : 0;
  // A gradient along a side changes every pixel when that side changes.
  if (width != oldWidth && !(BgDependency & 1))
    RepaintStripH = TRect{std::max(std::min(oldWidth, width) - rightWidth, 0), 0, width, height};
  if (height != oldHeight && !(BgDependency & 2))
    RepaintStripV = TRect{0, std::max(std::min(oldHeight, height) - bottomWidth, 0), width, height};
  if (RectIsEmpty(RepaintStripH)) RepaintStripH = TRect{};
  if (RectIsEmpty(RepaintStripV)) RepaintStripV = TRect{};
}

int TsCommonData::MaxBorderWidth() const {
  const TsMaskData* mask = BorderMask();
  if (!mask || (mask->DrawFlags & 2)) return 0;
  return std::max(
      {int{mask->WidthTop}, int{mask->WidthLeft}, int{mask->WidthRight}, int{mask->WidthBottom}});
}

void TsCommonData::FillBackgroundRequest(TsBackgroundRequest& request, int state) {
  const TsGeneralData* section = Section();
  if (!IsSkinned() || CustomColor || !section) {
    request.BgType = 1;
    request.Color = OwnColor();
    return;
  }
  const TsGenState& s = section->Props[state != 0 ? 1 : 0];
  // A cache emptied to 0 x 0 (skin removed, owner hidden) holds no image: it counts as none.
  const bool hasCache = CacheBitmap && !CacheBitmap->Empty();
  auto answerColor = [&](TColor color) {
    request.BgType = 1;
    request.Color = color;
  };
  auto answerCache = [&] {
    request.BgType = 2;
    if (request.PleaseDraw) {
      if (host_) host_->CopyToRequest(request, *CacheBitmap);
    } else {
      request.Bmp = CacheBitmap.get();
      request.X = request.Y = 0;
    }
  };
  const int t = s.Transparency;
  if (t == 0 && s.GradientPercent <= 0 && s.ImagePercent <= 0) {
    request.BgType = 1;
    request.Bmp = CacheBitmap.get();
    request.Color = BgColor(state);
    if (request.PleaseDraw && host_) host_->FillRequestRect(request, request.Color);
    return;
  }
  if (t == 0) {
    request.Color = SkinManager()->GlobalColor();
    if (!hasCache)
      answerColor(clFuchsia);
    else
      answerCache();
    return;
  }
  if (t == 100) {
    if (hasCache && !(SkinState & ssPlainBackground) && !BackgroundDirty) {
      answerCache();
      return;
    }
    // The answer comes from behind. A parent asked to copy takes the pixels where this owner
    // lies in it, so the owner's place is added before asking; a bitmap handed out has the
    // parent's origin and gets it added afterwards.
    const bool copy = request.PleaseDraw;
    const TPoint origin = host_ ? host_->OriginInParent() : TPoint{0, 0};
    const int askedX = request.X, askedY = request.Y;
    if (copy) {
      request.X += origin.X;
      request.Y += origin.Y;
    }
    if (host_ && host_->AskParentBackground(request, copy)) {
      if (!copy && request.BgType == 2) {
        request.X += origin.X;
        request.Y += origin.Y;
      }
      return;
    }
    request.X = askedX;
    request.Y = askedY;
    answerColor(DefaultManager ? DefaultManager->GlobalColor() : ColorToRGB(clBtnFace));
    // Nothing behind to copy from: the area asked for still gets the colour answered.
    if (copy && host_) host_->FillRequestRect(request, request.Color);
    return;
  }
  if (!hasCache)
    answerColor(clFuchsia);
  else
    answerCache();
}

void TsCommonData::GetParentBackground(TsBackgroundSource& source) {
  if (IsSkinned() && host_ && host_->IsControl() && host_->Parent()) {
    TsBackgroundRequest request;
    if (host_->AskParentBackground(request, false)) {
      source = BackgroundSourceFromRequest(request);
      return;
    }
  }
  source = TsBackgroundSource{};
  source.FillColor = ColorToRGB(BgColor(0));
}

int FindFontParentSection(ISkinDataHost* control, int defaultIndex, TsSkinManager* manager) {
  if (!manager) manager = DefaultManager;
  ISkinDataHost* parent = control ? control->Parent() : nullptr;
  if (!parent || !manager) return defaultIndex;
  TskSectionInfo info;
  info.SectionIndex = -1;
  parent->SkinCmd(CmdGetSectionIndex, 0, reinterpret_cast<intptr_t>(&info));
  if (info.SectionIndex < 0 || !manager->IsValidSectionIndex(info.SectionIndex))
    return defaultIndex;
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(info.SectionIndex)];
  // A parent that mostly shows what lies behind it has no say: look one level further up.
  if (section.Transparency > 50 && parent->Parent())
    return FindFontParentSection(parent, defaultIndex, manager);
  return section.GiveOwnFont ? info.SectionIndex : defaultIndex;
}

int TextSectionOf(const TsCommonData& data, int state) {
  TsSkinManager* manager = data.SkinManager();
  const int own = data.SectionIndex;
  if (!manager || !manager->IsValidSectionIndex(own)) return own;
  ISkinDataHost* host = data.Host();
  const TsControlKind kind = data.ControlKind;
  const bool mayTakeParents =
      kind == TsControlKind::CheckBox || kind == TsControlKind::RadioButton ||
      kind == TsControlKind::GroupBox ||
      (host && host->IsControl() && !host->IsWindowed() && host->ParentFont() && host->Parent());
  if (!mayTakeParents) return own;
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(own)];
  if (section.Props[state > 0 ? 1 : 0].Transparency <= 0) return own;
  return FindFontParentSection(host, own, manager);
}

// ---- the common answer ------------------------------------------------------------------------

bool ProcessSkinCommand(TSkinCmdMessage& m, TsCommonData* data) {
  if (!data) return false;
  return TsSkinCmdHandler(*data).Handle(m);
}

void TsCommonData::SetPrintTarget(intptr_t target) {
  if (target != 0)
    SkinState |= ssPrinting;
  else
    SkinState &= static_cast<uint16_t>(~ssPrinting);
  PrintTarget = target;
}
