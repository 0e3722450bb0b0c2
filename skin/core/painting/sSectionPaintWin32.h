// The Win32 half of section painting: asking a parent control or window what lies behind a
// control (the CmdGetBgInfo request), sections painted straight into device contexts, and
// captions drawn in a section's colours.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sBackground.h"

class TControl;
class TCanvas;
class TsCommonData;
class TsSkinManager;

// Asks the control for its background. Answered: true. Not answered and the request's
// PleaseDraw was set: the control paints itself into DrawDC (R moved by X, Y), BgType stays
// 0. Otherwise BgType 1 with the control's CmdGetBgColor answer or its Color (R of DrawDC
// filled with it when PleaseDraw and Bmp are set).
bool GetControlBackground(TsBackgroundRequest& request, TControl* control, bool copyNow);
// The same for a bare window; without an answer its colour is the default manager's global
// colour, or clBtnFace.
bool GetWindowBackground(TsBackgroundRequest& request, HWND window, bool copyNow);
// The background of the window's parent window; an empty source without a parent.
void GetWindowParentBackground(HWND window, TsBackgroundSource& source);

// PaintItem into a device context through a 32-bit bitmap of the rectangle's size: item.R is
// the place in the device context, item.Bitmap is not used.
void PaintSectionToDC(HDC dc, const TsItemPaint& item);
// PaintSectionByName over what a device context shows at r's top-left (without a device
// context, over the fill colour).
int PaintSectionByName(TBitmap* bitmap, const TsSectionByName& section, HDC dc, const TRect& r);
// PaintControlItem without the hue and saturation, over what the parent answers.
void PaintControlItemOnParent(const TsCommonData& data, TControl* parent, TBitmap* bitmap,
                              TPoint offset, const TRect& r, TsPaintState state);

// Text in a section's colours: the shadow copies (left, top, right, bottom) first, then the
// font colour of the state; disabled text 40 % font colour and 60 % section colour.
// Nothing without a valid section.
void DrawSectionText(TCanvas* canvas, const TsSectionText& text);
void DrawSectionTextEx(TCanvas* canvas, const TsSectionText& text);
// A control's caption in its skin colours (hue and saturation applied), in the colours of
// TextSectionOf (a parent's section that gives its own font may stand in); the state's text
// glow goes into the control's cache bitmap. A custom font or an unskinned control keeps the
// canvas as it is. The section and the manager are the skin data's: text.SectionIndex and
// text.Manager are not read.
void DrawSkinnedText(TCanvas* canvas, const TsCommonData& data, const TsSectionText& text);
void DrawControlText(TCanvas* canvas, const TsCommonData& data, const TsSectionText& text);

// The small check box (state 0 unchecked, 1 checked, 2 grayed) centred in r: the first image
// of the skin's small check mask over the background, or the system's glyph over a block of
// the background (CheckBoxWidth + 2 wide at r's left) laid first.
void PaintSmallCheckBox(const TRect& r, int state, bool enabled, TsSkinManager* manager,
                        const TsBackgroundSource& background, TBitmap* bitmap);
