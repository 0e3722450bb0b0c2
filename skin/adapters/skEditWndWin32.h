// The edit adapter: skins edit-like windows (edits, memos, list boxes, the program's editor and
// the windows the list, tree and combo adapters build on). It paints the window's border from
// its skin section over what the parent shows, gives a framework control the section's
// background and font colours, and replaces the window's scroll bars by skinned ones.
#pragma once

#include <windows.h>

#include "skin/adapters/skBaseWndWin32.h"

class TskEditWnd : public TskBaseWnd {
 public:
  ~TskEditWnd() override;
  // Colours for a window without a framework control: the section's colour (the system's
  // window colour in a dialog or without a valid section) and a black frame.
  TColor PlainColor() const { return plainColor_; }
  TColor PlainFrameColor() const { return plainFrameColor_; }

 protected:
  friend class TskMainWnd;
  // The section is always the given one ("EDIT" when empty), whatever the skin data named.
  TskEditWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
             const std::string& section);
  void SaveColors() override;
  void RestoreColors() override;
  void ApplySkinColors() override;
  void WndProc(TMessage& message) override;
  // What follows the edit's own handling of a message: the base's rules and then frame and
  // bar refreshes.
  void CommonTail(TMessage& message);
  // Copies `width` pixels of the cache's border to dc (window coordinates).
  void CopyCacheFrame(HDC dc, int width);
  // The window's own DC; the print target when one is set.
  bool IsPrintTarget(HDC dc) const;

  TColor plainColor_ = clWindow;
  TColor plainFrameColor_ = 0;
  TColor savedFocusColor_ = clNone;

 private:
  void NcPaint(TMessage& message);
  void Print(TMessage& message);
};
