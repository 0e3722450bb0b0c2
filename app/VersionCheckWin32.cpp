#include "app/VersionCheckWin32.h"

#include <windows.h>
// The shell's declarations build on those of windows.h.
#include <shellapi.h>

#include <cstdint>

#include "framework/FormsWin32.h"
#include "skin/core/runtime/sDialogs.h"

TVersionCheckActions ProgramVersionCheckActions(void* ownerWindow) {
  HWND owner = static_cast<HWND>(ownerWindow);
  TVersionCheckActions actions;
  actions.askUpdate = [](const std::string& question) {
    return ShowMessageDialogCaption("Update", question, sdkInformation, sdbYes | sdbNo, 0) == IDYES;
  };
  actions.startUpdater = [owner](const std::string& file) {
    HINSTANCE result = ::ShellExecuteA(owner, "open", file.c_str(), nullptr, "", SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
  };
  actions.terminate = [] { Application->Terminate(); };
  actions.showError = [](const std::string& text) { ShowErrorMessage(text); };
  return actions;
}

void CheckForUpdate(TinetWebForm& webForm, void* ownerWindow, const std::string& versionText,
                    const std::string& programFolder, const std::string& language) {
  RunVersionCheck(webForm, versionText, programFolder, language,
                  ProgramVersionCheckActions(ownerWindow));
}
