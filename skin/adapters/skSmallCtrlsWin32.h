// The adapters of a dialog's small controls: the size grip in a dialog's corner (TskSizerWnd),
// an up-down (TskSpinWnd: two halves from the skin with arrow glyphs, the half under the
// pointer hot or pressed) and a track bar (TskTrackWnd: the TRACKBAR section's channel, tick
// marks and thumb). Each keeps its own behaviour: the grip sizes the dialog, the arrows step
// their buddy, the thumb is dragged.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TskSizerWnd : public TskMainWnd {
 protected:
  friend class TskMainWnd;
  using TskMainWnd::TskMainWnd;
  void WndProc(TMessage& message) override;

 private:
  void PaintGrip();
};

class TskSpinWnd : public TskMainWnd {
 public:
  bool IsVertical() const;
  // A strip this wide at the left of a vertical up-down is left to its buddy.
  int LeftOffset = 0;
  int FirstButtonState() const { return firstState_; }
  int SecondButtonState() const { return secondState_; }

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  using TskMainWnd::TskMainWnd;
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

 private:
  void Paint(WPARAM given);
  void PrepareCache();
  bool mouseDown_ = false;
  int firstState_ = 0;
  int secondState_ = 0;
};

class TskTrackWnd : public TskMainWnd {
 public:
  bool IsVertical() const;
  bool ButtonPressed() const { return pressed_; }
  int TickLength = 4;

 protected:
  friend class TskMainWnd;
  TskTrackWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
              const std::string& section);
  void WndProc(TMessage& message) override;

 private:
  void Paint(WPARAM given);
  void BuildImage();
  void PaintTicks(int trackSection, const TRect& channel);
  void PaintThumb(int trackSection);
  bool pressed_ = false;
};
