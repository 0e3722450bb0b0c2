#include "updater/inethttp.h"

#include "framework/TypInfo.h"

#if defined(_WIN32)
#include "web/EngineBinder.h"
#endif

namespace {

namespace http = netengine::http;

constexpr const char* kMissingEngineText = "NetEngine HTTP: Error creating component";

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

TinetHTTP::TinetHTTP(TComponent* owner) : TinetCore(owner, HTTPEngine(), kMissingEngineText) {
  if (Handle() == 0) return;
  SetDefault([&] { SetAccept(""); });
  SetDefault([&] { SetAuthScheme(httpAuthBasic); });
  SetDefault([&] { SetFirewallHost(""); });
  SetDefault([&] { SetFirewallPassword(""); });
  SetDefault([&] { SetFirewallPort(0); });
  SetDefault([&] { SetFirewallType(httpFwNone); });
  SetDefault([&] { SetFirewallUser(""); });
  SetDefault([&] { SetFollowRedirects(httpFrNever); });
  SetDefault([&] { SetLocalFile(""); });
  SetDefault([&] { SetPassword(""); });
  SetDefault([&] { SetProxyPassword(""); });
  SetDefault([&] { SetProxyPort(80); });
  SetDefault([&] { SetProxyServer(""); });
  SetDefault([&] { SetProxyUser(""); });
  SetDefault([&] { SetRange(""); });
  SetDefault([&] { SetTimeout(60); });
  SetDefault([&] { SetURL(""); });
  SetDefault([&] { SetUser(""); });
}

std::exception_ptr TinetHTTP::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(EinetHTTP(code, text));
}

void TinetHTTP::DownloadURL(const std::string& url) { CallEngine(http::kDownloadURL, {url}); }

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
