// Where a skinned button puts its glyph and its caption, which cell of a glyph strip it shows,
// and which look (normal, hot, pressed) it paints: the arithmetic behind the pictures of the
// bit button, the speed button, the check box and the tool bar's buttons, kept apart from the
// windows so it is tested natively.
#pragma once

#include "framework/Types.h"

// The look a button paints: 0 normal, 1 hot (mouse over, focused or default), 2 pressed.
constexpr int ButtonNormal = 0;
constexpr int ButtonHot = 1;
constexpr int ButtonPressed = 2;

// How a disabled button's glyph looks: blended into what lies below, grey, or both.
enum TsDisabledGlyphKindItem { dgBlended, dgGrayed };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;

// Where the glyph sits beside the caption (the framework's button layouts, in their order).
enum class TsGlyphLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };
// Where the glyph-and-caption block sits (the framework's alignments, in their order).
enum class TsBlockAlign { Left, Right, Center };

// ---- glyph strips ------------------------------------------------------------------------

// The cell of a strip of `cells` pictures shown for a look: the look's own, or the last cell
// when the strip is shorter.
int GlyphCellOfState(int state, int cells);
// The source rectangle of a cell in a strip of cells `cellWidth` wide.
TRect GlyphCellRect(int cell, int cellWidth, int height);
// How many cells a strip of that size holds: width div height when the width is a multiple of
// the height, else one.
int StripCellCount(int width, int height);
// How much of the background shows through a glyph, in percent: the button's Blend in the
// normal look, and at least half for a disabled button that blends its glyph.
int GlyphTransparency(int state, int blend, bool disabledBlended);
// A glyph rectangle with room for its mirror image below: moved up by a sixth of its height.
TRect ReflectedGlyphRect(const TRect& glyph);

// ---- the bit button -------------------------------------------------------------------------

// What decides the bit button's look.
struct TsBitBtnStateInputs {
  bool Down = false;       // shown pressed permanently
  bool Pushed = false;     // the window reports BST_PUSHED, or a quick click is shown pressed
  bool MouseOver = false;  // the mouse is over the button
  bool LeftHeld = false;   // the left button went down on it and is still held
  bool IsDefault = false;  // the focused or default button, or BS_DEFPUSHBUTTON
  bool IsActive = false;   // enabled and focused, or hot
};
int BitBtnState(const TsBitBtnStateInputs& in);
// The width a bit button's caption may take: the button less its margins (a negative margin
// counts as none, so the caption is never measured wider than the button) and, beside a glyph,
// less the glyph and the spacing. 0 without a caption.
int BitBtnCaptionWidth(int width, int margin, TsGlyphLayout layout, int glyphWidth, int spacing,
                       bool hasCaption);
// The glyph rectangle from the layout's glyph position: moved by (1, 1) when pressed, and up
// for the mirror image.
TRect BitBtnGlyphRect(TPoint glyphPos, TSize glyph, int state, bool reflected);

// ---- the speed button -----------------------------------------------------------------------

// What the speed button's placement reads.
struct TsSpeedButtonPlace {
  int Width = 0;
  int Height = 0;
  int Margin = -1;
  int Spacing = 4;
  TsGlyphLayout Layout = TsGlyphLayout::GlyphLeft;
  TsBlockAlign Alignment = TsBlockAlign::Center;
  bool DropDown = false;    // a drop-down button keeps an arrow part at its right
  bool HasCaption = false;  // ShowCaption and a caption that is not empty
  TSize Glyph{0, 0};
  TSize Text{0, 0};  // the caption as measured in SpeedButtonCaptionWidth
  int TextOffset = 0;
  bool Reflected = false;
  int State = ButtonNormal;
};
// The width of a drop-down button's arrow part; 0 for the other styles.
constexpr int SpeedButtonArrowWidth = 16;
int SpeedButtonContentMargin(int margin);
int SpeedButtonCaptionWidth(const TsSpeedButtonPlace& place);
TRect SpeedButtonGlyphRect(const TsSpeedButtonPlace& place);
TRect SpeedButtonCaptionRect(const TsSpeedButtonPlace& place);

// ---- the tool bar's buttons -------------------------------------------------------------------

// A tool button's custom-draw state, as the look decisions read it.
struct TsToolButtonDrawState {
  bool Selected = false;
  bool Checked = false;
  bool Disabled = false;
  bool Hot = false;
  bool Other = false;  // any other state bit (focused, marked, ...)
};
// The look of a tool button's image: normal without state (or disabled only), pressed when
// selected or checked, else hot.
int ToolButtonImageState(const TsToolButtonDrawState& state);
// The look of the button itself: also pressed while highlighted or indeterminate.
int ToolButtonState(const TsToolButtonDrawState& state, bool highlighted, bool indeterminate);

// Which image list a tool button's image comes from.
enum class TsToolImageList { Normal, Hot, Disabled };
TsToolImageList ChooseToolImageList(bool buttonEnabled, bool hasDisabledImages, int state,
                                    bool hasHotImages, int imageIndex, int hotImageCount);

struct TsToolButtonPlace {
  TSize Button{0, 0};
  TSize Image{0, 0};  // the size of the bar's Images
  bool List = false;  // captions right of the images
  bool ShowCaptions = false;
  bool DropDown = false;
  int LineHeight = 0;  // height of "A" in the bar's font
  int State = ButtonNormal;
};
// Where a tool button's image goes, in the button's coordinates.
TRect ToolButtonImageRect(const TsToolButtonPlace& place);

struct TsToolCaptionPlace {
  int ButtonHeight = 0;
  int ButtonAreaWidth = 0;  // the button less its arrow part
  bool List = false;
  bool HasImage = false;  // the bar has Images and the button an ImageIndex >= 0
  TSize Image{0, 0};
  int TextWidth = 0;
  int LineHeight = 0;
  int State = ButtonNormal;
};
TRect ToolButtonCaptionRect(const TsToolCaptionPlace& place);
// Where the drop-down arrow's picture goes in the arrow part.
TPoint ToolDropDownArrowPos(int buttonAreaWidth, int arrowWidth, int maskWidth, int maskHeight,
                            int buttonHeight);
// A tool button is shown disabled when it or its bar is disabled, or it is indeterminate, and
// the bar has no pictures of its own for disabled buttons.
bool ToolButtonShowsDisabled(bool buttonEnabled, bool barEnabled, bool indeterminate,
                             bool hasDisabledImages);

// ---- the check box ------------------------------------------------------------------------------

// The size of one cell of a check glyph strip (list or own bitmap): one cell per height when
// the width is a multiple of the height.
TSize CheckGlyphCellSize(int width, int height);
// The look of a check glyph.
int CheckGlyphState(bool pressed, bool active, bool readOnly);

struct TsCheckBoxPlace {
  int Width = 0;
  int Height = 0;
  int Margin = 2;
  int TextIndent = 0;
  bool CaptionRight = true;  // the box left and the caption right of it (taRightJustify)
  TSize Glyph{16, 16};
};
TRect CheckBoxGlyphRect(const TsCheckBoxPlace& place);
// The width the caption may take beside the box.
int CheckBoxCaptionWidth(const TsCheckBoxPlace& place);
// The caption rectangle for a measured text; word-wrapped captions sit one pixel further left.
TRect CheckBoxCaptionRect(const TsCheckBoxPlace& place, TSize text, bool wordWrap);
// The size an auto-sized skinned box takes: box, margins and (with a caption) the caption,
// its indent and a little room.
TSize CheckBoxAutoSize(TSize glyph, int margin, int textIndent, TSize text, bool hasCaption);
