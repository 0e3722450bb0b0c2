// Window adapters, portable half: how an adapter answers the skin command for the window it
// has taken over, and how it paints its cache image from the skin. The window itself is
// reached through IAdapterWindow, so every decision is tested without a window; the Win32
// half (skSBUtilsWin32.h) binds it to a subclassed window.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/skinfiles/sMessages.h"

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

// Where an adapted window lies and what lies behind it, as the painters of its cache image
// need it.
struct TsWindowPlace {
  TsBackgroundSource Behind{};  // what the parent shows, in the parent's coordinates
  TPoint PosInParent{0, 0};     // the window's top-left in its parent
  int Width = 0;
  int Height = 0;
  bool InDialog = false;  // a window of a standard dialog, painted plainer
};

// The adapter's cache image for the window: the cache made and sized, then, in a dialog with a
// skin border colour other than the key colour, the window colour framed in it, else the skin
// data's section, hot when `hot` and the skin has states. BackgroundDirty is cleared.
// `windowColor` is what the system paints windows with.
void PaintWindowCache(TsCommonData& data, const TsWindowPlace& place, bool hot, TColor windowColor);

// Lets what lies behind show through the open (key-coloured) corner pixels of the skin data's
// border mask in the look's state image, over the window's cache image. Nothing in a dialog,
// without a valid border mask or cache, for windows of less than 2 x 2 pixels, or over a
// background of the key colour.
void FillTransparentCorners(TsCommonData& data, const TsWindowPlace& place, TsPaintState state);
