#!/usr/bin/env bash
# Makes the Debian package into a scratch folder and reads it back: its control fields (name,
# version, maintainer, a wrapped description) and the files a user looks for besides the
# program: the manual page, which names every command of --help, and the copyright file with
# the licence, the same as the metainfo's.
# Usage: check_package.sh BUILD_DIR VERSION MAINTAINER LICENSE
set -uo pipefail
build=$1 version=$2 maintainer=$3 license=$4

passed=0 failed=0
check() {  # check "what" command... (its output is shown only when it fails)
  local what=$1 output; shift
  if output=$("$@" 2>&1); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
    [ -z "$output" ] || echo "$output" >&2
  fi
}

for tool in cpack dpkg-deb groff; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/log" 2>&1; then
  cat "$scratch/log" >&2; echo "FAILED: cpack -G DEB" >&2; exit 1
fi
debs=("$scratch"/out/quillon_*.deb)
[ -f "${debs[0]}" ] || { echo "FAILED: no quillon_*.deb made" >&2; exit 1; }
deb=${debs[0]}
field() { dpkg-deb --field "$deb" "$1"; }

check "Package is quillon" test "$(field Package)" = quillon
check "Version is $version" test "$(field Version)" = "$version"
check "Maintainer is $maintainer" test "$(field Maintainer)" = "$maintainer"
check "Depends names Qt" grep -q libqt6 <<<"$(field Depends)"
description=$(field Description)
check "the description's first line is its summary" test "$(head -1 <<<"$description")" = "personal movie catalogue"
check "the long description has several lines" test "$(wc -l <<<"$description")" -ge 4
check "no line of the description is over 80 characters" \
  test "$(awk 'length > 80' <<<"$description" | wc -l)" -eq 0
check "the long description tells what Quillon is" grep -q "catalogue of the movies you own" <<<"$description"

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in ./usr/bin/quillon ./usr/share/man/man1/quillon.1.gz ./usr/share/doc/quillon/copyright \
            ./usr/share/metainfo/org.quillon.Quillon.metainfo.xml; do
  check "the package holds $path" grep -qx -- "$path" <<<"$contents"
done

dpkg-deb -x "$deb" "$scratch/root"
usr=$scratch/root/usr
copyright=$usr/share/doc/quillon/copyright
check "the copyright file is machine-readable" grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$copyright"
check "the copyright file gives GPL 3 or later" grep -q "^License: GPL-3+$" "$copyright"
check "the copyright file names the maintainer" grep -qF "Upstream-Contact: $maintainer" "$copyright"
check "the metainfo's licence is $license" \
  grep -q "<project_license>$license</project_license>" "$usr/share/metainfo/org.quillon.Quillon.metainfo.xml"

manual=$(zcat "$usr/share/man/man1/quillon.1.gz")
check "the manual page is quillon(1)" grep -q '^\.TH QUILLON 1 ' <<<"$manual"
check "groff reads the manual page without a warning" \
  test -z "$(groff -man -ww -z <<<"$manual" 2>&1)"
text=$(groff -man -Tutf8 -P-cbou <<<"$manual" 2>/dev/null)
commands=$("$usr/bin/quillon" --help | sed -n 's/^  quillon \([a-z]*\).*/\1/p')
check "--help lists commands" test -n "$commands"
for command in $commands; do
  check "the manual page tells of quillon $command" grep -qE "quillon +$command" <<<"$text"
done
for option in --data-dir --wait; do
  check "the manual page tells of $option" grep -q -- "$option" <<<"$text"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
