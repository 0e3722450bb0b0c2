// Base of the network components and their exception class. The engine they drive is
// described in engine/EngineInterface.h and bound by web/EngineBinder.h.
#pragma once

#include <exception>
#include <string>

#include "engine/EngineInterface.h"
#include "framework/Component.h"
#include "framework/SysUtils.h"

#define INET_STDCALL ENGINE_STDCALL

// A failure reported by a network engine: its code and text. The message reads
// "<code>: <text>".
class ENetEngine : public Exception {
 public:
  ENetEngine(int code, const std::string& text);
  static ENetEngine CreateWithCode(int code, const std::string& text) { return {code, text}; }
  int Code() const { return code_; }

 private:
  int code_;
};

class TinetCore : public TComponent {
  K_CLASS_PUBLISHED(TinetCore, TComponent)  // About

  explicit TinetCore(TComponent* owner);

  // The exception for an engine failure; each component returns its own class.
  virtual std::exception_ptr CreateError(int code, const std::string& text);
  // The engine's banner; components ask their engine.
  virtual void ShowAboutBox();

  // Non-zero only while the component is being designed; writing has no effect.
  int About() const;
  void SetAbout(int) {}
};
