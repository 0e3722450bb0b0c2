// Where a skinned form's title buttons lie and what a point over them hits: close, maximize
// (restore while maximized), minimize (restore while minimized), help, and the user buttons,
// laid out from the right in that order. Portable: the provider reads the skin's masks, the
// system menu's answers and its user buttons into a setup, and paints and hit-tests the
// places this unit gives.
#pragma once

#include <vector>

#include "framework/Types.h"
#include "skin/core/skinfiles/sMaskData.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/sSystemMenu.h"

// Hit codes of the title buttons (WM_NCHITTEST answers); user button n answers
// TitleHitUserButton + n.
constexpr int TitleHitNowhere = 0;
constexpr int TitleHitClient = 1;
constexpr int TitleHitCaption = 2;
constexpr int TitleHitSysMenu = 3;
constexpr int TitleHitMinimize = 8;
constexpr int TitleHitMaximize = 9;
constexpr int TitleHitClose = 20;
constexpr int TitleHitHelp = 21;
constexpr int TitleHitUserButton = 1000;

// A button's mask as the layout needs it; a missing mask draws nothing and its button keeps a
// place 21 pixels wide.
struct TsButtonMask {
  bool Valid = false;
  int Width = 21;
  int Height = 21;
};

// The skin's mask indexes of the title buttons' images; -1 where the skin has none.
struct TsTitleButtonMaskIndexes {
  int Close = -1, Max = -1, Norm = -1, Min = -1, Help = -1, User = -1;
};

struct TsUserButtonFacts {
  bool Visible = true;
  bool Enabled = true;
  int Width = 21;     // the user-button width: glyph or skin image, whichever is wider
  bool Drawn = true;  // has a skin image (UseSkinData and the skin has one)
};

enum class TsTitleButtonKind { Close, Max, Min, Help, User };

// Everything the buttons' places depend on besides the window's facts.
struct TsTitleButtonsSetup {
  bool HasSystemMenu = true;  // the form's system-menu object exists
  TsSysMenuAnswers Menu;
  bool HelpIcon = false;  // biHelp
  TsButtonMask Close, Max, Norm, Min, Help;
  bool Big = true;  // close, maximize and minimize use the big images
  bool HelpBig = false;
  int BIRight = 0;
  int BISpace = 0;
  std::vector<TsUserButtonFacts> User;
};

struct TsPlacedTitleButton {
  TsTitleButtonKind Kind = TsTitleButtonKind::Close;
  int HitCode = 0;
  int UserIndex = -1;  // the user button's index in its collection
  TRect Rect;          // in frame-image coordinates
  bool Drawn = false;  // its image exists
  bool Enabled = true;
  // A maximize button of a maximized form or a minimize button of a minimized one shows the
  // restore image.
  bool ShowsRestore = false;
};

// A mask's size per state, as the layout needs it.
TsButtonMask ButtonMaskOf(const TsMaskData& mask);
// The mask a placed button paints with: the restore image for a button that shows restore, the
// user-button image only for a user button that has one.
int TitleButtonMaskIndex(const TsPlacedTitleButton& button, const TsTitleButtonMaskIndexes& masks);

// The width the buttons take from the image's right edge: the right margin, the shown
// buttons with their spaces, and the gap before the user buttons.
int TitleButtonsWidth(const TsFormFacts& f, const TsTitleButtonsSetup& s);
// The buttons in layout order (right to left): standard ones first, then the visible user
// buttons. Empty for a form without a frame or without a caption.
std::vector<TsPlacedTitleButton> LayoutTitleButtons(const TsFormFacts& f,
                                                    const TsTitleButtonsSetup& s);
// The top of a button of that height: top-aligned big buttons with BIVALIGN 1, else centred on
// the title.
int TitleButtonTop(const TsFormFacts& f, bool big, int height);
// What a frame-image point over the buttons hits: TitleHitNowhere when no button is there, else
// the button's code, or TitleHitCaption for a disabled maximize or minimize, TitleHitClient for
// a disabled user button.
int TitleButtonHitTest(const TsFormFacts& f, const TsTitleButtonsSetup& s,
                       const std::vector<TsPlacedTitleButton>& buttons, TPoint p);
// The button with that hit code, or null.
const TsPlacedTitleButton* FindTitleButton(const std::vector<TsPlacedTitleButton>& buttons,
                                           int hitCode);

// The title icon's size: the asked width and height, a zero one the icon size for the caption.
TSize TitleIconSize(const TsFormFacts& f, int width, int height);
// Where the title icon of that size lies in the frame image: at the left of the title, after
// the border and BILEFT, centred on the title's height.
TRect TitleIconRect(const TsFormFacts& f, TSize size, int biLeft);
