#!/usr/bin/env bash
# Small copies built in the background for a store of 1,000 movies with two covers each that was
# made before they were kept. Usage: bench/small_copies_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d "${BENCH_TMP:-/tmp}/quillon-small-copies.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
"$build/bench/quillon_generate" --data-dir "$work/old" --movies 1000 --covers --old-store >/dev/null
echo "load average $(cut -d' ' -f1 /proc/loadavg) (other work on this 2-core machine skews it)"
"$build/bench/small_copies_bench" "$work/old" 2>&1 | grep -v -e XDG_RUNTIME -e propagateSizeHints
