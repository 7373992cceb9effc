#!/usr/bin/env bash
# Movie list figures: 100k movies (open, keystrokes, key switches, memory) and 1,000 movies with
# and without covers (open ratio, scrolling). Usage: bench/movie_list_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/bench/out
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

generate() {  # dir movies [--covers]
    [ -f "$1/Quillon.sqlite" ] || "$build/bench/quillon_generate" --data-dir "$1" --movies "$2" ${3:-} >/dev/null
}
generate "$out/list-100k" 100000
generate "$out/list-1k" 1000
generate "$out/list-1k-covers-small" 1000 --covers

echo "== 100,000 movies, no covers"
/usr/bin/time -f "whole process peak RSS %M KB" "$build/bench/movie_list_bench" "$out/list-100k" 2>&1 \
    | grep -v -e XDG_RUNTIME -e propagateSizeHints

# Median of column $1 of the lines read.
median() { awk -v c="$1" '{print $c}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
opens() {  # dir: 7 runs, each "wall cpu"
    for i in 1 2 3 4 5 6 7; do "$build/bench/movie_list_bench" --open "$1" 2>/dev/null; done
}
echo "== 100,000 movies: open and show the first rows, median of 7 runs"
runs=$(opens "$out/list-100k")
echo "$(echo "$runs" | median 1) ms (CPU $(echo "$runs" | median 2) ms)"
echo "== 1,000 movies: open and show the first rows, median of 7 runs"
plainRuns=$(opens "$out/list-1k")
coverRuns=$(opens "$out/list-1k-covers-small")
plain=$(echo "$plainRuns" | median 1)
covers=$(echo "$coverRuns" | median 1)
size=$(du -m "$out/list-1k-covers-small/Quillon.sqlite" | cut -f1)
echo "without covers: $plain ms (CPU $(echo "$plainRuns" | median 2) ms);" \
     "with two covers each ($size MB store): $covers ms (CPU $(echo "$coverRuns" | median 2) ms);" \
     "ratio $(awk -v a="$covers" -v b="$plain" 'BEGIN {printf "%.2f", a / b}') (target <= 1.5)"

echo "== 1,000 movies with covers: scroll the whole list"
"$build/bench/movie_list_bench" --scroll "$out/list-1k-covers-small" 2>&1 | grep -v -e XDG_RUNTIME -e propagateSizeHints
