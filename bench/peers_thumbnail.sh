#!/usr/bin/env bash
# Times `quillet-cli thumbnail` of a 4000x3000 JPEG to a 256-pixel PNG against ImageMagick's
# `convert -thumbnail` and `vipsthumbnail` on the same file. Prints the best of N runs, wall and
# CPU time (user + system) in milliseconds. vipsthumbnail decodes the JPEG at a reduced scale;
# the others decode it whole.
# Usage: bench/peers_thumbnail.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
cli="$build/cli/quillet-cli"
dir=$(mktemp -d /tmp/quillet-peers-thumbnail.XXXXXX)
trap 'rm -rf "$dir"' EXIT

convert -seed 7 -size 4000x3000 plasma:fractal -blur 0x1 -quality 90 "$dir/in.jpg"
"$cli" convert "$dir/in.jpg" "$dir/in.vlr"

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

printf '%-5s %-14s %10s %10s\n' from program "wall ms" "CPU ms"
for program in quillet-cli convert vipsthumbnail; do
  case $program in
    quillet-cli) cmd=("$cli" thumbnail "$dir/in.jpg" "$dir/q.png" 256) ;;
    convert) cmd=(convert "$dir/in.jpg" -thumbnail 256x256 "$dir/m.png") ;;
    vipsthumbnail) cmd=(vipsthumbnail "$dir/in.jpg" -s 256 -o "$dir/v.png") ;;
  esac
  read -r wall cpu < <(best "${cmd[@]}")
  printf '%-5s %-14s %10s %10s\n' jpg "$program" "$wall" "$cpu"
done
read -r wall cpu < <(best "$cli" thumbnail "$dir/in.vlr" "$dir/qv.png" 256)
printf '%-5s %-14s %10s %10s\n' vlr quillet-cli "$wall" "$cpu"
