#!/usr/bin/env bash
# Statistics figures over the grouped views' catalogue: 100,000 movies, 20,000 distinct actors.
# Usage: bench/stats_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/bench/out/groups-100k
[ -f "$out/Quillon.sqlite" ] ||
    "$build/bench/quillon_generate" --data-dir "$out" --movies 100000 --actors 20000 >/dev/null
"$build/bench/stats_bench" "$out" "$build/quillon"
