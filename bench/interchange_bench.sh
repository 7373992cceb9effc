#!/usr/bin/env bash
# Whole-process timings of importing other programs' files and of the spreadsheet export, each
# beside its target, plus the import screen's preview (in-process). Each process is timed three
# times; the median is shown, with its CPU time (user + system): on a busy machine the wall
# time grows with the load, the CPU time does not.
# Usage: bench/interchange_bench.sh [BUILD_DIR]      (default: $QUILLON_BUILD_DIR or build/)
# Needs about 1 GB in /tmp (or $BENCH_TMP) and a few minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${QUILLON_BUILD_DIR:-$root/build}}" && pwd)
quillon=$build/quillon
generate=$build/bench/quillon_generate
inputs=$build/bench/interchange_inputs
preview=$build/bench/interchange_preview_bench
for program in "$quillon" "$generate" "$inputs" "$preview"; do
    [[ -x $program ]] || { echo "missing $program: build first" >&2; exit 1; }
done
work=$(mktemp -d "${BENCH_TMP:-/tmp}/quillon-interchange-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

row() { printf '%-44s %-28s %s\n' "$1" "$2" "$3"; }

# Runs "quillon ARGS" three times, each into a fresh copy of the data folder $1 (or an empty
# one); sets wall and cpu to the median run's seconds.
timed() {
    local source=$1; shift
    local runs=()
    for _ in 1 2 3; do
        rm -rf "$work/data"
        if [[ -n $source ]]; then cp -r "$source" "$work/data"; else mkdir "$work/data"; fi
        /usr/bin/time -f '%e %U %S' -o "$work/time.txt" \
            "$quillon" --data-dir "$work/data" "$@" >"$work/out.txt" 2>"$work/err.txt" || {
            cat "$work/out.txt" "$work/err.txt" >&2
            exit 1
        }
        runs+=("$(awk '{ printf "%.2f %.2f", $1, $2 + $3 }' "$work/time.txt")")
    done
    local median
    median=$(printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p)
    wall=${median% *} cpu=${median#* }
}

echo "Writing the inputs (a peer's spreadsheet, two Tellico collections)..."
"$inputs" "$work/in" 2>/dev/null
echo "Generating 100,000 movies..."
"$generate" --data-dir "$work/catalogue" --movies 100000 --seed 3 >/dev/null

load_before=$(cut -d' ' -f1 /proc/loadavg)
timed "" import "$work/in/peer.csv"
csv_wall=$wall csv_cpu=$cpu
grep -q "^10000 added\|^99[0-9][0-9] added" "$work/out.txt" || { cat "$work/out.txt" >&2; exit 1; }
timed "" import "$work/in/collection.tc"
tc_wall=$wall tc_cpu=$cpu
timed "" import "$work/in/covers.tc"
covers_wall=$wall covers_cpu=$cpu
grep -q "^1000 added" "$work/out.txt" || { cat "$work/out.txt" >&2; exit 1; }
timed "$work/catalogue" export --format csv "$work/out.csv"
export_wall=$wall export_cpu=$cpu

mkdir "$work/empty"
preview_empty=$("$preview" "$work/empty" "$work/in/peer.csv" 2>/dev/null | grep "rows painted")
preview_counts=$("$preview" "$work/empty" "$work/in/peer.csv" 2>/dev/null | grep "counts shown")
preview_large=$("$preview" "$work/catalogue" "$work/in/peer.csv" 2>/dev/null | grep "rows painted")
preview_tc=$("$preview" "$work/empty" "$work/in/collection.tc" 2>/dev/null | grep "rows painted")

echo
echo "load average before ${load_before}, now $(cut -d' ' -f1 /proc/loadavg) on $(nproc) cores" \
    "(other work on the machine skews every wall time)"
row "figure" "median wall (its CPU)" "target"
row "CSV import, 10,000 rows, empty store" "${csv_wall} s (${csv_cpu} s)" "<= 1 s"
row "Tellico import, 10,000 entries" "${tc_wall} s (${tc_cpu} s)" "<= 1.5 s"
row "Tellico import, 1,000 entries with covers" "${covers_wall} s (${covers_cpu} s)" "<= 5 s"
row "CSV export, 100,000 movies" "${export_wall} s (${export_cpu} s)" "<= 1 s"
echo "$preview_empty (empty catalogue)"
echo "$preview_counts (empty catalogue)"
echo "$preview_large (100,000 movies)"
echo "$preview_tc (the 10,000-entry collection, empty catalogue)"
