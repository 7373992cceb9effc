#!/usr/bin/env bash
# Installs what is missing, builds and opens Quillon. Extra arguments go to quillon.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "${QUILLON_BUILD_DIR:-$root/build}/quillon" "$@"
