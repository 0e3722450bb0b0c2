#!/usr/bin/env bash
# Opens the generated 1 GB dump into the line list and counts its lines with `wc -l`,
# side by side on the same cached file; prints both times and their ratio (goal <= 2).
#   bench/open_vs_wc.sh <bench_editor_model binary>
set -euo pipefail

tool=${1:?usage: $0 <path to bench_editor_model>}
dump=${TMPDIR:-/tmp}/kestrava-bench/dump-1024mb.sql

# The benchmark generates the dump on its first run and opens it five times.
ours=$("$tool" --benchmark_filter='^BM_OpenDump/' --benchmark_format=csv 2>/dev/null |
  awk -F, '/^"BM_OpenDump\// { print $3 / 1000 }')

best_wc=999999
for _ in 1 2 3 4 5; do
  t0=$(date +%s.%N)
  wc -l "$dump" >/dev/null
  t1=$(date +%s.%N)
  t=$(echo "$t1 - $t0" | bc -l)
  if (( $(echo "$t < $best_wc" | bc -l) )); then best_wc=$t; fi
done

printf 'dump:     %s bytes, %s lines\n' "$(stat -c %s "$dump")" "$(wc -l <"$dump")"
printf 'ours:     %.3f s open into the line list (mean of 5)\n' "$ours"
printf 'wc -l:    %.3f s (best of 5)\n' "$best_wc"
printf 'ratio:    %.2f open / wc -l (goal <= 2)\n' "$(echo "$ours / $best_wc" | bc -l)"
