// Painter services for tests: animations play at once, because time moves only by what
// the painter asks to wait.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/GIFPainter.h"

class TInstantServices : public TGIFPainterServices {
 public:
  uint32_t Now() override { return now_; }
  void Sleep(uint32_t ms) override { now_ += ms; }
  bool WaitForWake(TEvent&, uint32_t ms) override {
    now_ += ms;
    return false;
  }
  bool PumpMessages(const std::function<bool()>&) override { return true; }

 private:
  uint32_t now_ = 0;
};
