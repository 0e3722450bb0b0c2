// The version check at start: ask the update server for the current version number,
// compare it with our own and, when the user agrees, hand over to the updater. The
// decision is made here; the windows it opens are the program's (app/VersionCheckWin32.h).
#pragma once

#include <functional>
#include <string>

class TinetWebForm;

inline constexpr const char* kUpdatePath = "/download/kestrava/update.php";
// Where the version is asked for unless config.dat names a server (section "Main", key
// "UpdateServer", "host", "host:port" or a full "http://host:port" base).
inline constexpr const char* kDefaultUpdateServer = "127.0.0.1";
// What the main window shows for any failure of the check, in every language.
inline constexpr const char* kVersionCheckFailed = "Fehler beim Versionsabgleich";

// "1.2.0.1" gives 1201. Raises EConvertError when the rest is not a decimal number.
int OwnVersionNumber(const std::string& versionText);
// The reply trimmed of blanks and control characters, as a signed 32-bit decimal number.
// Raises EConvertError for anything else ("1.2.0.2", "abc", "", overflow).
int VersionReplyNumber(const std::string& reply);
// English when the language is "en", German otherwise (also when it is empty).
std::string UpdateQuestion(const std::string& language);
std::string UpdaterNotStartedMessage(const std::string& language);
// The version request's URL for a server setting.
std::string UpdateUrl(const std::string& server);
// The URL of `path` on the server of a setting ("host", "host:port" or "http://host:port").
std::string UpdateServerUrl(const std::string& server, const std::string& path);
// The server setting of config.dat in `programFolder`; the default without one.
std::string ReadUpdateServer(const std::string& programFolder);

// What the check does to the world outside the component; tests watch these.
struct TVersionCheckActions {
  std::function<bool(const std::string& question)> askUpdate;        // true for Yes
  std::function<bool(const std::string& updaterFile)> startUpdater;  // false on failure
  std::function<void()> terminate;
  std::function<void(const std::string& text)> showError;
};

// Runs the whole check. Raises on every failure of the check itself (engine errors,
// HTTP errors, a reply that is not a whole number); the caller reports those as
// kVersionCheckFailed. An updater that cannot be started is reported through
// showError and the program goes on instead of ending.
void RunVersionCheck(TinetWebForm& webForm, const std::string& versionText,
                     const std::string& programFolder, const std::string& language,
                     const TVersionCheckActions& actions);
