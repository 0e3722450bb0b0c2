// The check box adapter: paints a system check box or radio button from the skin's CHECKBOX
// section with the skin's check glyph for its state (box or radio, unchecked, checked or
// grey) and its caption beside it. An owner-drawn button keeps its owner's drawing: its owner
// paints it over the parent's background. Clicks, the space bar and the keyboard work as
// before.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TskCheckBoxWnd : public TskMainWnd {
 public:
  bool IsOwnerDrawn() const { return ownerDrawn_; }
  // 0 unchecked, 1 checked, 2 indeterminate.
  int GetCheckState() const;
  // The skin's mask for the check state in the window's style (box or radio); -1 without.
  int GetGlyphMaskIndex(int checkState) const;
  // Where the glyph of that mask stands in the window (empty for -1).
  TRect GetGlyphRect(int maskIndex) const;

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  TskCheckBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                 const std::string& section);
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

 private:
  void Paint(WPARAM given);
  void PrepareCache();
  void DrawCaption();
  void DrawGlyph(int maskIndex);
  void EraseOwnerDrawn(WPARAM given);
  uint32_t Style() const;
  uint32_t ButtonState() const;

  bool ownerDrawn_ = false;
};
