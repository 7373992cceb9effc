#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a desktop gets from it: the program,
# its menu entry, its icons, its AppStream metainfo, its manual page and copyright, and nothing
# else.
# Usage: check_install.sh BUILD_DIR VERSION APP_ID "ICON_SIZES"
set -uo pipefail
build=$1 version=$2 id=$3 sizes=$4

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

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$root.log" 2>&1; then
  cat "$root.log" >&2; rm -f "$root.log"; echo "FAILED: cmake --install" >&2; exit 1
fi
rm -f "$root.log"
usr=$root/usr
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
icons=$usr/share/icons/hicolor

# The whole tree, and nothing besides it.
expected=("bin/quillon" "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
          "share/icons/hicolor/scalable/apps/$id.svg" "share/man/man1/quillon.1.gz"
          "share/doc/quillon/copyright")
for size in $sizes; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
installed=$(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
check "installed files are exactly: $(echo $wanted)" [ "$installed" = "$wanted" ]
check "bin/quillon is executable" test -x "$usr/bin/quillon"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for size in $sizes; do
  png=$icons/${size}x${size}/apps/$id.png
  check "$size px icon is a PNG" test "$(head -c 8 "$png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a
  check "$size px icon is ${size}x${size}" test "$(png_size "$png")" = "${size}x${size}"
done
check "the SVG icon is an SVG" grep -q "<svg" "$icons/scalable/apps/$id.svg"

check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "menu entry names Quillon" test "$(entry Name)" = Quillon
check "menu entry's generic name is Movie Catalogue" test "$(entry GenericName)" = "Movie Catalogue"
check "menu entry's icon is the installed icon" test "$(entry Icon)" = "$id"
exec_line=$(entry Exec)
check "menu entry runs the installed program" test -x "$usr/bin/${exec_line%% *}"

check "appstreamcli accepts the metainfo" appstreamcli validate --no-net "$metainfo"
check "metainfo launches the menu entry" grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "metainfo id is $id" grep -q "<id>$id</id>" "$metainfo"

check "quillon --version prints the project version" test "$("$usr/bin/quillon" --version)" = "Quillon $version"
help=$("$usr/bin/quillon" --help)
for word in list export import backups restore --data-dir --wait --help --version; do
  check "quillon --help names $word" grep -q -- "$word" <<<"$help"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
