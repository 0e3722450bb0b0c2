// The editor model's host in benchmarks: a shown, focused 1280 x 800 window that draws
// nothing, so a benchmark measures the model alone.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/KedEditModel.h"

// With 8 x 16 pixel cells: about 155 columns and 50 rows.
class BenchHost : public IKedEditHost {
 public:
  bool HostHasWindow() override { return true; }
  bool HostShowing() override { return true; }
  bool HostFocused() override { return true; }
  int HostClientWidth() override { return 1280; }
  int HostClientHeight() override { return 800; }
  void HostInvalidate(const TRect&) override {}
  void HostRefreshScrollBars() override {}
  void HostPlaceCaret(int, int, bool) override {}
  bool HostCharTypes(std::string_view, std::vector<std::uint16_t>&) override { return false; }
};
