#!/usr/bin/env bash
# Times the peers on the files bench_codecs decodes and encodes: libjpeg-turbo's djpeg/cjpeg
# (same settings as Quillet's JPEG writer: quality 90, baseline tables, progressive, 1x1)
# and ImageMagick's convert reading each file. Prints the best of N runs in milliseconds of
# CPU time (user + system: wall time means little on a shared machine), next to
# bench_codecs' own CPU figures.
# Usage: bench/peers_codecs.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
dir=$(mktemp -d /tmp/quillet-peers.XXXXXX)
trap 'rm -rf "$dir"' EXIT

echo "== Quillet (bench_codecs, files kept in $dir)"
QUILLET_BENCH_FILES=$dir "$build/bench/bench_codecs" --benchmark_min_time=1 2>/dev/null |
  awk '/^BM_/ {printf "%-26s %8.1f ms CPU (%.1f ms wall)\n", $1, $4, $2}'

best() {  # least CPU time (user + system) of $runs runs of the command, in ms
  local best_ms=""
  for _ in $(seq "$runs"); do
    local ms
    /usr/bin/time -f '%U %S' -o "$dir/time.txt" "$@" >/dev/null 2>&1
    ms=$(awk '{printf "%d", ($1 + $2) * 1000}' "$dir/time.txt")
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
  done
  echo "$best_ms"
}

echo "== Peers (best of $runs)"
printf '%-26s %8s ms\n' "djpeg decode" "$(best djpeg -outfile /dev/null "$dir/picture.jpg")"
printf '%-26s %8s ms\n' "cjpeg encode" \
  "$(best cjpeg -quality 90 -baseline -progressive -sample 1x1 -outfile /dev/null "$dir/picture.ppm")"
for f in picture.bmp picture.jpg picture.tif lzw.tif grey.tif picture.pcx picture.psd; do
  printf '%-26s %8s ms\n' "convert read $f" "$(best convert "$dir/$f" null:)"
done
