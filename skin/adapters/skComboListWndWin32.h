// The adapter of a combo box's list window: the drop-down list (or the always visible list of
// a simple combo box) painted in the list's colour with a plain frame and skinned scroll bars.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/adapters/skEditWndWin32.h"

class TskComboListWnd : public TskEditWnd {
 public:
  // Adopts a combo box's list window; a drop-down list is then resized from its real window
  // rectangle, so that it recomputes its frame with the skinned bars.
  static std::unique_ptr<TskComboListWnd> CreateForCombo(HWND list, TsCommonData* skinData,
                                                         TsSkinManager* manager,
                                                         const std::string& section, bool repaint,
                                                         bool simple);
  // The combo box has shown its list and not closed it since.
  bool ListShown() const { return listShown_; }
  bool SimpleCombo() const { return simpleCombo_; }

 protected:
  friend class TskMainWnd;
  TskComboListWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                  const std::string& section, bool simple);
  void WndProc(TMessage& message) override;
  // A drop-down list tracks the mouse until it closes.
  bool KeepsCaptureAfterBarPress() const override { return !simpleCombo_; }

 private:
  // The cache at the window's size: the list's colour inside a one-pixel frame.
  void PrepareCache();
  void NcPaint(TMessage& message);
  void MouseUp(TMessage& message);
  // A simple combo box's strip below its list shows what its parent shows there.
  void FillStripBelow();

  bool listShown_ = false;
  bool simpleCombo_ = false;
};

// What a combo box sends its list when the list opens and when it closes.
inline constexpr UINT kComboListShown = 0x1AE;
inline constexpr UINT kComboListHidden = 0x1AF;
