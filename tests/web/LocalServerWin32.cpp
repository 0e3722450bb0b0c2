#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/web/LocalServer.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Wine reaches the Unix file system through drive Z:.
std::string ToWindows(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

std::string JsonText(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);  // Latin-1 on the server's side
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The few fields of one log line; the server writes them in a fixed order.
std::string Field(const std::string& line, const std::string& name) {
  std::string key = "\"" + name + "\": \"";
  size_t at = line.find(key);
  if (at == std::string::npos) return {};
  std::string out;
  for (size_t i = at + key.size(); i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      char e = line[++i];
      if (e == 'u' && i + 4 < line.size()) {
        out += static_cast<char>(std::strtol(line.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
      } else {
        out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
      }
    } else {
      out += line[i];
    }
  }
  return out;
}

}  // namespace

LocalServer::LocalServer(const std::string& name) {
  std::string build = Env("KESTRAVA_BINARY_DIR");
  std::string source = Env("KESTRAVA_SOURCE_DIR");
  if (build.empty() || source.empty()) return;
  unixState_ = build + "/tests/web/server-" + name + "-" + std::to_string(GetCurrentProcessId());
  windowsState_ = ToWindows(unixState_);
  CreateDirectoryA(windowsState_.c_str(), nullptr);
  DeleteFileA((windowsState_ + "\\port").c_str());
  DeleteFileA((windowsState_ + "\\stop").c_str());
  ClearRequests();

  // Wine starts Unix programs directly; the handle it returns cannot be waited on, so the
  // server reports through files and watches for the stop file.
  std::string command =
      "Z:\\usr\\bin\\python3 " + source + "/tests/web/version_server.py " + unixState_;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // A minute: python's start is slow on a busy machine.
  for (int i = 0; i < 1200 && port_ == 0; ++i) {
    std::ifstream in(windowsState_ + "\\port");
    if (!(in >> port_)) {
      port_ = 0;
      Sleep(50);
    }
  }
}

LocalServer::~LocalServer() {
  if (windowsState_.empty()) return;
  std::ofstream(windowsState_ + "\\stop") << "stop";
  if (port_ == 0) return;
  // The server removes its port file on its way out; then its folder can go.
  for (int i = 0;
       i < 100 && GetFileAttributesA((windowsState_ + "\\port").c_str()) != INVALID_FILE_ATTRIBUTES;
       ++i) {
    Sleep(50);
  }
  std::error_code ignored;
  std::filesystem::remove_all(windowsState_, ignored);
}

void LocalServer::SetRoutes(const std::vector<Route>& routes) {
  std::ostringstream json;
  json << "{";
  for (size_t i = 0; i < routes.size(); ++i) {
    const Route& r = routes[i];
    json << (i ? "," : "") << JsonText(r.path) << ": {\"status\": " << r.status
         << ", \"body\": " << JsonText(r.body) << ", \"delay\": " << r.delaySeconds
         << ", \"mode\": " << JsonText(r.mode) << ", \"trickle\": " << r.trickleSeconds
         << ", \"headers\": {";
    for (size_t h = 0; h < r.headers.size(); ++h) {
      json << (h ? "," : "") << JsonText(r.headers[h].first) << ": "
           << JsonText(r.headers[h].second);
    }
    json << "}}";
  }
  json << "}";
  std::string temp = windowsState_ + "\\routes.tmp";
  std::ofstream(temp, std::ios::binary) << json.str();
  MoveFileExA(temp.c_str(), (windowsState_ + "\\routes.json").c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::vector<LocalServer::Received> LocalServer::Requests() const {
  std::vector<Received> out;
  std::ifstream in(windowsState_ + "\\requests.log", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    out.push_back({Field(line, "method"), Field(line, "path"), Field(line, "content_type"),
                   Field(line, "body")});
  }
  return out;
}

void LocalServer::ClearRequests() { DeleteFileA((windowsState_ + "\\requests.log").c_str()); }
