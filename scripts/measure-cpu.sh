#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the processor time the live programs use while they draw their paced runs:
# brindle's and tessera's last pages and sorrel's Hartree run, each alone under Xvfb
# for a while, start-up included. Prints (user + system) / elapsed as a percentage of one
# core. A measuring aid, not a test: the figures drift with the machine's load, so
# compare builds in the same sitting (they are run in turns), or better at the same
# time (--together): on a shared virtual machine the same build drifts by half or
# more within an hour, and runs at the same time see the same machine.
#
# Usage: scripts/measure-cpu.sh [--seconds N] [--speed F] [--zoom Z] [--repeat R]
#                               [--only PROGRAM[,PROGRAM…]] [--together] [--whole-run]
#                               [BUILD_DIR…]
#   BUILD_DIR  a build folder (or an install prefix) with bin/brindle, bin/tessera
#              and bin/sorrel; default: build. Several are measured in turns, run for run.
#   --zoom Z   starts the windows at Z times their design size (a kept window size).
#   --only     the programs to measure (brindle, tessera, sorrel), comma-separated.
#   --together starts every program and build of a round at once, each under an X
#              server of its own (each takes a few per cent of a core, so they hardly
#              compete), and prints the round when all have ended.
#   --whole-run measures what showing the page once costs: each program runs until its
#              run has ended (no processor time for 5 s; --seconds is then the longest
#              wait, 600 s unless given) and the processor seconds of the whole run are
#              printed, start-up included, with the time the run took.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="" speed="" zoom=1 repeat=1 only="" together=0 whole=0
dirs=()
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --speed) speed=$2; shift 2 ;;
    --zoom) zoom=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --together) together=1; shift ;;
    --whole-run) whole=1; shift ;;
    -h | --help) sed -n '3,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) dirs+=("$1"); shift ;;
    esac
done
[ ${#dirs[@]} -gt 0 ] || dirs=(build)
[ -n "$seconds" ] || { [ "$whole" = 1 ] && seconds=600 || seconds=60; }
command -v Xvfb >/dev/null || { echo "Xvfb is needed" >&2; exit 2; }

# The client area's design size in pixels (twips / 15) of each program.
design_size() {
    case "$1" in
    brindle) echo "792 724" ;;
    tessera) echo "792 724" ;;
    sorrel) echo "805 734" ;;
    esac
}

