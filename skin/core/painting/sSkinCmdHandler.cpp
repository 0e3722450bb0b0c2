#include "skin/core/painting/sSkinCmdHandler.h"

#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Compared by CmdRefreshSection; nothing in the program sets it.
const std::string SectionToRefresh;

// The colour a parent shows for a child's mix: its skin answer when it is skinned and has a
// colour, else its own Color.
TColor ParentShownColor(ISkinDataHost* parent) {
  if (parent->SkinCmd(CmdIsSkinned, 0, 0) == 1) {
    const auto answer = static_cast<TColor>(parent->SkinCmd(CmdGetBgColor, 0, 0));
    if (answer != clFuchsia) return ColorToRGB(answer);
  }
  return ColorToRGB(parent->Color());
}

}  // namespace

bool TsSkinCmdHandler::Handle(TSkinCmdMessage& m) {
  if (!IsSkinCmdTrusted(m) || !Listening()) return false;
  switch (m.Cmd) {
    case CmdSkinChanged:
      return OnSkinChanged(m);
    case CmdRemoveSkin:
      return OnRemoveSkin(m);
    case CmdRefresh:
      return OnRefresh(m);
    case CmdGetProvider:
      return OnGetProvider(m);
    case CmdChildPainting:
      return OnChildPainting(m);
    case CmdResumePainting:
      return OnResumePainting(m);
    case CmdIsSkinned:
      return OnIsSkinned(m);
    case CmdSetUpdating:
      return OnSetUpdating(m);
    case CmdSetImmediatePaint:
      return OnSetImmediatePaint(m);
    case CmdIsUpdating:
      return OnIsUpdating(m);
    case CmdIsPartlyHidden:
      return OnIsPartlyHidden(m);
    case CmdRefreshSection:
      return OnRefreshSection(m);
    case CmdMenuShown:
      return OnMenuShown(m);
    case CmdSetSection:
      return OnSetSection(m);
    case CmdStopFade:
      return OnStopFade(m);
    case CmdBgChanged:
      return OnBgChanged(m);
    case CmdRepaintAll:
      return OnRepaintAll(m);
    case CmdIsBgGraphic:
      return OnIsBgGraphic(m);
    case CmdBgChangedRedraw:
      return OnBgChangedRedraw(m);
    case CmdGetBgColor:
      return OnGetBgColor(m);
    case CmdSetPartlyHidden:
      return OnSetPartlyHidden(m);
    case CmdPrepareCache:
      return OnPrepareCache(m);
    case CmdFadeFrame:
      return OnFadeFrame(m);
    case CmdControlChanged:
      return OnControlChanged(m);
    case CmdGetSectionIndex:
      return OnGetSectionIndex(m);
    case CmdGetContainerInfo:
      return OnGetContainerInfo(m);
    case CmdRescanChildren:
      return OnRescanChildren(m);
    case CmdMouseEnter:
      return OnMouseEnter(m);
    case CmdMouseLeave:
      return OnMouseLeave(m);
    case CmdUpdateStarted:
      return OnUpdateStarted(m);
    case CmdUpdateEnded:
      return OnUpdateEnded(m);
    case CmdGetBgInfo:
      return OnGetBgInfo(m);
    case CmdGetDisabledKind:
      return OnGetDisabledKind(m);
    case CmdSkinState:
      return OnSkinState(m);
    case CmdSetPrintDC:
      return OnSetPrintDC(m);
    case CmdBeforeScroll:
      return OnBeforeScroll(m);
    case CmdAfterScroll:
      return OnAfterScroll(m);
    case CmdGetApplication:
      return OnGetApplication(m);
    case CmdGetClientOffset:
      return OnGetClientOffset(m);
    default:
      return false;  // numbers nobody uses
  }
}

TsSkinManager* TsSkinCmdHandler::Manager() const { return data_.SkinManager(); }

bool TsSkinCmdHandler::NamesOurManager(const TSkinCmdMessage& m) const {
  return m.LParam == reinterpret_cast<intptr_t>(Manager());
}

bool TsSkinCmdHandler::OnSkinChanged(TSkinCmdMessage& m) {
  if (!NamesOurManager(m)) return false;
  data_.UpdateIndexes();
  data_.UpdateSkinState(false);
  SkinChangeInProgress = false;
  return false;
}

bool TsSkinCmdHandler::OnRemoveSkin(TSkinCmdMessage& m) {
  if (!NamesOurManager(m)) return false;
  TsSkinManager* manager = Manager();
  // A manager on its way out is forgotten, so the owner follows the default one afterwards.
  if (manager && manager->ComponentState().Contains(csDestroying) &&
      data_.OwnSkinManager() == manager)
    data_.SetSkinManager(nullptr);
  data_.SectionIndex = data_.BorderMaskIndex = data_.PatternIndex = data_.HotPatternIndex = -1;
  data_.PaintSuspended = true;
  data_.EmptyCache();
  if (ISkinDataHost* host = data_.Host()) host->SkinRemoved(data_);
  return false;
}

