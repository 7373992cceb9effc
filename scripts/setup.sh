#!/usr/bin/env bash
# Installs the Debian 12 packages Quillon needs to build, run, test and package. Safe to run
# again.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-pdf-dev qt6-multimedia-dev
          libqt6opengl6-dev qt6-qpa-plugins libsqlite3-dev sqlite3 libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth libgl1-mesa-dri time clang-format
          qt6-svg-dev desktop-file-utils appstream dpkg-dev libzip-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
