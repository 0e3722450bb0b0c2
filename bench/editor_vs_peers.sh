#!/usr/bin/env bash
# The editor on the generated 1 GB dump against the floors and tools beside it: the jump to
# the last screen against one memchr pass over the loaded text, the find pass against
# `grep -c -i -F` (real time of both), select-all + delete and its undo against their goal,
# and the single edits in the last line. Each row is the best and the median of N
# repetitions of the benchmark.
#   bench/editor_vs_peers.sh <bench folder of a build with benchmarks> [repetitions]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

dir=${1:?usage: $0 <bench folder of a build with benchmarks> [repetitions]}
reps=${2:-3}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run_benchmarks bench_editor_model 'BM_DumpStages/stage:2/|BM_MemchrPass' model.csv
# Select-all + delete first in a process of its own: its peak memory is then its own.
run_benchmarks bench_editor_editing 'BM_SelectAllDeleteAndUndo' delete.csv
run_benchmarks bench_editor_editing 'BM_FindOverDump|BM_GrepCountOverDump' find.csv
run_benchmarks bench_editor_editing 'Keystroke|JoinLastTwo' edits.csv

stat_of() { best_median $(bench_values "$out/$1" "$2" "$3"); }

table_header "1 GB generated dump; best of $reps repetitions (median)"
read -r ob om < <(stat_of model.csv 'BM_DumpStages/stage:2/' real_time)
read -r pb pm < <(stat_of model.csv 'BM_MemchrPass' real_time)
table_row "jump to the last screen and paint it" "$ob" "$om" "memchr pass" "$pb" "$pm" "-"
for pattern in 0 1; do
  label=$([ $pattern = 0 ] && echo "ENGINE=InnoDB" || echo "InnoDB")
  read -r ob om < <(stat_of find.csv "BM_FindOverDump/$pattern/" real_time)
  read -r pb pm < <(stat_of find.csv "BM_GrepCountOverDump/$pattern/" real_time)
  table_row "find all \"$label\", no case" "$ob" "$om" "grep -c -i -F" "$pb" "$pm" "-"
done
read -r ob om < <(best_median $(bench_values "$out/delete.csv" 'BM_SelectAll' delete_ms | awk '{ print $1 / 1000 }'))
table_row "select all + delete" "$ob" "$om" "-" 0 0 "<= 3 s"
read -r ob om < <(best_median $(bench_values "$out/delete.csv" 'BM_SelectAll' undo_ms | awk '{ print $1 / 1000 }'))
table_row "  its undo" "$ob" "$om" "-" 0 0 "<= 3 s"
before=$(bench_values "$out/delete.csv" 'BM_SelectAll' before_mb | head -1)
peak=$(bench_values "$out/delete.csv" 'BM_SelectAll' peak_mb | sort -g | tail -1)
printf '%-40s | %-22s | %-34s | %-16s | %s\n' "  memory on top of the open dump" \
  "$(awk -v a="$before" -v b="$peak" 'BEGIN { printf "%.0f MB peak", b - a }')" "-" "-" \
  "<= 1024 MB"
for name in KeystrokeInLastLine UndoKeystrokeInLastLine JoinLastTwoLines; do
  read -r ob om < <(stat_of edits.csv "BM_$name" per_edit)
  printf '%-40s | %-22s | %-34s | %-16s | %s\n' "one edit: $name" \
    "$(awk -v b="$ob" -v m="$om" 'BEGIN { printf "%.1f us (med %.1f)", b * 1e6, m * 1e6 }')" \
    "-" "-" "-"
done
