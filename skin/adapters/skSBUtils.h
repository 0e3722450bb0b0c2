// Window adapters, portable half: how an adapter answers the skin command for the window it
// has taken over, and how it paints its cache image from the skin. The window itself is
// reached through IAdapterWindow, so every decision is tested without a window; the Win32
// half (skSBUtilsWin32.h) binds it to a subclassed window.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/sBackground.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinCmdHandler.h"

class TsCommonData;
class TsSkinManager;

// True while the dialog hook or the combo box adapter creates adapters for the windows of a
// standard dialog; each adapter copies it when made and then paints plainer.
extern bool DialogAdapterMode;

// The section or the border mask of the skin data has more than one state image: the hot
// look differs from the normal one.
bool HasMultiStateSkin(const TsCommonData& data);

// What the adapter's skin-command handling needs of the adapter and its window.
class IAdapterWindow {
 public:
  virtual ~IAdapterWindow() = default;
  // The window's own colours back (the skin went away).
  virtual void RestoreColors() = 0;
  // The skin command to the window's children (or the host control's children).
  virtual void BroadcastToChildren(const TSkinCmdMessage& message) = 0;
  virtual bool IsVisible() const = 0;
  // The window paints itself now (after a refresh).
  virtual void Repaint() = 0;
  // The whole window, its children and frame, redrawn at once.
  virtual void RedrawAll() = 0;
  // The cache image prepared from the skin (when its background is dirty).
  virtual void PrepareCache() = 0;
  // The window's own procedure answers CmdGetBgColor (0: no answer).
  virtual intptr_t OwnBgColorAnswer() = 0;
  // The skin data belongs to a framework control (not to the window alone).
  virtual bool HasHostControl() const = 0;
  // The program's application object, the answer to CmdGetApplication.
  virtual intptr_t ApplicationObject() const = 0;
};

// The adapter's answer to a skin command for its window: the skin data's default answers,
// except where an adapter differs. Without a manager, or while it is not active, every command
// is passed on to the window's own procedure. Most commands the skin data answers are passed
// on untouched: a host control's own procedure answers them for the same skin data.
class TskAdapterCmdHandler : public TsSkinCmdHandler {
 public:
  TskAdapterCmdHandler(TsCommonData& data, TsSkinManager* manager, IAdapterWindow& window)
      : TsSkinCmdHandler(data), manager_(manager), window_(window) {}

 protected:
  TsSkinManager* Manager() const override { return manager_; }
  bool Listening() const override;
  bool OnSkinChanged(TSkinCmdMessage& message) override;
  bool OnRemoveSkin(TSkinCmdMessage& message) override;
  bool OnRefresh(TSkinCmdMessage& message) override;
  bool OnResumePainting(TSkinCmdMessage& message) override;
  // Only the paint suspension: a dirty background is rebuilt when the window paints anyway.
  bool OnIsUpdating(TSkinCmdMessage& message) override;
  bool OnIsBgGraphic(TSkinCmdMessage& message) override;
  // The window's own answer first.
  bool OnGetBgColor(TSkinCmdMessage& message) override;
  bool OnPrepareCache(TSkinCmdMessage& message) override;
  // The print target is kept and the command passed on, so the window's own procedure
  // learns of it too.
  bool OnSetPrintDC(TSkinCmdMessage& message) override;
  bool OnGetApplication(TSkinCmdMessage& message) override;
  bool OnSetUpdating(TSkinCmdMessage&) override { return false; }
  bool OnSetImmediatePaint(TSkinCmdMessage&) override { return false; }
  bool OnIsPartlyHidden(TSkinCmdMessage&) override { return false; }
  bool OnRefreshSection(TSkinCmdMessage&) override { return false; }
  bool OnBgChanged(TSkinCmdMessage&) override { return false; }
  bool OnBgChangedRedraw(TSkinCmdMessage&) override { return false; }
  bool OnSetPartlyHidden(TSkinCmdMessage&) override { return false; }
  bool OnGetSectionIndex(TSkinCmdMessage&) override { return false; }
  bool OnSkinState(TSkinCmdMessage&) override { return false; }

 private:
  TsSkinManager* manager_;
  IAdapterWindow& window_;
};

// TskAdapterCmdHandler for one command: true when answered here (message.Result holds the
// answer); false passes it on to the window's own procedure.
bool HandleAdapterSkinCmd(TSkinCmdMessage& message, TsCommonData& data, TsSkinManager* manager,
                          IAdapterWindow& window);

// The adapter's cache image for a window of `size` whose top-left lies at `posInParent` in
// its parent, over what the parent shows (`behind`, in the parent's coordinates): the cache
// made and sized, then, in a dialog with a skin border colour other than the key colour, the
// window colour framed in it, else the skin data's section in state 1 when `hot` and the skin
// has states, else 0. BackgroundDirty is cleared. `windowColor` is what the system paints
// windows with.
void PaintWindowCache(TsCommonData& data, const TsBackgroundSource& behind, TPoint posInParent,
                      int width, int height, bool inDialog, bool hot, TColor windowColor);

// Lets what lies behind show through the open (key-coloured) corner pixels of the skin data's
// border mask in state `state`, over the cache image of a window of `width` x `height` at
// `posInParent`. `behind` is what the parent shows, in the parent's coordinates. Nothing in a
// dialog, without a valid border mask or cache, for windows of less than 2 x 2 pixels, or over
// a background of the key colour.
void FillTransparentCorners(TsCommonData& data, int state, bool inDialog, int width, int height,
                            TPoint posInParent, TsBackgroundSource behind);

