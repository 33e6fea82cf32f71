#!/usr/bin/env bash
# Times `quillet-cli convert` of a 4000x3000 JPEG to BMP, TIFF and GIF against ImageMagick's
# `convert` and `vips copy` on the same file. Prints the best of N runs, wall and CPU time
# (user + system) in milliseconds. The picture is a photo-like plasma, fixed by its seed.
# Usage: bench/peers_cli.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
cli="$build/cli/quillet-cli"
dir=$(mktemp -d /tmp/quillet-peers-cli.XXXXXX)
trap 'rm -rf "$dir"' EXIT

convert -seed 7 -size 4000x3000 plasma:fractal -blur 0x1 -quality 90 "$dir/in.jpg"

best() {  # "wall cpu" of the run with the least wall time
  local best_wall="" best_cpu=""
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %U %S' -o "$dir/time.txt" "$@" >/dev/null 2>&1
    read -r wall cpu < <(awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' "$dir/time.txt")
    if [ -z "$best_wall" ] || [ "$wall" -lt "$best_wall" ]; then
      best_wall=$wall
      best_cpu=$cpu
    fi
  done
  echo "$best_wall $best_cpu"
}

printf '%-6s %-12s %10s %10s\n' to program "wall ms" "CPU ms"
for ext in bmp tif gif; do
  for program in quillet-cli convert vips; do
    case $program in
      quillet-cli) cmd=("$cli" convert "$dir/in.jpg" "$dir/q.$ext") ;;
      convert) cmd=(convert "$dir/in.jpg" "$dir/m.$ext") ;;
      vips) cmd=(vips copy "$dir/in.jpg" "$dir/v.$ext") ;;
    esac
    read -r wall cpu < <(best "${cmd[@]}")
    printf '%-6s %-12s %10s %10s\n' "$ext" "$program" "$wall" "$cpu"
  done
done
