#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds and runs every test (widgets on the
# offscreen platform).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/format.sh" --check
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${QUILLON_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j "$(nproc)" --timeout 600
