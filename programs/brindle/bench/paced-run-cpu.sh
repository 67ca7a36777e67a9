#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of a paced run of brindle's live page (not a test).
# Opens the program straight on its live page (--page 3)
# on a virtual X server for SECONDS (default 130: a whole run lasts about 124 s), then the
# same time without the run as the baseline, and prints the CPU share of one core.
# Usage: paced-run-cpu.sh BRINDLE_BINARY [SECONDS]
set -euo pipefail
bin=${1:?usage: $0 BRINDLE_BINARY [SECONDS]}
secs=${2:-130}
measure() { # prints "user system elapsed"
  local out
  out=$(mktemp)
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" /usr/bin/time -f '%U %S %e' -o "$out" timeout "$secs" "$bin" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$out"
  rm -f "$out"
}
read -r ru rs re < <(measure --page 3)
read -r iu is ie < <(measure)
awk -v ru="$ru" -v rs="$rs" -v re="$re" -v iu="$iu" -v is="$is" -v ie="$ie" 'BEGIN {
  printf "paced run : %.2f s CPU in %.1f s = %.2f %% of one core\n", ru + rs, re, 100 * (ru + rs) / re
  printf "idle      : %.2f s CPU in %.1f s = %.2f %% of one core\n", iu + is, ie, 100 * (iu + is) / ie
  printf "run alone : %.2f %% of one core (target < 5 %%)\n", 100 * ((ru + rs) - (iu + is)) / re
}'
