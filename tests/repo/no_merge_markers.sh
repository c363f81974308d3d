#!/usr/bin/env bash
# Fails when a file of the tree still holds the marker lines of an unresolved merge, which
# would otherwise reach users as a garbled README or a source that does not build.
#   no_merge_markers.sh <source dir>
set -euo pipefail
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list_files() { git ls-files -z; }
else
  list_files() { find . -path ./build -prune -o -path ./.git -prune -o -type f -print0; }
fi
found=$(list_files | xargs -0 grep -IlE '^(<<<<<<<|>>>>>>>)( |$)' 2>/dev/null || true)
if [ -n "$found" ]; then
  echo "unresolved merge markers in:"
  echo "$found"
  exit 1
fi
