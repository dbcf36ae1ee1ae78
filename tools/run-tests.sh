#!/usr/bin/env bash
# Builds Quillon and runs every test headless.
#   tools/run-tests.sh             plain build in build-tests/
#   tools/run-tests.sh --sanitize  AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/,
#                                  with clang; the same build holds the fuzz targets (tools/fuzz.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
  bash tools/install-deps.sh --fuzz
  # One clang build serves the sanitizer suite and the fuzzers (as in fuzz.sh).
  if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' build-asan/CMakeCache.txt; then
    rm -rf build-asan
  fi
  # Line tables are all a sanitizer report needs, and build far faster than full debug information.
  CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON
  cmake --build build-asan -j2
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir build-asan --output-on-failure -j2
else
  cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build-tests -j2
  ctest --test-dir build-tests --output-on-failure -j2
fi
