#!/usr/bin/env bash
# The unit tests and the Qt tests built with -fsanitize=address,undefined in a build folder of
# their own, and run with every report fatal. Arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${QUILLET_SANITIZE_BUILD_DIR:-$root/build-sanitize}
# No optimisation and line tables only: the sanitizers need no more, and the instrumented build
# takes a third less time than at -O1 while the tests still run in about a minute.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Sanitize -DQUILLET_SANITIZE=ON \
  -DCMAKE_C_FLAGS_SANITIZE="-O0 -g1" -DCMAKE_CXX_FLAGS_SANITIZE="-O0 -g1"
# Programs run while building (the icon theme) are instrumented too: their leaks are no test.
ASAN_OPTIONS=detect_leaks=0 cmake --build "$build"
cd "$build"
export QT_QPA_PLATFORM=offscreen
# No leak check: SANE's backends are plug-ins unloaded before exit, and what they keep cannot be
# traced to a module or suppressed (the runs that checked found nothing of Quillet's own).
export ASAN_OPTIONS=detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The unit tests and the Qt tests; the source checks and the packaging tests ran in the main
# build and learn nothing new here.
ctest --output-on-failure -j "$(nproc)" -R '^(test_.*|cli_exit_codes)$' "$@"
