#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it.
set -u
root=${1:-.}
cd "$root" || exit 2
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 1; }
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build')
bad=$(for f in $files; do clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done)
if [ -n "$bad" ]; then
  echo "Not formatted (run clang-format -i on them):"
  echo "$bad"
  exit 1
fi
echo "every source file is formatted"
