#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the start-up of the six programs beside a bare Qt window showing one
# label: the time from exec to the mapping of the first window, under Xvfb, the
# programs taken in turns (round after round) so drift of the machine's load touches
# all alike. Prints each program's median and its ratio to the bare window's median.
# A measuring aid, not a test.
#
# Usage: scripts/measure-startup.sh [--rounds N] [BUILD_DIR]   (default: 9 rounds, build)
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=9 dir=build
while [ $# -gt 0 ]; do
    case "$1" in
    --rounds) rounds=$2; shift 2 ;;
    -h | --help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) dir=$1; shift ;;
    esac
done
[ -x "$dir/bin/bare_window" ] || { echo "$dir/bin/bare_window is missing: build first" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is needed" >&2; exit 2; }

programs=(bare_window calyx oriel quillet tessera brindle sorrel)
work=$(mktemp -d)
display=":$((100 + RANDOM % 400))"
Xvfb "$display" -screen 0 1920x1600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config

for p in "${programs[@]}"; do "scripts/time-to-map.py" "$dir/bin/$p" >/dev/null || true; done # warm caches
for r in $(seq "$rounds"); do
    for p in "${programs[@]}"; do
        t=$(scripts/time-to-map.py "$dir/bin/$p") || { echo "$p: no window" >&2; exit 1; }
        echo "$t" >>"$work/$p"
    done
done

median() { sort -n "$1" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
bare=$(median "$work/bare_window")
printf '%-12s %9s %7s\n' program "median ms" ratio
for p in "${programs[@]}"; do
    m=$(median "$work/$p")
    awk -v p="$p" -v m="$m" -v b="$bare" 'BEGIN {printf "%-12s %9.1f %6.2fx\n", p, m * 1000, m / b}'
done