bool TsSkinCmdHandler::OnRefresh(TSkinCmdMessage& m) {
  if (!NamesOurManager(m)) return false;
  data_.BackgroundDirty = true;
  data_.PaintSuspended = false;
  data_.UpdateColors(true);
  data_.UpdateSkinState(false);
  return false;
}

bool TsSkinCmdHandler::OnIsSkinned(TSkinCmdMessage& m) {
  m.Result = 1;
  return true;
}

bool TsSkinCmdHandler::OnSetUpdating(TSkinCmdMessage& m) {
  data_.PaintSuspended = m.LowWord == 1;
  return false;
}

bool TsSkinCmdHandler::OnSetImmediatePaint(TSkinCmdMessage& m) {
  data_.ImmediatePaint = m.LowWord == 1;
  return false;
}

bool TsSkinCmdHandler::OnIsUpdating(TSkinCmdMessage& m) {
  m.Result = data_.BackgroundDirty || data_.PaintSuspended ? 1 : 0;
  return true;
}

bool TsSkinCmdHandler::OnIsPartlyHidden(TSkinCmdMessage& m) {
  m.Result = data_.PartlyHidden ? 1 : 0;
  return true;
}

bool TsSkinCmdHandler::OnRefreshSection(TSkinCmdMessage&) {
  if (data_.SkinSection() == SectionToRefresh) {
    SkinChangeInProgress = false;
    data_.Invalidate();
  }
  return false;
}

bool TsSkinCmdHandler::OnSetSection(TSkinCmdMessage& m) {
  if (m.LParam != 0)
    data_.SetSkinSection(reinterpret_cast<const TskSectionInfo*>(m.LParam)->SectionName);
  return false;
}

bool TsSkinCmdHandler::OnBgChanged(TSkinCmdMessage&) {
  data_.BackgroundDirty = true;
  return false;
}

bool TsSkinCmdHandler::OnIsBgGraphic(TSkinCmdMessage& m) {
  const TsGeneralData* section = data_.Section();
  if (!section) return false;
  ISkinDataHost* host = data_.Host();
  intptr_t answer;
  if (section->Transparency == 100 && host && host->IsControl() && host->Parent())
    answer = data_.ParentBgIsGraphic() & 0x7F;
  else
    answer = section->GradientPercent + section->ImagePercent > 0 || data_.DependsOnParentBg();
  m.LParam = m.Result = answer;
  return true;
}

bool TsSkinCmdHandler::OnBgChangedRedraw(TSkinCmdMessage& m) {
  const bool depends = data_.DependsOnParentBg();
  data_.BackgroundDirty = data_.BackgroundDirty || depends;
  ISkinDataHost* host = data_.Host();
  if (host && host->IsControl() && host->IsWindowed()) {
    if (m.LowWord == 1) host->Redraw();
    if (depends)
      for (ISkinDataHost* child : host->Children())
        if (!child->IsDestroying()) child->SkinCmd(CmdBgChangedRedraw, 0, 0);
  }
  return false;
}

// The colour the control shows, mixed with what its parent shows by the same percentage as
// BgColor; only a control answers.
bool TsSkinCmdHandler::OnGetBgColor(TSkinCmdMessage& m) {
  ISkinDataHost* host = data_.Host();
  if (!host || !host->IsControl()) return false;
  const TsGeneralData* section = data_.Section();
  TColor answer;
  if (!data_.IsSkinned() || !section) {
    answer = ColorToRGB(host->Color());
  } else if (section->Transparency == 0) {
    answer = section->Color;
  } else {
    ISkinDataHost* parent = host->Parent();
    const TColor behind = parent ? ParentShownColor(parent) : ColorToRGB(host->Color());
    answer = section->Transparency == 100
                 ? behind
                 : MixColors(behind, section->Color, section->Transparency / 100.0);
  }
  m.Result = static_cast<uint32_t>(answer);
  return true;
}

bool TsSkinCmdHandler::OnSetPartlyHidden(TSkinCmdMessage&) {
  data_.PartlyHidden = true;
  return false;
}

bool TsSkinCmdHandler::OnGetSectionIndex(TSkinCmdMessage& m) {
  if (m.LParam != 0) reinterpret_cast<TskSectionInfo*>(m.LParam)->SectionIndex = data_.SectionIndex;
  return true;
}

bool TsSkinCmdHandler::OnGetBgInfo(TSkinCmdMessage& m) {
  if (m.LParam != 0)
    data_.FillBackgroundRequest(*reinterpret_cast<TsBackgroundRequest*>(m.LParam), 0);
  return true;
}

bool TsSkinCmdHandler::OnSkinState(TSkinCmdMessage& m) {
  if (m.LParam == 1)
    data_.UpdateSkinState(true);
  else
    m.Result = data_.SkinState;
  return true;
}

bool TsSkinCmdHandler::OnSetPrintDC(TSkinCmdMessage& m) {
  data_.SetPrintTarget(m.LParam);
  return true;
}
