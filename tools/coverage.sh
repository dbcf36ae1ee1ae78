#!/usr/bin/env bash
# Line coverage of src/ by the whole test suite, measured with gcovr.
#   tools/coverage.sh            build in build-coverage/, run every test, print the summary
#   tools/coverage.sh --files    also list each source file's coverage
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh --coverage
export QT_QPA_PLATFORM=offscreen
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
      -DCMAKE_EXE_LINKER_FLAGS=--coverage "${launcher[@]}"
cmake --build build-coverage -j2
find build-coverage -name '*.gcda' -delete
ctest --test-dir build-coverage --output-on-failure -j2
args=(--root . --filter 'src/')
if [ "${1:-}" = "--files" ]; then
  gcovr "${args[@]}" build-coverage --txt
fi
gcovr "${args[@]}" --print-summary --txt /dev/null build-coverage
