#include "engine/EngineCore.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace netengine {
namespace {

constexpr int kMaxRedirects = 10;
constexpr intptr_t kDirectionReceive = 1;
constexpr const char* kAboutText = "Kestrava network engine: web forms and HTTP downloads";

struct PropIndex {
  int index;
  Prop prop;
};

constexpr PropIndex kWebFormProps[] = {
    {webform::kAccept, Prop::Accept},
    {webform::kAuthScheme, Prop::AuthScheme},
    {webform::kEncoding, Prop::Encoding},
    {webform::kFirewallHost, Prop::FirewallHost},
    {webform::kFirewallPassword, Prop::FirewallPassword},
    {webform::kFirewallPort, Prop::FirewallPort},
    {webform::kFirewallType, Prop::FirewallType},
    {webform::kFirewallUser, Prop::FirewallUser},
    {webform::kFollowRedirects, Prop::FollowRedirects},
    {webform::kIdle, Prop::Idle},
    {webform::kLocalFile, Prop::LocalFile},
    {webform::kLocalHost, Prop::LocalHost},
    {webform::kPassword, Prop::Password},
    {webform::kProxyPassword, Prop::ProxyPassword},
    {webform::kProxyPort, Prop::ProxyPort},
    {webform::kProxyServer, Prop::ProxyServer},
    {webform::kProxyUser, Prop::ProxyUser},
    {webform::kTimeout, Prop::Timeout},
    {webform::kTransferredData, Prop::TransferredData},
    {webform::kURL, Prop::URL},
    {webform::kUser, Prop::User},
};

constexpr PropIndex kHttpProps[] = {
    {http::kAccept, Prop::Accept},
    {http::kAuthScheme, Prop::AuthScheme},
    {http::kFirewallHost, Prop::FirewallHost},
    {http::kFirewallPassword, Prop::FirewallPassword},
    {http::kFirewallPort, Prop::FirewallPort},
    {http::kFirewallType, Prop::FirewallType},
    {http::kFirewallUser, Prop::FirewallUser},
    {http::kFollowRedirects, Prop::FollowRedirects},
    {http::kIdle, Prop::Idle},
    {http::kLocalFile, Prop::LocalFile},
    {http::kLocalHost, Prop::LocalHost},
    {http::kPassword, Prop::Password},
    {http::kProxyPassword, Prop::ProxyPassword},
    {http::kProxyPort, Prop::ProxyPort},
    {http::kProxyServer, Prop::ProxyServer},
    {http::kProxyUser, Prop::ProxyUser},
    {http::kRange, Prop::Range},
    {http::kTimeout, Prop::Timeout},
    {http::kURL, Prop::URL},
    {http::kUser, Prop::User},
};

bool IsNumeric(Prop p) {
  switch (p) {
    case Prop::AuthScheme:
    case Prop::Encoding:
    case Prop::FirewallPort:
    case Prop::FirewallType:
    case Prop::FollowRedirects:
    case Prop::ProxyPort:
    case Prop::Timeout:
    case Prop::Idle:
      return true;
    default:
      return false;
  }
}

// Largest value each numeric property accepts (all start at 0).
int MaxValue(Prop p) {
  switch (p) {
    case Prop::AuthScheme:
      return 1;
    case Prop::Encoding:
      return 2;
    case Prop::FirewallType:
      return 3;
    case Prop::FollowRedirects:
      return 2;
    case Prop::FirewallPort:
    case Prop::ProxyPort:
      return 65535;
    default:
      return 0x7FFFFFFF;
  }
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string TrimBlanks(std::string_view s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t");
  return std::string(s.substr(a, b - a + 1));
}

std::string ArgText(const intptr_t* values, const int32_t* lengths, int i) {
  const char* p = reinterpret_cast<const char*>(values[i]);
  if (p == nullptr) return {};
  int32_t n = lengths != nullptr ? lengths[i] : 0;
  return n > 0 ? std::string(p, static_cast<size_t>(n)) : std::string(p);
}

struct Cookie {
  std::string name, value, expires, domain, path;
  bool secure = false;
};

Cookie ParseCookie(std::string_view header) {
  Cookie c;
  bool first = true;
  while (!header.empty()) {
    size_t semi = header.find(';');
    std::string_view part = header.substr(0, semi);
    header = semi == std::string_view::npos ? std::string_view{} : header.substr(semi + 1);
    size_t eq = part.find('=');
    std::string key = TrimBlanks(part.substr(0, eq));
    std::string value = eq == std::string_view::npos ? "" : TrimBlanks(part.substr(eq + 1));
    if (first) {
      c.name = key;
      c.value = value;
      first = false;
      continue;
    }
    const std::string attribute = Lower(key);
    if (attribute == "expires") {
      c.expires = value;
    } else if (attribute == "domain") {
      c.domain = value;
    } else if (attribute == "path") {
      c.path = value;
    } else if (attribute == "secure") {
      c.secure = true;
    }
  }
  return c;
}

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

std::string Url::Text() const {
  bool defaultPort = port == (secure ? 443 : 80);
  return std::string(secure ? "https://" : "http://") + host +
         (defaultPort ? "" : ":" + std::to_string(port)) + path;
}

std::optional<Url> ParseUrl(std::string_view text) {
  Url url;
  std::string lower = Lower(std::string(text.substr(0, 8)));
  if (lower.rfind("http://", 0) == 0) {
    text.remove_prefix(7);
  } else if (lower.rfind("https://", 0) == 0) {
    url.secure = true;
    url.port = 443;
    text.remove_prefix(8);
  } else {
    return std::nullopt;
  }
  size_t slash = text.find_first_of("/?#");
  std::string_view authority = text.substr(0, slash);
  std::string_view rest = slash == std::string_view::npos ? "" : text.substr(slash);
  if (authority.find('@') != std::string_view::npos) return std::nullopt;  // no user info
  size_t colon = authority.rfind(':');
  std::string_view host = authority.substr(0, colon);
  if (colon != std::string_view::npos) {
    std::string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : port) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    url.port = static_cast<uint16_t>(value);
  }
  if (host.empty()) return std::nullopt;
  for (char c : host) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '\\') return std::nullopt;
  }
  url.host = std::string(host);
  std::string path(rest.substr(0, rest.find('#')));
  for (char c : path) {
    if (static_cast<unsigned char>(c) <= ' ') return std::nullopt;  // would break the request line
  }
  url.path = path.empty() || path[0] != '/' ? "/" + path : path;
  return url;
}