# start_server VAR: starts an X server of its own on a free display, sets VAR to that
# display once the server accepts connections (-displayfd), and adds the server to
# xpids. The display is chosen here: a server left to pick one tries every display
# below it, and that disturbs servers starting beside it.
xpids=()
next_display=$((300 + RANDOM % 300))
start_server() {
    local file shown=""
    while [ -e "/tmp/.X$next_display-lock" ] || [ -e "/tmp/.X11-unix/X$next_display" ]; do
        next_display=$((next_display + 1))
    done
    file=$(mktemp)
    Xvfb ":$next_display" -displayfd 3 -screen 0 1920x1600x24 -nolisten tcp -noreset 3>"$file" 2>"$file.log" &
    xpids+=($!)
    next_display=$((next_display + 1))
    for _ in $(seq 200); do
        read -r shown <"$file" || true
        [ -n "$shown" ] && break
        sleep 0.05
    done
    [ -n "$shown" ] || { echo "Xvfb did not start:" >&2; cat "$file.log" >&2; exit 1; }
    rm -f "$file" "$file.log"
    printf -v "$1" '%s' "$shown"
}
stop_servers() {
    [ ${#xpids[@]} -gt 0 ] || return 0
    kill "${xpids[@]}" 2>/dev/null || true
    wait "${xpids[@]}" 2>/dev/null || true
    xpids=()
}
trap stop_servers EXIT

# measure DIR PROGRAM DISPLAY: prints "user sys elapsed ran" of one run on that display
# (ran: how long a --whole-run run took, else --seconds).
measure() {
    local dir=$1 program=$2 display=$3 config args=()
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
    DISPLAY=:$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$config \
        /usr/bin/time -f 'TIMES %U %S %e' -o "$config/times" \
        timeout "$seconds" "$dir/bin/$program" "${args[@]}" >/dev/null 2>"$config/err" &
    local timed=$! ran=""
    [ "$whole" = 1 ] && ran=$(end_when_idle "$timed")
    wait "$timed" || true
    # A run that ended early measured nothing: say why.
    if [ "$whole" = 0 ] && ! awk -v s="$seconds" '/^TIMES/ && $4 >= s - 1 {ok = 1} END {exit !ok}' "$config/times"; then
        echo "$program ($dir) ended early:" >&2
        grep -v XDG_RUNTIME_DIR "$config/err" >&2 || true
    fi
    [ "$whole" = 1 ] && [ -z "$ran" ] && echo "$program ($dir): the run did not end within $seconds s" >&2
    echo "$(sed -n 's/^TIMES //p' "$config/times") ${ran:-$seconds}"
    rm -rf "$config"
}

# end_when_idle PID: PID is /usr/bin/time's; its grandchild is the program. Once the
# program's processor time (all its threads, /proc/…/stat) has not grown for 5 s, its
# run has ended: the program is ended and the run's length (up to the last growth, in
# whole seconds) printed. Prints nothing when the program ended otherwise.
end_when_idle() {
    local program="" ticks last="" at=0 ran=0
    for _ in $(seq 100); do
        program=$(pgrep -P "$(pgrep -P "$1" | head -1)" 2>/dev/null | head -1) || true
        [ -n "$program" ] && break
        sleep 0.05
    done
    [ -n "$program" ] || return 0
    while ticks=$(awk '{print $14 + $15}' "/proc/$program/stat" 2>/dev/null); do
        if [ "$ticks" != "$last" ]; then
            last=$ticks ran=$at
        elif [ $((at - ran)) -ge 5 ]; then
            kill -TERM "$program" 2>/dev/null || true
            echo "$ran"
            return 0
        fi
        sleep 1
        at=$((at + 1))
    done
}

report() { # PROGRAM DIR "USER SYS ELAPSED RAN"
    read -r user sys elapsed ran <<<"$3"
    if [ "$whole" = 1 ]; then
        awk -v p="$1" -v d="$2" -v u="$user" -v s="$sys" -v r="$ran" \
            'BEGIN{printf "%-8s %-28s %5.2f s of processor time (user %.2f s, sys %.2f s), the run took %d s\n", p, d, u+s, u, s, r}'
        return
    fi
    awk -v p="$1" -v d="$2" -v u="$user" -v s="$sys" -v e="$elapsed" \
        'BEGIN{printf "%-8s %-28s %5.2f %% (user %.2f s, sys %.2f s, %.1f s)\n", p, d, 100*(u+s)/e, u, s, e}'
}
chosen() { [ -z "$only" ] || [[ ",$only," == *",$1,"* ]]; }

echo "seconds=$seconds whole-run=$whole speed=${speed:-saved} zoom=$zoom load: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "$together" = 1 ]; then
    results=$(mktemp -d)
    trap 'stop_servers; rm -rf "$results"' EXIT
    for ((r = 1; r <= repeat; r++)); do
        jobs=() runs=()
        for program in brindle tessera sorrel; do
            chosen "$program" || continue
            for dir in "${dirs[@]}"; do
                start_server display
                measure "$dir" "$program" "$display" >"$results/${#jobs[@]}" &
                runs+=($!)
                jobs+=("$program $dir")
            done
        done
        wait "${runs[@]}"
        stop_servers
        for j in "${!jobs[@]}"; do
            read -r program dir <<<"${jobs[$j]}"
            report "$program" "$dir" "$(cat "$results/$j")"
        done
        [ "$r" -lt "$repeat" ] && echo
    done
    exit 0
fi
for program in brindle tessera sorrel; do
    chosen "$program" || continue
    for ((r = 1; r <= repeat; r++)); do
        for dir in "${dirs[@]}"; do
            start_server display
            report "$program" "$dir" "$(measure "$dir" "$program" "$display")"
            stop_servers
        done
    done
done
