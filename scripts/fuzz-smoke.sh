#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a few seconds on its
# seeds. Usage: scripts/fuzz-smoke.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${2:-${QUILLET_FUZZ_SECONDS:-5}}

mkdir -p "$build"
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUILLET_FUZZ=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build "$build" --target fuzzers; } \
     > "$build/build.log" 2>&1; then
  echo "FAILED: building the fuzz targets"; grep -E 'error|FAILED' "$build/build.log" | head -20
  exit 1
fi

status=0
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  dirs=("$corpus")
  [ -d "$root/tests/fuzz/seeds/$name" ] && dirs+=("$root/tests/fuzz/seeds/$name")
  echo "== $name: ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/$name-" "${dirs[@]}" > "$build/$name.log" 2>&1; then
    echo "FAILED: $name"; tail -40 "$build/$name.log"; status=1
  else
    grep -E 'stat::number_of_executed_units' "$build/$name.log" || true
  fi
done
exit $status
