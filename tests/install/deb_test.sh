#!/usr/bin/env bash
# Builds the Debian package with cpack, checks its declared dependencies and contents, then
# installs and removes it in a private dpkg root: nothing may be left behind.
# Usage: deb_test.sh BUILD_DIR
set -uo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAILED: cpack -G DEB"; exit 1; }
deb=$(ls "$tmp"/out/quillet_*.deb 2>/dev/null | head -1)
[ -f "$deb" ] || { cat "$tmp/cpack.log"; echo "FAILED: no package"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libqt6gui6 libjpeg62-turbo libtiff6 libpng16-16 libcurl4 \
            fonts-nanum shared-mime-info hicolor-icon-theme; do
  [[ ",$depends," == *"$need"* ]] || fail "Depends lacks $need: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/quillet ./usr/bin/quillet-cli ./usr/share/quillet/RereCon_380.ini \
         ./usr/share/applications/example.velloran.Quillet.desktop \
         ./usr/share/mime/packages/example.velloran.Quillet.xml \
         ./usr/share/thumbnailers/quillet.thumbnailer \
         ./usr/share/icons/hicolor/48x48/apps/example.velloran.Quillet.png; do
  grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done

root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg=(dpkg --root="$root" --force-not-root --force-depends --log=/dev/null)
"${dpkg[@]}" -i "$deb" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "dpkg -i"; }
[ -x "$root/usr/bin/quillet-cli" ] || fail "not installed"
"$root/usr/bin/quillet-cli" >/dev/null 2>&1
[ $? -eq 2 ] || fail "the packaged quillet-cli does not run"
"${dpkg[@]}" --purge quillet >>"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "dpkg --purge"; }
left=$(find "$root" -not -path "$root/var/lib/dpkg*" -not -type d)
[ -z "$left" ] || fail "left after removal: $left"

[ $failures -eq 0 ] && echo "$(basename "$deb"): dependencies, contents, install and removal good"
exit $((failures > 0))
