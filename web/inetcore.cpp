#include "web/inetcore.h"

#include <utility>

#include "framework/TypInfo.h"

ENetEngine::ENetEngine(int code, const std::string& text)
    : Exception(std::to_string(code) + ": " + text), code_(code) {}

namespace {
constexpr int kMissingEngine = -1;
}  // namespace

TinetCore::TinetCore(TComponent* owner) : TComponent(owner) {}

TinetCore::TinetCore(TComponent* owner, const netengine::EngineFunctions& engine,
                     const char* missingEngineText)
    : TComponent(owner), engine_(&engine), missingEngineText_(missingEngineText) {
  if (engine.Create != nullptr) handle_ = engine.Create(&TinetCore::DispatchEvent, this, 0);
}

TinetCore::~TinetCore() {
  if (handle_ != 0 && engine_->Destroy != nullptr) engine_->Destroy(handle_);
  handle_ = 0;
}

std::exception_ptr TinetCore::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(ENetEngine::CreateWithCode(code, text));
}

void TinetCore::ShowAboutBox() {
  if (engine_ == nullptr) {
    ShowOwnAboutBox();
    return;
  }
  CallEngine(netengine::kMethodAboutBox, {});
}

void TinetCore::RaiseEngineError(int code, std::string text) {
  if (text.empty() && handle_ != 0 && engine_->GetLastError != nullptr) {
    text = TextAt(reinterpret_cast<intptr_t>(engine_->GetLastError(handle_)));
  }
  std::rethrow_exception(CreateError(code, text));
}

void TinetCore::CallEngine(int method, const std::vector<std::string>& args) {
  if (handle_ == 0 || engine_->Do == nullptr) RaiseEngineError(kMissingEngine, missingEngineText_);
  std::vector<intptr_t> values;
  for (const std::string& a : args) values.push_back(reinterpret_cast<intptr_t>(a.c_str()));
  std::vector<int32_t> lengths(args.size(), 0);
  handlerError_ = nullptr;
  int result =
      engine_->Do(handle_, method, static_cast<int>(args.size()), values.data(), lengths.data());
  // A handler's exception was held back while the engine ran; it wins over the result.
  if (handlerError_) std::rethrow_exception(std::exchange(handlerError_, nullptr));
  if (result != 0) RaiseEngineError(result, "");
}

intptr_t TinetCore::GetRaw(int index, int32_t* length) const {
  if (handle_ == 0 || engine_->Get == nullptr) return 0;
  return engine_->Get(handle_, index, 0, length);
}

std::string TinetCore::GetText(int index) const { return TextAt(GetRaw(index, nullptr)); }

int TinetCore::GetNumber(int index) const { return static_cast<int>(GetRaw(index, nullptr)); }

void TinetCore::SetText(int index, const std::string& value) {
  SetNumber(index, reinterpret_cast<intptr_t>(value.c_str()));
}

void TinetCore::SetNumber(int index, intptr_t value) {
  // Without an engine object the values have nowhere to go; the first call reports the
  // missing engine.
  if (handle_ == 0 || engine_->Set == nullptr) return;
  int result = engine_->Set(handle_, index, 0, value, 0);
  if (result != 0) RaiseEngineError(result, "");
}

std::string TinetCore::TextAt(intptr_t value) {
  const char* p = reinterpret_cast<const char*>(value);
  return p != nullptr ? std::string(p) : std::string();
}

void TinetCore::Dispatch(int, int, intptr_t*, int32_t*) {}

int INET_STDCALL TinetCore::DispatchEvent(void* owner, int event, int count, intptr_t* values,
                                          int32_t* lengths) {
  auto* self = static_cast<TinetCore*>(owner);
  // Nothing may unwind into the engine: keep the first failure for after its call.
  if (self == nullptr || self->handlerError_) return 0;
  try {
    self->Dispatch(event, count, values, lengths);
  } catch (...) {
    self->handlerError_ = std::current_exception();
  }
  return 0;
}

// ShowOwnAboutBox: in the system half, inetcoreWin32.cpp or inetcorePosix.cpp.

int TinetCore::About() const {
  // The component's own reference, as the designer shows it; never needed at run time.
  return ComponentState().Contains(csDesigning)
             ? static_cast<int>(reinterpret_cast<intptr_t>(this) & 0x7FFFFFFF)
             : 0;
}

K_PUBLISH(TinetCore) { p.Prop("About", &TinetCore::About, &TinetCore::SetAbout); }
