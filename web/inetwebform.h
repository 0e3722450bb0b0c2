// The web-form component: collects form variables, posts them to a URL through the
// web-form engine and hands back the reply. Every property lives in the engine under
// its number; every method is one engine call; engine events become the component's.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "engine/EngineInterface.h"
#include "framework/Events.h"
#include "web/inetcore.h"

K_EXCEPTION(EinetWebForm, ENetEngine);

enum TinetwebformAuthSchemes { authBasic, authDigest };
enum TinetwebformEncodings { encURLEncoding, encMultipartFormData, encQueryString };
enum TinetwebformFirewallTypes { fwNone, fwTunnel, fwSOCKS4, fwSOCKS5 };
enum TinetwebformFollowRedirects { frNever, frAlways, frSameScheme };

using TinetEventCallback = netengine::EventCallback;
// The seven functions of the bound web-form engine; each nullptr when not bound.
using TWebFormEngine = netengine::EngineFunctions;

// The unit's binding, filled by BindWebFormEngine at the program's start (Win32).
TWebFormEngine& WebFormEngine();
#if defined(_WIN32)
// Maps the resource of the web-form front and binds its seven exports; quiet on failure.
void BindWebFormEngine();
// Clears the functions, then unmaps the engine.
void UnbindWebFormEngine();
#endif

using TinetwebformStatusCodeEvent =
    TMethod<void(TObject* sender, int statusCode, const std::string& description)>;
using TinetwebformConnectionStatusEvent =
    TMethod<void(TObject* sender, const std::string& connectionEvent, int statusCode,
                 const std::string& description)>;
using TinetwebformErrorEvent =
    TMethod<void(TObject* sender, int errorCode, const std::string& description)>;
using TinetwebformHeaderEvent =
    TMethod<void(TObject* sender, const std::string& field, const std::string& value)>;
using TinetwebformRedirectEvent =
    TMethod<void(TObject* sender, const std::string& location, bool& accept)>;
using TinetwebformSetCookieEvent = TMethod<void(
    TObject* sender, const std::string& name, const std::string& value, const std::string& expires,
    const std::string& domain, const std::string& path, bool secure)>;
using TinetwebformStatusEvent = TMethod<void(TObject* sender, const std::string& httpVersion,
                                             int statusCode, const std::string& description)>;
using TinetwebformTransferEvent =
    TMethod<void(TObject* sender, int bytesTransferred, const std::string& text)>;

class TinetWebForm : public TinetCore {
  K_CLASS_PUBLISHED(TinetWebForm, TinetCore)

  // Without a bound engine the component is still created (so its form is); the first
  // request then reports "NetEngine WebForm: Error creating component".
  explicit TinetWebForm(TComponent* owner);

  std::exception_ptr CreateError(int code, const std::string& text) override;

  void Reset();
  void AddFormVar(const std::string& name, const std::string& value);
  // Posts the form variables and returns when the reply is in; events fire meanwhile.
  // An exception thrown by an event handler is raised here, after the engine returned.
  void SubmitTo(const std::string& url);
  // The body of the last reply, every byte of it.
  std::string GetTransferredData();

