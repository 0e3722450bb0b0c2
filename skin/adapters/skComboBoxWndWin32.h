// The combo box adapter: the combo box's face and border from its skin section, its drop-down
// button from the skin's combo button, and an adapter for its list window once the list first
// asks for its colours.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/HandlesWin32.h"
#include "skin/adapters/skComboListWndWin32.h"
#include "skin/adapters/skEditWndWin32.h"

class TskComboBoxWnd : public TskEditWnd {
 public:
  ~TskComboBoxWnd() override;
  // The drop-down button in window coordinates (empty width for a simple combo box; on the
  // left for right-to-left reading).
  virtual TRect GetButtonRect() const;
  // The button painted now, into the window's DC.
  void PaintButtonNow();
  // The button into dc: pressed while the list is dropped down, hot while the control is
  // active or under the mouse.
  void PaintButton(HDC dc);
  // The list window, known from its first colour question; null until then and once the skin
  // is removed.
  HWND ListHandle() const { return listHandle_; }
  TskComboListWnd* ListAdapter() const { return listAdapter_.get(); }

 protected:
  friend class TskMainWnd;
  using TskEditWnd::TskEditWnd;
  // The combo box paints its face in its client area: adopted, it is painted again whole.
  void Start(bool repaint) override;
  // The list lets go with the combo box: a standard combo box shows a standard list.
  void RestoreColors() override;
  void WndProc(TMessage& message) override;

 private:
  void Paint(TMessage& message);
  void Print(TMessage& message);
  // The face of a simple combo box (its edit part) into the cache.
  void PaintFace();
  // The selected item's text (or the window text) into the cache, beside the button.
  void PaintText();
  void ListColors(TMessage& message);
  void ReleaseList();
  void Repaint();
  bool IsSimple() const;
  bool IsDropDownList() const;
  bool IsActiveLook() const;

  HWND listHandle_ = nullptr;
  std::unique_ptr<TskComboListWnd> listAdapter_;
  bool openingList_ = false;
  // The list's background brush: one for the adapter, replaced only when the colour changes.
  TGdiObject<HBRUSH> listBrush_;
  TColor listBrushColor_ = clNone;
};
