#!/usr/bin/env bash
# Builds and runs every test: a normal build with warnings as errors, then the
# Windows programs, their suites and their installer under Wine, then the
# whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, then the
# threaded parts under ThreadSanitizer, then a short fuzzing run of every
# input parser (when clang is there).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh

# Each stage's heading says how long the one before it took, so that CI's
# log shows where its time goes.
stage_start=$SECONDS
stage() {
  echo "   ($((SECONDS - stage_start)) s)"
  stage_start=$SECONDS
  echo "== $1"
}

run_ctest() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure --timeout 300 "$@")
}

stage "build (warnings are errors)"
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPST_WERROR=ON
stage "tests"
run_ctest build/release

stage "the Windows programs under Wine"
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [[ -x /usr/lib/wine/wine64 ]]; then
  scripts/windows-test.sh build/release
else
  echo "skipped: mingw-w64 or Wine is not installed (scripts/setup.sh installs them)"
fi

stage "benchmark (a report, not a test)"
build/release/bin/pst-bench-exchange || echo "the benchmark could not run"

stage "build with AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug -DPST_WERROR=ON -DPST_SANITIZE=address -DPST_BUILD_BENCH=OFF
stage "tests under ASan + UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build/asan

stage "build with ThreadSanitizer"
scripts/build.sh build/tsan -DCMAKE_BUILD_TYPE=Debug -DPST_WERROR=ON -DPST_SANITIZE=thread -DPST_BUILD_BENCH=OFF
stage "tests under TSan"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  run_ctest build/tsan

stage "fuzzing (20 s per target)"
if command -v clang++ >/dev/null; then
  scripts/fuzz.sh 20
else
  echo "skipped: clang++ is not installed (scripts/setup.sh installs it)"
fi
stage "done"
