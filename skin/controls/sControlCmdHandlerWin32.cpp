#include "skin/controls/sControlCmdHandlerWin32.h"

#include "framework/FormsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"

bool TsControlCmdHandler::Answer(TMessage& message) {
  TSkinCmdMessage command = ReadSkinCmd(message.WParam, message.LParam);
  if (!Handle(command)) return false;
  message.Result = static_cast<LRESULT>(command.Result);
  // The background question answers in LParam too.
  if (command.Cmd == CmdIsBgGraphic) message.LParam = static_cast<LPARAM>(command.LParam);
  return true;
}

bool TsControlCmdHandler::ReadyAndSkinned(bool checkActive) const {
  return IsControlReady(&control_) && Data().IsSkinned(checkActive);
}

bool TsControlCmdHandler::OnGetApplication(TSkinCmdMessage& m) {
  m.Result = reinterpret_cast<intptr_t>(Application);
  return true;
}
