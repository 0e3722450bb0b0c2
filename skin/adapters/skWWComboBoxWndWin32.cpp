#include "skin/adapters/skWWComboBoxWndWin32.h"

#include <vector>

#include "framework/StdCtrlsWin32.h"

TskWWComboBoxWnd::TskWWComboBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                   const std::string& section, bool hasButton)
    : TskComboBoxWnd(handle, skinData, manager, section), hasButton_(hasButton) {}

std::unique_ptr<TskWWComboBoxWnd> TskWWComboBoxWnd::CreateForControl(TWinControl* control,
                                                                     TsCommonData* skinData,
                                                                     TsSkinManager* manager,
                                                                     const std::string& section,
                                                                     bool repaint) {
  return TskMainWnd::Make<TskWWComboBoxWnd>(control->Handle(), skinData, manager, section, repaint,
                                            ControlShowsButton(control));
}

bool TskWWComboBoxWnd::ControlShowsButton(TControl* control) {
  if (auto* combo = dynamic_cast<TCustomComboBox*>(control))
    return combo->Style() == csDropDown || combo->Style() == csDropDownList;
  return true;
}

TskWWComboBoxWnd::~TskWWComboBoxWnd() { FreeChildList(); }

void TskWWComboBoxWnd::FreeChildList() {
  // The adapter lets go of the list box before the skin data it paints with goes.
  ReleaseScrollAdapter(true, false, childListAdapter_);
  childListData_.reset();
  childList_ = nullptr;
  childListWatch_.Watch(nullptr);
}

TRect TskWWComboBoxWnd::GetButtonRect() const {
  RECT r{};
  GetWindowRect(windowHandle_, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int w = hasButton_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int left =
      (GetWindowLongPtrA(windowHandle_, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : width - w - 2;
  return TRect{left, 2, left + w, height - 2};
}

void TskWWComboBoxWnd::AdoptChildList() {
  auto* host = dynamic_cast<TWinControl*>(HostControlOf(*commonData_));
  if (!host) return;
  std::vector<TCustomListBox*> lists;
  for (int i = 0; i < host->ControlCount(); ++i)
    if (auto* list = dynamic_cast<TCustomListBox*>(host->Controls(i))) lists.push_back(list);
  for (TCustomListBox* list : lists) {
    // The list box adopted before keeps its adapter; another one replaces it, and the old
    // adapter and skin data go first, so nothing refers to a freed one.
    if (!list->HandleAllocated()) continue;
    if (list == childList_ && childListAdapter_ && !childListAdapter_->Detached()) continue;
    FreeChildList();
    childList_ = list;
    childListWatch_.Watch(list);
    childListData_ = std::make_unique<TChildListData>(list);
    childListData_->Data.SetSkinManager(manager_);
    childListData_->Data.SetSkinSection("EDIT");
    UpdateEditAdapter(&childListData_->Data, childListAdapter_);
    if (childListAdapter_ && childListAdapter_->Detached()) {
      ReleaseScrollAdapter(true, false, childListAdapter_);
      UpdateEditAdapter(&childListData_->Data, childListAdapter_);
    }
  }
}

void TskWWComboBoxWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskComboBoxWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_CTLCOLORLISTBOX) {
    // The control's own list colours stand: its list is no system drop-down list.
    m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
    return;
  }
  TskComboBoxWnd::WndProc(m);
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && !Detached()) AdoptChildList();
}
