#!/usr/bin/env bash
# The flatten of bench_compositor (ten 4000 × 3000 layers, source-over) done by other tools:
# `vips composite` and ImageMagick's `-compose Over -composite`. Inputs are made once in a
# scratch folder; times are wall-clock seconds of each whole command, reading included, with
# the read alone timed beside it so the composition can be told apart.
# Usage: bench/peers_composite.sh [WIDTH HEIGHT LAYERS]   (needs libvips-tools, imagemagick)
set -euo pipefail
W=${1:-4000}
H=${2:-3000}
N=${3:-10}
dir=$(mktemp -d "${TMPDIR:-/tmp}/quillet-peers.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export VIPS_CONCURRENCY=${VIPS_CONCURRENCY:-2} MAGICK_THREAD_LIMIT=${MAGICK_THREAD_LIMIT:-2}

# RGBA layers: noise colours, alpha in bands of opaque, transparent and graded pixels.
python3 - "$dir" "$W" "$H" "$N" <<'PY'
import os, sys
d, w, h, n = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
for i in range(n):
    alpha = bytes(255 if i == 0 else (0, 255, 255, x & 255)[((x + i * 300) // 700) % 4]
                  for x in range(w))
    with open(f"{d}/l{i}.rgba", "wb") as f:
        for y in range(h):
            row = bytearray(w * 4)
            rgb = os.urandom(w * 3)
            row[0::4], row[1::4], row[2::4] = rgb[0::3], rgb[1::3], rgb[2::3]
            row[3::4] = alpha
            f.write(row)
PY

vfiles=() pfiles=() rfiles=()
for i in $(seq 0 $((N - 1))); do
  vips rawload "$dir/l$i.rgba" "$dir/l$i.v" "$W" "$H" 4
  vips copy "$dir/l$i.v" "$dir/l$i.s.v" --interpretation srgb
  vips pngsave "$dir/l$i.s.v" "$dir/l$i.png" --compression 1
  vfiles+=("$dir/l$i.s.v") pfiles+=("$dir/l$i.png") rfiles+=("rgba:$dir/l$i.rgba")
done

t() {  # label, command...
  local label=$1; shift
  local s e
  s=$(date +%s.%N)
  "$@" >/dev/null
  e=$(date +%s.%N)
  printf '%-46s %7.2f s\n' "$label" "$(echo "$e - $s" | bc)"
}

echo "flatten of $N layers of ${W}x${H} (load: $(cut -d' ' -f1-3 /proc/loadavg))"
t "vips composite (.v inputs, over)" vips composite "${vfiles[*]}" "$dir/out.v" 2
t "vips read only (.v -> .v copy of layer 0)" vips copy "${vfiles[0]}" "$dir/copy.v"
t "ImageMagick -compose Over -composite (raw)" \
  convert -size "${W}x${H}" -depth 8 "${rfiles[0]}" \
  $(for f in "${rfiles[@]:1}"; do echo "$f -compose Over -composite"; done) null:
t "ImageMagick read only (raw)" convert -size "${W}x${H}" -depth 8 "${rfiles[@]}" null:
t "ImageMagick -compose Over -composite (PNG)" \
  convert "${pfiles[0]}" \
  $(for f in "${pfiles[@]:1}"; do echo "$f -compose Over -composite"; done) null:
t "ImageMagick read only (PNG)" convert "${pfiles[@]}" null:
