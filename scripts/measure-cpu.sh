#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the processor time the live programs use while they draw their paced runs:
# brindle's and tessera's last pages and sorrel's Hartree run, each alone under Xvfb
# for a while, start-up included. Prints (user + system) / elapsed as a percentage of one
# core. A measuring aid, not a test: the figures drift with the machine's load, so
# compare builds in the same sitting (they are run in turns).
#
# Usage: scripts/measure-cpu.sh [--seconds N] [--speed F] [--zoom Z] [--repeat R]
#                               [--only brindle|tessera|sorrel] [BUILD_DIR…]
#   BUILD_DIR  a build folder (or an install prefix) with bin/brindle, bin/tessera
#              and bin/sorrel; default: build. Several are measured in turns, run for run.
#   --zoom Z   starts the windows at Z times their design size (a kept window size).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60 speed="" zoom=1 repeat=1 only=""
dirs=()
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --speed) speed=$2; shift 2 ;;
    --zoom) zoom=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) dirs+=("$1"); shift ;;
    esac
done
[ ${#dirs[@]} -gt 0 ] || dirs=(build)
command -v xvfb-run >/dev/null || { echo "xvfb-run is needed" >&2; exit 2; }

# The client area's design size in pixels (twips / 15) of each program.
design_size() {
    case "$1" in
    brindle) echo "792 724" ;;
    tessera) echo "792 724" ;;
    sorrel) echo "805 734" ;;
    esac
}

# measure DIR PROGRAM: prints "user sys elapsed" of one run.
measure() {
    local dir=$1 program=$2 config args=()
    config=$(mktemp -d)
    if [ "$zoom" != 1 ]; then
        read -r w h <<<"$(design_size "$program")"
        mkdir -p "$config/quantum-course"
        printf '[window]\nsize=@Size(%d %d)\n' \
            "$(awk -v a="$w" -v z="$zoom" 'BEGIN{printf "%d", a*z}')" \
            "$(awk -v a="$h" -v z="$zoom" 'BEGIN{printf "%d", a*z}')" >"$config/quantum-course/$program.conf"
    fi
    [ "$program" = brindle ] && args+=(--page 3)
    [ "$program" = tessera ] && args+=(--page 4)
    [ -n "$speed" ] && args+=(--speed "$speed")
    XDG_CONFIG_HOME=$config xvfb-run -a -s "-screen 0 1920x1600x24" \
        /usr/bin/time -f 'TIMES %U %S %e' -o "$config/times" \
        timeout "$seconds" "$dir/bin/$program" "${args[@]}" >/dev/null 2>&1 || true
    sed -n 's/^TIMES //p' "$config/times"
    rm -rf "$config"
}

echo "seconds=$seconds speed=${speed:-saved} zoom=$zoom load: $(cut -d' ' -f1-3 /proc/loadavg)"
for program in brindle tessera sorrel; do
    [ -n "$only" ] && [ "$only" != "$program" ] && continue
    for ((r = 1; r <= repeat; r++)); do
        for dir in "${dirs[@]}"; do
            read -r user sys elapsed <<<"$(measure "$dir" "$program")"
            awk -v p="$program" -v d="$dir" -v u="$user" -v s="$sys" -v e="$elapsed" \
                'BEGIN{printf "%-8s %-28s %5.2f %% (user %.2f s, sys %.2f s, %.1f s)\n", p, d, 100*(u+s)/e, u, s, e}'
        done
    done
done
