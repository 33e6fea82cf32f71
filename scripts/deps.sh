#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and the editor need.
# Idempotent and quick when everything is present: apt-get update runs only when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ ccache pkg-config clang-format git
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libjpeg62-turbo-dev libtiff-dev zlib1g-dev libcurl4-openssl-dev libpng-dev
  libsane-dev libxcb1-dev
  # movie maker and player
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev qt6-multimedia-dev
  # installing and packaging: the desktop's own checkers, MIME database, icon renderer, cpack DEB
  desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl librsvg2-bin
  dpkg-dev file
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev python3
  imagemagick libvips-tools libjpeg-turbo-progs libtiff-tools time ffmpeg
  # SANE's "test" scanner (libsane1), its scanimage, and the PDF tools for printed pages
  libsane1 sane-utils poppler-utils
  # running the editor
  fonts-nanum xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
