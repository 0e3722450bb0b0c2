#include "skin/adapters/skAdapterChoice.h"

#include <array>

#include "skin/core/skinfiles/sSkinManager.h"

int FindThirdPartyList(TsSkinManager& manager, const std::string& className) {
  // An unused list holds a single blank line, which names no class.
  if (className.find_first_not_of(' ') == std::string::npos) return -1;
  for (int list = 0; list < ThirdPartyListCount; ++list)
    if (manager.ThirdPartyLists(list).IndexOf(className) >= 0) return list;
  return -1;
}

TskAdapterKind AdapterKindOfList(int listIndex) {
  static constexpr std::array<TskAdapterKind, ThirdPartyListCount> kinds{
      TskAdapterKind::Edit,        TskAdapterKind::Button,      TskAdapterKind::BitBtn,
      TskAdapterKind::CheckBox,    TskAdapterKind::ComboBox,    TskAdapterKind::Grid,
      TskAdapterKind::GroupBox,    TskAdapterKind::ListView,    TskAdapterKind::Panel,
      TskAdapterKind::TreeView,    TskAdapterKind::WWComboBox,  TskAdapterKind::GridEh,
      TskAdapterKind::VirtualTree, TskAdapterKind::PageControl, TskAdapterKind::TabControl,
      TskAdapterKind::ToolBar,     TskAdapterKind::StatusBar,   TskAdapterKind::None,
  };
  static_assert(tpSpeedButton == ThirdPartyListCount - 1);
  if (listIndex < 0 || listIndex >= ThirdPartyListCount) return TskAdapterKind::None;
  return kinds[static_cast<size_t>(listIndex)];
}

TskAdapterKind ChooseAdapterKind(TsSkinManager& manager, const std::string& className) {
  return AdapterKindOfList(FindThirdPartyList(manager, className));
}
