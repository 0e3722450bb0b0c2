// Message dialogs: every message of the program goes through these functions. They
// show a system message box owned by the application window; while a skin is
// active the dialog-skinning hook skins the box and moves it to DialogPosX/Y.
#pragma once

#include <cstdint>
#include <string>

using TsDialogKind = int;
constexpr TsDialogKind sdkWarning = 0;
constexpr TsDialogKind sdkError = 1;
constexpr TsDialogKind sdkInformation = 2;
constexpr TsDialogKind sdkConfirmation = 3;
constexpr TsDialogKind sdkPlain = 4;

using TsDialogButtons = uint16_t;
constexpr TsDialogButtons sdbYes = 1 << 0;
constexpr TsDialogButtons sdbNo = 1 << 1;
constexpr TsDialogButtons sdbOK = 1 << 2;
constexpr TsDialogButtons sdbCancel = 1 << 3;
constexpr TsDialogButtons sdbAbort = 1 << 4;
constexpr TsDialogButtons sdbRetry = 1 << 5;
constexpr TsDialogButtons sdbIgnore = 1 << 6;
// A system message box cannot show these three; they are accepted and ignored.
constexpr TsDialogButtons sdbAll = 1 << 7;
constexpr TsDialogButtons sdbNoToAll = 1 << 8;
constexpr TsDialogButtons sdbYesToAll = 1 << 9;
constexpr TsDialogButtons sdbHelp = 1 << 10;

// Screen position wanted for the box being shown; -1 = the system's default. Only
// during ShowMessageDialogEx do they hold anything else.
extern int32_t DialogPosX;
extern int32_t DialogPosY;

// The MessageBoxIndirectA style for a kind and a button set (icon, buttons, help bit).
uint32_t MessageDialogStyle(TsDialogKind kind, TsDialogButtons buttons);
// The caption a kind gives when none is passed: "Warning", "Error", ... ("" for plain).
std::string MessageDialogCaption(TsDialogKind kind);

// All return the identifier of the pressed button (IDOK, IDYES, ...), 0 when the
// box could not be shown.
int ShowMessageDialogEx(const std::string& caption, const std::string& text, TsDialogKind kind,
                        TsDialogButtons buttons, int helpContext, int x, int y);
int ShowMessageDialog(const std::string& text, TsDialogKind kind, TsDialogButtons buttons,
                      int helpContext);
int ShowMessageDialogCaption(const std::string& caption, const std::string& text, TsDialogKind kind,
                             TsDialogButtons buttons, int helpContext);
int ShowMessageDialogPos(const std::string& text, TsDialogKind kind, TsDialogButtons buttons,
                         int helpContext, int x, int y);
int ShowPlainMessage(const std::string& text);
int ShowPlainMessagePos(const std::string& text, int x, int y);
int ShowErrorMessage(const std::string& text);
