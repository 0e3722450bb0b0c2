// The network engine's logic, independent of the platform: engine objects with their
// numbered properties, form variables, request building, redirects, replies and events.
// The Win32 transport (WinHttpTransport) and the exported functions (EngineExports) sit
// on top. The engine is plain C++: no framework, no exceptions leave its entry points.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EngineInterface.h"

namespace netengine {

// Which set of property, method and event numbers an engine object speaks.
enum class Front { WebForm, Http };

enum class Prop {
  Accept,
  AuthScheme,
  Encoding,
  FirewallHost,
  FirewallPassword,
  FirewallPort,
  FirewallType,
  FirewallUser,
  FollowRedirects,
  Idle,
  LocalFile,
  LocalHost,
  Password,
  ProxyPassword,
  ProxyPort,
  ProxyServer,
  ProxyUser,
  Range,
  Timeout,
  TransferredData,
  URL,
  User
};

// Error codes the engine reports (HTTP status errors report the status itself).
enum ErrorCode : int {
  kOk = 0,
  kErrUnknownProperty = 20,
  kErrReadOnly = 21,
  kErrUnknownMethod = 22,
  kErrArguments = 23,
  kErrBusy = 24,
  kErrInvalidHandle = 25,
  kErrInvalidUrl = 30,
  kErrLocalFile = 31,
  kErrTooManyRedirects = 32,
  kErrFirewall = 33,
  kErrUnsupported = 34,
  kErrRange = 35,
};

enum Encoding { encURLEncoding, encMultipartFormData, encQueryString };
enum FollowRedirects { frNever, frAlways, frSameScheme };
enum FirewallType { fwNone, fwTunnel, fwSOCKS4, fwSOCKS5 };

struct Url {
  bool secure = false;
  std::string host;
  uint16_t port = 80;
  std::string path = "/";  // path and query, never empty
  std::string Text() const;
};

// http:// and https:// URLs; host required; default ports 80 and 443.
std::optional<Url> ParseUrl(std::string_view text);
// A Location header's target, absolute or relative to `base`.
std::optional<Url> ResolveUrl(const Url& base, std::string_view location);
// application/x-www-form-urlencoded: letters, digits and "-_.*" stay, blank becomes "+".
std::string UrlEncode(std::string_view text);
std::string Base64(std::string_view data);

struct Request {
  std::string method = "GET";
  Url url;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int timeoutSeconds = 60;  // 0: no limit
  std::string proxy;        // "host:port" or empty for a direct connection
  std::string proxyUser, proxyPassword;
};

// What the transport reports while a reply arrives.
class ReplyHandler {
 public:
  virtual ~ReplyHandler() = default;
  virtual void OnStatus(const std::string& version, int code, const std::string& reason) = 0;
  virtual void OnHeader(const std::string& field, const std::string& value) = 0;
  virtual void OnData(std::string_view chunk) = 0;
};

// The platform's half: one HTTP exchange, and writing the local file.
class Platform {
 public:
  virtual ~Platform() = default;
  // 0 when a reply (any status) arrived, else an error code with its text.
  virtual int Execute(const Request& request, ReplyHandler& handler, std::string& error) = 0;
  // Replaces `path` with `data` as a whole; false when the file cannot be written.
  virtual bool WriteLocalFile(const std::string& path, std::string_view data) = 0;
  virtual void ShowAbout(const std::string& text) = 0;
};

// One engine object (one component). Not thread-safe: used from one thread.
class Engine {
 public:
  Engine(Front front, Platform& platform, EventCallback callback, void* owner);

  int Set(int index, intptr_t value);
  // Texts come back as the address of an internal zero-terminated copy that stays valid
  // until the next call on this object; `length` (may be null) receives the byte length.
  intptr_t Get(int index, int32_t* length);
  int Do(int method, int count, const intptr_t* values, const int32_t* lengths);
  const char* LastError() const { return lastError_.c_str(); }
  bool Busy() const { return busy_; }
  static std::optional<Prop> PropOf(Front front, int index);

 private:
  class ReplyCollector;
  int AddFormVar(const std::string& name, const std::string& value);
  int Submit(const std::string& url, bool formPost);
  int Exchange(Request request);
  Request BuildRequest(const Url& url, bool formPost) const;
  int Fail(int code, std::string text);
  void Fire(int event, std::vector<intptr_t> values, std::vector<int32_t> lengths = {});
  void FireError(int code, const std::string& text);
  std::string Text(Prop p) const;
  int Number(Prop p) const;

  Front front_;
  Platform& platform_;
  EventCallback callback_;
  void* owner_;
  std::map<Prop, std::string> texts_;
  std::map<Prop, int> numbers_;
  std::vector<std::pair<std::string, std::string>> formVars_;
  std::string transferred_;
  std::string lastError_;
  std::string getScratch_;
  bool busy_ = false;
};

// Engine objects by 32-bit handle, so that a stale or foreign handle is refused instead
// of being dereferenced. An object destroyed from inside its own event is freed when
// its running call returns.
class EngineTable {
 public:
  int Create(Front front, Platform& platform, EventCallback callback, void* owner);
  Engine* Find(int handle) const;
  void Destroy(int handle);
  // Frees the objects whose destruction waited for their call to end.
  void Collect();

 private:
  std::map<int, std::unique_ptr<Engine>> engines_;
  std::vector<std::unique_ptr<Engine>> retired_;
  int next_ = 1;
};

}  // namespace netengine
