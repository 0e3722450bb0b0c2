#include "skin/forms/sSystemMenu.h"

namespace {

bool FullFrame(TsFrameBorder b) {
  return b == TsFrameBorder::Single || b == TsFrameBorder::Sizeable;
}

}  // namespace

TsSysMenuAnswers SysMenuAnswers(const TsSysMenuFacts& f) {
  TsSysMenuAnswers a;
  a.VisibleClose = f.HadSysMenu;
  // A minimized form or an MDI child can always be maximized or minimized back.
  const bool anyState = f.Minimized || f.MdiChild;
  a.VisibleMax = a.VisibleClose && (anyState || (FullFrame(f.Border) && f.MaximizeIcon));
  a.VisibleMin = a.VisibleClose && (anyState || (FullFrame(f.Border) && f.MinimizeIcon));
  a.EnabledMax =
      f.MdiChild ? f.MaximizeIcon : !f.Maximized && FullFrame(f.Border) && f.MaximizeIcon;
  a.EnabledMin = f.MinimizeIcon && !f.Minimized;
  a.EnabledRestore = f.Minimized || (f.Maximized && f.MaximizeIcon);
  a.VisibleRestore = a.VisibleClose && (f.MdiChild || FullFrame(f.Border));
  a.VisibleSize =
      f.MdiChild || (f.Border != TsFrameBorder::None && f.Border != TsFrameBorder::Dialog &&
                     f.Border != TsFrameBorder::ToolWindow);
  // Neither a maximized nor a minimized window can be moved or sized by its menu.
  a.EnabledMove = !f.Maximized && !f.Minimized;
  a.EnabledSize = f.Border != TsFrameBorder::Single && !f.Minimized && !f.Maximized;
  return a;
}

TsMenuText SplitMenuText(const std::string& text) {
  const size_t tab = text.find('\t');
  if (tab == std::string::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

std::string SkinNameOfMenuCaption(const std::string& caption, const std::string& internalSuffix) {
  std::string name;
  for (char c : caption)
    if (c != '&') name += c;
  const size_t at = name.find(internalSuffix);
  if (!internalSuffix.empty() && at != std::string::npos) name.resize(at + internalSuffix.size());
  return name;
}
