// The skinned list view: the framework's list view painted from the skin. Its frame and scroll
// bars come from an edit adapter, its column header from the COLHEADER section (BUTTON when the
// skin has none) through the subclassed header window, its items and sub-items from its own
// custom-draw handlers, with the SELECTION section (or the skin's selection colour) behind
// selected items. Without a skin it is the standard list view.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsCustomListView : public TCustomListView {
  K_CLASS(TsCustomListView, TCustomListView)
  explicit TsCustomListView(TComponent* owner);
  ~TsCustomListView() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // Hot header items follow the mouse.
  bool HighlightHeaders() const { return highlightHeaders_; }
  void SetHighlightHeaders(bool value) { highlightHeaders_ = value; }
  // The subclassed header window (0 when there is none).
  HWND HeaderHandle() const { return header_.Handle(); }
  // The header item under the mouse (-2 none) and the one pressed with the left button (-1).
  int HotColumn() const { return hotColumn_; }
  int PressedColumn() const { return pressedColumn_; }
  // The adapter that paints the frame and the scroll bars while a skin is active.
  TskEditWnd* ScrollAdapter() const { return adapter_.get(); }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // The skinned handlers in the custom-draw events, the user's own kept aside (on), or the
  // user's back (off). A list whose items the system draws leaves them out.
  virtual void InstallCustomDraw(bool on);

 private:
  class TCmdHandler;
  friend class TCmdHandler;

  void ListCustomDraw(TCustomListView* sender, const TRect& rect, TCustomDrawStage stage,
                      bool& defaultDraw);
  void ItemCustomDraw(TCustomListView* sender, TListItem* item, TCustomDrawState state,
                      TCustomDrawStage stage, bool& defaultDraw);
  // Paints a report row's sub-item into `row` (a whole row's bitmap, left at the row's left)
  // or, without one, onto the list's canvas.
  void PaintSubItem(TListItem* item, int column, TCustomDrawState state, TBitmap* row,
                    const TRect& rowBounds);
  void PaintRowSelectItem(TListItem* item, TCustomDrawState state, HDC dc);
  void PaintLabelItem(TListItem* item, TCustomDrawState state, HDC dc);
  // Fills `bitmap` with the selection look: the SELECTION section, else the skin's colour.
  void PaintSelection(TBitmap* bitmap, const TRect& r, bool focused);
  void PrepareCache();

  // The skin's colours for the list, or the system's after the skin went away.
  void ApplyColors(bool skinned);
  // The adapter and colours follow the skin; the whole list with its frame is painted again.
  void FollowSkin();
  void RedrawAll();

  void HookHeader(HWND header);
  bool HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  int ColumnAtPoint(POINT screen) const;
  TRect HeaderItemRect(int position) const;
  void PaintHeader(HDC printDC);
  void PaintHeaderSection(HDC dc, const TRect& r, int index);
  void RepaintHeader();
  void ThumbTrack(TMessage& message);

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  std::unique_ptr<TsControlLabel> label_;
  std::unique_ptr<TskEditWnd> adapter_;
  TWindowSubclass header_;
  bool settingUp_ = false;
  bool highlightHeaders_ = true;
  bool headerMouseDown_ = false;
  int hotColumn_ = -2;
  int pressedColumn_ = -1;
  int headerHeight_ = 0;
  HDC printDC_ = nullptr;
  bool customDrawInstalled_ = false;
  TLVAdvancedCustomDrawEvent savedCustomDraw_;
  TLVAdvancedCustomDrawItemEvent savedCustomDrawItem_;
};

// The list view as forms place it: everything published, nothing of its own.
class TsListView : public TsCustomListView {
  K_CLASS(TsListView, TsCustomListView)
  explicit TsListView(TComponent* owner) : TsCustomListView(owner) {}
};
