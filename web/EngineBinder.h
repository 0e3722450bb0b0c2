// Binds one front of the network engine: maps the engine image the program carries as the
// front's resource and fills the front's function table from its exports. Generic over the
// fronts of engine/EngineInterface.h (the web form now, the updater's HTTP front next).
#pragma once

#include "engine/EngineInterface.h"

class TEngineFront {
 public:
  // `functions` is the table the components call through; it outlives this object.
  TEngineFront(const netengine::FrontExports& exports, netengine::EngineFunctions& functions)
      : exports_(exports), functions_(functions) {}
  ~TEngineFront() { Unbind(); }
  TEngineFront(const TEngineFront&) = delete;
  TEngineFront& operator=(const TEngineFront&) = delete;

  // Maps the resource and binds every export, after unbinding an earlier image. Quiet on
  // failure: false, and each function that could not be bound stays nullptr (on platforms
  // without engine images nothing is bound).
  bool Bind();
  // Clears the table, then unmaps the image.
  void Unbind();

 private:
  const netengine::FrontExports& exports_;
  netengine::EngineFunctions& functions_;
  void* moduleBase_ = nullptr;
  void* entryPoint_ = nullptr;
};
