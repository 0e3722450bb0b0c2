#!/usr/bin/env bash
# The skinned main window under 64-bit Wine: composing its frame image and copying it to the
# window at 1024 x 768 and maximized, and one resize step skinned against the same window with
# the skin switched off, and a full repaint of the window with all its controls skinned and not,
# all in one run (best and median of several batches).
#   bench/frame_paint.sh <win64 build tree> [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: $0 <win64 build tree> [repeats]}" && pwd)
skins="Z:${build//\//\\}\\skins\\folders"
KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/bench_frame_paint.exe" "$skins" \
  "${2:-7}"
