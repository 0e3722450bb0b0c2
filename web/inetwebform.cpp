#include "web/inetwebform.h"

#include <utility>
#include <vector>

#include "framework/TypInfo.h"

#if defined(_WIN32)
#include "web/EngineBinder.h"
#endif

namespace {

namespace webform = netengine::webform;

constexpr int kCreateFailed = -1;
constexpr const char* kCreateFailedText = "NetEngine WebForm: Error creating component";

std::string TextAt(intptr_t value) {
  const char* p = reinterpret_cast<const char*>(value);
  return p != nullptr ? std::string(p) : std::string();
}

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

TinetWebForm::TinetWebForm(TComponent* owner) : TinetCore(owner) {
  const TWebFormEngine& e = WebFormEngine();
  if (e.Create != nullptr) handle_ = e.Create(&TinetWebForm::DispatchWebFormEvent, this, 0);
  if (handle_ == 0) return;
  // Each default on its own: a refusal of one must not stop the others.
  auto guarded = [](auto&& assign) {
    try {
      assign();
    } catch (const Exception&) {
    }
  };
  guarded([&] { SetAccept(""); });
  guarded([&] { SetAuthScheme(authBasic); });
  guarded([&] { SetEncoding(encURLEncoding); });
  guarded([&] { SetFirewallHost(""); });
  guarded([&] { SetFirewallPassword(""); });
  guarded([&] { SetFirewallPort(0); });
  guarded([&] { SetFirewallType(fwNone); });
  guarded([&] { SetFirewallUser(""); });
  guarded([&] { SetFollowRedirects(frNever); });
  guarded([&] { SetLocalFile(""); });
  guarded([&] { SetPassword(""); });
  guarded([&] { SetProxyPassword(""); });
  guarded([&] { SetProxyPort(80); });
  guarded([&] { SetProxyServer(""); });
  guarded([&] { SetProxyUser(""); });
  guarded([&] { SetTimeout(60); });
  guarded([&] { SetURL(""); });
  guarded([&] { SetUser(""); });
}

TinetWebForm::~TinetWebForm() {
  const TWebFormEngine& e = WebFormEngine();
  if (handle_ != 0 && e.Destroy != nullptr) e.Destroy(handle_);
  handle_ = 0;
}

std::exception_ptr TinetWebForm::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(EinetWebForm(code, text));
}

void TinetWebForm::RaiseEngineError(int code, std::string text) {
  const TWebFormEngine& e = WebFormEngine();
  if (text.empty() && e.GetLastError != nullptr && handle_ != 0) {
    text = TextAt(reinterpret_cast<intptr_t>(e.GetLastError(handle_)));
  }
  std::rethrow_exception(CreateError(code, text));
}

void TinetWebForm::CallEngine(int method, std::vector<std::string> args) {
  const TWebFormEngine& e = WebFormEngine();
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

void TinetWebForm::Reset() { CallEngine(webform::kReset, {}); }

void TinetWebForm::AddFormVar(const std::string& name, const std::string& value) {
  CallEngine(webform::kAddFormVar, {name, value});
}

void TinetWebForm::SubmitTo(const std::string& url) { CallEngine(webform::kSubmitTo, {url}); }

void TinetWebForm::ShowAboutBox() { CallEngine(netengine::kMethodAboutBox, {}); }

std::string TinetWebForm::GetTransferredData() {
  const TWebFormEngine& e = WebFormEngine();
  if (handle_ == 0 || e.Get == nullptr) return {};
  int32_t length = 0;
  const char* data =
      reinterpret_cast<const char*>(e.Get(handle_, webform::kTransferredData, 0, &length));
  if (data == nullptr || length <= 0) return {};
  return std::string(data, static_cast<size_t>(length));
}

std::string TinetWebForm::GetText(int index) const {
  const TWebFormEngine& e = WebFormEngine();
  if (handle_ == 0 || e.Get == nullptr) return {};
  return TextAt(e.Get(handle_, index, 0, nullptr));
}

int TinetWebForm::GetNumber(int index) const {
  const TWebFormEngine& e = WebFormEngine();
  if (handle_ == 0 || e.Get == nullptr) return 0;
  return static_cast<int>(e.Get(handle_, index, 0, nullptr));
}

void TinetWebForm::SetText(int index, const std::string& value) {
  SetNumber(index, reinterpret_cast<intptr_t>(value.c_str()));
}

void TinetWebForm::SetNumber(int index, intptr_t value) {
  const TWebFormEngine& e = WebFormEngine();
  // Without an engine object the stored values have nowhere to go; the first request
  // reports the missing engine.
  if (handle_ == 0 || e.Set == nullptr) return;
  int result = e.Set(handle_, index, 0, value, 0);
  if (result != 0) RaiseEngineError(result, "");
}

int INET_STDCALL TinetWebForm::DispatchWebFormEvent(void* owner, int event, int count,
                                                    intptr_t* values, int32_t* lengths) {
  auto* self = static_cast<TinetWebForm*>(owner);
  // Nothing may unwind into the engine: keep the first failure for after its call.
  if (self == nullptr || self->handlerError_) return 0;
  try {
    self->Dispatch(event, count, values, lengths);
  } catch (...) {
    self->handlerError_ = std::current_exception();
  }
  return 0;
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
