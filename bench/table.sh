#!/usr/bin/env bash
# Shared by the comparison scripts: the generated dump they work on, wall-clock timing of a
# command, the best and the median of a set of runs, and the table every script prints (work,
# ours, peer, ratio, goal).
# Sourced, not run.

# The generated dump of `bytes` bytes (default 1 GB) the scripts work on: sets $bench, the
# folder under $TMPDIR where it lies, and $dump, its path. With a kestrava_split binary as
# `generator` a missing dump is made; without one (the Windows scripts) the script ends,
# naming the one that makes it. Read once before the runs, so every run starts from a warm
# page cache.
bench_dump() {
  local bytes=${1:-1073741824} generator=${2:-}
  bench=${TMPDIR:-/tmp}/kestrava-bench
  dump=$bench/dump-$((bytes >> 20))mb.sql
  if [ ! -f "$dump" ] || [ "$(stat -c %s "$dump")" -ne "$bytes" ]; then
    if [ -z "$generator" ]; then
      echo "no dump of $bytes bytes at $dump: run bench/open_vs_wc.sh first" >&2
      exit 1
    fi
    mkdir -p "$bench"
    "$generator" generate "$dump" "$bytes"
  fi
  cat "$dump" >/dev/null
}

# Seconds the command takes from its start to its exit, whole process included.
wall() {
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null
  t1=$(date +%s%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", (b - a) / 1e9 }'
}

# Runs the benchmarks of program `binary` (in $dir) that match `filter`, $reps repetitions
# each, into $out/<file> as CSV; further arguments go to the program. A program that fails
# shows the end of its error output and ends the script, never an empty table.
run_benchmarks() {
  local binary=$1 filter=$2 file=$3
  shift 3
  if ! "$dir/$binary" --benchmark_filter="$filter" --benchmark_repetitions="$reps" \
    --benchmark_format=csv "$@" >"$out/$file" 2>"$out/$file.err"; then
    echo "$binary failed:" >&2
    tail -5 "$out/$file.err" >&2
    exit 1
  fi
}

# "best median" of the numbers given.
best_median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.9g %.9g\n", v[1], m }'
}

table_header() {
  printf '%s\n' "$1"
  printf '%-40s | %-22s | %-34s | %-16s | %s\n' work ours peer ratio goal
  printf '%s\n' "-----------------------------------------+------------------------+------------------------------------+------------------+-----"
}

# table_row <work> <ours best> <ours median> <peer name> <peer best> <peer median> <goal>
# Times in seconds, printed in seconds or, with TABLE_UNIT=ms, in milliseconds; the ratio is
# ours / peer, of the best runs and of the medians. A peer named "-" prints no peer and no
# ratio.
table_row() {
  local work=$1 ob=$2 om=$3 peer=$4 pb=$5 pm=$6 goal=$7
  local ours peers="-" ratio="-" unit=${TABLE_UNIT:-s} scale=1
  [ "$unit" = ms ] && scale=1000
  ours=$(awk -v b="$ob" -v m="$om" -v s="$scale" -v u="$unit" \
    'BEGIN { printf "%.3f %s (med %.3f)", b * s, u, m * s }')
  if [ "$peer" != "-" ]; then
    peers=$(awk -v n="$peer" -v b="$pb" -v m="$pm" -v s="$scale" -v u="$unit" \
      'BEGIN { printf "%s %.3f %s (med %.3f)", n, b * s, u, m * s }')
    ratio=$(awk -v a="$ob" -v b="$pb" -v c="$om" -v d="$pm" \
      'BEGIN { printf "%.2f (med %.2f)", a / b, c / d }')
  fi
  printf '%-40s | %-22s | %-34s | %-16s | %s\n' "$work" "$ours" "$peers" "$ratio" "$goal"
}

# bench_values <csv file> <name regex> <column>: the column's value in each repetition of the
# benchmarks whose name matches (aggregate rows left out). real_time and cpu_time come in
# seconds; counters as they are.
bench_values() {
  awk -F, -v pattern="$2" -v column="$3" '
    /^name,/ { for (i = 1; i <= NF; ++i) at[$i] = i; next }
    !at["name"] { next }
    {
      name = $1; gsub(/"/, "", name)
      if (name !~ pattern || name ~ /_(mean|median|stddev|cv)$/) next
      value = $at[column]
      if (column == "real_time" || column == "cpu_time") {
        unit = $at["time_unit"]
        value /= unit == "ns" ? 1e9 : unit == "us" ? 1e6 : unit == "ms" ? 1e3 : 1
      }
      print value
    }' "$1"
}
