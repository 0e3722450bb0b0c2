// Base of the network components and their exception class. The engine they drive is
// described in engine/EngineInterface.h and bound by web/EngineBinder.h.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

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

// What every network component shares: its one object in its engine, the calls into the
// engine, the engine's errors, and the rule that no exception of an event handler unwinds
// into the engine. Each component adds its properties, methods and events.
class TinetCore : public TComponent {
  K_CLASS_PUBLISHED(TinetCore, TComponent)  // About

  // A component without an engine (the designer's placeholder).
  explicit TinetCore(TComponent* owner);
  ~TinetCore() override;

  // The exception for an engine failure; each component returns its own class.
  virtual std::exception_ptr CreateError(int code, const std::string& text);
  // The engine's banner; without an engine the components' own.
  virtual void ShowAboutBox();
  // Raises the component's exception for `code`; an empty `text` is filled from the
  // engine's last error.
  [[noreturn]] void RaiseEngineError(int code, std::string text);

  // Non-zero only while the component is being designed; writing has no effect.
  int About() const;
  void SetAbout(int) {}

  // The component's object in its engine; 0 when the engine is not bound.
  int Handle() const { return handle_; }

 protected:
  // Creates the component's object in `engine`, which outlives it. Without a bound engine
  // the component is still created; its first call then reports `missingEngineText`.
  TinetCore(TComponent* owner, const netengine::EngineFunctions& engine,
            const char* missingEngineText);

  // Calls engine method `method` with text arguments; raises on a failure or on the first
  // exception an event handler threw meanwhile.
  void CallEngine(int method, const std::vector<std::string>& args);
  std::string GetText(int index) const;
  void SetText(int index, const std::string& value);
  int GetNumber(int index) const;
  void SetNumber(int index, intptr_t value);
  // A property's raw value with its length (for values that may hold zero bytes).
  intptr_t GetRaw(int index, int32_t* length) const;
  // Runs `assign` and drops an engine refusal: defaults are set one by one so that one
  // refused value does not stop the others.
  template <class Assign>
  static void SetDefault(Assign&& assign) {
    try {
      assign();
    } catch (const Exception&) {
    }
  }
  static std::string TextAt(intptr_t value);

  // One engine event; called with nothing that may unwind into the engine.
  virtual void Dispatch(int event, int count, intptr_t* values, int32_t* lengths);

 private:
  static void ShowOwnAboutBox();
  static int INET_STDCALL DispatchEvent(void* owner, int event, int count, intptr_t* values,
                                        int32_t* lengths);

  const netengine::EngineFunctions* engine_ = nullptr;
  const char* missingEngineText_ = "";
  int handle_ = 0;
  std::exception_ptr handlerError_;  // first exception of a handler during an engine call
};
