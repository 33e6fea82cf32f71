#!/usr/bin/env bash
# The colour adjustments and filters of bench_adjust and bench_filters as whole commands, beside
# ImageMagick and vips doing the nearest work on the same 4000 × 3000 picture. Every command
# reads a BMP and writes a BMP (vips its own .v format, which it reads and writes fastest), so
# each time includes the reading and writing; the plain copies give those alone.
# Usage: bench/peers_effects.sh [QUILLET_CLI] [WIDTH HEIGHT]   (needs imagemagick, libvips-tools)
set -euo pipefail
cli=${1:-build/cli/quillet-cli}
W=${2:-4000}
H=${3:-3000}
dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-peers.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export VIPS_CONCURRENCY=${VIPS_CONCURRENCY:-2} MAGICK_THREAD_LIMIT=${MAGICK_THREAD_LIMIT:-2}

convert -size "${W}x${H}" plasma:fractal -seed 7 -type TrueColor "$dir/in.bmp" 2>/dev/null ||
  convert -size "${W}x${H}" plasma: -type TrueColor "$dir/in.bmp"
vips copy "$dir/in.bmp" "$dir/in.v"
# A 3 × 3 sharpening matrix for vips conv, the same as "강조" (centre 15, the rest −1, over 7).
printf '3 3 7 0\n-1 -1 -1\n-1 15 -1\n-1 -1 -1\n' >"$dir/sharpen.mat"
printf '3 3 1 0\n-1 -1 -1\n-1 8 -1\n-1 -1 -1\n' >"$dir/edges.mat"

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
q() { "$cli" apply "$dir/in.bmp" "$dir/q.bmp" "$@"; }
m() { convert "$dir/in.bmp" "$@" "$dir/m.bmp"; }

echo "${W}x${H}, best of 3 (load: $(cut -d' ' -f1-3 /proc/loadavg))"
t "quillet-cli convert (read and write only)" "$cli" convert "$dir/in.bmp" "$dir/q.bmp"
t "ImageMagick (read and write only)" m
t "vips copy .v (read and write only)" vips copy "$dir/in.v" "$dir/v.v"
echo "-- colour adjustments"
t "quillet brightness-contrast 20 30" q brightness-contrast brightness=20 contrast=30
t "ImageMagick -brightness-contrast 8x12" m -brightness-contrast 8x12
t "vips linear 1.12 4" vips linear "$dir/in.v" "$dir/v.v" 1.12 4
t "quillet levels 30..220" q levels black=30 white=220
t "ImageMagick -level 12%,86%" m -level 12%,86%
t "quillet invert" q invert
t "ImageMagick -negate" m -negate
t "vips invert" vips invert "$dir/in.v" "$dir/v.v"
t "quillet greyscale" q greyscale
t "ImageMagick -colorspace Gray" m -colorspace Gray
t "vips colourspace b-w" vips colourspace "$dir/in.v" "$dir/v.v" b-w
t "quillet saturation 60" q saturation value=60
t "ImageMagick -modulate 100,160" m -modulate 100,160
t "quillet reduce-256" q reduce-256
t "ImageMagick -colors 256" m -colors 256
echo "-- filters"
t "quillet 강조 (sharpen 3 x 3)" q filter name=강조
t "ImageMagick -sharpen 0x1" m -sharpen 0x1
t "vips conv sharpen 3 x 3" vips conv "$dir/in.v" "$dir/v.v" "$dir/sharpen.mat" --precision integer
t "quillet 윤곽선 (edges 3 x 3)" q filter name=윤곽선 p1=1
t "ImageMagick -edge 1" m -edge 1
t "vips conv edges 3 x 3" vips conv "$dir/in.v" "$dir/v.v" "$dir/edges.mat" --precision integer
t "quillet 흐리게 9 (9 x 9 box)" q filter name=흐리게 p1=9
t "ImageMagick -blur 4x2" m -blur 4x2
t "vips gaussblur 2" vips gaussblur "$dir/in.v" "$dir/v.v" 2
t "quillet 노이즈제거(A) 3 (median 3 x 3)" q filter "name=노이즈제거(A)" p1=3
t "ImageMagick -median 3" m -median 3
t "vips rank 3 3 4 (median 3 x 3)" vips rank "$dir/in.v" "$dir/v.v" 3 3 4
