#!/usr/bin/env bash
# Side by side: Quillet's GIF decode/encode (bench_gif) and ImageMagick's convert on the same
# 4000 × 3000 8-bit GIF. Usage: bench/peers_gif.sh [BUILD_DIR]
# The picture is made once with convert (a dithered 256-colour plasma; about a minute).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
data="$build/bench-data"
pic="$data/picture-4000x3000.gif"
mkdir -p "$data"
if [ ! -s "$pic" ]; then
  echo "making $pic"
  convert -size 4000x3000 -seed 42 plasma:fractal -colors 256 "$pic"
fi

echo "== Quillet (bench_gif, CPU column is the one to compare)"
QUILLET_BENCH_GIF="$pic" "$build/bench/bench_gif" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median|Benchmark'

# Best of three, CPU seconds (user + system) of the child process.
cpu() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys
best = None
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[1:], check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = t if best is None else min(best, t)
print(f"{best * 1000:.0f}")
PY
}

start=$(cpu convert -size 1x1 xc:white null:)
decode=$(cpu convert "$pic" null:)
both=$(cpu convert "$pic" "$data/convert-out.gif")
echo "== convert (best of 3, CPU ms)"
echo "start-up only:        $start"
echo "decode (incl. start): $decode"
echo "decode + encode:      $both"
echo "encode (difference):  $((both - decode))"
rm -f "$data/convert-out.gif"
