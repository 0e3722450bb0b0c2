// The web-form component: collects form variables, posts them to a URL through the
// web-form engine and hands back the reply. Every property lives in the engine under
// its number; every method is one engine call; engine events become the component's.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "framework/Events.h"
#include "web/inetcore.h"

K_EXCEPTION(EinetWebForm, ENetEngine);

enum TinetwebformAuthSchemes { authBasic, authDigest };
enum TinetwebformEncodings { encURLEncoding, encMultipartFormData, encQueryString };
enum TinetwebformFirewallTypes { fwNone, fwTunnel, fwSOCKS4, fwSOCKS5 };
enum TinetwebformFollowRedirects { frNever, frAlways, frSameScheme };

// The engine's callback: owner, event number, count, values, lengths.
using TinetEventCallback = int(INET_STDCALL*)(void* owner, int event, int count, intptr_t* values,
                                              int32_t* lengths);

// The seven functions of the bound web-form engine; each nullptr when not bound.
struct TWebFormEngine {
  int(INET_STDCALL* Create)(TinetEventCallback callback, void* owner, int reserved) = nullptr;
  void(INET_STDCALL* Destroy)(int handle) = nullptr;
  int(INET_STDCALL* Set)(int handle, int index, int reserved, intptr_t value,
                         int reserved2) = nullptr;
  intptr_t(INET_STDCALL* Get)(int handle, int index, int reserved, int32_t* length) = nullptr;
  const char*(INET_STDCALL* GetLastError)(int handle) = nullptr;
  int(INET_STDCALL* CheckIndex)(int handle, int index) = nullptr;
  int(INET_STDCALL* Do)(int handle, int method, int count, intptr_t* values,
                        int32_t* lengths) = nullptr;
};

// The unit's binding, filled at start-up from the program's resource (Win32).
TWebFormEngine& WebFormEngine();
#if defined(_WIN32)
// Maps the resource "NETENGINE6_WEBFORM_DTA" and binds the seven exports; quiet on failure.
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
  ~TinetWebForm() override;

  std::exception_ptr CreateError(int code, const std::string& text) override;
  void ShowAboutBox() override;

  void Reset();
  void AddFormVar(const std::string& name, const std::string& value);
  // Posts the form variables and returns when the reply is in; events fire meanwhile.
  // An exception thrown by an event handler is raised here, after the engine returned.
  void SubmitTo(const std::string& url);
  // The body of the last reply, every byte of it.
  std::string GetTransferredData();
  [[noreturn]] void RaiseEngineError(int code, std::string text);

  std::string Accept() const { return GetText(1); }
  void SetAccept(const std::string& v) { SetText(1, v); }
  TinetwebformAuthSchemes AuthScheme() const {
    return static_cast<TinetwebformAuthSchemes>(GetNumber(3));
  }
  void SetAuthScheme(TinetwebformAuthSchemes v) { SetNumber(3, v); }
  TinetwebformEncodings Encoding() const {
    return static_cast<TinetwebformEncodings>(GetNumber(9));
  }
  void SetEncoding(TinetwebformEncodings v) { SetNumber(9, v); }
  std::string FirewallHost() const { return GetText(10); }
  void SetFirewallHost(const std::string& v) { SetText(10, v); }
  std::string FirewallPassword() const { return GetText(11); }
  void SetFirewallPassword(const std::string& v) { SetText(11, v); }
  int FirewallPort() const { return GetNumber(12); }
  void SetFirewallPort(int v) { SetNumber(12, v); }
  TinetwebformFirewallTypes FirewallType() const {
    return static_cast<TinetwebformFirewallTypes>(GetNumber(13));
  }
  void SetFirewallType(TinetwebformFirewallTypes v) { SetNumber(13, v); }
  std::string FirewallUser() const { return GetText(14); }
  void SetFirewallUser(const std::string& v) { SetText(14, v); }
  TinetwebformFollowRedirects FollowRedirects() const {
    return static_cast<TinetwebformFollowRedirects>(GetNumber(15));
  }
  void SetFollowRedirects(TinetwebformFollowRedirects v) { SetNumber(15, v); }
  bool Idle() const { return GetNumber(20) != 0; }
  void SetIdle(bool) {}
  std::string LocalFile() const { return GetText(21); }
  void SetLocalFile(const std::string& v) { SetText(21, v); }
  std::string LocalHost() const { return GetText(22); }
  void SetLocalHost(const std::string& v) { SetText(22, v); }
  std::string Password() const { return GetText(24); }
  void SetPassword(const std::string& v) { SetText(24, v); }
  std::string ProxyPassword() const { return GetText(26); }
  void SetProxyPassword(const std::string& v) { SetText(26, v); }
  int ProxyPort() const { return GetNumber(27); }
  void SetProxyPort(int v) { SetNumber(27, v); }
  std::string ProxyServer() const { return GetText(28); }
  void SetProxyServer(const std::string& v) { SetText(28, v); }
  std::string ProxyUser() const { return GetText(29); }
  void SetProxyUser(const std::string& v) { SetText(29, v); }
  int Timeout() const { return GetNumber(32); }
  void SetTimeout(int v) { SetNumber(32, v); }
  std::string URL() const { return GetText(35); }
  void SetURL(const std::string& v) { SetText(35, v); }
  std::string User() const { return GetText(36); }
  void SetUser(const std::string& v) { SetText(36, v); }

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

  int Handle() const { return handle_; }

 private:
  static int INET_STDCALL DispatchWebFormEvent(void* owner, int event, int count, intptr_t* values,
                                               int32_t* lengths);
  void Dispatch(int event, int count, intptr_t* values, int32_t* lengths);
  void CallEngine(int method, std::vector<std::string> args);
  std::string GetText(int index) const;
  void SetText(int index, const std::string& value);
  int GetNumber(int index) const;
  void SetNumber(int index, intptr_t value);

  int handle_ = 0;
  bool acceptScratch_ = false;
  std::exception_ptr handlerError_;  // first exception of a handler during an engine call
};
