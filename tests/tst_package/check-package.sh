#!/usr/bin/env bash
# check-package.sh BUILD_DIR VERSION
# cpack -G DEB into a temporary folder; the package must carry real
# dependencies, install everything under /usr and run once unpacked.
set -euo pipefail

build=$1
version=$2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

arch=$(dpkg --print-architecture)
"${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" > "$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$tmp/out/corvair_${version}_${arch}.deb
[ -f "$deb" ] || { ls -l "$tmp/out" >&2; fail "no $(basename "$deb")"; }

dpkg-deb --info "$deb" > "$tmp/info"
field() { sed -n "s/^ $1: //p" "$tmp/info"; }
[ "$(field Package)" = corvair ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
grep -q '^  ' "$tmp/info" || fail "no long description"

# Libraries found by dpkg-shlibdeps, plus what Qt loads by name at run time.
depends=$(field Depends)
[ -n "$depends" ] || fail "empty Depends"
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite fonts-liberation2; do
  echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$dep" || fail "Depends lacks $dep: $depends"
done
# Every dependency must be a package this machine knows (the build installed them all).
for dep in $(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//'); do
  dpkg-query -W -f='${Status}' "$dep" 2>/dev/null | grep -q 'install ok installed' \
    || fail "Depends names $dep, which is not an installed package here"
done

dpkg-deb --contents "$deb" > "$tmp/contents"
paths=$(awk '{print $6}' "$tmp/contents")
outside=$(echo "$paths" | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
for p in ./usr/bin/corvair ./usr/bin/corvair-sim ./usr/lib/corvair/corvair \
         ./usr/lib/corvair/DataBase/BitmapTable.bdf ./usr/lib/corvair/DataBase/ArrowTable_800x600.bdf \
         ./usr/lib/corvair/Help/Corv_Air.html \
         ./usr/share/applications/corvair.desktop \
         ./usr/share/metainfo/io.github.corvane_air.calorift.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/corvair.svg \
         ./usr/share/icons/hicolor/48x48/apps/corvair.png \
         ./usr/share/doc/corvair/model.md; do
  echo "$paths" | grep -qx -- "$p" || fail "the package lacks $p"
done
for p in ./usr/bin/corvair ./usr/bin/corvair-sim ./usr/lib/corvair/corvair; do
  awk -v p="$p" '$6 == p {print $1}' "$tmp/contents" | grep -q '^-rwxr-xr-x$' || fail "$p is not executable"
done
if awk '$6 ~ /^\.\/usr\// {print $2}' "$tmp/contents" | grep -qv '^root/root$'; then
  fail "files not owned by root/root"
fi

# What apt would do with it here: nothing missing.
if ! apt-get install -s "$deb" > "$tmp/apt.log" 2>&1; then
  cat "$tmp/apt.log" >&2
  fail "apt-get install -s $(basename "$deb")"
fi

# Unpacked anywhere, the programs run.
dpkg-deb -x "$deb" "$tmp/root"
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/root/usr/bin/corvair" --version) \
  || fail "unpacked corvair --version exited with $?"
[ "$out" = "corvair $version" ] || fail "unpacked corvair --version printed '$out'"
"$tmp/root/usr/bin/corvair-sim" --ticks 1 > sim.csv || fail "unpacked corvair-sim exited with $?"
[ "$(wc -l < sim.csv)" -eq 3 ] || fail "unpacked corvair-sim gave $(wc -l < sim.csv) lines"

echo "package OK: $(basename "$deb"), Depends: $depends"
