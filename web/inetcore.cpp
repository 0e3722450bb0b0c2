#include "web/inetcore.h"

#include "framework/TypInfo.h"

ENetEngine::ENetEngine(int code, const std::string& text)
    : Exception(std::to_string(code) + ": " + text), code_(code) {}

TinetCore::TinetCore(TComponent* owner) : TComponent(owner) {}

std::exception_ptr TinetCore::CreateError(int code, const std::string& text) {
  return std::make_exception_ptr(ENetEngine::CreateWithCode(code, text));
}

// ShowAboutBox: in the system half, inetcoreWin32.cpp or inetcorePosix.cpp.

int TinetCore::About() const {
  // The component's own reference, as the designer shows it; never needed at run time.
  return ComponentState().Contains(csDesigning)
             ? static_cast<int>(reinterpret_cast<intptr_t>(this) & 0x7FFFFFFF)
             : 0;
}

K_PUBLISH(TinetCore) { p.Prop("About", &TinetCore::About, &TinetCore::SetAbout); }
