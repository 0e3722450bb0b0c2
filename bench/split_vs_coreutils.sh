#!/usr/bin/env bash
# Splits the same generated 1 GB dump with our split engine and with `split -C`
# and prints both times and their ratio. Goal: ours within 1.5x. Ours runs twice: loading
# the lines first as the window does, and streaming them from a mapping of the file.
#   bench/split_vs_coreutils.sh <kestrava_split binary> [bytes] [piece bytes]
set -euo pipefail

tool=${1:?usage: $0 <path to kestrava_split> [bytes] [piece bytes]}
bytes=${2:-1073741824}
piece=${3:-67108864}
work=${TMPDIR:-/tmp}/kestrava-split-vs-coreutils
dump=$work/dump.sql

mkdir -p "$work"
if [ ! -f "$dump" ] || [ "$(stat -c %s "$dump")" -ne "$bytes" ]; then
  "$tool" generate "$dump" "$bytes"
fi
cat "$dump" > /dev/null  # both runs start from a warm page cache

now() { date +%s.%N; }

# Prints "<total seconds> <split-phase seconds>"; the program loads the whole dump
# first (as the window does) and reports both phases.
run_ours() {
  rm -rf "$work/ours" && mkdir -p "$work/ours"
  local t0 t1 out
  t0=$(now)
  out=$("$tool" "$1" "$dump" "$work/ours" "$piece" csv)
  t1=$(now)
  echo "$(echo "$t1 - $t0" | bc -l) $(echo "$out" | sed -n 's/.*split \([0-9.]*\) s.*/\1/p')"
}

run_split() {
  rm -rf "$work/coreutils" && mkdir -p "$work/coreutils"
  local t0 t1
  t0=$(now)
  split -C "$piece" "$dump" "$work/coreutils/piece_"
  t1=$(now)
  echo "$t1 - $t0" | bc -l
}

# Best of three for each, alternating, so neither profits from the other's cache.
best_ours=999999
best_phase=999999
best_stream=999999
best_split=999999
for _ in 1 2 3; do
  read -r t p < <(run_ours split)
  if (( $(echo "$t < $best_ours" | bc -l) )); then best_ours=$t; fi
  if (( $(echo "$p < $best_phase" | bc -l) )); then best_phase=$p; fi
  read -r t p < <(run_ours stream)
  if (( $(echo "$t < $best_stream" | bc -l) )); then best_stream=$t; fi
  t=$(run_split); if (( $(echo "$t < $best_split" | bc -l) )); then best_split=$t; fi
done

ours_total=$(cat "$work"/ours/* | wc -c)
split_total=$(cat "$work"/coreutils/* | wc -c)
printf 'dump:        %s bytes, pieces of at most %s bytes\n' "$bytes" "$piece"
printf 'ours:        %.3f s load + split (%s pieces, %s bytes)\n' "$best_ours" "$(ls "$work/ours" | wc -l)" "$ours_total"
printf '  split:     %.3f s of it (the engine over the loaded lines)\n' "$best_phase"
printf 'streamed:    %.3f s split straight from a mapping of the dump\n' "$best_stream"
printf 'split -C:    %.3f s (%s pieces, %s bytes)\n' "$best_split" "$(ls "$work/coreutils" | wc -l)" "$split_total"
printf 'ratio:       %.2f engine / split -C (goal <= 1.5)\n' "$(echo "$best_phase / $best_split" | bc -l)"
printf 'ratio:       %.2f load and engine / split -C\n' "$(echo "$best_ours / $best_split" | bc -l)"
printf 'ratio:       %.2f streamed / split -C\n' "$(echo "$best_stream / $best_split" | bc -l)"
rm -rf "$work/ours" "$work/coreutils"
