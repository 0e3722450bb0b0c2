// The skinned list box: the framework's list box, owner-drawn, whose frame and scroll bars come
// from the skin through an edit adapter on its window. While a skin is shown it paints every
// item itself over its cached picture of the section, the selected one with the skin's
// selection look, and fills what no item covers from that picture; without a skin it draws its
// items in the system's colours. The font list box derives from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "framework/StdCtrlsWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsCustomListBox : public TCustomListBox {
  K_CLASS(TsCustomListBox, TCustomListBox)
  explicit TsCustomListBox(TComponent* owner);
  ~TsCustomListBox() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // Kept for forms that set it; nothing depends on it.
  uint16_t AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(uint16_t value) { autoCompleteDelay_ = value; }
  // False keeps a disabled scroll bar while every item fits.
  bool AutoHideScroll() const { return autoHideScroll_; }
  void SetAutoHideScroll(bool value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // The adapter that paints the frame and bars while a skin is shown; null without one.
  TskEditWnd* ScrollWnd() const { return scrollWnd_.get(); }

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;

 private:
  class TCmdHandler;
  void DrawStandardItem(int index, TRect rect, TOwnerDrawState state);
  void DrawSkinnedItem(int index, const TRect& rect, TOwnerDrawState state);
  // Every item shown and, from the cached picture, what no item covers (WM_PAINT).
  void PaintSkinned(TMessage& message);
  // Where the client area starts in the window, and so in the cached picture of it.
  TPoint ClientOffset() const;
  void UpdateAdapter();

  TControlSkinHost host_;
  std::unique_ptr<TsControlLabel> label_;
  bool autoHideScroll_ = true;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  uint16_t autoCompleteDelay_ = 500;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TskEditWnd> scrollWnd_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};

// The list box as forms place it.
class TsListBox : public TsCustomListBox {
  K_CLASS(TsListBox, TsCustomListBox)
  explicit TsListBox(TComponent* owner) : TsCustomListBox(owner) {}
};
