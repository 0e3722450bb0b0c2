#include "skin/adapters/skDialogChildrenWin32.h"

#include <type_traits>

#include "framework/ScopeExit.h"
#include "skin/adapters/skBtnWndWin32.h"
#include "skin/adapters/skCheckBoxWndWin32.h"
#include "skin/adapters/skComboBoxWndWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/adapters/skGroupBoxWndWin32.h"
#include "skin/adapters/skListViewWndWin32.h"
#include "skin/adapters/skPanelWndWin32.h"
#include "skin/adapters/skSBUtils.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "skin/adapters/skSmallCtrlsWin32.h"
#include "skin/adapters/skStaticWndWin32.h"
#include "skin/adapters/skTabControlWndWin32.h"
#include "skin/adapters/skToolBarWndWin32.h"
#include "skin/adapters/skTreeViewWndWin32.h"

namespace {

// A scrolling adapter owned by the dialog's provider: it lets go of its window (and frees its
// bars) when the provider frees it first.
template <class TAdapter>
class TScrollChild : public IDialogChildAdapter {
 public:
  explicit TScrollChild(std::unique_ptr<TAdapter> adapter) : adapter_(std::move(adapter)) {}
  ~TScrollChild() override { ReleaseScrollAdapter(true, false, adapter_); }
  bool Detached() const override { return !adapter_ || adapter_->Detached(); }

 private:
  std::unique_ptr<TAdapter> adapter_;
};

template <class TAdapter>
std::unique_ptr<IDialogChildAdapter> MakeScrolling(HWND child, const TskDialogChildChoice& choice,
                                                   TsSkinManager* manager) {
  auto adapter = TskMainWnd::Make<TAdapter>(child, nullptr, manager, choice.Section, true);
  adapter->ReadWindowGeometry();
  return std::make_unique<TScrollChild<TAdapter>>(std::move(adapter));
}

// An adapter without scroll bars owned by the dialog's provider: it lets go of its window when
// the provider frees it first.
template <class TAdapter>
class TPlainChild : public IDialogChildAdapter {
 public:
  explicit TPlainChild(std::unique_ptr<TAdapter> adapter) : adapter_(std::move(adapter)) {}
  ~TPlainChild() override { ReleaseAdapter(true, false, adapter_); }
  bool Detached() const override { return !adapter_ || adapter_->Detached(); }

 private:
  std::unique_ptr<TAdapter> adapter_;
};

template <class TAdapter>
std::unique_ptr<IDialogChildAdapter> MakePlain(HWND child, const TskDialogChildChoice& choice,
                                               TsSkinManager* manager) {
  auto adapter = TskMainWnd::Make<TAdapter>(child, nullptr, manager, choice.Section, true);
  adapter->ReadWindowGeometry();
  if constexpr (std::is_same_v<TAdapter, TskSpinWnd>) adapter->LeftOffset = choice.PaintOffset;
  return std::make_unique<TPlainChild<TAdapter>>(std::move(adapter));
}

}  // namespace

std::unique_ptr<IDialogChildAdapter> MakeDialogChildAdapter(HWND child,
                                                            const TskDialogChildChoice& choice,
                                                            TsSkinManager* manager) {
  const bool saved = DialogAdapterMode;
  DialogAdapterMode = true;
  TScopeExit restore([saved] { DialogAdapterMode = saved; });
  switch (choice.Kind) {
    case TskDialogChildKind::Edit:
    case TskDialogChildKind::ListBox:
    case TskDialogChildKind::ComboList:
      return MakeScrolling<TskEditWnd>(child, choice, manager);
    case TskDialogChildKind::ComboBox:
      return MakeScrolling<TskComboBoxWnd>(child, choice, manager);
    case TskDialogChildKind::ListView:
      return MakeScrolling<TskListViewWnd>(child, choice, manager);
    case TskDialogChildKind::TreeView:
      return MakeScrolling<TskTreeViewWnd>(child, choice, manager);
    case TskDialogChildKind::Button:
      return MakePlain<TskBtnWnd>(child, choice, manager);
    case TskDialogChildKind::CheckBox:
      return MakePlain<TskCheckBoxWnd>(child, choice, manager);
    case TskDialogChildKind::GroupBox:
      return MakePlain<TskGroupBoxWnd>(child, choice, manager);
    case TskDialogChildKind::Static:
      return MakePlain<TskStaticWnd>(child, choice, manager);
    case TskDialogChildKind::Icon:
      return MakePlain<TskIconWnd>(child, choice, manager);
    case TskDialogChildKind::Edge:
      return MakePlain<TskEdgeWnd>(child, choice, manager);
    case TskDialogChildKind::Link:
      return MakePlain<TskLinkWnd>(child, choice, manager);
    case TskDialogChildKind::Sizer:
      return MakePlain<TskSizerWnd>(child, choice, manager);
    case TskDialogChildKind::Spin:
      return MakePlain<TskSpinWnd>(child, choice, manager);
    case TskDialogChildKind::TrackBar:
      return MakePlain<TskTrackWnd>(child, choice, manager);
    case TskDialogChildKind::TransPanel:
      return MakePlain<TskTransPanelWnd>(child, choice, manager);
    case TskDialogChildKind::DlgPanel:
      return MakePlain<TskDlgPanelWnd>(child, choice, manager);
    case TskDialogChildKind::ToolBar:
      return MakePlain<TskToolBarWnd>(child, choice, manager);
    case TskDialogChildKind::TabControl:
      return MakePlain<TskTabControlWnd>(child, choice, manager);
    default:
      return nullptr;
  }
}

void InstallDialogChildAdapters() { SetDialogChildAdapterFactory(&MakeDialogChildAdapter); }

void RemoveDialogChildAdapters() { SetDialogChildAdapterFactory(nullptr); }
