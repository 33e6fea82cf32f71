#!/usr/bin/env bash
# Fails when a source file outside a qt/ folder includes a Qt header: the core links no Qt.
set -u
root=${1:-.}
cd "$root" || exit 2
hits=$(grep -rnE '^\s*#\s*include\s*[<"]Q[A-Za-z]*(/|>|")' \
         --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
         base platform image document view services movie app cli 2>/dev/null \
       | grep -v '/qt/' || true)
if [ -n "$hits" ]; then
  echo "Qt headers included outside qt/ folders:"
  echo "$hits"
  exit 1
fi
echo "core is free of Qt headers"
