#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures on a real X server (Xephyr, nested in an Xvfb) the processor time of a
# live program with frames sent through shared memory and as copied requests
# (QT_XCB_NO_MITSHM=1, the programs' default), in alternating runs. Prints
# "shm|copied user sys" per run. A measuring aid, not a test.
#
# Usage: scripts/measure-copied-frames.sh [--seconds N] [--rounds R] PROGRAM [ARGS…]
#   e.g. scripts/measure-copied-frames.sh brindle --page 3;  needs xserver-xephyr.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=20 rounds=3 dir=${BUILD_DIR:-build}
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "name a program (brindle, sorrel, …)" >&2; exit 2; }
program=$1; shift
command -v Xephyr >/dev/null || { echo "Xephyr is needed (apt-get install xserver-xephyr)" >&2; exit 2; }
host=":$((500 + RANDOM % 200))" nested=":$((700 + RANDOM % 200))"
work=$(mktemp -d)
Xvfb "$host" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${host#:}" ] && break; sleep 0.1; done
DISPLAY=$host Xephyr "$nested" -screen 1000x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${nested#:}" ] && break; sleep 0.1; done
for _ in $(seq "$rounds"); do
    for mode in shm copied; do
        mkdir -p "$work/config"
        flag=(COURSE_SHM_FRAMES=1)
        [ "$mode" = copied ] && flag=(QT_XCB_NO_MITSHM=1)
        env -u QT_XCB_NO_MITSHM "${flag[@]}" DISPLAY="$nested" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" \
            /usr/bin/time -f '%U %S' -o "$work/times" timeout "$seconds" "$dir/bin/$program" "$@" >/dev/null 2>&1 || true
        echo "$mode $(tail -1 "$work/times")"
        rm -rf "$work/config"
    done
done
