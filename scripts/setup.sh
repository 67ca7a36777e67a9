#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the programs and the tests need on Debian 12, then configures and
# builds. Sourced by run.sh and test.sh; installs nothing when everything is there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config lld
  qt6-base-dev libgl-dev libgtest-dev libcanberra-dev python3-fonttools
  fonts-noto-cjk fonts-urw-base35 fonts-ipafont-gothic fonts-liberation2 fonts-dejavu-core
  sound-theme-freedesktop
  poppler-utils xvfb xauth libx11-dev libxcb1-dev libxtst-dev xclip
  qt6-tools-dev qt6-l10n-tools
  help2man librsvg2-bin desktop-file-utils appstream dpkg-dev file
  cups-daemon cups-client
  clang-14 libfuzzer-14-dev
  locales
  at-spi2-core python3-pyatspi dbus
)
# A script may name more packages it needs before sourcing this file
# (package.sh: lintian).
PACKAGES+=(${EXTRA_PACKAGES[@]+"${EXTRA_PACKAGES[@]}"})

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ensure_locale NAME (de_DE, ja_JP): generates NAME.UTF-8 when it is missing.
ensure_locale() {
  local name=$1
  if locale -a 2>/dev/null | grep -ix "$name.utf8" >/dev/null; then return 0; fi
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Generating the $name.UTF-8 locale"
  "${sudo[@]}" sed -i "s/^# *\($name.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
}

# configure_and_build BUILD_DIR [cmake options…]
# Configures on every call, so the options given are the ones the build uses even when
# another script configured the folder before with others (run.sh without -Werror,
# test.sh with it). Configuring again takes seconds; the build then recompiles only
# what a changed option touches.
configure_and_build() {
  configure "$@"
  cmake --build "$1" -j "$(nproc)"
}

# configure BUILD_DIR [cmake options…]
configure() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
install_missing
# A locale that writes decimal commas: some tests check that every number drawn or
# printed keeps its decimal point under it.
ensure_locale de_DE
# Japanese: the Japanese manual pages are made under it, and the tests of the programs'
# Japanese messages run in it.
ensure_locale ja_JP
