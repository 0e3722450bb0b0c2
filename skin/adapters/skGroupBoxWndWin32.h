// The group box adapter: paints a system group box (or a framework one without skin support)
// from the skin's GROUPBOX section: the frame from half the caption's height down, the
// caption over the parent's background in the section's font colours, and the parent's
// background behind the caption strip. Children keep painting themselves. Inside a standard
// dialog only the frame is the skin's; the box paints its inside itself.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TskGroupBoxWnd : public TskMainWnd {
 public:
  // The caption's strip in the window.
  TRect GetCaptionRect();

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  TskGroupBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                 const std::string& section);
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

 private:
  void Paint(WPARAM dc, LPARAM flags);
  void PrepareCache();
  void Erase(WPARAM dc);
};
