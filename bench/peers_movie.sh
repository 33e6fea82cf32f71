#!/usr/bin/env bash
# Times `quillet-cli movie` making an image show at 1366x768 (three JPEG pictures, each held one
# second, joined by fades: 294 frames) against `ffmpeg -c:v mpeg4` encoding the same frames from
# raw 24-bit pictures with the same settings (every frame a key frame, quantiser 3, XVID tag,
# AVI). The raw frames are the show's own, composed by the same routines and written before
# timing. Prints the best of N runs, wall and CPU time (user + system) in milliseconds, and
# frames per CPU second.
# Usage: bench/peers_movie.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
cli="$build/cli/quillet-cli"
dir=$(mktemp -d /tmp/quillet-peers-movie.XXXXXX)
trap 'rm -rf "$dir"' EXIT

for i in 1 2 3; do
  convert -seed "$i" -size 1366x768 plasma:fractal -blur 0x1 -quality 92 "$dir/p$i.jpg"
done
show=("$cli" movie "$dir/show.avi" --size 1366x768 --seconds 1 "$dir/p1.jpg" "$dir/p2.jpg"
      "$dir/p3.jpg")
"${show[@]}"
frames=$(ffprobe -v error -select_streams v -show_entries stream=nb_frames -of csv=p=0 \
         "$dir/show.avi")
"$build/bench/movie_raw_frames" "$dir/frames.raw" 1366 768 30 "$dir/p1.jpg" "$dir/p2.jpg" \
  "$dir/p3.jpg"
plain=(ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s 1366x768 -r 30000/1001
       -i "$dir/frames.raw" -c:v mpeg4 -g 1 -q:v 3 -vtag XVID "$dir/plain.avi")

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

printf '%-28s %10s %10s %12s\n' "program ($frames frames)" "wall ms" "CPU ms" "frames/CPU s"
for program in quillet-cli ffmpeg; do
  case $program in
    quillet-cli) read -r wall cpu < <(best "${show[@]}") ;;
    ffmpeg) read -r wall cpu < <(best "${plain[@]}") ;;
  esac
  printf '%-28s %10s %10s %12s\n' "$program" "$wall" "$cpu" "$((frames * 1000 / (cpu > 0 ? cpu : 1)))"
done
