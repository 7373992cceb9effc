#!/usr/bin/env bash
# Breakdown report of 1,000 movies with two 1000x1500 covers each, to PDF.
# Usage: bench/report_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/bench/out
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
[ -f "$out/list-1k-covers-small/Quillon.sqlite" ] ||
    "$build/bench/quillon_generate" --data-dir "$out/list-1k-covers-small" --movies 1000 --covers >/dev/null
"$build/bench/report_bench" "$out/list-1k-covers-small" 2>&1 | grep -v -e XDG_RUNTIME -e propagateSizeHints