// ---- skinned scroll bars: geometry and hit testing ------------------------------------------

class TskScrollWnd;

// A bar's scroll information as the window keeps it (the fields of SCROLLINFO we read).
struct TScrollBarInfo {
  int32_t nMin = 0;
  int32_t nMax = 0;
  uint32_t nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;
};

// Parts of a bar; their numbers are the scroll codes a press on them sends.
enum TScrollBarPart : int {
  sbpNone = -1,
  sbpFirstArrow = 0,   // left or top arrow: SB_LINEUP
  sbpSecondArrow = 1,  // right or bottom arrow: SB_LINEDOWN
  sbpPageBefore = 2,   // SB_PAGEUP
  sbpPageAfter = 3,    // SB_PAGEDOWN
  sbpThumb = 5,        // SB_THUMBTRACK
};

// One skinned bar of a scrolling adapter.
class TskScrollBar {
 public:
  static constexpr uint16_t kStyleHasBar = 0x8;
  static constexpr int kDefaultMinThumbLength = 10;

  uint16_t StyleFlags = 0;  // kStyleHasBar: the window's style has this bar
  bool Shown = false;       // the bar takes space in the non-client area
  TScrollBarInfo Info;
  int ArrowLength = -1;  // >= 0 used as is; -n: n times the default
  int Thickness = -1;    // same rule
  uint16_t Kind = 0;     // 0 horizontal, 1 vertical
  int MinThumbLength = kDefaultMinThumbLength;
  TskScrollWnd* Owner = nullptr;

  bool IsVertical() const { return Kind == 1; }
};

// A bar size as stored (`value`) for the default `unit`: 0 or more is used unchanged, -n is n
// times the unit.
int ResolveScrollBarSize(int value, int unit);

// Thumb of a bar lying in `rect` with arrows of `arrowLength`: its length and where it starts
// along the bar (in rect's coordinates). Never shorter than the bar's MinThumbLength while the
// range is not empty; as long as an arrow without a page size.
struct TThumbGeometry {
  int Length = 0;
  int Start = 0;
};
TThumbGeometry GetThumbGeometry(const TskScrollBar& bar, const TRect& rect, int arrowLength);

// The part of a horizontal (vertical) bar lying in `rect` at (x, y), or sbpNone. A bar too short
// for its two arrows is two half arrows; without room for a thumb there are no page areas.
int GetHorzBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength);
int GetVertBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength);
// Chooses by the bar's Kind; sbpNone for other kinds.
int GetBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength);

// Where a dragged thumb lies and which position it stands for. `barRect` is the bar at the
// press, `mouse` the mouse along the bar, `grabOffset` the distance from the thumb's start to
// the mouse at the press, `thumbLength` the thumb's length then. Start is in barRect's
// coordinates; Position is a scroll position within the bar's range.
struct TThumbDrag {
  int Start = 0;
  int Position = 0;
};
TThumbDrag DragThumbH(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength);
TThumbDrag DragThumbV(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength);

// Where the bars lie in a window. `window` is the window rectangle (any coordinates), the edges
// are the widths of the window's own frame, the thicknesses count only for a bar that is shown
// (pass 0 otherwise).
struct TScrollBarLayout {
  TRect Window;
  int EdgeLeft = 0, EdgeTop = 0, EdgeRight = 0, EdgeBottom = 0;
  int HorzThickness = 0;  // 0 when the horizontal bar is not shown
  int VertThickness = 0;  // 0 when the vertical bar is not shown
  bool LeftScrollBar = false;
};
TRect HorzBarRect(const TScrollBarLayout& layout);
TRect VertBarRect(const TScrollBarLayout& layout);
// The square between the two bars, relative to the window's top-left corner.
TRect CornerSquareRect(const TScrollBarLayout& layout);

// ---- skinned scroll bars: painting -------------------------------------------------------------

// The arrow length the skin gives a bar (the width of SCROLLBTNLEFT's border-mask image for the
// horizontal, the height of SCROLLBTNTOP's for the vertical bar); 0 when the skin gives none.
int SkinScrollArrowSize(const TsSkinManager& manager, bool vertical);
// A bar's arrow length: its own, or its multiple of the standard arrow width (with `skin`, of
// the larger of it and the skin's arrow size).
int ScrollBarArrowLength(const TskScrollBar& bar, const TsSkinManager* skin);

// The looks of a bar's parts: 0 normal, 1 hot, 2 pressed.
struct TScrollBarStates {
  int FirstArrow = 0;
  int SecondArrow = 0;
  int PageBefore = 0;
  int PageAfter = 0;
  int Thumb = 0;
};

// The bar composed over the whole bitmap from the skin's scroll sections: the two page areas
// split at the thumb's middle, the arrows with their glyphs, the thumb (only when the bar is
// active and its range leaves room for one), and an inactive bar faded into `background`.
// `thumb` is relative to the bitmap. False (nothing painted) when the skin has no bar section
// for this kind.
bool PaintScrollBarImage(TBitmap& bitmap, TsSkinManager& manager, const TskScrollBar& bar,
                         int arrowLength, TThumbGeometry thumb, bool active,
                         const TScrollBarStates& states, const TsBackgroundSource& background);
