#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that exactly the program, its run-time
# files and its desktop integration land there, and that the desktop tools accept the entry and
# the metainfo. The validators are optional (skip, exit 77) unless KESTRUM_REQUIRE_DESKTOP=1.
#   test_install.sh <build folder> <source folder>
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: test_install.sh <build folder> <source folder>" >&2; exit 2; }
build=$1 source=$2
# The Debian package's version, as CPack will write it.
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
id=org.kestrum.Kestrum
sizes=(16 24 32 48 64 128 256)

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrum-install.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! "${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install did not succeed" >&2
  exit 1
fi

# Every file that should be there; the source's, where the install only copies, must be identical.
declare -A expected=()
expect() {  # expect <installed path> [source file]
  expected[$1]=1
  if [ ! -f "$prefix/$1" ]; then
    fail "not installed: $1"
  elif [ $# -gt 1 ] && ! cmp -s "$2" "$prefix/$1"; then
    fail "$1 differs from ${2#"$source"/}"
  fi
}
expect bin/kestrum
[ -x "$prefix/bin/kestrum" ] || fail "bin/kestrum is not executable"
expect share/kestrum/kestrum_docs.htm "$source/resources/kestrum_docs.htm"
icons=0
for ico in "$source"/icons/*.ico; do
  expect "share/kestrum/icons/${ico##*/}" "$ico"
  icons=$((icons + 1))
done
[ "$icons" -gt 0 ] || fail "no .ico files in $source/icons"
desktop=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
expect "$desktop" "$source/packaging/$id.desktop"
expect "$metainfo" "$source/packaging/$id.metainfo.xml"
expect "share/icons/hicolor/scalable/apps/$id.svg" "$source/packaging/$id.svg"
for size in "${sizes[@]}"; do
  png=share/icons/hicolor/${size}x${size}/apps/$id.png
  expect "$png"
  # A PNG's width and height are the big-endian words at bytes 16 and 20: the picture in each
  # size's folder must have that size.
  if [ -f "$prefix/$png" ]; then
    read -r width height < <(od -An -tu1 -j16 -N8 "$prefix/$png" |
      awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width $height" = "$size $size" ] || fail "$png is ${width}x$height"
  fi
done

# Nothing else: no libraries, headers, tests, bench programs or icon-drawing sources.
while IFS= read -r file; do
  [ -n "${expected[$file]:-}" ] || fail "unexpected file installed: $file"
done < <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)

# The files name each other: the desktop entry runs the installed program and shows the installed
# icon; the metainfo launches that entry and carries the package's version as its newest release.
grep -qx "Exec=kestrum" "$prefix/$desktop" || fail "$desktop does not run kestrum"
grep -qx "Icon=$id" "$prefix/$desktop" || fail "$desktop does not show the icon $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/$metainfo" ||
  fail "$metainfo does not launch $id.desktop"
if [ -z "$version" ]; then
  fail "$build/CPackConfig.cmake names no package version"
elif ! grep -m1 '<release ' "$prefix/$metainfo" | grep -q "version=\"$version\""; then
  fail "the newest release in $metainfo is not $version, the package's version"
fi

# desktop-file-validate exits 0 even on errors, and appstreamcli passes infos: read what they say.
missing=()
if command -v desktop-file-validate >/dev/null; then
  report=$(desktop-file-validate "$prefix/$desktop" 2>&1)
  [ -n "$report" ] && echo "$report"
  if grep -Eq ': (error|warning):' <<<"$report"; then
    fail "desktop-file-validate finds fault with $desktop"
  fi
else
  missing+=(desktop-file-utils)
fi
if command -v appstreamcli >/dev/null; then
  report=$(appstreamcli validate --no-net "$prefix/$metainfo" 2>&1) || fail "appstreamcli rejects $metainfo"
  echo "$report"
  if grep -Eq '^[EW]:' <<<"$report"; then fail "appstreamcli finds fault with $metainfo"; fi
else
  missing+=(appstream)
fi

[ "$failures" -eq 0 ] || exit 1
if [ ${#missing[@]} -gt 0 ]; then
  message="the validators need these Debian packages: ${missing[*]}"
  if [ "${KESTRUM_REQUIRE_DESKTOP:-}" = 1 ]; then
    echo "FAIL: $message" >&2
    exit 1
  fi
  echo "SKIP: $message (the installed layout itself is right)"
  exit 77
fi
echo "PASS: the install holds exactly the expected files, and the validators accept them"
