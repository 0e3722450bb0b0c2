#!/usr/bin/env bash
# A hover over the skinned main window's Open button under 64-bit Wine: the whole fade from
# the mouse's entry to the fade's end, the work of one frame, and the same change repainted
# at once without a fade (best and median of several hovers).
#   bench/button_hover.sh <win64 build tree> [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: $0 <win64 build tree> [repeats]}" && pwd)
skins="Z:${build//\//\\}\\skins\\folders"
KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/bench_button_hover.exe" "$skins" \
  "${2:-7}"
