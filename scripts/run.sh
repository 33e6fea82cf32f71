#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor. Usage: scripts/run.sh [FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
build=${QUILLET_BUILD_DIR:-$root/build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quillet
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. To run Quillet without a screen, use:"
  echo "  xvfb-run -a -s '-screen 0 1600x1000x24' scripts/run.sh ${1:-}"
  exit 1
fi
exec "$build/app/quillet" "$@"
