// An owner of skin data that is only a few values: enough for tests that paint or glow a
// skin data without a control behind it. Tests set the fields they need.
#pragma once

#include <cstdint>
#include <string>

#include "skin/core/painting/sCommonData.h"

struct TFakeSkinDataHost : ISkinDataHost {
  bool control = true;  // false: a window adapter rather than a control
  TColor color = clBtnFace;
  TColor fontColor = clWindowText;
  TRect bounds{};

  bool IsControl() const override { return control; }
  bool IsWindowed() const override { return true; }
  bool IsDestroying() const override { return false; }
  bool IsLoading() const override { return false; }
  bool IsEnabled() const override { return true; }
  std::string ClassName() const override { return "TFakeSkinDataHost"; }
  ISkinDataHost* Parent() const override { return nullptr; }
  TColor Color() const override { return color; }
  void SetColor(TColor value) override { color = value; }
  TColor FontColor() const override { return fontColor; }
  void SetFontColor(TColor value) override { fontColor = value; }
  intptr_t SkinCmd(int, int, intptr_t) override { return 0; }
  void Redraw() override {}
  TRect BoundsRect() const override { return bounds; }
};
