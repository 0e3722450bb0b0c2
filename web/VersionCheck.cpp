#include "web/VersionCheck.h"

#include <cstdint>

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "web/inetwebform.h"

namespace {

// Decimal only: the reply format is a decimal number, so "$4B2" or "0x4B2" is no version.
bool ParseDecimal(const std::string& text, int& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = n * 10 + (text[i] - '0');
    if (n > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) n = -n;
  if (n < INT32_MIN || n > INT32_MAX) return false;
  value = static_cast<int>(n);
  return true;
}

int ToNumber(const std::string& text) {
  int value = 0;
  if (!ParseDecimal(text, value)) {
    throw EConvertError("'" + text + "' is not a valid integer value");
  }
  return value;
}

std::string InFolder(const std::string& folder, const std::string& file) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + file;
  return folder + "\\" + file;
}

}  // namespace

int OwnVersionNumber(const std::string& versionText) {
  return ToNumber(StringReplace(versionText, ".", "", rfReplaceAll));
}

int VersionReplyNumber(const std::string& reply) { return ToNumber(Trim(reply)); }

std::string UpdateQuestion(const std::string& language) {
  if (language == "en") return "There is a new version available, you want to install them now ?";
  return "Es ist eine neue Version verfügbar, möchten Sie diese jetzt installieren ?";
}

std::string UpdaterNotStartedMessage(const std::string& language) {
  if (language == "en") return "The updater could not be started.";
  return "Das Update-Programm konnte nicht gestartet werden.";
}

std::string UpdateUrl(const std::string& server) { return UpdateServerUrl(server, kUpdatePath); }

std::string UpdateServerUrl(const std::string& server, const std::string& path) {
  std::string base = Trim(server);
  if (base.find("://") == std::string::npos) base = "http://" + base;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + path;
}

std::string ReadUpdateServer(const std::string& programFolder) {
  const std::string config = InFolder(programFolder, "config.dat");
  if (!FileExists(config)) return kDefaultUpdateServer;
  TIniFile ini(config);
  std::string server = Trim(ini.ReadString("Main", "UpdateServer", ""));
  return server.empty() ? kDefaultUpdateServer : server;
}

void RunVersionCheck(TinetWebForm& webForm, const std::string& versionText,
                     const std::string& programFolder, const std::string& language,
                     const TVersionCheckActions& actions) {
  const int own = OwnVersionNumber(versionText);
  webForm.Reset();
  webForm.AddFormVar("action", "get_version");
  webForm.SubmitTo(UpdateUrl(ReadUpdateServer(programFolder)));
  const int current = VersionReplyNumber(webForm.GetTransferredData());
  if (own >= current) return;
  if (!actions.askUpdate(UpdateQuestion(language))) return;
  if (!actions.startUpdater(InFolder(programFolder, "Updater.exe"))) {
    // Ending now would leave the user with neither program running.
    actions.showError(UpdaterNotStartedMessage(language));
    return;
  }
  actions.terminate();
}
