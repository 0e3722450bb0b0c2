// The Win32 half of the skin data: the sending rules of the skin command over windows and
// framework controls, the check that a received command is our own, and the skin-data owner
// bound to a framework control.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/ControlsWin32.h"
#include "skin/core/painting/sCommonData.h"

// Sends the skin command to a window and answers its result; 0 for a 0 handle.
LRESULT SendSkinCmd(HWND wnd, int cmd, LPARAM lParam, int lowWord = 0);
// A windowed control: SendSkinCmd to its window, 0 while it has none or is being destroyed;
// a control without a window: Perform.
LRESULT SendControlSkinCmd(TControl* control, int cmd, LPARAM lParam, int lowWord = 0);
LRESULT QueryControlSkinCmd(TControl* control, int cmd);
// The command delivered to the control's own message handling (Perform), as our own.
LRESULT PerformSkinCmd(TControl* control, int cmd, LPARAM lParam, int lowWord = 0);
// The window answers the command (sent with LParam 0) with 1.
bool TestSkinCmd(HWND wnd, int cmd);
// The message to every child control of `parent`: skinned windowed children by SendMessage,
// unskinned windowed children to their own children, controls without a window (or without
// a window handle yet) by Perform.
// The children are walked from a copy; a child being destroyed is passed over.
void BroadcastToChildren(TWinControl* parent, const TSkinCmdMessage& message);
// Colour answers (RGB): 0xFF00FF for no control / no window.
TColor GetControlBgColor(TControl* control);
TColor GetWindowBgColor(HWND wnd);
bool IsControlReady(TControl* control);
HWND GetTopParentWindow(HWND wnd);
// CmdControlChanged (LParam = the control) to the control's form.
void NotifyControlChanged(TControl* control);

// A received skin command as the portable handler reads it. FromOwnThread is true only for
// a command that one of the senders above is delivering right now on this thread: a command
// from another thread or process, or one posted by anybody, is not.
TSkinCmdMessage ReadSkinCmd(WPARAM wParam, LPARAM lParam);

// The common handling of a skinned control's window messages and skin commands (the owner's
// window procedure calls it first); true when the message is consumed. A nil skin data
// consumes nothing.
bool HandleCommonMessage(TMessage& message, TsCommonData* data);
// Shows the section's glow around the hot owner (size and margin from the section), or takes
// it away when the mouse left, the left button is down on the control, or `hide` is set. An
// owner without a control glows around `window`.
void UpdateGlow(TsCommonData& data, bool hide, HWND window);
// Where a control that the mouse entered reports itself: the default manager's runtime sets
// its hot window (SetHotWindow).
extern void (*TsSkinRuntimeHotWindow)(HWND wnd);

// The control that owns a skin data (null for a provider or adapter owner).
TControl* HostControlOf(const TsCommonData& data);
// FindFontParentSection for a framework control.
int FindFontParentSection(TControl* control, int defaultIndex, TsSkinManager* manager);

// The owner of a skin data: a framework control.
class TControlSkinHost : public ISkinDataHost {
 public:
  explicit TControlSkinHost(TControl* control) : control_(control) {}
  TControl* Control() const { return control_; }

  bool IsControl() const override { return true; }
  bool IsWindowed() const override;
  bool IsDestroying() const override;
  bool IsLoading() const override;
  bool IsEnabled() const override { return control_->Enabled(); }
  std::string ClassName() const override { return control_->ClassName(); }
  ISkinDataHost* Parent() const override;
  TColor Color() const override { return control_->Color(); }
  void SetColor(TColor color) override { control_->SetColor(color); }
  TColor FontColor() const override;
  void SetFontColor(TColor color) override;
  intptr_t SkinCmd(int cmd, int lowWord, intptr_t lParam) override;
  void Redraw() override;
  std::vector<ISkinDataHost*> Children() const override;
  void NotifyControlChanged() override { ::NotifyControlChanged(control_); }
  void SkinRemoved(TsCommonData& data) override;
  TRect BoundsRect() const override { return control_->BoundsRect(); }
  bool ParentFont() const override { return control_->ParentFont(); }
  // The parent control (GetControlBackground), else the window's parent window.
  bool AskParentBackground(TsBackgroundRequest& request, bool copyNow) override;
  void FillRequestRect(const TsBackgroundRequest& request, TColor color) override;
  void CopyToRequest(const TsBackgroundRequest& request, const TBitmap& source) override;

 private:
  TControl* control_;
  // Owners for the parent and children handed out (rebuilt on every call).
  mutable std::unique_ptr<TControlSkinHost> parent_;
  mutable std::vector<std::unique_ptr<TControlSkinHost>> children_;
};
