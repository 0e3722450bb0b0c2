// Scroll bars for the geometry and painting tests: a bar of a kind with its scroll information.
#pragma once

#include <cstdint>

#include "skin/adapters/skScrollBar.h"

namespace scrolltest {

// kind: 0 horizontal, 1 vertical.
inline TskScrollBar Bar(int kind, int nMin, int nMax, unsigned nPage, int nPos) {
  TskScrollBar bar;
  bar.Kind = kind == 1 ? TScrollBarKind::Vertical : TScrollBarKind::Horizontal;
  bar.Info.nMin = nMin;
  bar.Info.nMax = nMax;
  bar.Info.nPage = nPage;
  bar.Info.nPos = nPos;
  return bar;
}

}  // namespace scrolltest
