#include "skin/core/runtime/sDialogs.h"

#include <windows.h>

#include "framework/FormsWin32.h"
#include "framework/ScopeExit.h"

int32_t DialogPosX = -1;
int32_t DialogPosY = -1;

namespace {

const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm", ""};
const UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};

bool ValidKind(TsDialogKind kind) { return kind >= sdkWarning && kind <= sdkPlain; }

// The program ships no help file: a Help press has nothing to open.
void CALLBACK MessageBoxHelpCallback(LPHELPINFO) {}

}  // namespace

uint32_t MessageDialogStyle(TsDialogKind kind, TsDialogButtons buttons) {
  UINT style = ValidKind(kind) ? kIcons[kind] : 0;
  // First match wins: OK beats every other button, a lone Cancel gives OK.
  if (buttons & sdbOK) {
    style |= (buttons & sdbCancel) ? MB_OKCANCEL : MB_OK;
  } else if (buttons & (sdbAbort | sdbIgnore)) {
    style |= MB_ABORTRETRYIGNORE;
  } else if (buttons & (sdbYes | sdbNo)) {
    style |= (buttons & sdbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  } else if (buttons & sdbRetry) {
    style |= MB_RETRYCANCEL;
  } else {
    style |= MB_OK;
  }
  if (buttons & sdbHelp) style |= MB_HELP;
  return style;
}

std::string MessageDialogCaption(TsDialogKind kind) {
  return ValidKind(kind) ? kCaptions[kind] : "";
}

int ShowMessageDialogEx(const std::string& caption, const std::string& text, TsDialogKind kind,
                        TsDialogButtons buttons, int helpContext, int x, int y) {
  const std::string title = caption.empty() ? MessageDialogCaption(kind) : caption;
  const UINT style = MessageDialogStyle(kind, buttons);
  // The position goes back to the default even when the box fails or raises.
  DialogPosX = x;
  DialogPosY = y;
  TScopeExit position([] {
    DialogPosX = -1;
    DialogPosY = -1;
  });
  if (Application) Application->ModalStarted();
  // A handler of the modal end must not take the box's answer away.
  TScopeExit modal(IgnoringExceptions([] {
    if (Application) Application->ModalFinished();
  }));
  MSGBOXPARAMSA params{};
  params.cbSize = sizeof(params);
  // Owned by the program's form, the box disables it while it shows and hands the
  // activation back to it when it closes.
  params.hwndOwner = Application ? Application->ModalOwner() : nullptr;
  params.hInstance = nullptr;
  params.lpszText = text.c_str();
  params.lpszCaption = title.c_str();
  params.dwStyle = style;
  params.lpszIcon = nullptr;
  params.dwContextHelpId = static_cast<DWORD_PTR>(helpContext);
  params.lpfnMsgBoxCallback = MessageBoxHelpCallback;
  params.dwLanguageId = 0;
  return MessageBoxIndirectA(&params);
}

int ShowMessageDialog(const std::string& text, TsDialogKind kind, TsDialogButtons buttons,
                      int helpContext) {
  return ShowMessageDialogEx("", text, kind, buttons, helpContext, -1, -1);
}

int ShowMessageDialogCaption(const std::string& caption, const std::string& text, TsDialogKind kind,
                             TsDialogButtons buttons, int helpContext) {
  return ShowMessageDialogEx(caption, text, kind, buttons, helpContext, -1, -1);
}

int ShowMessageDialogPos(const std::string& text, TsDialogKind kind, TsDialogButtons buttons,
                         int helpContext, int x, int y) {
  return ShowMessageDialogEx("", text, kind, buttons, helpContext, x, y);
}

int ShowPlainMessage(const std::string& text) {
  return ShowMessageDialogEx("", text, sdkPlain, sdbOK, 0, -1, -1);
}

int ShowPlainMessagePos(const std::string& text, int x, int y) {
  return ShowMessageDialogEx("", text, sdkPlain, sdbOK, 0, x, y);
}

int ShowErrorMessage(const std::string& text) {
  return ShowMessageDialogEx("Error", text, sdkError, sdbOK, 0, -1, -1);
}
