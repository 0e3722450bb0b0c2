#include "app/KestravaStartup.h"

#include "web/inetwebform.h"

TKestravaStartup::TKestravaStartup() {
  // The network engine is mapped before any window exists; when it cannot be, the windows
  // still come up and the version check reports it.
  BindWebFormEngine();
}

TKestravaStartup::~TKestravaStartup() {
  // After the forms, so no component is left calling into the unmapped engine.
  UnbindWebFormEngine();
}
