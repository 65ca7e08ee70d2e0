#!/usr/bin/env bash
# Draws docs/corvair-sim-example.png from corvair-sim's CSV for the worked
# example in docs/model.md.
#
#   docs/plot-example.sh [path/to/corvair-sim]
#
# Needs gnuplot (Debian: apt-get install gnuplot-nox). Run it again after a
# change to the model and look at the picture before committing it.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
sim=${1:-$here/../build/bin/corvair-sim}
out=$here/corvair-sim-example.png

command -v gnuplot > /dev/null || { echo "plot-example.sh: gnuplot is needed (apt-get install gnuplot-nox)" >&2; exit 1; }
[ -x "$sim" ] || { echo "plot-example.sh: no corvair-sim at $sim (build it, or pass its path)" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$sim" --ticks 400 --script "$here/corvair-sim-example.script" > "$tmp/all.csv"
# One file per system, without the header: gnuplot then reads plain columns.
awk -F, '$2 == "low"'  "$tmp/all.csv" > "$tmp/low.csv"
awk -F, '$2 == "high"' "$tmp/all.csv" > "$tmp/high.csv"

gnuplot <<GNUPLOT
set terminal pngcairo size 1000,1150 font "Liberation Sans,11" linewidth 1.5
set output "$out"
set datafile separator ","
set multiplot layout 4,1 title "corvair-sim: the worked example of docs/model.md (speed 90, 400 ticks = 200 s)" font ",13"
set grid lc rgb "#d0d0d0"
set xrange [0:400]
set key outside right top vertical Left reverse width -2
set lmargin 10
set rmargin 30

# The script's events.
do for [t in "20 60 100 200"] {
  set arrow from t+0, graph 0 to t+0, graph 1 nohead dt 3 lc rgb "#808080"
}
set label 1 "loads on" at 21, graph 0.92 font ",9"
set label 2 "cold wall" at 61, graph 0.92 font ",9"
set label 3 "setpoint 20" at 101, graph 0.92 font ",9"
set label 4 "warm-up" at 201, graph 0.92 font ",9"

left = "#E8452C"; cleft = "#B8860B"; cright = "#2E9E5B"; right = "#2E7FE0"

set title "Low-pressure system: room temperatures and supply air"
set ylabel "°C"
set yrange [14:27]
plot "$tmp/low.csv" using 1:7  with lines lc rgb left   title "left (hot 100 %)", \
     ""             using 1:8  with lines lc rgb cleft  title "centre-left (hot 50 %)", \
     ""             using 1:9  with lines lc rgb cright title "centre-right (no load)", \
     ""             using 1:10 with lines lc rgb right  title "right (cold 75 %)", \
     ""             using 1:3  with steps lc rgb "#555555" dt 2 title "supply air"

set title "Low-pressure system: control-disc openings"
set ylabel "%"
set yrange [25:105]
plot "$tmp/low.csv" using 1:11 with lines lc rgb left   title "left", \
     ""             using 1:12 with lines lc rgb cleft  title "centre-left", \
     ""             using 1:13 with lines lc rgb cright dt 4 title "centre-right", \
     ""             using 1:14 with lines lc rgb right  dt 2 title "right"

set title "Energy consumption (fan, plus 2 kW for each room whose heat is on)"
set ylabel "kW"
set yrange [0:26]
plot "$tmp/low.csv"  using 1:6 with steps lc rgb "#1E1E1E" title "low pressure", \
     "$tmp/high.csv" using 1:6 with steps lc rgb "#8E4FC0" title "high pressure"

set title "Centre-right room: own diffuser (low pressure) or VAV box shared with centre-left (high pressure)"
set ylabel "°C"
set xlabel "control tick (500 ms each)"
set yrange [14:23]
plot "$tmp/low.csv"  using 1:9 with lines lc rgb cright title "low pressure", \
     "$tmp/high.csv" using 1:9 with lines lc rgb "#8E4FC0" title "high pressure"

unset multiplot
GNUPLOT
echo "wrote $out"
