// Standard dialogs and message boxes skinned through the window-creation hook, decided without
// windows: whether a new top-level window is a dialog to skin, which adapter each child window
// of a skinned dialog gets (or why it gets none), and how a dialog's frame is measured, which
// title buttons it shows, what a point of its frame hits and what its system menu offers. The
// frame is measured and its buttons laid out by the same functions as a skinned form's frame
// (sFrameMetrics.h, sTitleButtons.h, sFrameMouse.h); the Win32 half reads the facts from the
// window and hands the answers to the system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/forms/sTitleButtons.h"

// ---- which windows the hook skins ------------------------------------------------------------

// What the hook knows of a window the moment it is created.
struct TskNewWindowFacts {
  std::string ClassName;  // as the system gives it ("#32770" for dialogs and message boxes)
  uint32_t Style = 0;
  bool AnswersSkinned = false;    // the window answers CmdIsSkinned: it skins itself
  bool StdDialogsRule = true;     // the manager's SkinningRules has srStdDialogs
  bool ManagerActive = true;      // the default manager exists and shows a skin
  int VisibleSkinnedDialogs = 0;  // skinned dialogs already visible
  bool HasToolBarChild = false;   // a descendant of class "toolbarwindow32" (file dialogs)
  bool AlreadySkinned = false;    // a dialog provider exists for it
};

// A raw dialog is skinned when it is a top-level "#32770" (exact, case counts), not a
// border-less popup, the rules allow standard dialogs and it does not skin itself. A second
// dialog while another skinned one shows is skinned only when it holds a tool bar (the file
// dialogs do; a dialog a program opens from a file dialog is left alone).
bool ShouldSkinDialog(const TskNewWindowFacts& f);

// ---- the child windows' adapters -------------------------------------------------------------

// The adapters a dialog's children get. The adapters live above the form skinning and are made
// through the factory the adapters register (skDialsWin32.h).
enum class TskDialogChildKind {
  None,        // no adapter: Reason says why
  Edge,        // a static with a sunken edge
  Icon,        // a static that shows an icon
  Static,      // a static text
  TransPanel,  // a dialog inside the dialog (file dialogs' templates, folder pickers)
  DlgPanel,    // a framework panel in a dialog
  Edit,
  GroupBox,
  Button,
  CheckBox,  // check boxes and radio buttons
  ComboBox,
  ComboList,  // a combo box's drop-down list
  Sizer,      // a size grip
  TabControl,
  ListView,
  Spin,
  TrackBar,
  ListBox,
  Link,
  ToolBar,
  TreeView,
};
const char* DialogChildKindName(TskDialogChildKind kind);

// What a child window is, as the table reads it.
struct TskChildWindowFacts {
  std::string ClassName;  // any case: the table compares in lower case
  std::string ParentClassName;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  bool Visible = true;
};

struct TskDialogChildChoice {
  TskDialogChildKind Kind = TskDialogChildKind::None;
  std::string Section;  // the skin section the adapter paints with
  // The dialog's own procedure paints its client area (edits, combo boxes and list boxes paint
  // on the system's colours, which the dialog's background must match).
  bool DialogPaintsClient = false;
  // Why a window gets no adapter; empty with an adapter, and for a class the table does not
  // know (UnknownChildClass).
  std::string Reason;
  // The left paint offset of a spin's arrows.
  int PaintOffset = 0;
};
// The class table. A class the table names always gets either an adapter kind or a reason; a
// class it does not name gets neither.
TskDialogChildChoice ChooseDialogChildAdapter(const TskChildWindowFacts& f);
bool UnknownChildClass(const TskDialogChildChoice& choice);

// ---- the dialog's frame ----------------------------------------------------------------------

enum class TskDialogFrameKind : uint8_t {
  Dialog = 0,    // DS_MODALFRAME
  Single = 1,    // a thin frame
  None = 2,      // a popup without a caption
  Sizeable = 3,  // WS_THICKFRAME
};
// 2 for a popup without the full caption, else 3 with a sizing frame, else 0 with a modal
// frame, else 1.
TskDialogFrameKind DialogFrameKind(uint32_t style);

// The dialog's window as its frame is measured.
struct TskDialogFacts {
  uint32_t SavedStyle = 0;  // the style when the dialog was prepared (WS_SYSMENU still in)
  uint32_t SavedExStyle = 0;
  uint32_t Style = 0;         // the style now
  bool NoCloseClass = false;  // the window class has CS_NOCLOSE
  bool Minimized = false;
  bool Maximized = false;
  int Width = 0, Height = 0;
  int ClientWidth = 0, ClientHeight = 0;
  TsFrameSystemMetrics Metrics;
  TsFrameSkinValues Skin;
};

// The facts as the form frame's geometry reads them: the same border widths, caption height,
// frame image, client offset, strips and region as a form with that border.
TsFormFacts DialogFormFacts(const TskDialogFacts& d);

// The dialog's own tests of its title buttons.
bool DialogHasSysMenu(const TskDialogFacts& d);
bool DialogHasMaxButton(const TskDialogFacts& d);
bool DialogHasMinButton(const TskDialogFacts& d);
bool DialogHasHelpButton(const TskDialogFacts& d);
bool DialogIsCloseEnabled(const TskDialogFacts& d);
bool DialogCanMaximize(const TskDialogFacts& d);
bool DialogCanMinimize(const TskDialogFacts& d);
bool DialogCanRestore(const TskDialogFacts& d);

// The dialog's system menu: which of its six items show and act.
struct TskDialogMenuItems {
  bool RestoreVisible = false, RestoreEnabled = false;
  bool MoveVisible = true, MoveEnabled = true;
  bool SizeVisible = false, SizeEnabled = false;
  bool MinimizeVisible = false, MinimizeEnabled = false;
  bool MaximizeVisible = false, MaximizeEnabled = false;
  bool CloseVisible = false, CloseEnabled = true;
  friend bool operator==(const TskDialogMenuItems&, const TskDialogMenuItems&) = default;
};
TskDialogMenuItems DialogMenuItems(const TskDialogFacts& d);

// The title buttons' masks as the skin gives them.
struct TskDialogButtonMasks {
  TsButtonMask Close, Max, Norm, Min, Help;
  bool Big = true;  // close, maximize and minimize are the big images
};
// The setup the shared layout places the dialog's buttons with: the close button with the
// system menu, maximize and minimize with their boxes, help with WS_EX_CONTEXTHELP.
TsTitleButtonsSetup DialogTitleButtonsSetup(const TskDialogFacts& d, const TskDialogButtonMasks& m,
                                            int biRight, int biSpace);
// Big buttons for a single or sizeable frame; the small ones otherwise (a skin without small
// close image falls back to the big ones).
bool DialogWantsBigButtons(TskDialogFrameKind kind);

// What a point of the dialog's window (window coordinates) hits: a title button's code (its
// button then turns hot), TitleHitSysMenu over the icon, TitleHitCaption on the caption, a
// sizing edge of a sizeable dialog; TitleHitNowhere leaves the answer to the dialog's own
// procedure. A maximized dialog lets the mouse through within 2 pixels of its edges (-1).
struct TskDialogHitFacts {
  TskDialogFacts Dialog;
  TsTitleButtonsSetup Buttons;
  TRect IconRect{};  // the title icon in window coordinates; empty without one
};
constexpr int DialogHitTransparent = -1;
int DialogHitTest(const TskDialogHitFacts& f, TPoint p);
