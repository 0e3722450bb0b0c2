// The classes of the updater window's list, panel and bevels, named once: the framework's
// plain controls until the skinned ones exist, then those, without touching the form.
#pragma once

#include "framework/ComCtrlsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

using TUpdaterListView = TListView;
using TUpdaterPanel = TPanel;
using TUpdaterBevel = TBevel;

// What the skinned controls take from their skin section; the plain ones take the
// section's colour at least, so that the window's texts stand on the ground the skin
// chose for them.
template <class TControlClass>
void SetUpdaterSkinSection(TControlClass* control, const TsSkinManager& manager,
                           const char* section) {
  int index = manager.GetSectionIndex(section);
  if (index >= 0 && index < static_cast<int>(manager.Sections().size())) {
    control->SetColor(manager.Sections()[static_cast<size_t>(index)].Color);
  }
}
