// Where the button, check box and group box adapters put a caption and a check glyph in the
// window they paint, and which look and which glyph they show for the window's style and
// button state: the decisions of those adapters, kept apart from the windows so they are
// tested natively as tables.
#pragma once

#include <cstdint>

#include "framework/Types.h"

struct TsMaskData;

// The system's button style and state bits the adapters read (GWL_STYLE, BM_GETSTATE).
namespace buttonbits {
constexpr uint32_t TypeMask = 0xF;
constexpr uint32_t DefPushButton = 0x1;
constexpr uint32_t GroupBox = 0x7;
constexpr uint32_t OwnerDraw = 0xB;
constexpr uint32_t LeftText = 0x20;
constexpr uint32_t Multiline = 0x2000;
constexpr uint32_t StateChecked = 0x1;
constexpr uint32_t StateIndeterminate = 0x2;
constexpr uint32_t StatePushed = 0x4;
constexpr uint32_t StateFocus = 0x8;
}  // namespace buttonbits

// DrawText flags the adapters use, named here so the portable rules need no system header.
namespace textflags {
constexpr uint32_t Center = 0x1;
constexpr uint32_t Right = 0x2;
constexpr uint32_t VCenter = 0x4;
constexpr uint32_t WordBreak = 0x10;
constexpr uint32_t SingleLine = 0x20;
constexpr uint32_t ExpandTabs = 0x40;
constexpr uint32_t NoClip = 0x100;
constexpr uint32_t CalcRect = 0x400;
constexpr uint32_t NoPrefix = 0x800;
constexpr uint32_t EndEllipsis = 0x8000;
}  // namespace textflags

// The kind of adapter a dialog's "button" window gets by its style's type: a group box, a push
// button (push, default push and user buttons) or a check box (check boxes, radio buttons,
// owner-drawn buttons and the rest).
enum class TskButtonKind { GroupBox, PushButton, CheckBox };
TskButtonKind ButtonKindOfStyle(uint32_t style);

// ---- push buttons ----------------------------------------------------------------------------

// The caption's DrawText flags: centred with tabs expanded, and wrapped into lines only when
// the button asks for several lines (BS_MULTILINE).
uint32_t PushButtonTextFlags(uint32_t style);
// The flags a caption is measured with (the same wrap rule).
uint32_t PushButtonMeasureFlags(uint32_t style);
// The width a caption may take: none without a caption, the window less 2 pixels without a
// glyph, else the window less the glyph.
int PushButtonCaptionWidth(int width, int glyphWidth, bool hasCaption);
// The caption's rectangle: the measured text centred in the window, moved one pixel right and
// down while the button is pushed.
TRect PushButtonCaptionRect(TSize window, TSize text, bool pushed);

// What decides a push button's look.
struct TsPushButtonLook {
  bool Pushed = false;
  bool Enabled = true;
  bool FocusedOrHot = false;
  bool HostControl = false;  // a framework button (else a raw window)
  uint32_t Style = 0;
};
// 2 pushed; 0 disabled; 1 focused or hot, or the default button; else 0.
int PushButtonState(const TsPushButtonLook& look);

// ---- check boxes and radio buttons -----------------------------------------------------------

// An owner-drawn button: its owner paints it, the adapter never does.
bool IsOwnerDrawnButton(uint32_t style);
// Radio glyphs for radio-button styles, box glyphs for the rest.
bool ShowsRadioGlyph(uint32_t style);
// 0 unchecked, 1 checked, 2 indeterminate, from BM_GETSTATE.
int CheckStateOf(uint32_t buttonState);
// The glyph's look: 2 pushed, 1 focused or hot, else 0.
int CheckGlyphLook(uint32_t buttonState, bool hot);

// The GLOBALINFO masks a check glyph comes from.
enum class TskCheckMask { BoxUnchecked, BoxChecked, BoxGrayed, RadioUnchecked, RadioChecked };
// The mask shown for a style and a check state (an indeterminate radio button shows the grey
// box).
TskCheckMask CheckMaskFor(uint32_t style, int checkState);

// The size of one glyph of a check mask. A mask that counts no images is read as one image;
// the mask itself is left as the skin has it (the table is the skin's, shared by everyone).
TSize CheckMaskGlyphSize(const TsMaskData& mask);
// The glyph's place: centred in height, at the left, or at the right with BS_LEFTTEXT.
TRect CheckGlyphRect(TSize window, TSize glyph, bool leftText);
// The glyph size the caption is laid out beside: the checked glyph's, 16 x 16 without one.
constexpr TSize DefaultCheckGlyph{16, 16};
// The width a caption may take beside the checked glyph.
int CheckCaptionRoom(int width, TSize checkedGlyph);
// The caption's rectangle for a measured text beside the checked glyph.
TRect CheckCaptionRect(TSize window, TSize checkedGlyph, TSize text, bool leftText, bool multiline);
// The caption's DrawText flags: wrapped and centred with BS_MULTILINE, else one line.
uint32_t CheckCaptionFlags(bool multiline);

// ---- group boxes -------------------------------------------------------------------------------

// The caption's strip: 6 pixels in from the left (from the right in a right-to-left window),
// at least 4 pixels high plus 2, never past the window's right edge.
TRect GroupCaptionRect(int width, TSize text, bool rightToLeft);
