#!/usr/bin/env bash
# The whole job against the whole of `split -C` on the same generated dump: our program opens
# the dump into the line list as the window does and splits it into pieces of at most
# [piece bytes]; a second run streams the lines from the file without the list. Every figure
# is a whole process timed from outside, runs alternate so none profits from the others'
# cache, and the table gives the best and the median of N runs of each.
#   bench/split_vs_coreutils.sh <kestrava_split binary> [bytes] [piece bytes] [runs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

tool=${1:?usage: $0 <path to kestrava_split> [bytes] [piece bytes] [runs]}
bytes=${2:-1073741824}
piece=${3:-67108864}
runs=${4:-5}
bench_dump "$bytes" "$tool"
work=$bench/split-vs-coreutils

fresh() { rm -rf "$work/$1" && mkdir -p "$work/$1"; }

whole=() streamed=() peer=() phase=()
for _ in $(seq "$runs"); do
  fresh ours
  whole+=("$(wall "$tool" split "$dump" "$work/ours" "$piece" csv)")
  # The program's own account of its split phase, for the record (not a ratio).
  fresh ours
  phase+=("$("$tool" split "$dump" "$work/ours" "$piece" csv | sed -n 's/.*split \([0-9.]*\) s.*/\1/p')")
  fresh stream
  streamed+=("$(wall "$tool" stream "$dump" "$work/stream" "$piece" csv)")
  fresh coreutils
  peer+=("$(wall split -C "$piece" "$dump" "$work/coreutils/piece_")")
done

ours_bytes=$(cat "$work"/ours/* | wc -c)
peer_bytes=$(cat "$work"/coreutils/* | wc -c)
read -r wb wm < <(best_median "${whole[@]}")
read -r sb sm < <(best_median "${streamed[@]}")
read -r pb pm < <(best_median "${peer[@]}")
read -r hb hm < <(best_median "${phase[@]}")

table_header "dump: $bytes bytes into pieces of at most $piece bytes; ours $(ls "$work/ours" | wc -l) pieces ($ours_bytes bytes, CR LF breaks), split -C $(ls "$work/coreutils" | wc -l) pieces ($peer_bytes bytes); best of $runs runs (median)"
table_row "open + split (whole job, as the window)" "$wb" "$wm" "split -C" "$pb" "$pm" "<= 1.5"
table_row "streamed split (whole job, no line list)" "$sb" "$sm" "split -C" "$pb" "$pm" "<= 1.5"
table_row "  of which the split phase alone" "$hb" "$hm" "-" 0 0 "-"
rm -rf "$work"
