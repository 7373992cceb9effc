#!/usr/bin/env bash
# Whole-process timings of `quillon export` and `quillon import`, each printed beside the
# reference it is judged against, measured in the same run.
# Usage: bench/exchange_bench.sh [BUILD_DIR]      (default: $QUILLON_BUILD_DIR or build/)
# Needs about 3 GB in /tmp (or $BENCH_TMP) and several minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${QUILLON_BUILD_DIR:-$root/build}}" && pwd)
quillon=$build/quillon
generate=$build/bench/quillon_generate
reference=$build/bench/exchange_reference_bench
for program in "$quillon" "$generate" "$reference"; do
    [[ -x $program ]] || { echo "missing $program: build first" >&2; exit 1; }
done
work=$(mktemp -d "${BENCH_TMP:-/tmp}/quillon-exchange-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# Runs a command under /usr/bin/time -v; sets seconds and peak_mb.
timed() {
    /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt" 2>"$work/err.txt" || {
        cat "$work/out.txt" "$work/err.txt" >&2
        exit 1
    }
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.2f", s }' \
        "$work/time.txt")
    peak_mb=$(awk '/Maximum resident set size/ { printf "%.0f", $NF / 1024 }' "$work/time.txt")
    # Processor time, which a loaded machine does not stretch as it stretches the wall clock.
    cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$work/time.txt")
}

row() { printf '%-44s %12s   %s\n' "$1" "$2" "$3"; }

echo "Generating 1,000 movies with two 1000x1500 covers each..."
"$generate" --data-dir "$work/source" --movies 1000 --covers --seed 1 >/dev/null
file=$work/Quillon.csv

load_before=$(cut -d' ' -f1 /proc/loadavg)
timed "$quillon" --data-dir "$work/source" export "$file"
export_seconds=$seconds export_peak=$peak_mb export_cpu=$cpu
file_mb=$(( $(stat -c %s "$file") / 1000000 ))

"$reference" --data-dir "$work/source" --file "$file" >"$work/reference.txt"
jpeg_seconds=$(awk '/reference_jpeg_reencode_seconds/ {print $2}' "$work/reference.txt")
qt_base64=$(awk '/base64_qt_mb_per_s/ {print $2}' "$work/reference.txt")
table_base64=$(awk '/base64_table_mb_per_s/ {print $2}' "$work/reference.txt")

timed "$quillon" --data-dir "$work/empty" import "$file"
empty_seconds=$seconds empty_peak=$peak_mb empty_cpu=$cpu

echo "Adding 99,000 movies to a copy of the catalogue..."
cp -r "$work/source" "$work/large"
"$generate" --data-dir "$work/large" --movies 99000 --seed 2 >/dev/null
timed "$quillon" --data-dir "$work/large" import "$file"
large_seconds=$seconds large_peak=$peak_mb large_cpu=$cpu
grep -q "0 added, 1000 updated, 0 skipped, 0 failed" "$work/out.txt" ||
    { echo "unexpected import result:" >&2; cat "$work/out.txt" >&2; exit 1; }

echo
echo "load average before the export ${load_before}, now $(cut -d' ' -f1 /proc/loadavg)" \
    "(other work on this 2-core machine skews every figure)"
row "figure" "measured" "target (reference measured in this run)"
row "export file size" "${file_mb} MB" "about 320 MB"
row "JPEG re-encoding alone, two threads" "${jpeg_seconds} s" "reference"
row "export, processor time" "${export_cpu} s" ""
row "export, 1,000 movies with covers" "${export_seconds} s" \
    "<= 1.5 s and <= 0.2 x ${jpeg_seconds} s = $(awk "BEGIN {printf \"%.1f\", 0.2 * $jpeg_seconds}") s"
row "export peak memory" "${export_peak} MB" "<= file + 300 MB = $((file_mb + 300)) MB"
row "Base64 decode, Qt fromBase64Encoding" "${qt_base64} MB/s" "reference"
row "Base64 decode, table decoder (used)" "${table_base64} MB/s" "reference"
row "import into an empty store, processor time" "${empty_cpu} s" ""
row "import into an empty store" "${empty_seconds} s" "<= 12 s"
row "import into 100,000 movies, processor time" "${large_cpu} s" ""
row "import into 100,000 movies" "${large_seconds} s" "<= 2 s"
row "import peak memory (larger of the two)" "$(( empty_peak > large_peak ? empty_peak : large_peak )) MB" \
    "<= 2 x file = $((2 * file_mb)) MB"
