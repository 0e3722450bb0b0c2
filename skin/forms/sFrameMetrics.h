// The geometry of a skinned form's frame, decided from a record of window facts: border
// widths, caption height, the size of the frame image and where the client area lies in it,
// the window region with the holes of the skin's corners, the maximized bounds, icon and
// thumbnail sizes, and the four strips copied from the frame image to the window. Portable:
// the provider reads the facts from its window and hands the answers to the system.
#pragma once

#include <vector>

#include "framework/Types.h"

class TsSkinManager;

// The form's BorderStyle as the frame sees it.
enum class TsFrameBorder { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// The system metrics the frame is measured with.
struct TsFrameSystemMetrics {
  int CxFrame = 4;       // SM_CXFRAME: a sizing border
  int CxDlgFrame = 3;    // SM_CXDLGFRAME: a fixed border
  int CyCaption = 19;    // SM_CYCAPTION
  int CySmCaption = 15;  // SM_CYSMCAPTION: a tool window's caption
  int CyMenu = 19;       // SM_CYMENU
};

// What the skin says about extended borders (GLOBALINFO).
struct TsFrameSkinValues {
  int BorderWidth = 4;  // BORDERWIDTH
  int TitleHeight = 30;
  int MaxHeight = 0;  // 0: TitleHeight
  int CenterOffset = 0;
  int BIVAlign = 0;
  int BITop = 0;
};

// Everything the frame geometry depends on.
struct TsFormFacts {
  TsFrameBorder Border = TsFrameBorder::Sizeable;
  // Window style bits.
  bool ThickFrame = true;   // WS_THICKFRAME
  bool BorderBit = true;    // WS_BORDER
  bool CaptionBits = true;  // both bits of WS_CAPTION
  bool ChildBit = false;    // WS_CHILD
  // Form state.
  bool Minimized = false;
  bool Maximized = false;
  bool MdiChild = false;
  bool MainForm = true;
  bool HasMaxConstraints = false;  // Constraints MaxWidth or MaxHeight set
  // Window and client sizes, and the form's own BorderWidth.
  int Width = 0;
  int Height = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  int FormBorderWidth = 0;
  // Extended borders: a border window exists; its shadow margins and the skin's values.
  bool BorderWindow = false;
  TRect ShadowMargins{};
  TsFrameSkinValues Skin;
  bool CompactMaxTitle = false;
  // The menu line: lines of the menu bar (0 without one).
  int MenuLines = 0;
  TsFrameSystemMetrics Metrics;
};

bool HasFrame(const TsFormFacts& f);
// The frame's width: with `extended` and a border window the skin's BORDERWIDTH (when not
// 0), else the system's sizing or fixed border, else 0.
int GetBorderWidth(const TsFormFacts& f, bool extended);
// 0 when a border window draws the frame, else GetBorderWidth.
int GetStdBorderWidth(const TsFormFacts& f, bool extended);
int GetFrameWidth(const TsFormFacts& f, bool extended);
int GetExtFrameWidth(const TsFormFacts& f, bool extended);
// 0 unless the form is minimized or framed with a full caption; tool windows take the
// small caption while not minimized.
int GetCaptionHeight(const TsFormFacts& f, bool extended);
TRect GetShadowMargins(const TsFormFacts& f);
int GetExBorderDelta(const TsFormFacts& f);
int GetExTitleDelta(const TsFormFacts& f);
int GetImageWidth(const TsFormFacts& f);
// Height of the frame image: the form's, a minimized MDI child's frame and caption only, and
// with a border window the deltas and shadows added.
int GetImageHeight(const TsFormFacts& f);
int GetMenuLineHeight(const TsFormFacts& f);
// Height of what lies above the client area in the window (caption and menu line).
int GetHeaderHeight(const TsFormFacts& f);
int GetClientOffsetX(const TsFormFacts& f);
int GetClientOffsetY(const TsFormFacts& f);
// Where the menu line begins in the frame image.
int GetTitleBottom(const TsFormFacts& f);
bool HasBigButtons(const TsFormFacts& f);
// The title icon's size for a caption height: 1 up to 8 pixels, 8 up to 16, then 16.
int IconSizeForHeight(int height);

// A piece of the frame image copied to the window: `Dest` in window coordinates, taken at
// `Source` in the image.
struct TsFrameCopy {
  TRect Dest;
  TPoint Source;
};
// The header, left, bottom and right strips of the window's non-client area.
std::vector<TsFrameCopy> FrameCopyRects(const TsFormFacts& f);

// The window region a provider gives its form.
enum class TsRegionKind {
  Keep,    // leave the region as it is (nothing to shape)
  Remove,  // no region: the whole window
  Shape,   // Bounds less Holes
};
struct TsRegionPlan {
  TsRegionKind Kind = TsRegionKind::Keep;
  TRect Bounds{};
  std::vector<TRect> Holes;
  friend bool operator==(const TsRegionPlan&, const TsRegionPlan&) = default;
};
// The region for the form: with a border window the rectangle inside the extended frame; a
// maximized form without constraints the rectangle inside its border (the parts beyond the
// screen cut off); otherwise the image's rectangle less the holes. A region that would be the
// whole window without holes is none at all (Remove).
TsRegionPlan PlanFormRegion(const TsFormFacts& f, const std::vector<TRect>& holes);
// One key-colour run of a border mask's corner, in the mask's own coordinates: a right
// corner's run moves with the image's right edge, a bottom corner's with the form's bottom.
struct TsCornerRun {
  TRect R;
  int MaskWidth = 0;     // the mask's state width
  bool Right = false;    // lies in a right corner
  int BottomWidth = -1;  // a bottom corner's height; -1 for a top corner
};
// The runs of the corners of the form's border mask (top and bottom) and of the title's
// border mask (top only). Read from the skin's images once per skin: resizing only moves them.
std::vector<TsCornerRun> CollectCornerRuns(const TsSkinManager& manager, int formMask,
                                           int titleMask);
// The runs placed in a frame image of that width for a form of that height.
std::vector<TRect> PlaceCornerRuns(const std::vector<TsCornerRun>& runs, int imageWidth,
                                   int formHeight);
// Both at once.
std::vector<TRect> CollectRegionHoles(const TsSkinManager& manager, int formMask, int titleMask,
                                      int imageWidth, int formHeight);

// Where and how large a maximized form is placed (WM_GETMINMAXINFO) inside its work area.
struct TsMaximizedBounds {
  TPoint Position;
  TSize Size;
  friend bool operator==(const TsMaximizedBounds&, const TsMaximizedBounds&) = default;
};
TsMaximizedBounds LimitMaximizedBounds(const TsFormFacts& f, const TRect& workArea);

// An asked thumbnail size fitted to the source's aspect (halves rounded to even); 0 x 0 when
// nothing can be shown.
TSize FitThumbnail(int width, int height, int sourceWidth, int sourceHeight);

// The title buttons' widths (standard buttons only; user buttons come later).
struct TsTitleButtonsFacts {
  bool CloseVisible = true;
  bool MaxVisible = true;
  bool MinVisible = true;
  bool HelpVisible = false;
  int CloseWidth = 21;
  int MaxWidth = 21;
  int MinWidth = 21;
  int HelpWidth = 21;
  int BIRight = 0;
  int BISpace = 0;
  bool Big = true;
};
int GetButtonsWidth(const TsTitleButtonsFacts& b);
