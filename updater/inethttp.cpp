#include "updater/inethttp.h"

#include <utility>

#include "framework/TypInfo.h"

#if defined(_WIN32)
#include "web/EngineBinder.h"
#endif

namespace {

namespace http = netengine::http;

constexpr int kCreateFailed = -1;
constexpr const char* kCreateFailedText = "NetEngine HTTP: Error creating component";

std::string TextAt(intptr_t value) {
  const char* p = reinterpret_cast<const char*>(value);
  return p != nullptr ? std::string(p) : std::string();
}

}  // namespace

THttpEngine& HTTPEngine() {
  static THttpEngine engine;
  return engine;
}

#if defined(_WIN32)
namespace {
TEngineFront& HTTPFront() {
  static TEngineFront front(netengine::kHttpExports, HTTPEngine());
  return front;
}
}  // namespace

void BindHTTPEngine() { HTTPFront().Bind(); }

void UnbindHTTPEngine() { HTTPFront().Unbind(); }
#endif

TinetHTTP::TinetHTTP(TComponent* owner) : TinetCore(owner) {
  const THttpEngine& e = HTTPEngine();
  if (e.Create != nullptr) handle_ = e.Create(&TinetHTTP::DispatchHTTPEvent, this, 0);
  if (handle_ == 0) return;
  // Each default on its own: a refusal of one must not stop the others.
  auto guarded = [](auto&& assign) {
    try {
      assign();
    } catch (const Exception&) {
    }
  };
  guarded([&] { SetAccept(""); });
  guarded([&] { SetAuthScheme(httpAuthBasic); });
  guarded([&] { SetFirewallHost(""); });
  guarded([&] { SetFirewallPassword(""); });
  guarded([&] { SetFirewallPort(0); });
  guarded([&] { SetFirewallType(httpFwNone); });
  guarded([&] { SetFirewallUser(""); });
  guarded([&] { SetFollowRedirects(httpFrNever); });
  guarded([&] { SetLocalFile(""); });
  guarded([&] { SetPassword(""); });
  guarded([&] { SetProxyPassword(""); });
  guarded([&] { SetProxyPort(80); });
  guarded([&] { SetProxyServer(""); });
  guarded([&] { SetProxyUser(""); });
  guarded([&] { SetRange(""); });
  guarded([&] { SetTimeout(60); });
  guarded([&] { SetURL(""); });
  guarded([&] { SetUser(""); });
}

TinetHTTP::~TinetHTTP() {
  const THttpEngine& e = HTTPEngine();
  if (handle_ != 0 && e.Destroy != nullptr) e.Destroy(handle_);
  handle_ = 0;
}

std::exception_ptr TinetHTTP::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(EinetHTTP(code, text));
}

void TinetHTTP::RaiseEngineError(int code, std::string text) {
  const THttpEngine& e = HTTPEngine();
  if (text.empty() && e.GetLastError != nullptr && handle_ != 0) {
    text = TextAt(reinterpret_cast<intptr_t>(e.GetLastError(handle_)));
  }
  std::rethrow_exception(CreateError(code, text));
}

void TinetHTTP::CallEngine(int method, const std::vector<std::string>& args) {
  const THttpEngine& e = HTTPEngine();
  if (handle_ == 0 || e.Do == nullptr) RaiseEngineError(kCreateFailed, kCreateFailedText);
  std::vector<intptr_t> values;
  for (const std::string& a : args) values.push_back(reinterpret_cast<intptr_t>(a.c_str()));
  std::vector<int32_t> lengths(args.size(), 0);
  handlerError_ = nullptr;
  int result = e.Do(handle_, method, static_cast<int>(args.size()), values.data(), lengths.data());
  // A handler's exception was held back while the engine ran; it wins over the result.
  if (handlerError_) std::rethrow_exception(std::exchange(handlerError_, nullptr));
  if (result != 0) RaiseEngineError(result, "");
}

void TinetHTTP::DownloadURL(const std::string& url) { CallEngine(http::kDownloadURL, {url}); }

void TinetHTTP::ShowAboutBox() { CallEngine(netengine::kMethodAboutBox, {}); }

std::string TinetHTTP::GetText(int index) const {
  const THttpEngine& e = HTTPEngine();
  if (handle_ == 0 || e.Get == nullptr) return {};
  return TextAt(e.Get(handle_, index, 0, nullptr));
}

int TinetHTTP::GetNumber(int index) const {
  const THttpEngine& e = HTTPEngine();
  if (handle_ == 0 || e.Get == nullptr) return 0;
  return static_cast<int>(e.Get(handle_, index, 0, nullptr));
}

void TinetHTTP::SetText(int index, const std::string& value) {
  SetNumber(index, reinterpret_cast<intptr_t>(value.c_str()));
}

void TinetHTTP::SetNumber(int index, intptr_t value) {
  const THttpEngine& e = HTTPEngine();
  // Without an engine object the values have nowhere to go; the first download reports
  // the missing engine.
  if (handle_ == 0 || e.Set == nullptr) return;
  int result = e.Set(handle_, index, 0, value, 0);
  if (result != 0) RaiseEngineError(result, "");
}

