#!/usr/bin/env bash
# Fill and gradient as whole commands beside ImageMagick on the same 4000 × 3000 picture: a
# flood of the whole picture (one colour with fine grain), and a two-colour ramp. Every command
# reads a BMP and writes a BMP, so each time includes the reading and writing; the plain copies
# give those alone.
# Usage: bench/peers_fill.sh [QUILLET_CLI] [WIDTH HEIGHT]   (needs imagemagick)
set -euo pipefail
cli=${1:-build/cli/quillet-cli}
W=${2:-4000}
H=${3:-3000}
dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-peers.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export MAGICK_THREAD_LIMIT=${MAGICK_THREAD_LIMIT:-2}

# Mid grey with a little noise: a tolerance of 60 (ImageMagick: a fuzz of 10 %) takes it all.
convert -size "${W}x${H}" xc:gray50 -seed 3 -attenuate 0.2 +noise Uniform -type TrueColor \
  "$dir/flat.bmp"
cx=$((W / 2))
cy=$((H / 2))

t() {  # label, command...
  local label=$1; shift
  local best=999999 s e ms
  for _ in 1 2 3; do
    s=$(date +%s%N)
    "$@" >/dev/null 2>&1
    e=$(date +%s%N)
    ms=$(((e - s) / 1000000))
    ((ms < best)) && best=$ms
  done
  printf '%-58s %6d ms\n' "$label" "$best"
}
q() { "$cli" apply "$dir/flat.bmp" "$dir/q.bmp" "$@"; }
m() { convert "$dir/flat.bmp" "$@" "$dir/m.bmp"; }

echo "${W}x${H}, best of 3 (load: $(cut -d' ' -f1-3 /proc/loadavg))"
t "quillet-cli convert (read and write only)" "$cli" convert "$dir/flat.bmp" "$dir/q.bmp"
t "ImageMagick (read and write only)" m
echo "-- flood fill of the whole picture"
t "quillet fill tolerance=60" q fill x=$cx y=$cy colour=FF0000 tolerance=60
t "ImageMagick -fuzz 10% -draw 'color X,Y floodfill'" m -fuzz 10% -fill red -draw "color $cx,$cy floodfill"
echo "-- two-colour ramp over the picture"
t "quillet gradient (vertical, fg)" q gradient x1=0 y1=$((H - 1)) x2=0 y2=0 fg=FF0000
t "quillet gradient (sloped, fg-bg)" q gradient x1=0 y1=0 x2=$((W - 1)) y2=$((H - 1)) colours=fg-bg fg=FF0000 bg=0000FF
t "ImageMagick gradient:red-blue" convert -size "${W}x${H}" gradient:red-blue -type TrueColor "$dir/m.bmp"
t "ImageMagick -sparse-color barycentric (sloped)" m -sparse-color barycentric "0,0 red $((W - 1)),$((H - 1)) blue"
