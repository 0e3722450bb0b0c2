#!/usr/bin/env bash
# The pixel and picture work against the libraries beside it, all linked into the benchmark
# programs: the skin engine's per-pixel alpha blend and fill of a 1024 x 768 bitmap against
# pixman's OVER and fill, the PNG reader decoding 2048 x 2048 files against libpng, and the
# GIF codec's LZW decoding and encoding of a 640 x 480 frame against giflib on the same bytes.
# Repetitions of the benchmarks on both sides are interleaved in random order, so load from
# elsewhere falls on both alike; each row is the best and the median real time of N of them.
# Pin it to one processor for steadier figures: taskset -c 2 bench/pixels_vs_peers.sh ...
#   bench/pixels_vs_peers.sh <bench folder of a build with benchmarks> [repetitions]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/table.sh"

dir=${1:?usage: $0 <bench folder of a build with benchmarks> [repetitions]}
reps=${2:-9}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

interleave=--benchmark_enable_random_interleaving=true
run_benchmarks bench_skin_core 'BM_BlendPerPixelAlpha_Ours|BM_BlendOver_Pixman|BM_Fill_' skin.csv "$interleave"
run_benchmarks bench_png 'BM_Large(Reader|Libpng)Decode/' png.csv "$interleave"
run_benchmarks bench_gif 'BM_Decode/|BM_DecodeGiflib/|BM_Encode/[01]/0|BM_EncodeGiflib/' gif.csv "$interleave"

row() {
  local file=$1 work=$2 ours=$3 peerName=$4 peer=$5 goal=$6 ob om pb pm oursRuns peerRuns
  oursRuns=$(bench_values "$out/$file" "$ours" real_time)
  peerRuns=$(bench_values "$out/$file" "$peer" real_time)
  # A build from before a benchmark existed prints the row without it.
  [ -n "$oursRuns" ] || { printf '%-40s | not in this build\n' "$work"; return; }
  read -r ob om < <(best_median $oursRuns)
  if [ -z "$peerRuns" ]; then
    table_row "$work" "$ob" "$om" - 0 0 "$goal"
    return
  fi
  read -r pb pm < <(best_median $peerRuns)
  table_row "$work" "$ob" "$om" "$peerName" "$pb" "$pm" "$goal"
}

export TABLE_UNIT=ms
table_header "Pixels and pictures; best of $reps interleaved repetitions (median), real time"
row skin.csv "alpha blend 1024 x 768, per-pixel alpha" '^BM_BlendPerPixelAlpha_Ours$' \
  "pixman OVER" '^BM_BlendOver_Pixman$' "<= 1.2"
row skin.csv "solid fill 1024 x 768" '^BM_Fill_Ours$' "pixman_fill" '^BM_Fill_Pixman$' "<= 1.2"
row png.csv "PNG read 2048 x 2048 RGB" '^BM_LargeReaderDecode/2$' \
  "libpng" '^BM_LargeLibpngDecode/2$' "<= 1.2"
row png.csv "PNG read 2048 x 2048 RGBA" '^BM_LargeReaderDecode/6$' \
  "libpng" '^BM_LargeLibpngDecode/6$' "-"
row png.csv "PNG read 2048 x 2048 palette" '^BM_LargeReaderDecode/3$' \
  "libpng" '^BM_LargeLibpngDecode/3$' "-"
row gif.csv "GIF LZW decode 640 x 480, runs" '^BM_Decode/0$' "giflib" '^BM_DecodeGiflib/0$' "-"
row gif.csv "GIF LZW decode 640 x 480, noise" '^BM_Decode/1$' "giflib" '^BM_DecodeGiflib/1$' "-"
row gif.csv "GIF LZW encode 640 x 480, runs" '^BM_Encode/0/0$' "giflib" '^BM_EncodeGiflib/0$' "-"
row gif.csv "GIF LZW encode 640 x 480, noise" '^BM_Encode/1/0$' "giflib" '^BM_EncodeGiflib/1$' "-"
