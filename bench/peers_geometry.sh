#!/usr/bin/env bash
# Flips, quarter turns and resampling of a 4000x3000 picture by `quillet-cli apply`, vips and
# ImageMagick. Each tool reads and writes its quickest format (BMP for quillet-cli, .v for vips,
# .mpc for ImageMagick), and the same copy without the operation is timed too: the difference is
# what the operation costs. Prints the best of N runs, wall and CPU time (user + system) in ms.
# Usage: bench/peers_geometry.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
cli="$build/cli/quillet-cli"
dir=$(mktemp -d /tmp/quillet-peers-geometry.XXXXXX)
trap 'rm -rf "$dir"' EXIT

convert -seed 7 -size 4000x3000 plasma:fractal -depth 8 -type TrueColor "BMP3:$dir/in.bmp"
vips copy "$dir/in.bmp" "$dir/in.v"
convert "$dir/in.bmp" "$dir/in.mpc"

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

have_apply=1
"$cli" apply --list >/dev/null 2>&1 || have_apply=0

printf '%-14s %-12s %10s %10s\n' operation program "wall ms" "CPU ms"
row() {  # operation program command...
  local op=$1 program=$2
  shift 2
  read -r wall cpu < <(best "$@")
  printf '%-14s %-12s %10s %10s\n' "$op" "$program" "$wall" "$cpu"
}

row copy quillet-cli "$cli" convert "$dir/in.bmp" "$dir/q.bmp"
row copy vips vips copy "$dir/in.v" "$dir/v.v"
row copy convert convert "$dir/in.mpc" "$dir/m.mpc"
for op in rotate-90 flip-h resize-half resize-double; do
  case $op in
    rotate-90)
      q=(rotate degrees=90); v=(rot "$dir/in.v" "$dir/v.v" d90); m=(-rotate 90) ;;
    flip-h)
      q=(flip-horizontal); v=(flip "$dir/in.v" "$dir/v.v" horizontal); m=(-flop) ;;
    resize-half)
      q=(resize width=2000 height=1500); v=(resize "$dir/in.v" "$dir/v.v" 0.5)
      m=(-filter box -resize 2000x1500) ;;
    resize-double)
      q=(resize width=8000 height=6000); v=(resize "$dir/in.v" "$dir/v.v" 2 --kernel linear)
      m=(-filter triangle -resize 8000x6000) ;;
  esac
  if [ "$have_apply" = 1 ]; then
    row "$op" quillet-cli "$cli" apply "$dir/in.bmp" "$dir/q.bmp" "${q[@]}"
  fi
  row "$op" vips vips "${v[@]}"
  row "$op" convert convert "$dir/in.mpc" "${m[@]}" "$dir/m.mpc"
done
