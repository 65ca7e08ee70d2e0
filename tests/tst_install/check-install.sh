#!/usr/bin/env bash
# check-install.sh BUILD_DIR VERSION HAS_GUI
# Installs BUILD_DIR into a temporary prefix, moves the prefix (the tree must
# not remember where it was installed), and runs the installed programs from
# an unrelated working directory.
set -euo pipefail

build=$1
version=$2
has_gui=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
need_file() { [ -f "$1" ] || fail "missing $1"; }
need_exec() { [ -f "$1" ] && [ -x "$1" ] || fail "missing or not executable: $1"; }

"${CMAKE:-cmake}" --install "$build" --prefix "$tmp/first" > "$tmp/install.log" || { cat "$tmp/install.log" >&2; fail "cmake --install"; }
mv "$tmp/first" "$tmp/prefix"
prefix=$tmp/prefix
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"

# corvair-sim: header plus one row per system and tick.
need_exec "$prefix/bin/corvair-sim"
"$prefix/bin/corvair-sim" --ticks 2 > sim.csv 2> sim.err || fail "corvair-sim --ticks 2 exited with $?"
[ ! -s sim.err ] || fail "corvair-sim wrote to stderr: $(cat sim.err)"
[ "$(wc -l < sim.csv)" -eq 5 ] || fail "corvair-sim --ticks 2 gave $(wc -l < sim.csv) lines, expected 5"
head -n1 sim.csv | grep -q '^tick,system,supply_c,fan_rpm,duct_pa,energy_kw,temp0,' || fail "corvair-sim header: $(head -n1 sim.csv)"
[ "$(sed -n 5p sim.csv | cut -d, -f1,2)" = "2,high" ] || fail "corvair-sim last row: $(sed -n 5p sim.csv)"
"$prefix/bin/corvair-sim" --version | grep -qx "corvair-sim $version" || fail "corvair-sim --version"

if [ "$has_gui" != 1 ]; then
  echo "corvair is not part of this build; checked corvair-sim only"
  exit 0
fi

# The layout: the program with its database and help beside it.
need_exec "$prefix/bin/corvair"
need_exec "$prefix/lib/corvair/corvair"
need_file "$prefix/lib/corvair/DataBase/BitmapTable.bdf"
need_file "$prefix/lib/corvair/DataBase/ArrowTable_800x600.bdf"
need_file "$prefix/lib/corvair/Help/Corv_Air.html"

# --help and --version need no display: no platform, no DISPLAY.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
out=$("${nodisplay[@]}" "$prefix/bin/corvair" --version) || fail "corvair --version exited with $?"
[ "$out" = "corvair $version" ] || fail "corvair --version printed '$out'"
"${nodisplay[@]}" "$prefix/bin/corvair" --help > help.txt || fail "corvair --help exited with $?"
grep -q '^Usage: corvair' help.txt || fail "corvair --help: no usage line"
grep -q -- '--version' help.txt || fail "corvair --help does not list --version"

# Anything else: one line on stderr, nothing on stdout, status 2.
for args in "--bogus" "file.txt" "--version --help" "-platform offscreen"; do
  # shellcheck disable=SC2086
  if "${nodisplay[@]}" "$prefix/bin/corvair" $args > bad.out 2> bad.err; then
    fail "corvair $args succeeded"
  else
    status=$?
  fi
  [ "$status" -eq 2 ] || fail "corvair $args exited with $status, expected 2"
  [ ! -s bad.out ] || fail "corvair $args wrote to stdout"
  [ "$(wc -l < bad.err)" -eq 1 ] || fail "corvair $args: expected one line on stderr, got: $(cat bad.err)"
done

# Through a symlink to the launcher, as a packaging tool or a user might link it.
mkdir links
ln -s "$prefix/bin/corvair" links/corvair
out=$("${nodisplay[@]}" links/corvair --version) || fail "symlinked launcher exited with $?"
[ "$out" = "corvair $version" ] || fail "symlinked launcher printed '$out'"

# The real program, offscreen, until a moment after its first window shows.
run_gui() {
  env QT_QPA_PLATFORM=offscreen CORVAIR_QUIT_AFTER_SHOW_MS=1500 HOME="$tmp/home" \
    "$prefix/bin/corvair" > gui.out 2> gui.err
}
mkdir -p "$tmp/home"
run_gui || { status=$?; cat gui.err >&2; fail "installed corvair exited with $status after its first show"; }

# The database really came from beside the program: without it the program
# must refuse to start.
mv "$prefix/lib/corvair/DataBase" "$tmp/DataBase.away"
if run_gui; then
  fail "corvair started without DataBase/ beside it (did it read another one?)"
fi
mv "$tmp/DataBase.away" "$prefix/lib/corvair/DataBase"

# Desktop integration.
desktop=$prefix/share/applications/corvair.desktop
metainfo=$prefix/share/metainfo/io.github.corvane_air.calorift.metainfo.xml
need_file "$desktop"
need_file "$metainfo"
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"

exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
  || fail "the metainfo does not launch $(basename "$desktop")"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

icons=$prefix/share/icons/hicolor
need_file "$icons/scalable/apps/$icon_name.svg"
for size in 16 32 48 64 128 256; do
  png=$icons/${size}x${size}/apps/$icon_name.png
  need_file "$png"
  # PNG signature, then the IHDR width and height (big-endian) at bytes 16..23.
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$png is not a PNG"
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 ))
  h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$w" -eq "$size" ] && [ "$h" -eq "$size" ] || fail "$png is ${w}x${h}, expected ${size}x${size}"
done

echo "installed tree OK: $prefix"
