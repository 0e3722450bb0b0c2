// The version check's window side: the question box, the updater's start through the shell
// and the application's end, over the portable check of web/VersionCheck.h.
#pragma once

#include <string>

#include "web/VersionCheck.h"

// The program's actions: the question box ("Update", information icon, Yes/No), the
// updater started through the shell with `ownerWindow` (an HWND) as owner, and the
// application's Terminate.
TVersionCheckActions ProgramVersionCheckActions(void* ownerWindow);

// What TForm1::FormShow calls inside its exception guard: the check against the server
// named in config.dat, with the program's actions.
void CheckForUpdate(TinetWebForm& webForm, void* ownerWindow, const std::string& versionText,
                    const std::string& programFolder, const std::string& language);
