#!/usr/bin/env bash
# Opens the generated 1 GB dump into the line list and counts its lines with `wc -l`, side by
# side on the same cached file, alternating, each as a whole process timed from outside, so
# both figures count the same things. Prints the best and the median of N runs of each.
#   bench/open_vs_wc.sh <kestrava_split binary> [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

tool=${1:?usage: $0 <path to kestrava_split> [runs]}
runs=${2:-7}
bench_dump 1073741824 "$tool"

ours=() peer=()
for _ in $(seq "$runs"); do
  ours+=("$(wall "$tool" open "$dump")")
  peer+=("$(wall wc -l "$dump")")
done
read -r ob om < <(best_median "${ours[@]}")
read -r pb pm < <(best_median "${peer[@]}")

table_header "dump: $(stat -c %s "$dump") bytes, $("$tool" open "$dump"); best of $runs runs (median)"
table_row "open 1 GB into the line list" "$ob" "$om" "wc -l" "$pb" "$pm" "<= 1.5"
