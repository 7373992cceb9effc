#!/usr/bin/env bash
# Formats every C++ file with the committed .clang-format; with --check, changes nothing and fails
# naming the files that drift from it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
formatter=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$formatter" ]; then
  echo "clang-format is missing: run scripts/setup.sh" >&2
  exit 1
fi
mapfile -t files < <(cd "$root" && find src tests bench tools -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)
cd "$root"
if [ "${1:-}" = "--check" ]; then
  drifting=()
  for f in "${files[@]}"; do
    "$formatter" --style=file "$f" | cmp -s - "$f" || drifting+=("$f")
  done
  if ((${#drifting[@]})); then
    printf 'Not formatted (run scripts/format.sh):\n' >&2
    printf '  %s\n' "${drifting[@]}" >&2
    exit 1
  fi
else
  "$formatter" --style=file -i "${files[@]}"
fi
