// The Win32 half of the skin manager's loading: the program's folder and the preview data a
// skin editor sends with WM_COPYDATA.
#include <windows.h>

#include "framework/ControlsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

std::string DefaultAppFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return ExtractFilePath(std::string(path, length));
}

bool HandleSkinPreviewData(TMessage& message, TsSkinManager& manager) {
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(message.LParam);
  if (!copy || !ApplySkinPreviewData(manager, copy->lpData, copy->cbData)) return false;
  message.Result = 1;
  return true;
}
