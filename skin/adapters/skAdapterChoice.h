// Which window adapter a foreign control gets: its class name looked up in the skin manager's
// lists of foreign control classes. Portable, so the choice is tested without windows; the
// form's control adapter (skCtrlAdapterWin32.h) makes the adapter it names.
#pragma once

#include <string>

class TsSkinManager;

// The adapter a list stands for, in the lists' order (TskThirdPartyIndex).
enum class TskAdapterKind {
  None,
  Edit,
  Button,
  BitBtn,
  CheckBox,
  ComboBox,
  Grid,
  GroupBox,
  ListView,
  Panel,
  TreeView,
  WWComboBox,
  GridEh,
  VirtualTree,
  PageControl,
  TabControl,
  ToolBar,
  StatusBar,
};

// The lowest index of the manager's foreign-class lists that has `className` as a whole line
// (case counts); -1 when no list names it.
int FindThirdPartyList(TsSkinManager& manager, const std::string& className);
// The adapter of a list; None for the speed buttons' list (they get no window adapter) and for
// an index outside the lists.
TskAdapterKind AdapterKindOfList(int listIndex);
// FindThirdPartyList and AdapterKindOfList in one: None for a class that no list names.
TskAdapterKind ChooseAdapterKind(TsSkinManager& manager, const std::string& className);
