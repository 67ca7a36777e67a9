#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: ./run.sh PROGRAM [options]   — installs what is missing, builds, opens PROGRAM.
set -euo pipefail
cd "$(dirname "$0")"
PROGRAMS="tessera quillet brindle oriel calyx sorrel"
if [ $# -lt 1 ] || ! grep -qw -- "$1" <<<"$PROGRAMS"; then
  echo "Usage: $0 PROGRAM [options]    PROGRAM is one of: $PROGRAMS" >&2
  exit 2
fi
program=$1; shift
source scripts/setup.sh
configure_and_build build -DCOURSE_WERROR=OFF
exec "build/bin/$program" "$@"
