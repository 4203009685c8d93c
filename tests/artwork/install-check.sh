#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what landed there: the program, a desktop entry
# that validates, and every icon at its pixel size in the hicolor theme.
set -euo pipefail

build=$1
if ! command -v desktop-file-validate >/dev/null; then
  echo "desktop-file-validate is missing (scripts/install-deps.sh installs it)"
  exit 77
fi
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

# Width and height from a PNG's header.
pixels() {
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"
}

for pair in 16x16:16x16 16x16@2:32x32 32x32:32x32 32x32@2:64x64 128x128:128x128 128x128@2:256x256 \
            256x256:256x256 256x256@2:512x512 512x512:512x512 512x512@2:1024x1024; do
  folder=${pair%%:*}
  expected=${pair##*:}
  icon="$prefix/share/icons/hicolor/$folder/apps/halvrick.png"
  [ -f "$icon" ] || fail "no icon in $folder"
  [ "$(pixels "$icon")" = "$expected" ] || fail "$folder icon is $(pixels "$icon"), not $expected"
done
echo "installed program, desktop entry and icons"
