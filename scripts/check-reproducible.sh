#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: scripts/check-reproducible.sh [package.sh options…]
# Checks that the package is reproducible: clones the last commit twice, into two
# folders of different names and depths, runs ./package.sh in each (with the options
# given, and the maintainer from the environment as package.sh takes it) and compares
# the two .debs byte for byte. Ends with status 0 when they are the same; otherwise
# names the files that differ and ends with status 1. The clones are removed after.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

debs=()
for clone in "$work/a" "$work/second/clone-b"; do
  git clone -q --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "check-reproducible: packaging $commit in $clone" >&2
  debs+=("$("$clone/package.sh" "$@" | tail -n 1)")
done

if cmp -s "${debs[0]}" "${debs[1]}"; then
  echo "check-reproducible: the same package from both folders: $(sha256sum "${debs[0]}" | cut -d' ' -f1)"
  exit 0
fi
echo "check-reproducible: the packages differ:" >&2
for i in 0 1; do
  mkdir -p "$work/x$i/DEBIAN"
  dpkg-deb -x "${debs[$i]}" "$work/x$i"
  dpkg-deb -e "${debs[$i]}" "$work/x$i/DEBIAN"
  ar t "${debs[$i]}" >"$work/x$i/DEBIAN/members"
done
diff -rq "$work/x0" "$work/x1" >&2 || true
exit 1
