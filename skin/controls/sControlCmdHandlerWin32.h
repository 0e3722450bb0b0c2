// The skin command as a skinned control hears it: the skin data's answers, plus the
// application object, which every skinned control gives to whoever asks. Each control
// derives its own handler from this one and overrides only the commands it answers
// differently (a new skin, a removed one, a refresh, the end of a paint suspension).
#pragma once

#include <windows.h>

#include "framework/ControlsWin32.h"
#include "skin/core/painting/sSkinCmdHandler.h"

class TsControlCmdHandler : public TsSkinCmdHandler {
 public:
  TsControlCmdHandler(TControl& control, TsCommonData& data)
      : TsSkinCmdHandler(data), control_(control) {}

  // The handler on an SM_SKINCMD message: true when answered here (message.Result holds
  // the answer); false passes the message on to the control's inherited procedure, also
  // after acting on it.
  bool Answer(TMessage& message);

 protected:
  TControl& Control() const { return control_; }
  // The control has its window and parent and shows a skin: where its own paint answers
  // apply.
  bool ReadyAndSkinned(bool checkActive = false) const;
  bool OnGetApplication(TSkinCmdMessage& message) override;

 private:
  TControl& control_;
};
