// The adapters of a dialog's text and picture windows: a static text painted over the skin's
// section in the section's font colours (TskStaticWnd), a static icon or bitmap over the section
// (TskIconWnd), a static with a sunken edge that keeps its own inside and gets the skin's frame
// (TskEdgeWnd), and a link window whose text is shown underlined without its markup
// (TskLinkWnd). A static with a tab stop or a static edge paints itself.
#pragma once

#include <windows.h>

#include <string>

#include "skin/adapters/skSBUtilsWin32.h"

class TskStaticWnd : public TskMainWnd {
 protected:
  friend class TskMainWnd;
  TskStaticWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
               const std::string& section);
  void WndProc(TMessage& message) override;
  void PaintStatic(WPARAM given);
  // Paints the section into the cache (over the parent, with the disabled look).
  void BuildCache();
  // Draws the content into the cache; true: the cache is shown.
  virtual bool DrawContent();
  void Redraw();
};

class TskEdgeWnd : public TskStaticWnd {
 protected:
  friend class TskMainWnd;
  using TskStaticWnd::TskStaticWnd;
  void WndProc(TMessage& message) override;

 private:
  void PaintEdge();
};

class TskIconWnd : public TskStaticWnd {
 public:
  bool IsBitmapImage() const { return bitmapImage_; }

 protected:
  friend class TskMainWnd;
  TskIconWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
             const std::string& section);
  // The static's icon or bitmap at the top-left, cut to the window; the image stays the
  // static's (it is only borrowed for the copy).
  bool DrawContent() override;

 private:
  bool bitmapImage_;
};

class TskLinkWnd : public TskStaticWnd {
 protected:
  friend class TskMainWnd;
  using TskStaticWnd::TskStaticWnd;
  void WndProc(TMessage& message) override;
  bool DrawContent() override;
};

// The system's message font (null when it cannot be read); the caller owns it.
HFONT CreateMessageFont(bool underline);
