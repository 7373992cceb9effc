#!/usr/bin/env bash
# Grouped-view figures: 100,000 movies with 20,000 distinct actors (the actor tab, the count of a
# drawn row, a breakdown of about 1,000 movies). Usage: bench/group_views_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/bench/out/groups-100k
export QT_QPA_PLATFORM=offscreen
[ -f "$out/Quillon.sqlite" ] ||
    "$build/bench/quillon_generate" --data-dir "$out" --movies 100000 --actors 20000 >/dev/null
"$build/bench/group_views_bench" "$out" 2>&1 | grep -v -e XDG_RUNTIME -e propagateSizeHints
