#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# sorrel's precise mode for every nuclear charge: the extrapolated total energy, the
# Hartree–Fock limit and their difference. Usage: scripts/measure-precise.sh [build dir]
set -eu
bin=${1:-build}/bin/sorrel
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '%3s %16s %14s %10s\n' Z E_extrapolated E_HF_limit difference
for Z in 1 2 3 4 5 6 7 8 9 10; do
    QT_QPA_PLATFORM=offscreen "$bin" --export-data "$tmp/$Z" --precise --Z "$Z" >/dev/null 2>&1
    tail -n 1 "$tmp/$Z/precise.csv" |
        awk -F, -v Z="$Z" '{ printf "%3d %16.9f %14.7f %10.1e\n", Z, $7, $8, $7 - $8 }'
done
