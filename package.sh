#!/usr/bin/env bash
# Usage: ./package.sh   — installs what is missing, builds the suite for /usr and makes
# its Debian package with CPack. Writes to dist/: the .deb, the source archive the
# package carries, and the screenshots the AppStream metadata points at. The last line
# printed is the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
dir=build-package
dist=$PWD/dist
{
  configure_and_build "$dir" -DCMAKE_INSTALL_PREFIX=/usr -DCOURSE_WERROR=ON
  # The source archive first: the package installs it for sorrel's download label.
  (cd "$dir" && cpack --config CPackSourceConfig.cmake)
  cmake --build "$dir" --target screenshots
  rm -rf "$dist" "$dir/_packages"
  mkdir -p "$dist/screenshots"
  (cd "$dir" && cpack --config CPackConfig.cmake -B "$PWD/_packages")
  cp "$dir"/quantum-course-*-source.tar.xz "$dist/"
  cp "$dir"/screenshots/*.png "$dist/screenshots/"
  cp "$dir"/_packages/*.deb "$dist/"
} >&2
ls "$dist"/*.deb
