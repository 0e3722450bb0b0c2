// Which adapter a foreign control's class gets from the skin manager's lists: the lowest list
// that names it wins, names match whole and with case, and what no list names gets none.
#include "skin/adapters/skAdapterChoice.h"

#include <gtest/gtest.h>

#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TEST(AdapterChoice, ClassNamesPickTheAdapterOfTheirLowestList) {
  TsSkinManager manager(nullptr);
  ThirdPartyList& third = *manager.ThirdParty();
  third.Texts[tpEdits] = " \nTKedEdit\nTKedMemo\nTDBKedEdit";
  third.Texts[tpButtons] = "TButton";
  third.Texts[tpComboBoxes] = "TComboBox\nTKedMemo";
  third.Texts[tpTreeViews] = "TTreeView";
  third.Texts[tpSpeedButton] = "TSpeedButton";
  third.Texts[tpStatusBar] = "TStatusBar\r\nTSomeBar";
  manager.ReadThirdParty(false);
  const struct {
    const char* className;
    int list;
    TskAdapterKind kind;
  } cases[] = {
      {"TKedEdit", tpEdits, TskAdapterKind::Edit},
      {"TKedMemo", tpEdits, TskAdapterKind::Edit},  // also a combo box: the lower list wins
      {"TButton", tpButtons, TskAdapterKind::Button},
      {"TComboBox", tpComboBoxes, TskAdapterKind::ComboBox},
      {"TTreeView", tpTreeViews, TskAdapterKind::TreeView},
      {"TSomeBar", tpStatusBar, TskAdapterKind::StatusBar},  // CR LF lines
      {"TSpeedButton", tpSpeedButton, TskAdapterKind::None},
      {"tkededit", -1, TskAdapterKind::None},   // case counts
      {"TKedEdit2", -1, TskAdapterKind::None},  // whole lines only
      {"KedEdit", -1, TskAdapterKind::None},
      {"TMemo", -1, TskAdapterKind::None},
      {"", -1, TskAdapterKind::None},  // the blank lines of unused lists name nothing
      {" ", -1, TskAdapterKind::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.className);
    EXPECT_EQ(FindThirdPartyList(manager, c.className), c.list);
    EXPECT_EQ(ChooseAdapterKind(manager, c.className), c.kind);
  }
}

TEST(AdapterChoice, EveryListStandsForItsOwnAdapter) {
  EXPECT_EQ(AdapterKindOfList(tpEdits), TskAdapterKind::Edit);
  EXPECT_EQ(AdapterKindOfList(tpComboBoxes), TskAdapterKind::ComboBox);
  EXPECT_EQ(AdapterKindOfList(tpListViews), TskAdapterKind::ListView);
  EXPECT_EQ(AdapterKindOfList(tpTreeViews), TskAdapterKind::TreeView);
  EXPECT_EQ(AdapterKindOfList(tpWWEdits), TskAdapterKind::WWComboBox);
  EXPECT_EQ(AdapterKindOfList(tpStatusBar), TskAdapterKind::StatusBar);
  EXPECT_EQ(AdapterKindOfList(-1), TskAdapterKind::None);
  EXPECT_EQ(AdapterKindOfList(ThirdPartyListCount), TskAdapterKind::None);
}

}  // namespace
