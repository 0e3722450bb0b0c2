// The skinned up-down: the framework's up-down painted from the skin's scroll-button sections
// while the default manager's skin is active (or the skin of the page control it sits on),
// each half a button with an arrow in its normal, hot or pressed look. A half whose direction
// has reached its limit can look inaccessible, as a disabled control does. It keeps no skin
// picture of its own; without a skin it is the system's control.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ComCtrlsWin32.h"
#include "skin/controls/sUpDownGeometry.h"
#include "skin/core/pixels/sGraphics.h"

class TsSkinManager;
class TBitmap;

class TsUpDown : public TUpDown {
  K_CLASS(TsUpDown, TUpDown)
  explicit TsUpDown(TComponent* owner);
  ~TsUpDown() override;

  bool ShowInaccessibility() const { return showInaccessibility_; }
  void SetShowInaccessibility(bool value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // A section painted for both halves instead of the scroll buttons' own.
  const std::string& ButtonSkin() const { return buttonSkin_; }
  void SetButtonSkin(const std::string& value);
  sUpDown::TsUpDownLook DrawingState() const { return drawingState_; }

  void WndProc(TMessage& message) override;

 private:
  class TCmdHandler;

  TsSkinManager* Manager() const;
  bool PaintsFromSkin() const;
  sUpDown::TsUpDownRange Range();
  sUpDown::TsBlockedHalves Blocked();
  void SetDrawingState(sUpDown::TsUpDownLook value);
  void SetHot(sUpDown::TsUpDownLook value);
  void PaintWindow(HDC given);
  void PaintHalf(TBitmap* half, bool first, const TRect& place);

  bool showInaccessibility_ = true;
  TsDisabledKind disabledKind_{dkBlended};
  std::string buttonSkin_;
  sUpDown::TsUpDownLook drawingState_ = sUpDown::udlNone;
  bool pressed_ = false;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
