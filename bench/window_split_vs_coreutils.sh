#!/usr/bin/env bash
# The whole job in the real main window under 64-bit Wine against the whole of `split -C`
# on the same generated 1 GB dump: bench_window_split.exe opens the dump through the open
# button and splits it into pieces of 64 MB through the start button (CSV mode, a cut at any
# line, as split -C cuts). kestrava_split.exe does the same open and split without the window:
# the floor Wine itself sets. Runs alternate; the table gives the best and the median of N.
#   bench/window_split_vs_coreutils.sh <win64 build tree> [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

build=$(cd "${1:?usage: $0 <win64 build tree> [runs]}" && pwd)
runs=${2:-3}
bench_dump
work=$bench/window-split
fresh() { rm -rf "$work/$1" && mkdir -p "$work/$1"; }

ours=() opens=() engine=() peer=()
for _ in $(seq "$runs"); do
  fresh ours
  t0=$(date +%s%N)
  out=$(KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/bench_window_split.exe" \
    "Z:${dump//\//\\}" "Z:${work//\//\\}\\ours" 64)
  t1=$(date +%s%N)
  case "$out" in *"open "*) ;; *) echo "$out" >&2; exit 1 ;; esac
  # The window's own steps; Wine's start and the window's creation are left out.
  read -r open split < <(sed -n 's/.*open \([0-9.]*\) s, split \([0-9.]*\) s.*/\1 \2/p' <<<"$out")
  ours+=("$(awk -v a="$open" -v b="$split" 'BEGIN { print a + b }')")
  opens+=("$open")
  fresh engine
  out=$(KESTRAVA_BINARY_DIR=$build "$here/../scripts/wine-exec" "$build/kestrava_split.exe" split \
    "Z:${dump//\//\\}" "Z:${work//\//\\}\\engine" 67108864 csv)
  case "$out" in *"load "*) ;; *) echo "$out" >&2; exit 1 ;; esac
  engine+=("$(echo "$out" | sed -n 's/.*load \([0-9.]*\) s, split \([0-9.]*\) s.*/\1 \2/p' | awk '{ print $1 + $2 }')")
  fresh coreutils
  peer+=("$(wall split -C 67108864 "$dump" "$work/coreutils/piece_")")
done
pieces=$(ls "$work/ours" | wc -l)
read -r ob om < <(best_median "${ours[@]}")
read -r hb hm < <(best_median "${opens[@]}")
read -r eb em < <(best_median "${engine[@]}")
read -r pb pm < <(best_median "${peer[@]}")
table_header "1 GB dump, 64 MB pieces in the real window under 64-bit Wine ($pieces pieces); best of $runs runs (median)"
table_row "open + split in the window (Wine)" "$ob" "$om" "split -C" "$pb" "$pm" "<= 2"
table_row "  of which the open" "$hb" "$hm" "-" 0 0 "-"
table_row "the engine alone under Wine (no window)" "$eb" "$em" "split -C" "$pb" "$pm" "-"
rm -rf "$work"
