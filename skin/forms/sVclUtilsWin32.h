// Window utilities shared by the skin provider, the dialog hook, the window adapters and the
// skinned controls: broadcasts to child windows, resuming children's painting, geometry and
// ownership queries, painting a control tree or a control's graphic children into a device
// context and the invisible output window. The skin
// command senders (SendSkinCmd, SendControlSkinCmd, QueryControlSkinCmd, TestSkinCmd,
// NotifyControlChanged, BroadcastToChildren, GetControlBgColor, GetWindowBgColor,
// IsControlReady, GetTopParentWindow) live with the skin data in sCommonDataWin32.h, which
// this header brings along.
#pragma once

#include <windows.h>

#include "framework/ControlsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/forms/sVclUtils.h"

class TBitmap;
class TCustomForm;

// The message to the direct child windows of `wnd` only (a skin command through our sender).
void BroadcastToChildWindows(HWND wnd, const TMessage& message);
// CmdResumePainting to every child control that is not graphic and not being destroyed;
// nothing while AnimationRunning.
void ResumeChildrenPainting(TWinControl* control);
// CmdResumePainting to every child window (WS_CHILD) of `wnd`.
void ResumeChildWindowsPainting(HWND wnd);

// The first form along the Owner chain, starting with `component` itself; null when none.
TCustomForm* GetOwnerForm(TComponent* component);
// There is no frame class in this program: always null.
TComponent* GetOwnerFrame(TComponent* component);
// The client area in window coordinates.
TRect GetClientRectInWindow(HWND wnd);
// Heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children of that
// alignment added up; graphic children only with includeGraphic; 0 for other alignments.
int SumAlignedSizes(TWinControl* control, TAlign align, bool includeGraphic);
// DT_LEFT, DT_RIGHT or DT_CENTER for the alignment, with DT_VCENTER and DT_EXPANDTABS.
UINT GetTextAlignFlags(TControl* control, TAlignment alignment);
void ReadCursorPos(TPoint& point);
// Puts `control` right after `sibling` in their parent's child order (and window order);
// nothing when the sibling is not a child of the control's parent.
void PlaceAfterSibling(TControl* control, TControl* sibling);

// Paints `control` and its windowed descendants into the bitmap's canvas, the DC's origin
// already moved to the control's place (x, y). A hidden child only shows what lies behind it.
// `provider`: the form's skin provider when the form itself is painted; with a border form
// the snapshot's client area is made opaque.
void PaintControlTree(TBitmap* bmp, TControl* control, int x, int y,
                      ISkinProvider* provider = nullptr);
// Hands a skin command to the form's provider; providers take nothing from it in this
// program, so nothing happens.
void PassSkinCmdToProvider(TCustomForm* form, TMessage& message);
// Paints the graphic children of `parent` into `dc`, moved by `offset`, over the parent's
// background. A nested call (from a paint sent meanwhile) paints nothing. An empty clip box
// tells the parent it is partly hidden (CmdSetPartlyHidden) and paints nothing.
void PaintGraphicChildren(HDC dc, TWinControl* parent, TPoint offset, bool onlyWhenVisible);

// An invisible control (caption "skOutputWindow", Tag -98 so the dialog hook leaves it
// alone) that window animations show snapshots through. Without a parent it is a plain
// popup owned by the application window, topmost when its owner window is.
class TOutputWindow : public TCustomControl {
  K_CLASS(TOutputWindow, TCustomControl)

 public:
  explicit TOutputWindow(TComponent* owner);

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
};
