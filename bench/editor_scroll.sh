#!/usr/bin/env bash
# Scrolling the generated 1 GB dump in the real main window's editor under 64-bit Wine: 1000
# line-down and 100 page-down steps, each painted through, with the edit adapter painting the
# editor's border and bars, against the same window with the skin switched off, in one run
# (best and median of several batches, skinned and switched off alternating).
#   bench/editor_scroll.sh <win64 build tree> [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

build=$(cd "${1:?usage: $0 <win64 build tree> [repeats]}" && pwd)
bench_dump
skins="Z:${build//\//\\}\\skins\\folders"
KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/bench_editor_scroll.exe" \
  "Z:${dump//\//\\}" "$skins" "${2:-5}"
