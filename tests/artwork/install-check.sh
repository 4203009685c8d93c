#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what landed there: the program, a desktop entry
# and AppStream metainfo that validate, the man page, the README, and every icon of the hicolor theme at
# its pixel size.
set -euo pipefail

build=$1
version=$2
for tool in desktop-file-validate appstreamcli groff; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing (scripts/install-deps.sh installs it)"
    exit 77
  fi
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "$*"
  exit 1
}

[ -x "$prefix/bin/halvrick" ] || fail "no program in bin"
entry="$prefix/share/applications/halvrick.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
grep -qx 'Icon=halvrick' "$entry" || fail "the desktop entry names another icon"
grep -qx 'Exec=halvrick' "$entry" || fail "the desktop entry starts another program"

metainfo="$prefix/share/metainfo/org.halvrick.halvrick.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metainfo"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
grep -q '<launchable type="desktop-id">halvrick.desktop</launchable>' "$metainfo" ||
  fail "the metainfo launches another desktop entry"
# The newest release comes first and must be the version being installed.
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d '"' -f 2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is ${newest:-none}, not $version"

page="$prefix/share/man/man1/halvrick.1"
[ -f "$page" ] || fail "no man page"
warnings=$(groff -ww -man -z "$page" 2>&1)
[ -z "$warnings" ] || fail "the man page renders with warnings: $warnings"
[ -f "$prefix/share/doc/halvrick/README.md" ] || fail "no README in the documentation folder"
[ -f "$prefix/share/doc/halvrick/LICENSE" ] || fail "no licence in the documentation folder"

# Width and height from a PNG's header.
pixels() {
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"
}

theme="$prefix/share/icons/hicolor"
for side in 16 22 24 32 48 64 128 256 512; do
  for scale in 1 2; do
    folder=${side}x${side}
    [ "$scale" = 2 ] && folder=$folder@2
    expected=$((side * scale))x$((side * scale))
    icon="$theme/$folder/apps/halvrick.png"
    [ -f "$icon" ] || fail "no icon in $folder"
    [ "$(pixels "$icon")" = "$expected" ] || fail "$folder icon is $(pixels "$icon"), not $expected"
  done
done
for icon in scalable/apps/halvrick.svg symbolic/apps/halvrick-symbolic.svg; do
  [ -f "$theme/$icon" ] || fail "no $icon"
  grep -q '<svg' "$theme/$icon" || fail "$icon is no SVG"
done
echo "installed program, desktop entry, metainfo, man page, README and icons"
