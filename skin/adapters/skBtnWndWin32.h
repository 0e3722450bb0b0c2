// The push button adapter: paints a system push button (or a framework button without skin
// support of its own) from the skin's BUTTON section, with its caption centred in the
// section's font colours and a dotted focus frame, hot while the mouse is over it and pressed
// while the system reports it pushed. The button's own drawing is kept off the screen while
// its procedure changes its state; clicks and keys work as before.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TskBtnWnd : public TskMainWnd {
 public:
  // 2 pushed, 0 disabled, 1 focused, hot or default, else 0.
  int GetDrawState() const;
  bool IsPushed() const;
  uint32_t GetStyle() const;

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  TskBtnWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
            const std::string& section);
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

  virtual void DrawCaption();
  virtual void DrawGlyph() {}
  virtual TSize GetGlyphSize() const { return TSize{0, 0}; }
  virtual TRect GetCaptionRect();
  virtual int GetMaxCaptionWidth() const;
  TSize MeasureCaption();
  virtual void PrepareCache();
  void PaintButton(WPARAM dc);
  void Repaint();
  // The window's state changes through its own procedure without it painting itself; then
  // the cache is rebuilt and shown.
  void ChangeQuietly(TMessage& message, bool baseProcedure);
  void SetHot(bool hot);
  void TrackLeave();
};
