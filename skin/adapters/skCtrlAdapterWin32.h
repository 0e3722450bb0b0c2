// The control adapter of a skinned form: walks the form's components and controls and gives
// every windowed control whose class the skin manager's foreign-class lists name its window
// adapter (skAdapterChoice.h decides which), keeps one item per adapted control and frees the
// adapters again. Labels take the skin's font colour. The form's provider makes it through
// the seam of sSkinProviderWin32.h, which InstallControlAdapters fills in at start.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ControlsWin32.h"
#include "skin/adapters/skAdapterChoice.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/forms/sSkinProviderWin32.h"

class TskCtrlAdapter;
class TCustomLabel;
class TskSpeedButtonHandler;

// One adapted windowed control: its skin data and its window adapter.
class TskAdapterItem {
 public:
  TskAdapterItem(TskCtrlAdapter& owner, TWinControl* control);
  // The adapter first (it lets go of the window), then the skin data it painted with.
  ~TskAdapterItem();
  TskAdapterItem(const TskAdapterItem&) = delete;
  TskAdapterItem& operator=(const TskAdapterItem&) = delete;

  // Makes the adapter the control's class names; none for a control without a window or
  // parent, one that is skinned itself, or a class no list names (or whose adapter is not
  // built).
  void AttachAdapter();
  TWinControl* Control() const { return control_; }
  TsCommonData& ItemSkinData() { return skinData_; }
  TskMainWnd* Adapter() const { return adapter_.get(); }
  // Has an adapter that still holds its window.
  bool Alive() const { return adapter_ && !adapter_->Detached(); }
  void FreeAdapter() { adapter_.reset(); }

 private:
  TskCtrlAdapter& owner_;
  TWinControl* control_;
  TControlSkinHost host_;
  TsCommonData skinData_;
  std::unique_ptr<TskMainWnd> adapter_;
};

// One adapted control without a window (a foreign speed button): its skin data and the
// handler that paints it.
class TskGraphItem {
 public:
  // The section is "SPEEDBUTTON", "SPEEDBUTTON_SMALL" for a flat button.
  TskGraphItem(TGraphicControl* control, TsSkinManager* manager);
  // The handler first (the button gets its own method back), then the skin data.
  ~TskGraphItem();
  TskGraphItem(const TskGraphItem&) = delete;
  TskGraphItem& operator=(const TskGraphItem&) = delete;

  TskSpeedButtonHandler* Handler() const { return handler_.get(); }
  TsCommonData& ItemSkinData() { return skinData_; }
  // The button, or null once it was freed.
  TControl* Control() const;

 private:
  TControlSkinHost host_;
  TsCommonData skinData_;
  std::unique_ptr<TskSpeedButtonHandler> handler_;
};

class TskCtrlAdapter : public IFormControlAdapter {
 public:
  explicit TskCtrlAdapter(TsSkinProvider& provider);
  ~TskCtrlAdapter() override;
  TskCtrlAdapter(const TskCtrlAdapter&) = delete;
  TskCtrlAdapter& operator=(const TskCtrlAdapter&) = delete;

  // The walk: does nothing while another walk runs (a message sent during a walk cannot start
  // a second one) or when the manager's rules leave foreign controls alone.
  void AdaptChildren(TWinControl* container) override;
  bool IsControlSupported(TControl* control) override;
  void AddItem(TControl* control) override;
  void AddItemWithSection(TWinControl* control, const std::string& section);
  // Frees the item; the last one takes its place.
  void RemoveItem(int index);
  void BroadcastToItems(const TMessage& message) override;
  // Null outside 0 .. ItemCount() - 1.
  TskAdapterItem* GetItem(int index) const;
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // The item of a control, or null.
  TskAdapterItem* FindItem(const TControl* control) const;
  // Drops the items whose adapter let go of its window (the window was destroyed), and those
  // of buttons that were freed.
  void RemoveDeadItems();
  // The item of a control without a window, or null.
  TskGraphItem* FindGraphItem(const TControl* control) const;
  int GraphItemCount() const { return static_cast<int>(graphItems_.size()); }
  void FreeAllItems();

  TsSkinProvider& OwnerProvider() const { return provider_; }
  TsSkinManager* Manager() const { return provider_.SkinManager(); }
  // Section given to items added by AddItem (empty: the control's default).
  std::string StandardSection;

 private:
  void Walk(TWinControl* container);
  void AdaptOne(TControl* control);
  void WalkInto(TControl* control);
  bool Vetoed(TComponent* control, std::string& section);
  // A label shows the skin's font colour over the skinned background.
  void SkinLabel(TCustomLabel* label);
  void AddGraphItem(TGraphicControl* control);

  TsSkinProvider& provider_;
  std::vector<std::unique_ptr<TskAdapterItem>> items_;
  std::vector<std::unique_ptr<TskGraphItem>> graphItems_;
};

// The provider of every form makes its control adapter through this from now on.
void InstallControlAdapters();
