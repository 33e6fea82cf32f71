#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds the tests a second time
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs them again (QUILLET_SANITIZE=0
# skips that part). Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
build=${QUILLET_BUILD_DIR:-$root/build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@")

[ "${QUILLET_SANITIZE:-1}" = 0 ] && exit 0
scripts/test-sanitize.sh
