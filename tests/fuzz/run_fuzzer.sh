#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# run_fuzzer.sh FUZZER SECONDS DICT SAVED_CORPUS SEEDS
# Runs every saved input and seed through FUZZER, then fuzzes for SECONDS. New inputs
# go to a temporary folder; a crash, hang or sanitizer report fails the run, and the
# input that caused it is printed (base64) and copied to $TMPDIR (or /tmp).
set -euo pipefail
fuzzer=$1 seconds=$2 dict=$3 saved=$4 seeds=$5
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/new"
corpora=("$work/new")
for d in "$saved" "$seeds"; do
  [ -d "$d" ] && corpora+=("$d")
done
cd "$work"
status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=256 -dict="$dict" \
  -print_final_stats=1 "${corpora[@]}" > "$work/log" 2>&1 || status=$?
grep -E '^(INFO: seed corpus|#[0-9]+ +(INITED|DONE)|stat::number_of_executed_units|stat::average_exec_per_sec)' "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -60 "$work/log"
  for f in "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-*; do
    [ -e "$f" ] && { echo "failing input (base64): $(base64 -w0 "$f")"; cp "$f" "${TMPDIR:-/tmp}/"; }
  done
  exit "$status"
fi
