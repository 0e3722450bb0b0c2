// The combo box adapter of a foreign combo control that shows its list in a list box control
// of its own instead of the system's drop-down list: the face and button come from the combo
// box adapter, the list box gets an edit adapter of its own once the control creates it, and
// the system list's colours are left to the control.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/adapters/skComboBoxWndWin32.h"
#include "skin/adapters/skComponentWatch.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TCustomListBox;

class TskWWComboBoxWnd : public TskComboBoxWnd {
 public:
  // Adopts the control's window (made now when the control has none yet).
  static std::unique_ptr<TskWWComboBoxWnd> CreateForControl(TWinControl* control,
                                                            TsCommonData* skinData,
                                                            TsSkinManager* manager,
                                                            const std::string& section,
                                                            bool repaint);
  // A framework combo box shows a button only as a drop-down or drop-down list; any other
  // control always does.
  static bool ControlShowsButton(TControl* control);
  // The list box adapter first, then the skin data it painted with.
  ~TskWWComboBoxWnd() override;

  TRect GetButtonRect() const override;
  bool HasButton() const { return hasButton_; }
  TCustomListBox* ChildList() const { return childList_; }
  TskEditWnd* ChildListAdapter() const { return childListAdapter_.get(); }
  TsCommonData* ChildListSkinData() const {
    return childListData_ ? &childListData_->Data : nullptr;
  }

 protected:
  friend class TskMainWnd;
  TskWWComboBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                   const std::string& section, bool hasButton);
  void WndProc(TMessage& message) override;

 private:
  // The skin data of the list box, with the host that names the list box to it.
  struct TChildListData {
    explicit TChildListData(TControl* list) : Host(list), Data(&Host, true) {}
    TControlSkinHost Host;
    TsCommonData Data;
  };
  // A child window was created: the list box control among the host's children gets its
  // adapter.
  void AdoptChildList();
  void FreeChildList();

  bool hasButton_ = true;
  TCustomListBox* childList_ = nullptr;
  std::unique_ptr<TChildListData> childListData_;
  std::unique_ptr<TskEditWnd> childListAdapter_;
  // The list box freed by its owner takes its adapter and skin data with it.
  TskComponentWatch childListWatch_{[this] { FreeChildList(); }};
};
