#!/bin/sh
# Exit codes of the real program: 2 for usage, 1 for an unreadable file.
cli="$1"
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
"$cli" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "no arguments: expected 2"; exit 1; }
"$cli" info "$tmp/none.bmp" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "missing file: expected 1"; exit 1; }
"$cli" convert "$tmp/none.bmp" "$tmp/x.bmp" 2>/dev/null; [ $? -eq 1 ] || { echo "convert: expected 1"; exit 1; }
exit 0
