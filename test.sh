#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: ./test.sh [--sanitize | --fuzz]   — installs what is missing, builds, runs every test.
# With --sanitize the suite is built and run with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of its own. With --fuzz the text
# parsers' fuzzers are built with clang and each runs its saved corpus and fuzzes
# for a short while (COURSE_FUZZ_SECONDS, default 20).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
dir=build
# Unity builds and lld for the two builds of the whole suite (see cmake/UnityBuild.cmake):
# a clean build of each takes about half as long. The fuzz build, the engine alone,
# compiles every file on its own, which also checks each engine file's includes.
# Line tables only (-g1): the sanitizers' reports and a profile keep their files and
# lines, and each build compiles about a fifth faster than with full debug information.
opts=(-DCOURSE_WERROR=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")
whole_suite=(-DCMAKE_UNITY_BUILD=ON -DCOURSE_LINKER=lld)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  # -O1, as the sanitizers' own documentation advises: the reports keep their lines and
  # frames, and the numerical tests run several times faster than unoptimised.
  # The benchmarks' timings mean nothing under the sanitizers: not built there.
  opts+=("${whole_suite[@]}" -DCOURSE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O1"
         -DCOURSE_BENCHMARKS=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${1:-}" = "--fuzz" ]; then
  dir=build-fuzz
  opts+=(-DCOURSE_FUZZ=ON -DCOURSE_FUZZ_SECONDS="${COURSE_FUZZ_SECONDS:-20}")
  export CC=clang-14 CXX=clang++-14
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  opts+=("${whole_suite[@]}")
fi
configure_and_build "$dir" "${opts[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 600