int INET_STDCALL TinetHTTP::DispatchHTTPEvent(void* owner, int event, int count, intptr_t* values,
                                              int32_t* lengths) {
  auto* self = static_cast<TinetHTTP*>(owner);
  // Nothing may unwind into the engine: keep the first failure for after its call.
  if (self == nullptr || self->handlerError_) return 0;
  try {
    self->Dispatch(event, count, values, lengths);
  } catch (...) {
    self->handlerError_ = std::current_exception();
  }
  return 0;
}

void TinetHTTP::Dispatch(int event, int count, intptr_t* values, int32_t* lengths) {
  using namespace netengine;
  if (event < evConnected || event > evLast || count < kHttpEventParamCount[event]) return;
  if (kHttpEventParamCount[event] > 0 && values == nullptr) return;
  auto text = [&](int i) { return TextAt(values[i]); };
  auto number = [&](int i) { return static_cast<int>(values[i]); };
  switch (event) {
    case evConnected:
      if (OnConnected) OnConnected(this, number(0), text(1));
      break;
    case evConnectionStatus:
      if (OnConnectionStatus) OnConnectionStatus(this, text(0), number(1), text(2));
      break;
    case evDisconnected:
      if (OnDisconnected) OnDisconnected(this, number(0), text(1));
      break;
    case evEndTransfer:
      if (OnEndTransfer) OnEndTransfer(this, number(0));
      break;
    case evError:
      if (OnError) OnError(this, number(0), text(1));
      break;
    case evHeader:
      if (OnHeader) OnHeader(this, text(0), text(1));
      break;
    case evRedirect:
      if (OnRedirect) {
        acceptScratch_ = values[1] != 0;
        OnRedirect(this, text(0), acceptScratch_);
        values[1] = acceptScratch_ ? 1 : 0;
      }
      break;
    case evSetCookie:
      if (OnSetCookie) {
        OnSetCookie(this, text(0), text(1), text(2), text(3), text(4), values[5] != 0);
      }
      break;
    case evStartTransfer:
      if (OnStartTransfer) OnStartTransfer(this, number(0));
      break;
    case evStatus:
      if (OnStatus) OnStatus(this, text(0), number(1), text(2));
      break;
    case evTransfer:
      if (OnTransfer) {
        // The received bytes come by their length: they may hold zero bytes.
        const char* p = reinterpret_cast<const char*>(values[2]);
        int32_t n = lengths != nullptr ? lengths[2] : 0;
        std::string data = p == nullptr ? std::string()
                           : n > 0      ? std::string(p, static_cast<size_t>(n))
                                        : std::string(p);
        OnTransfer(this, number(0), number(1), data);
      }
      break;
  }
}

K_PUBLISH(TinetHTTP) {
  p.Prop("Accept", &TinetHTTP::Accept, &TinetHTTP::SetAccept);
  p.Enum("AuthScheme", &TinetHTTP::AuthScheme, &TinetHTTP::SetAuthScheme,
         {"authBasic", "authDigest"});
  p.Prop("FirewallHost", &TinetHTTP::FirewallHost, &TinetHTTP::SetFirewallHost);
  p.Prop("FirewallPassword", &TinetHTTP::FirewallPassword, &TinetHTTP::SetFirewallPassword);
  p.Prop("FirewallPort", &TinetHTTP::FirewallPort, &TinetHTTP::SetFirewallPort);
  p.Enum("FirewallType", &TinetHTTP::FirewallType, &TinetHTTP::SetFirewallType,
         {"fwNone", "fwTunnel", "fwSOCKS4", "fwSOCKS5"});
  p.Prop("FirewallUser", &TinetHTTP::FirewallUser, &TinetHTTP::SetFirewallUser);
  p.Enum("FollowRedirects", &TinetHTTP::FollowRedirects, &TinetHTTP::SetFollowRedirects,
         {"frNever", "frAlways", "frSameScheme"});
  p.Prop("Idle", &TinetHTTP::Idle, &TinetHTTP::SetIdle);
  p.Prop("LocalFile", &TinetHTTP::LocalFile, &TinetHTTP::SetLocalFile);
  p.Prop("LocalHost", &TinetHTTP::LocalHost, &TinetHTTP::SetLocalHost);
  p.Prop("Password", &TinetHTTP::Password, &TinetHTTP::SetPassword);
  p.Prop("ProxyPassword", &TinetHTTP::ProxyPassword, &TinetHTTP::SetProxyPassword);
  p.Prop("ProxyPort", &TinetHTTP::ProxyPort, &TinetHTTP::SetProxyPort);
  p.Prop("ProxyServer", &TinetHTTP::ProxyServer, &TinetHTTP::SetProxyServer);
  p.Prop("ProxyUser", &TinetHTTP::ProxyUser, &TinetHTTP::SetProxyUser);
  p.Prop("Range", &TinetHTTP::Range, &TinetHTTP::SetRange);
  p.Prop("Timeout", &TinetHTTP::Timeout, &TinetHTTP::SetTimeout);
  p.Prop("URL", &TinetHTTP::URL, &TinetHTTP::SetURL);
  p.Prop("User", &TinetHTTP::User, &TinetHTTP::SetUser);
}