std::optional<Url> ResolveUrl(const Url& base, std::string_view location) {
  if (auto absolute = ParseUrl(location)) return absolute;
  if (location.empty() || location.find("://") != std::string_view::npos) return std::nullopt;
  Url url = base;
  if (location.substr(0, 2) == "//") {
    return ParseUrl(std::string(base.secure ? "https:" : "http:") + std::string(location));
  }
  if (location[0] == '/') {
    url.path = std::string(location);
  } else {
    std::string dir = base.path.substr(0, base.path.find('?'));
    url.path = dir.substr(0, dir.rfind('/') + 1) + std::string(location);
  }
  return ParseUrl(url.Text());
}

std::string UrlEncode(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) && c < 0x80) {
      out += static_cast<char>(c);
    } else if (c == '-' || c == '_' || c == '.' || c == '*') {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string Base64(std::string_view data) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    uint32_t n = uint8_t(data[i]) << 16 | uint8_t(data[i + 1]) << 8 | uint8_t(data[i + 2]);
    for (int s = 18; s >= 0; s -= 6) out += digits[(n >> s) & 63];
  }
  if (size_t left = data.size() - i) {
    uint32_t n = uint8_t(data[i]) << 16 | (left == 2 ? uint8_t(data[i + 1]) << 8 : 0);
    out += digits[(n >> 18) & 63];
    out += digits[(n >> 12) & 63];
    out += left == 2 ? digits[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// Turns what the transport reports into the engine's events and keeps the body.
class Engine::ReplyCollector : public ReplyHandler {
 public:
  explicit ReplyCollector(Engine& engine) : engine_(engine) {}

  void OnStatus(const std::string& version, int code, const std::string& reason) override {
    status = code;
    this->reason = reason;
    engine_.Fire(evConnected, {0, reinterpret_cast<intptr_t>("Connected")});
    engine_.Fire(evStatus, {reinterpret_cast<intptr_t>(version.c_str()), code,
                            reinterpret_cast<intptr_t>(reason.c_str())});
  }
  void OnHeader(const std::string& field, const std::string& value) override {
    const std::string name = Lower(field);
    if (name == "location") location = value;
    engine_.Fire(evHeader, {reinterpret_cast<intptr_t>(field.c_str()),
                            reinterpret_cast<intptr_t>(value.c_str())});
    if (name == "set-cookie") {
      Cookie c = ParseCookie(value);
      auto text = [](const std::string& s) { return reinterpret_cast<intptr_t>(s.c_str()); };
      engine_.Fire(evSetCookie, {text(c.name), text(c.value), text(c.expires), text(c.domain),
                                 text(c.path), c.secure ? 1 : 0});
    }
  }
  void OnData(std::string_view chunk) override {
    Start();
    engine_.transferred_.append(chunk);
    intptr_t total = static_cast<intptr_t>(engine_.transferred_.size());
    intptr_t text = reinterpret_cast<intptr_t>(chunk.data());
    int32_t length = static_cast<int32_t>(chunk.size());
    if (engine_.front_ == Front::WebForm) {
      engine_.Fire(evTransfer, {total, text}, {0, length});
    } else {
      engine_.Fire(evTransfer, {kDirectionReceive, total, text}, {0, 0, length});
    }
  }
  void Start() {
    if (started_) return;
    started_ = true;
    if (engine_.front_ == Front::WebForm) {
      engine_.Fire(evStartTransfer, {});
    } else {
      engine_.Fire(evStartTransfer, {kDirectionReceive});
    }
  }
  void End() {
    Start();
    if (engine_.front_ == Front::WebForm) {
      engine_.Fire(evEndTransfer, {});
    } else {
      engine_.Fire(evEndTransfer, {kDirectionReceive});
    }
    engine_.Fire(evDisconnected, {status, reinterpret_cast<intptr_t>(reason.c_str())});
  }

  int status = 0;
  std::string reason;
  std::string location;

 private:
  Engine& engine_;
  bool started_ = false;
};

Engine::Engine(Front front, Platform& platform, EventCallback callback, void* owner)
    : front_(front), platform_(platform), callback_(callback), owner_(owner) {
  numbers_[Prop::Timeout] = 60;
  numbers_[Prop::ProxyPort] = 80;
}

std::optional<Prop> Engine::PropOf(Front front, int index) {
  auto find = [index](const auto& table) -> std::optional<Prop> {
    for (const PropIndex& entry : table) {
      if (entry.index == index) return entry.prop;
    }
    return std::nullopt;
  };
  return front == Front::WebForm ? find(kWebFormProps) : find(kHttpProps);
}

int Engine::Fail(int code, std::string text) {
  lastError_ = std::move(text);
  return code;
}

std::string Engine::Text(Prop p) const {
  auto it = texts_.find(p);
  return it == texts_.end() ? std::string() : it->second;
}

int Engine::Number(Prop p) const {
  auto it = numbers_.find(p);
  return it == numbers_.end() ? 0 : it->second;
}

int Engine::Set(int index, intptr_t value) {
  auto prop = PropOf(front_, index);
  if (!prop) return Fail(kErrUnknownProperty, "Unknown property index " + std::to_string(index));
  if (*prop == Prop::Idle || *prop == Prop::TransferredData) {
    return Fail(kErrReadOnly, "Property is read-only");
  }
  if (IsNumeric(*prop)) {
    if (value < 0 || value > MaxValue(*prop)) return Fail(kErrRange, "Value out of range");
    numbers_[*prop] = static_cast<int>(value);
  } else {
    const char* text = reinterpret_cast<const char*>(value);
    texts_[*prop] = text != nullptr ? text : "";
  }
  return kOk;
}

intptr_t Engine::Get(int index, int32_t* length) {
  auto prop = PropOf(front_, index);
  if (length != nullptr) *length = 0;
  if (!prop) return 0;
  if (*prop == Prop::Idle) return busy_ ? 0 : 1;
  if (IsNumeric(*prop)) return Number(*prop);
  getScratch_ = *prop == Prop::TransferredData ? transferred_ : Text(*prop);
  if (length != nullptr) *length = static_cast<int32_t>(getScratch_.size());
  return reinterpret_cast<intptr_t>(getScratch_.c_str());
}

int Engine::Do(int method, int count, const intptr_t* values, const int32_t* lengths) {
  if (busy_) return Fail(kErrBusy, "A request is in progress");
  auto needs = [&](int n) { return count == n && (n == 0 || values != nullptr); };
  if (method == kMethodAboutBox) {
    platform_.ShowAbout(kAboutText);
    return kOk;
  }
  if (front_ == Front::WebForm) {
    switch (method) {
      case webform::kReset:
        formVars_.clear();
        transferred_.clear();
        return kOk;
      case webform::kAddFormVar:
        if (!needs(2)) return Fail(kErrArguments, "Wrong number of arguments");
        return AddFormVar(ArgText(values, lengths, 0), ArgText(values, lengths, 1));
      case webform::kSubmitTo:
        if (!needs(1)) return Fail(kErrArguments, "Wrong number of arguments");
        return Submit(ArgText(values, lengths, 0), true);
    }
  } else if (method == http::kDownloadURL) {
    if (!needs(1)) return Fail(kErrArguments, "Wrong number of arguments");
    return Submit(ArgText(values, lengths, 0), false);
  }
  return Fail(kErrUnknownMethod, "Unknown method " + std::to_string(method));
}

int Engine::AddFormVar(const std::string& name, const std::string& value) {
  if (name.empty()) return Fail(kErrArguments, "Form variable without a name");
  formVars_.emplace_back(name, value);
  return kOk;
}

Request Engine::BuildRequest(const Url& url, bool formPost) const {
  Request r;
  r.url = url;
  r.timeoutSeconds = Number(Prop::Timeout);
  if (!Text(Prop::Accept).empty()) r.headers.emplace_back("Accept", Text(Prop::Accept));
  if (!Text(Prop::User).empty()) {
    r.headers.emplace_back("Authorization",
                           "Basic " + Base64(Text(Prop::User) + ":" + Text(Prop::Password)));
  }
  if (!Text(Prop::ProxyServer).empty()) {
    r.proxy = Text(Prop::ProxyServer) + ":" + std::to_string(Number(Prop::ProxyPort));
    r.proxyUser = Text(Prop::ProxyUser);
    r.proxyPassword = Text(Prop::ProxyPassword);
  } else if (Number(Prop::FirewallType) == fwTunnel && !Text(Prop::FirewallHost).empty()) {
    r.proxy = Text(Prop::FirewallHost) + ":" + std::to_string(Number(Prop::FirewallPort));
    r.proxyUser = Text(Prop::FirewallUser);
    r.proxyPassword = Text(Prop::FirewallPassword);
  }
  if (front_ == Front::Http && !Text(Prop::Range).empty()) {
    std::string range = Text(Prop::Range);
    r.headers.emplace_back("Range", range.rfind("bytes=", 0) == 0 ? range : "bytes=" + range);
  }
  if (!formPost) return r;

  std::string encoded;
  for (const auto& [name, value] : formVars_) {
    if (!encoded.empty()) encoded += '&';
    encoded += UrlEncode(name) + "=" + UrlEncode(value);
  }
  switch (Number(Prop::Encoding)) {
    case encQueryString:
      if (!encoded.empty()) {
        r.url.path += (r.url.path.find('?') == std::string::npos ? "?" : "&") + encoded;
      }
      break;
    case encMultipartFormData: {
      const std::string boundary = "----KestravaFormBoundary7c1f";
      r.method = "POST";
      r.headers.emplace_back("Content-Type", "multipart/form-data; boundary=" + boundary);
      for (const auto& [name, value] : formVars_) {
        r.body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name +
                  "\"\r\n\r\n" + value + "\r\n";
      }
      r.body += "--" + boundary + "--\r\n";
      break;
    }
    default:
      r.method = "POST";
      r.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
      r.body = encoded;
  }
  return r;
}

int Engine::Submit(const std::string& urlText, bool formPost) {
  auto url = ParseUrl(urlText);
  if (!url) {
    FireError(kErrInvalidUrl, "Invalid URL: " + urlText);
    return kErrInvalidUrl;
  }
  int firewall = Number(Prop::FirewallType);
  if (firewall == fwSOCKS4 || firewall == fwSOCKS5) {
    FireError(kErrFirewall, "SOCKS firewalls are not supported");
    return kErrFirewall;
  }
  if (Number(Prop::AuthScheme) != 0 && !Text(Prop::User).empty()) {
    FireError(kErrUnsupported, "Digest authentication is not supported");
    return kErrUnsupported;
  }
  texts_[Prop::URL] = urlText;
  // Idle again on every way out: a request left busy would refuse every later call and
  // keep a destroyed object waiting forever.
  struct BusyScope {
    bool& busy;
    explicit BusyScope(bool& b) : busy(b) { busy = true; }
    ~BusyScope() { busy = false; }
  } scope(busy_);
  return Exchange(BuildRequest(*url, formPost));
}

int Engine::Exchange(Request request) {
  transferred_.clear();
  for (int redirects = 0;; ++redirects) {
    Fire(evConnectionStatus, {reinterpret_cast<intptr_t>("Connecting"), 0,
                              reinterpret_cast<intptr_t>(request.url.host.c_str())});
    ReplyCollector reply(*this);
    std::string error;
    int code = platform_.Execute(request, reply, error);
    if (code != kOk) {
      FireError(code, error);
      return code;
    }
    reply.End();
    if (IsRedirect(reply.status) && !reply.location.empty()) {
      auto target = ResolveUrl(request.url, reply.location);
      if (!target) {
        FireError(kErrInvalidUrl, "Invalid redirect target: " + reply.location);
        return kErrInvalidUrl;
      }
      int policy = Number(Prop::FollowRedirects);
      intptr_t accept =
          policy == frAlways || (policy == frSameScheme && target->secure == request.url.secure);
      std::vector<intptr_t> values{reinterpret_cast<intptr_t>(reply.location.c_str()), accept};
      if (callback_ != nullptr) {
        std::vector<int32_t> lengths(2, 0);
        callback_(owner_, evRedirect, 2, values.data(), lengths.data());
      }
      if (values[1] == 0) {
        FireError(reply.status, "Redirect not followed: " + reply.location);
        return reply.status;
      }
      if (redirects >= kMaxRedirects) {
        FireError(kErrTooManyRedirects, "Too many redirects");
        return kErrTooManyRedirects;
      }
      // As browsers do: a redirected form post continues as a plain request, except for
      // the two codes that demand the same method.
      if (reply.status != 307 && reply.status != 308 && request.method == "POST") {
        request.method = "GET";
        request.body.clear();
        std::erase_if(request.headers, [](auto& h) { return h.first == "Content-Type"; });
      }
      request.url = *target;
      transferred_.clear();
      continue;
    }
    if (reply.status >= 400 || reply.status < 200) {
      std::string text =
          "HTTP " + std::to_string(reply.status) + (reply.reason.empty() ? "" : " " + reply.reason);
      FireError(reply.status, text);
      return reply.status;
    }
    if (IsRedirect(reply.status)) {
      FireError(reply.status, "Redirect without a target");
      return reply.status;
    }
    const std::string localFile = Text(Prop::LocalFile);
    if (!localFile.empty() && !platform_.WriteLocalFile(localFile, transferred_)) {
      FireError(kErrLocalFile, "Cannot write " + localFile);
      return kErrLocalFile;
    }
    return kOk;
  }
}

void Engine::FireError(int code, const std::string& text) {
  lastError_ = text;
  Fire(evError, {code, reinterpret_cast<intptr_t>(lastError_.c_str())});
}

void Engine::Fire(int event, std::vector<intptr_t> values, std::vector<int32_t> lengths) {
  if (callback_ == nullptr) return;
  lengths.resize(values.size(), 0);
  callback_(owner_, event, static_cast<int>(values.size()), values.data(), lengths.data());
}

int EngineTable::Create(Front front, Platform& platform, EventCallback callback, void* owner) {
  int handle = next_++;
  if (next_ <= 0) next_ = 1;  // never hand out 0, the failure value
  engines_[handle] = std::make_unique<Engine>(front, platform, callback, owner);
  return handle;
}

Engine* EngineTable::Find(int handle) const {
  auto it = engines_.find(handle);
  return it == engines_.end() ? nullptr : it->second.get();
}

void EngineTable::Destroy(int handle) {
  auto it = engines_.find(handle);
  if (it == engines_.end()) return;
  if (it->second->Busy()) retired_.push_back(std::move(it->second));
  engines_.erase(it);
}

void EngineTable::Collect() {
  std::erase_if(retired_, [](auto& e) { return !e->Busy(); });
}

}  // namespace netengine