  std::string Accept() const { return GetText(netengine::webform::kAccept); }
  void SetAccept(const std::string& v) { SetText(netengine::webform::kAccept, v); }
  TinetwebformAuthSchemes AuthScheme() const {
    return static_cast<TinetwebformAuthSchemes>(GetNumber(netengine::webform::kAuthScheme));
  }
  void SetAuthScheme(TinetwebformAuthSchemes v) { SetNumber(netengine::webform::kAuthScheme, v); }
  TinetwebformEncodings Encoding() const {
    return static_cast<TinetwebformEncodings>(GetNumber(netengine::webform::kEncoding));
  }
  void SetEncoding(TinetwebformEncodings v) { SetNumber(netengine::webform::kEncoding, v); }
  std::string FirewallHost() const { return GetText(netengine::webform::kFirewallHost); }
  void SetFirewallHost(const std::string& v) { SetText(netengine::webform::kFirewallHost, v); }
  std::string FirewallPassword() const { return GetText(netengine::webform::kFirewallPassword); }
  void SetFirewallPassword(const std::string& v) {
    SetText(netengine::webform::kFirewallPassword, v);
  }
  int FirewallPort() const { return GetNumber(netengine::webform::kFirewallPort); }
  void SetFirewallPort(int v) { SetNumber(netengine::webform::kFirewallPort, v); }
  TinetwebformFirewallTypes FirewallType() const {
    return static_cast<TinetwebformFirewallTypes>(GetNumber(netengine::webform::kFirewallType));
  }
  void SetFirewallType(TinetwebformFirewallTypes v) {
    SetNumber(netengine::webform::kFirewallType, v);
  }
  std::string FirewallUser() const { return GetText(netengine::webform::kFirewallUser); }
  void SetFirewallUser(const std::string& v) { SetText(netengine::webform::kFirewallUser, v); }
  TinetwebformFollowRedirects FollowRedirects() const {
    return static_cast<TinetwebformFollowRedirects>(
        GetNumber(netengine::webform::kFollowRedirects));
  }
  void SetFollowRedirects(TinetwebformFollowRedirects v) {
    SetNumber(netengine::webform::kFollowRedirects, v);
  }
  bool Idle() const { return GetNumber(netengine::webform::kIdle) != 0; }
  void SetIdle(bool) {}
  std::string LocalFile() const { return GetText(netengine::webform::kLocalFile); }
  void SetLocalFile(const std::string& v) { SetText(netengine::webform::kLocalFile, v); }
  std::string LocalHost() const { return GetText(netengine::webform::kLocalHost); }
  void SetLocalHost(const std::string& v) { SetText(netengine::webform::kLocalHost, v); }
  std::string Password() const { return GetText(netengine::webform::kPassword); }
  void SetPassword(const std::string& v) { SetText(netengine::webform::kPassword, v); }
  std::string ProxyPassword() const { return GetText(netengine::webform::kProxyPassword); }
  void SetProxyPassword(const std::string& v) { SetText(netengine::webform::kProxyPassword, v); }
  int ProxyPort() const { return GetNumber(netengine::webform::kProxyPort); }
  void SetProxyPort(int v) { SetNumber(netengine::webform::kProxyPort, v); }
  std::string ProxyServer() const { return GetText(netengine::webform::kProxyServer); }
  void SetProxyServer(const std::string& v) { SetText(netengine::webform::kProxyServer, v); }
  std::string ProxyUser() const { return GetText(netengine::webform::kProxyUser); }
  void SetProxyUser(const std::string& v) { SetText(netengine::webform::kProxyUser, v); }
  int Timeout() const { return GetNumber(netengine::webform::kTimeout); }
  void SetTimeout(int v) { SetNumber(netengine::webform::kTimeout, v); }
  std::string URL() const { return GetText(netengine::webform::kURL); }
  void SetURL(const std::string& v) { SetText(netengine::webform::kURL, v); }
  std::string User() const { return GetText(netengine::webform::kUser); }
  void SetUser(const std::string& v) { SetText(netengine::webform::kUser, v); }

  TinetwebformStatusCodeEvent OnConnected;
  TinetwebformConnectionStatusEvent OnConnectionStatus;
  TinetwebformStatusCodeEvent OnDisconnected;
  TNotifyEvent OnEndTransfer;
  TinetwebformErrorEvent OnError;
  TinetwebformHeaderEvent OnHeader;
  TinetwebformRedirectEvent OnRedirect;
  TinetwebformSetCookieEvent OnSetCookie;
  TNotifyEvent OnStartTransfer;
  TinetwebformStatusEvent OnStatus;
  TinetwebformTransferEvent OnTransfer;

 protected:
  void Dispatch(int event, int count, intptr_t* values, int32_t* lengths) override;

 private:
  bool acceptScratch_ = false;
};
