#!/usr/bin/env bash
# Builds the libFuzzer targets (every fuzz/fuzz_*.cpp) with clang in
# build-asan/, the sanitizer suite's folder, and runs each one for a bounded
# time over its seed corpus, then prints how many inputs each one ran.
#
#   tools/fuzz.sh                 every target, 60 s each
#   tools/fuzz.sh 600             every target, 600 s each
#   tools/fuzz.sh 30 fuzz_hex     one target, 30 s
#
# Targets run side by side, as many as there are cores (FUZZ_JOBS=1 runs
# them one after another).
#
# A crash, a sanitizer report, a hang (one input taking over 20 s), a leak,
# more than 2 GB resident or a single allocation over 256 MB stops a target
# and fails the script; the input is kept in build-asan/fuzz-artifacts/<target>/.
# What a run learned is kept in build-asan/fuzz-corpus/<target>/ for the next;
# the seeds in fuzz/seeds/<name>/ (the target's name without "fuzz_") are
# only read. To keep a find that raises coverage, merge it into the seeds:
#   build-asan/fuzz/fuzz_hex -merge=1 fuzz/seeds/hex build-asan/fuzz-corpus/fuzz_hex
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

bash tools/install-deps.sh --fuzz
# One clang build serves the sanitizer suite and the fuzzers (as in run-tests.sh).
if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' build-asan/CMakeCache.txt; then
  rm -rf build-asan
fi
# Line tables are all a sanitizer report needs, and build far faster than full debug information.
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON >/dev/null
export QT_QPA_PLATFORM=offscreen
if [ $# -eq 0 ]; then
  cmake --build build-asan -j2 --target quillon_fuzzers
else
  cmake --build build-asan -j2 --target "${targets[@]}"
fi

# Tuned for executions per second, which the allocator dominates: a small
# quarantine reuses freed memory sooner instead of faulting in fresh pages,
# new blocks are not filled, and an allocation records two frames, not
# thirty (together the panes target runs about 40 % faster). A finding's
# input, run again by hand with the defaults, gives the full report.
export ASAN_OPTIONS="quarantine_size_mb=4:malloc_context_size=2:max_malloc_fill_size=0:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"

dictionary() {
  local name="${1#fuzz_}"
  case "$name" in
    panes) name=parser ;;   # the panes are fed the parser's words
  esac
  [ -f "fuzz/$name.dict" ] && echo "-dict=$PWD/fuzz/$name.dict"
  return 0
}

# Options of one target. The panes lay out every line they get, about 2 us
# a byte under the sanitizers, so their inputs are kept to 160 bytes (about
# eight lines, against scrollback limits of up to 6) for a run to try many;
# and the toolkit's caches (fonts, layouts, text shaping) keep memory from
# one input to the next, which libFuzzer's per-input leak hunt takes for a
# leak and runs again and again: for them leaks are left to the check at
# exit and to the sanitizer suite.
options() {
  case "$1" in
    fuzz_panes) echo "-max_len=160 -detect_leaks=0" ;;
  esac
  return 0
}

stat() {   # stat NAME LOG: the value of libFuzzer's final "stat::NAME: value" line
  sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

# One target: its run, then its line of the table in build-asan/fuzz-<target>.row.
fuzz_one() {
  local t="$1"
  local seeds="fuzz/seeds/${t#fuzz_}"
  local corpus="build-asan/fuzz-corpus/$t"
  local artifacts="build-asan/fuzz-artifacts/$t"
  local log="build-asan/fuzz-$t.log"
  local result dirs
  mkdir -p "$corpus" "$artifacts"
  dirs=("$corpus")
  [ -d "$seeds" ] && dirs+=("$seeds")
  # shellcheck disable=SC2046
  if build-asan/fuzz/"$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/" \
       $(dictionary "$t") $(options "$t") "${dirs[@]}" > "$log" 2>&1 && [ -n "$(stat number_of_executed_units "$log")" ]; then
    result=clean
  else
    result=FAILED
  fi
  printf '%-16s %12s %10s %8s   %s\n' "$t" "$(stat number_of_executed_units "$log")" \
    "$(stat average_exec_per_sec "$log")" "$(stat peak_rss_mb "$log")" "$result" > "build-asan/fuzz-$t.row"
  echo "== $t: $result"
}

# The targets run side by side, one to a core (FUZZ_JOBS to choose): each
# is a single process, so the figures are per core either way.
jobs="${FUZZ_JOBS:-$(nproc)}"
echo "Fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time"
running=0
for t in "${targets[@]}"; do
  rm -f "build-asan/fuzz-$t.row"
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_one "$t" &
  running=$((running + 1))
done
wait

failed=()
echo
printf '%-16s %12s %10s %8s   %s\n' target executions "per s" "peak MB" result
for t in "${targets[@]}"; do
  row="$(cat "build-asan/fuzz-$t.row" 2>/dev/null || printf '%-16s %12s %10s %8s   %s' "$t" ? ? ? FAILED)"
  echo "$row"
  if [[ "$row" == *FAILED ]]; then
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  for t in "${failed[@]}"; do
    echo "---- $t: the end of build-asan/fuzz-$t.log"
    tail -n 40 "build-asan/fuzz-$t.log" || true
  done
  echo "FAILED: ${failed[*]} (inputs in build-asan/fuzz-artifacts/, logs in build-asan/fuzz-*.log)"
  exit 1
fi
echo "All fuzz targets ran clean."
