#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package of Quillon in build/ (or
# $QUILLON_BUILD_DIR); prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
(cd "$build" && cpack -G DEB >/dev/null)
ls -1 "$build"/quillon_*.deb
