#!/usr/bin/env bash
# Builds Quillon from scratch in build-tests/ and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-tests -j2
ctest --test-dir build-tests --output-on-failure -j2
