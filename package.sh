#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: ./package.sh   — installs what is missing, builds the suite (in the build folder
# ./test.sh uses) and makes its Debian package with CPack. Writes to dist/: the .deb,
# the source archive the package carries, and the screenshots the AppStream metadata
# points at. The last line printed is the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
dir=build
dist=$PWD/dist
{
  configure_and_build "$dir" -DCOURSE_WERROR=ON
  # The source archive first: the package installs it for sorrel's download label.
  rm -f "$dir"/quantum-course-*-source.tar.xz
  (cd "$dir" && cpack --config CPackSourceConfig.cmake)
  cmake --build "$dir" --target screenshots
  rm -rf "$dist" "$dir/_packages"
  mkdir -p "$dist/screenshots"
  (cd "$dir" && cpack --config CPackConfig.cmake -B "$PWD/_packages")
  cp "$dir"/quantum-course-*-source.tar.xz "$dist/"
  cp "$dir"/screenshots/*.png "$dist/screenshots/"
  cp "$dir"/_packages/*.deb "$dist/"
} >&2
ls "$PWD"/dist/*.deb
