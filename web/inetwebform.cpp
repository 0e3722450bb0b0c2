#include "web/inetwebform.h"

#include <vector>

#include "framework/TypInfo.h"

#if defined(_WIN32)
#include "web/EngineBinder.h"
#endif

namespace {

namespace webform = netengine::webform;

constexpr const char* kMissingEngineText = "NetEngine WebForm: Error creating component";

}  // namespace

TWebFormEngine& WebFormEngine() {
  static TWebFormEngine engine;
  return engine;
}

#if defined(_WIN32)
namespace {
TEngineFront& WebFormFront() {
  static TEngineFront front(netengine::kWebFormExports, WebFormEngine());
  return front;
}
}  // namespace

void BindWebFormEngine() { WebFormFront().Bind(); }

void UnbindWebFormEngine() { WebFormFront().Unbind(); }
#endif

TinetWebForm::TinetWebForm(TComponent* owner)
    : TinetCore(owner, WebFormEngine(), kMissingEngineText) {
  if (Handle() == 0) return;
  SetDefault([&] { SetAccept(""); });
  SetDefault([&] { SetAuthScheme(authBasic); });
  SetDefault([&] { SetEncoding(encURLEncoding); });
  SetDefault([&] { SetFirewallHost(""); });
  SetDefault([&] { SetFirewallPassword(""); });
  SetDefault([&] { SetFirewallPort(0); });
  SetDefault([&] { SetFirewallType(fwNone); });
  SetDefault([&] { SetFirewallUser(""); });
  SetDefault([&] { SetFollowRedirects(frNever); });
  SetDefault([&] { SetLocalFile(""); });
  SetDefault([&] { SetPassword(""); });
  SetDefault([&] { SetProxyPassword(""); });
  SetDefault([&] { SetProxyPort(80); });
  SetDefault([&] { SetProxyServer(""); });
  SetDefault([&] { SetProxyUser(""); });
  SetDefault([&] { SetTimeout(60); });
  SetDefault([&] { SetURL(""); });
  SetDefault([&] { SetUser(""); });
}

std::exception_ptr TinetWebForm::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(EinetWebForm(code, text));
}

void TinetWebForm::Reset() { CallEngine(webform::kReset, {}); }

void TinetWebForm::AddFormVar(const std::string& name, const std::string& value) {
  CallEngine(webform::kAddFormVar, {name, value});
}

void TinetWebForm::SubmitTo(const std::string& url) { CallEngine(webform::kSubmitTo, {url}); }

std::string TinetWebForm::GetTransferredData() {
  int32_t length = 0;
  const char* data = reinterpret_cast<const char*>(GetRaw(webform::kTransferredData, &length));
  if (data == nullptr || length <= 0) return {};
  return std::string(data, static_cast<size_t>(length));
}

void TinetWebForm::Dispatch(int event, int count, intptr_t* values, int32_t* lengths) {
  using namespace netengine;
  if (event < evConnected || event > evLast || count < kWebFormEventParamCount[event]) return;
  if (kWebFormEventParamCount[event] > 0 && values == nullptr) return;
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
      if (OnEndTransfer) OnEndTransfer(this);
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
      if (OnStartTransfer) OnStartTransfer(this);
      break;
    case evStatus:
      if (OnStatus) OnStatus(this, text(0), number(1), text(2));
      break;
    case evTransfer:
      if (OnTransfer) {
        const char* p = reinterpret_cast<const char*>(values[1]);
        int32_t n = lengths != nullptr ? lengths[1] : 0;
        std::string data = p == nullptr ? std::string()
                           : n > 0      ? std::string(p, static_cast<size_t>(n))
                                        : std::string(p);
        OnTransfer(this, number(0), data);
      }
      break;
  }
}

K_PUBLISH(TinetWebForm) {
  p.Prop("Accept", &TinetWebForm::Accept, &TinetWebForm::SetAccept);
  p.Enum("AuthScheme", &TinetWebForm::AuthScheme, &TinetWebForm::SetAuthScheme,
         {"authBasic", "authDigest"});
  p.Enum("Encoding", &TinetWebForm::Encoding, &TinetWebForm::SetEncoding,
         {"encURLEncoding", "encMultipartFormData", "encQueryString"});
  p.Prop("FirewallHost", &TinetWebForm::FirewallHost, &TinetWebForm::SetFirewallHost);
  p.Prop("FirewallPassword", &TinetWebForm::FirewallPassword, &TinetWebForm::SetFirewallPassword);
  p.Prop("FirewallPort", &TinetWebForm::FirewallPort, &TinetWebForm::SetFirewallPort);
  p.Enum("FirewallType", &TinetWebForm::FirewallType, &TinetWebForm::SetFirewallType,
         {"fwNone", "fwTunnel", "fwSOCKS4", "fwSOCKS5"});
  p.Prop("FirewallUser", &TinetWebForm::FirewallUser, &TinetWebForm::SetFirewallUser);
  p.Enum("FollowRedirects", &TinetWebForm::FollowRedirects, &TinetWebForm::SetFollowRedirects,
         {"frNever", "frAlways", "frSameScheme"});
  p.Prop("Idle", &TinetWebForm::Idle, &TinetWebForm::SetIdle);
  p.Prop("LocalFile", &TinetWebForm::LocalFile, &TinetWebForm::SetLocalFile);
  p.Prop("LocalHost", &TinetWebForm::LocalHost, &TinetWebForm::SetLocalHost);
  p.Prop("Password", &TinetWebForm::Password, &TinetWebForm::SetPassword);
  p.Prop("ProxyPassword", &TinetWebForm::ProxyPassword, &TinetWebForm::SetProxyPassword);
  p.Prop("ProxyPort", &TinetWebForm::ProxyPort, &TinetWebForm::SetProxyPort);
  p.Prop("ProxyServer", &TinetWebForm::ProxyServer, &TinetWebForm::SetProxyServer);
  p.Prop("ProxyUser", &TinetWebForm::ProxyUser, &TinetWebForm::SetProxyUser);
  p.Prop("Timeout", &TinetWebForm::Timeout, &TinetWebForm::SetTimeout);
  p.Prop("URL", &TinetWebForm::URL, &TinetWebForm::SetURL);
  p.Prop("User", &TinetWebForm::User, &TinetWebForm::SetUser);
}
