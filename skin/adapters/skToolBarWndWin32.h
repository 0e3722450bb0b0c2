// The adapter of a raw tool bar (ToolbarWindow32) in a standard dialog, such as the file
// dialogs' bar: the bar's section from the skin, each button drawn from TOOLBUTTON (hot under
// the pointer, pressed while held), separators from DIVIDER, the buttons' images and captions
// read with the bar's own messages. The bar keeps its behaviour: it presses its buttons and
// sends their commands.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TBitmap;

class TskToolBarWnd : public TskMainWnd {
 public:
  // GetClientRect at the last cache rebuild, and the width of the bar's edge around it.
  const TRect& ClientArea() const { return clientArea_; }
  int EdgeWidth() const { return edgeWidth_; }
  // The look (0 normal, 1 hot, 2 pressed) the button was last painted in; -1 never painted.
  int PaintedState(int index) const;

 protected:
  friend class TskMainWnd;
  TskToolBarWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                const std::string& section);
  void WndProc(TMessage& message) override;

 private:
  bool Suspended();
  void UpdateCache();
  void PaintBorder();
  void Paint();
  void PaintTo(HDC given);
  void DrawButtons(TBitmap* picture);
  void DrawButton(int index, const TRect& r, TBitmap* picture);
  void DrawCaption(TBitmap* button, const std::string& text, const TRect& r, int iconHeight,
                   int state, int shift);

  TRect clientArea_{};
  int edgeWidth_ = 0;
  std::vector<int> paintedStates_;
};
