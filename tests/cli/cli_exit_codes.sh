#!/bin/sh
# Exit codes of the real program: 2 for usage, 1 for an unreadable file; and a text drawn
# outside a desktop session (no runtime folder) prints nothing on stderr.
cli="$1"
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
"$cli" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "no arguments: expected 2"; exit 1; }
"$cli" info "$tmp/none.bmp" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "missing file: expected 1"; exit 1; }
"$cli" convert "$tmp/none.bmp" "$tmp/x.bmp" 2>/dev/null; [ $? -eq 1 ] || { echo "convert: expected 1"; exit 1; }
# A white 2 x 2 BMP, then a calendar drawn on it through the font engine.
printf 'BM\106\0\0\0\0\0\0\0\066\0\0\0\050\0\0\0\2\0\0\0\2\0\0\0\1\0\030\0\0\0\0\0\020\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' > "$tmp/w.bmp"
printf '\377\377\377\377\377\377\0\0\377\377\377\377\377\377\0\0' >> "$tmp/w.bmp"
env -u XDG_RUNTIME_DIR "$cli" apply "$tmp/w.bmp" "$tmp/c.bmp" calendar year=2026 month=12 \
  2>"$tmp/err" || { echo "calendar: expected 0"; cat "$tmp/err"; exit 1; }
[ ! -s "$tmp/err" ] || { echo "calendar: unexpected stderr:"; cat "$tmp/err"; exit 1; }
exit 0
