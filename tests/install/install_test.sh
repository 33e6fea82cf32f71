#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop would use it.
# Usage: install_test.sh BUILD_DIR APP_ID
set -uo pipefail
build=$1
id=$2
tmp=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
prefix=$tmp/prefix
share=$prefix/share

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; echo "FAILED: cmake --install"; exit 1; }

# Files in place, icons of the size their folder says.
for f in bin/quillet bin/quillet-cli share/quillet/RereCon_380.ini \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/mime/packages/$id.xml share/thumbnailers/quillet.thumbnailer \
         share/icons/hicolor/scalable/apps/$id.svg; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
for size in 16 22 24 32 48 64 128 256 512; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$id.png
  got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
  [ "$got" = "${size}x${size}" ] || fail "icon $icon is '$got'"
done
# The scalable icon is the same drawing: rendered independently, it matches the 256 px one.
if rsvg-convert -w 256 -h 256 "$share/icons/hicolor/scalable/apps/$id.svg" -o "$tmp/svg.png"; then
  differ=$(compare -metric AE -fuzz 10% "$tmp/svg.png" \
             "$share/icons/hicolor/256x256/apps/$id.png" null: 2>&1)
  [ "${differ%%.*}" -lt 300 ] 2>/dev/null || fail "the SVG icon differs in $differ pixels"
else
  fail "rsvg-convert cannot read the SVG icon"
fi

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log"; fail "appstreamcli validate"; }
grep -q '^Exec=quillet %F$' "$share/applications/$id.desktop" || fail "Exec line"
grep -q '^MimeType=.*application/x-quillet-vlr;' "$share/applications/$id.desktop" ||
  fail "the desktop entry does not open VLR documents"

# Pictures of every readable format, made by the installed quillet-cli (and ImageMagick for the
# formats it only reads).
export PATH=$prefix/bin:$PATH
cli=$prefix/bin/quillet-cli
pics=$tmp/pics
mkdir -p "$pics"
convert -size 300x200 gradient:red-blue "$pics/src.bmp" || fail "making the source picture"
formats="bmp"
for ext in jpg gif tif vlr; do
  "$cli" convert "$pics/src.bmp" "$pics/src.$ext" && formats="$formats $ext" ||
    fail "quillet-cli convert to $ext"
done
for ext in pcx psd; do
  convert "$pics/src.bmp" "$pics/src.$ext" && formats="$formats $ext" || fail "making $ext"
done
cp "$pics/src.vlr" "$pics/document"
[ "$("$cli" info "$pics/src.vlr")" = "300x200 24 1" ] || fail "installed quillet-cli info"

# The MIME type by content, from the installed package only.
update-mime-database "$share/mime" || fail "update-mime-database"
printf '\n41 apples and pears\n' >"$pics/notes"
export XDG_DATA_HOME=$tmp/data-home XDG_DATA_DIRS=$share:/usr/share XDG_CONFIG_HOME=$tmp/config
type=$(xdg-mime query filetype "$pics/document")
[ "$type" = "application/x-quillet-vlr" ] || fail "xdg-mime names the document '$type'"
type=$(xdg-mime query filetype "$pics/notes")
[ "$type" != "application/x-quillet-vlr" ] || fail "a text file taken for a VLR document"

# The thumbnailer entry, run as a file manager runs it: %i input, %o output, %s size.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/quillet.thumbnailer")
thumbnail() {
  local cmd=${exec_line//%i/\"$1\"}
  cmd=${cmd//%o/\"$2\"}
  cmd=${cmd//%s/$3}
  eval "$cmd"
}
for ext in $formats document; do
  in=$pics/src.$ext
  [ "$ext" = document ] && in=$pics/document
  rm -f "$tmp/thumb.png"
  thumbnail "$in" "$tmp/thumb.png" 128 || { fail "thumbnailer on $ext"; continue; }
  got=$(identify -format '%m %wx%h' "$tmp/thumb.png" 2>/dev/null)
  [ "$got" = "PNG 128x85" ] || fail "thumbnail of $ext is '$got'"
done
printf 'garbage' >"$pics/broken.vlr"
cp "$pics/broken.vlr" "$pics/broken.jpg"
for bad in broken.vlr broken.jpg missing.gif; do
  thumbnail "$pics/$bad" "$tmp/bad.png" 128 2>/dev/null
  code=$?
  [ $code -eq 1 ] || fail "thumbnailer on $bad exits $code, not 1"
  [ ! -e "$tmp/bad.png" ] || fail "thumbnailer wrote a PNG for $bad"
done

# The installed editor finds its data beside itself: a fresh home gets the installed default
# settings file (changed here, so it cannot be mistaken for the built-in one).
sed -i 's/^FG0 /FG255 /' "$share/quillet/RereCon_380.ini"
home=$tmp/home
QT_QPA_PLATFORM=offscreen QUILLET_HOME=$home QUILLET_UPDATE_URL=http://127.0.0.1:9/ \
  "$prefix/bin/quillet" >"$tmp/quillet.log" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  [ -s "$home/RereCon_380.ini" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
cmp -s "$home/RereCon_380.ini" "$share/quillet/RereCon_380.ini" ||
  { cat "$tmp/quillet.log"; fail "the installed editor did not take the installed settings"; }
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=

[ $failures -eq 0 ] && echo "installed layout, desktop files, MIME type and thumbnails: all good"
exit $((failures > 0))
