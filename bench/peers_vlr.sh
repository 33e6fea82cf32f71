#!/usr/bin/env bash
# Opening and saving a layered document (ten 4000 × 3000 layers) against other tools handling
# the same planes: vips reading and copying its own `.v` format of them (one five-band image,
# the layers one under the other), and plain reads and writes of the VLR file's bytes (cat; dd
# with the same fsync as the atomic save). Prints the best of N runs: wall and CPU time (user
# + system) in milliseconds and the peak memory in MiB.
# Usage: bench/peers_vlr.sh [BUILD_DIR] [RUNS] [WIDTH HEIGHT LAYERS]  (needs libvips-tools)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
W=${3:-4000}
H=${4:-3000}
N=${5:-10}
cli="$build/cli/quillet-cli"
dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-peers-vlr.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export VIPS_CONCURRENCY=${VIPS_CONCURRENCY:-2}

"$build/bench/make_layers" "$dir/doc.vlr" "$dir/layers.raw" "$W" "$H" "$N"
vips rawload "$dir/layers.raw" "$dir/layers.v" "$W" $((H * N)) 5
rm "$dir/layers.raw"

best() {  # "wall cpu peak" of the run with the least CPU time
  local best_cpu="" best_wall="" best_peak=""
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %U %S %M' -o "$dir/time.txt" "$@" >/dev/null 2>&1
    read -r wall cpu peak < <(awk '{printf "%d %d %d\n", $1 * 1000, ($2 + $3) * 1000, $4 / 1024}' \
      "$dir/time.txt")
    if [ -z "$best_cpu" ] || [ "$cpu" -lt "$best_cpu" ]; then
      best_cpu=$cpu best_wall=$wall best_peak=$peak
    fi
  done
  echo "$best_wall $best_cpu $best_peak"
}

row() {  # label, command...
  local label=$1; shift
  read -r wall cpu peak < <(best "$@")
  printf '%-44s %9s %9s %9s\n' "$label" "$wall" "$cpu" "$peak"
}

echo "$N layers of ${W}x${H}; VLR file $(($(stat -c %s "$dir/doc.vlr") >> 20)) MiB"
printf '%-44s %9s %9s %9s\n' work "wall ms" "CPU ms" "MiB"
row "quillet-cli info (opens every layer)" "$cli" info "$dir/doc.vlr" --max-pixels 268435456
row "vips avg of the .v (reads every pixel)" vips avg "$dir/layers.v"
row "cat of the VLR file" cat "$dir/doc.vlr"
row "quillet-cli convert VLR -> VLR" "$cli" convert "$dir/doc.vlr" "$dir/out.vlr" \
  --max-pixels 268435456
row "vips copy .v -> .v" vips copy "$dir/layers.v" "$dir/copy.v"
row "dd of the VLR file, fsync at the end" \
  dd if="$dir/doc.vlr" of="$dir/dd.vlr" bs=1M conv=fsync status=none
