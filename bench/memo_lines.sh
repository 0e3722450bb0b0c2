#!/usr/bin/env bash
# Lines added one by one to a log pane under 64-bit Wine: appending at the end against
# inserting after the last line counted, for growing batches (best of several runs).
#   bench/memo_lines.sh <win64 build tree> [repeats]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: $0 <win64 build tree> [repeats]}" && pwd)
KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/bench_memo_lines.exe" "${2:-3}"
