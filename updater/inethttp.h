// The updater's HTTP component: downloads a URL into a local file through the HTTP front
// of the network engine. Every property lives in the engine under its number; the
// download is one engine call; engine events become the component's.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "engine/EngineInterface.h"
#include "framework/Events.h"
#include "web/inetcore.h"

K_EXCEPTION(EinetHTTP, ENetEngine);

enum TinethttpAuthSchemes { httpAuthBasic, httpAuthDigest };
enum TinethttpFirewallTypes { httpFwNone, httpFwTunnel, httpFwSOCKS4, httpFwSOCKS5 };
enum TinethttpFollowRedirects { httpFrNever, httpFrAlways, httpFrSameScheme };

// The seven functions of the bound HTTP engine; each nullptr when not bound.
using THttpEngine = netengine::EngineFunctions;

// The unit's binding, filled by BindHTTPEngine at the program's start (Win32).
THttpEngine& HTTPEngine();
#if defined(_WIN32)
// Maps the resource of the HTTP front and binds its seven exports; quiet on failure.
void BindHTTPEngine();
// Clears the functions, then unmaps the engine.
void UnbindHTTPEngine();
#endif

using TinethttpStatusCodeEvent =
    TMethod<void(TObject* sender, int statusCode, const std::string& description)>;
using TinethttpConnectionStatusEvent =
    TMethod<void(TObject* sender, const std::string& connectionEvent, int statusCode,
                 const std::string& description)>;
using TinethttpDirectionEvent = TMethod<void(TObject* sender, int direction)>;
using TinethttpErrorEvent =
    TMethod<void(TObject* sender, int errorCode, const std::string& description)>;
using TinethttpHeaderEvent =
    TMethod<void(TObject* sender, const std::string& field, const std::string& value)>;
using TinethttpRedirectEvent =
    TMethod<void(TObject* sender, const std::string& location, bool& accept)>;
using TinethttpSetCookieEvent = TMethod<void(
    TObject* sender, const std::string& name, const std::string& value, const std::string& expires,
    const std::string& domain, const std::string& path, bool secure)>;
using TinethttpStatusEvent = TMethod<void(TObject* sender, const std::string& httpVersion,
                                          int statusCode, const std::string& description)>;
using TinethttpTransferEvent =
    TMethod<void(TObject* sender, int direction, int bytesTransferred, const std::string& text)>;

class TinetHTTP : public TinetCore {
  K_CLASS_PUBLISHED(TinetHTTP, TinetCore)

  // Without a bound engine the component is still created (so its form is, and the
  // updater can still start Kestrava again); the first download then reports
  // "NetEngine HTTP: Error creating component".
  explicit TinetHTTP(TComponent* owner);

  std::exception_ptr CreateError(int code, const std::string& text) override;

  // Fetches `url`; with LocalFile set the reply's body goes into that file. Returns when
  // the transfer ended; events fire meanwhile. An exception thrown by an event handler is
  // raised here, after the engine returned.
  void DownloadURL(const std::string& url);

  std::string Accept() const { return GetText(netengine::http::kAccept); }
  void SetAccept(const std::string& v) { SetText(netengine::http::kAccept, v); }
  TinethttpAuthSchemes AuthScheme() const {
    return static_cast<TinethttpAuthSchemes>(GetNumber(netengine::http::kAuthScheme));
  }
  void SetAuthScheme(TinethttpAuthSchemes v) { SetNumber(netengine::http::kAuthScheme, v); }
  std::string FirewallHost() const { return GetText(netengine::http::kFirewallHost); }
  void SetFirewallHost(const std::string& v) { SetText(netengine::http::kFirewallHost, v); }
  std::string FirewallPassword() const { return GetText(netengine::http::kFirewallPassword); }
  void SetFirewallPassword(const std::string& v) { SetText(netengine::http::kFirewallPassword, v); }
  int FirewallPort() const { return GetNumber(netengine::http::kFirewallPort); }
  void SetFirewallPort(int v) { SetNumber(netengine::http::kFirewallPort, v); }
  TinethttpFirewallTypes FirewallType() const {
    return static_cast<TinethttpFirewallTypes>(GetNumber(netengine::http::kFirewallType));
  }
  void SetFirewallType(TinethttpFirewallTypes v) { SetNumber(netengine::http::kFirewallType, v); }
  std::string FirewallUser() const { return GetText(netengine::http::kFirewallUser); }
  void SetFirewallUser(const std::string& v) { SetText(netengine::http::kFirewallUser, v); }
  TinethttpFollowRedirects FollowRedirects() const {
    return static_cast<TinethttpFollowRedirects>(GetNumber(netengine::http::kFollowRedirects));
  }
  void SetFollowRedirects(TinethttpFollowRedirects v) {
    SetNumber(netengine::http::kFollowRedirects, v);
  }
  bool Idle() const { return GetNumber(netengine::http::kIdle) != 0; }
  void SetIdle(bool) {}
  std::string LocalFile() const { return GetText(netengine::http::kLocalFile); }
  void SetLocalFile(const std::string& v) { SetText(netengine::http::kLocalFile, v); }
  std::string LocalHost() const { return GetText(netengine::http::kLocalHost); }
  void SetLocalHost(const std::string& v) { SetText(netengine::http::kLocalHost, v); }
  std::string Password() const { return GetText(netengine::http::kPassword); }
  void SetPassword(const std::string& v) { SetText(netengine::http::kPassword, v); }
  std::string ProxyPassword() const { return GetText(netengine::http::kProxyPassword); }
  void SetProxyPassword(const std::string& v) { SetText(netengine::http::kProxyPassword, v); }
  int ProxyPort() const { return GetNumber(netengine::http::kProxyPort); }
  void SetProxyPort(int v) { SetNumber(netengine::http::kProxyPort, v); }
  std::string ProxyServer() const { return GetText(netengine::http::kProxyServer); }
  void SetProxyServer(const std::string& v) { SetText(netengine::http::kProxyServer, v); }
  std::string ProxyUser() const { return GetText(netengine::http::kProxyUser); }
  void SetProxyUser(const std::string& v) { SetText(netengine::http::kProxyUser, v); }
  std::string Range() const { return GetText(netengine::http::kRange); }
  void SetRange(const std::string& v) { SetText(netengine::http::kRange, v); }
  int Timeout() const { return GetNumber(netengine::http::kTimeout); }
  void SetTimeout(int v) { SetNumber(netengine::http::kTimeout, v); }
  std::string URL() const { return GetText(netengine::http::kURL); }
  void SetURL(const std::string& v) { SetText(netengine::http::kURL, v); }
  std::string User() const { return GetText(netengine::http::kUser); }
  void SetUser(const std::string& v) { SetText(netengine::http::kUser, v); }

  TinethttpStatusCodeEvent OnConnected;
  TinethttpConnectionStatusEvent OnConnectionStatus;
  TinethttpStatusCodeEvent OnDisconnected;
  TinethttpDirectionEvent OnEndTransfer;
  TinethttpErrorEvent OnError;
  TinethttpHeaderEvent OnHeader;
  TinethttpRedirectEvent OnRedirect;
  TinethttpSetCookieEvent OnSetCookie;
  TinethttpDirectionEvent OnStartTransfer;
  TinethttpStatusEvent OnStatus;
  TinethttpTransferEvent OnTransfer;

 protected:
  void Dispatch(int event, int count, intptr_t* values, int32_t* lengths) override;

 private:
  bool acceptScratch_ = false;
};
