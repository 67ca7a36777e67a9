#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: ./package.sh [cmake options…]   — installs what is missing, builds the suite in
# build-package/ with Debian's hardening flags and makes its Debian package with CPack,
# then checks it with lintian (an error or a warning fails). Writes to dist/: the .deb,
# the source archive the package carries, and the screenshots for the AppStream
# metadata. The last line printed is the path of the .deb.
#
# The maintainer comes from -DCOURSE_MAINTAINER="Name <address>" or from DEBFULLNAME
# and DEBEMAIL; -DCOURSE_HOMEPAGE_URL=… and -DCOURSE_SCREENSHOT_URL=… add the addresses
# to the metadata. The package is made from the last commit: the source archive is
# that commit, and every date in the package is its date (SOURCE_DATE_EPOCH), so two
# checkouts of one commit give the same .deb byte for byte, wherever they lie.
set -euo pipefail
cd "$(dirname "$0")"
EXTRA_PACKAGES=(lintian git xz-utils)
source scripts/setup.sh
dir=build-package
dist=$PWD/dist

if ! git rev-parse --verify -q HEAD >/dev/null; then
  echo "package.sh: $PWD is not a git checkout; the package is made from its last commit" >&2
  exit 1
fi
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "package.sh: note: changes that are not committed are built, but the source archive" \
       "holds the last commit only" >&2
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH

# Debian's build flags: the hardening options (fortify, stack protector, bind-now; the
# compiler makes position-independent executables by default), and the source folder
# mapped to "." in debug information and file names the compiler writes.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=+all"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
case "$cxxflags" in
  *"-ffile-prefix-map=$PWD=."*) ;;
  *) cxxflags+=" -ffile-prefix-map=$PWD=." ;;
esac

{
  configure "$dir" -DCOURSE_WERROR=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" "$@"
} >&2
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$dir/CMakeCache.txt"; }
if [ -z "$(cache_value COURSE_PACKAGE_MAINTAINER)" ]; then
  echo "package.sh: no maintainer for the package: give -DCOURSE_MAINTAINER=\"Name <address>\"" \
       "or set DEBFULLNAME and DEBEMAIL (see README)" >&2
  exit 1
fi
version=$(cache_value CMAKE_PROJECT_VERSION)
{
  cmake --build "$dir" -j "$(nproc)"
  # The source archive first: the package installs it for sorrel's download label.
  git archive --format=tar --prefix="quantum-course-$version/" HEAD |
    xz -9 -T1 >"$dir/quantum-course-$version-source.tar.xz"
  cmake --build "$dir" --target screenshots
  rm -rf "$dist" "$dir/_packages"
  mkdir -p "$dist/screenshots"
  (cd "$dir" && cpack --config CPackConfig.cmake -B "$PWD/_packages")
  cp "$dir/quantum-course-$version-source.tar.xz" "$dist/"
  cp "$dir"/screenshots/*.png "$dist/screenshots/"
  cp "$dir"/_packages/*.deb "$dist/"
} >&2
deb=$(ls "$dist"/*.deb)
if ! lintian --pedantic --info --display-info --fail-on error,warning "$deb" >&2; then
  echo "package.sh: lintian finds errors or warnings in $deb" >&2
  exit 1
fi
echo "$deb"
