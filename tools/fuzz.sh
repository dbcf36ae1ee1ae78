#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one
# for a bounded time (60 s by default).
#
#   tools/fuzz.sh                 every target, 60 s each
#   tools/fuzz.sh 300             every target, 300 s each
#   tools/fuzz.sh 30 fuzz_hex     one target, 30 s
#
# A crash, a sanitizer report, a hang (one input taking over 20 s), a leak,
# more than 2 GB resident or a single allocation over 256 MB stops a target
# and fails the script; the input is kept in build-fuzz/artifacts/<target>/.
# What a run learned is kept in build-fuzz/corpus/<target>/ for the next.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_parser fuzz_panes fuzz_hex fuzz_settings)

bash tools/install-deps.sh --fuzz
export QT_QPA_PLATFORM=offscreen
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_TESTS=OFF
fi
cmake --build build-fuzz -j2 --target "${targets[@]}"

# A smaller quarantine keeps the resident size honest for the memory limit.
export ASAN_OPTIONS="quarantine_size_mb=64:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"

dictionary() {
  case "$1" in
    fuzz_parser|fuzz_panes) echo "-dict=$PWD/fuzz/parser.dict" ;;
    fuzz_hex) echo "-dict=$PWD/fuzz/hex.dict" ;;
  esac
}

failed=()
for t in "${targets[@]}"; do
  seeds="$PWD/fuzz/seeds/${t#fuzz_}"
  corpus="build-fuzz/corpus/$t"
  artifacts="build-fuzz/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  echo "== $t: $seconds s"
  # shellcheck disable=SC2046
  if ! build-fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/" \
       $(dictionary "$t") "$corpus" "$seeds" > "build-fuzz/$t.log" 2>&1; then
    failed+=("$t")
    tail -n 40 "build-fuzz/$t.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "build-fuzz/$t.log" | sed "s/^/   /" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]} (inputs in build-fuzz/artifacts/)"
  exit 1
fi
echo "All fuzz targets ran clean."
