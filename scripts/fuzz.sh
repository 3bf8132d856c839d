#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzz targets with clang (build/fuzz), replays
# every saved regression input, then fuzzes each target for SECONDS (default
# 20) from a fresh copy of its committed corpus, two targets at a time.
# Fails when any target crashes or breaks a check; the input that did it is
# saved to fuzz/regressions/<target>/, which later runs replay (and CTest's
# fuzz_replay_* cases too).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-20}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi

build=build/fuzz
echo "== fuzz: build ($build)"
# The front ends' libraries hold readers too (profiles, apply reports); their
# windows are not needed.
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DPST_BUILD_FUZZ=ON -DPST_WERROR=ON -DPST_BUILD_FRONT_ENDS=ON -DPST_BUILD_WINDOWS=OFF >/dev/null
cmake --build "$build" -j2 --target pst_fuzz_targets >/dev/null

# Every target has a seed corpus folder of its name.
targets=$(ls fuzz/corpus)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()

echo "== fuzz: replay the saved regression inputs"
for target in $targets; do
  inputs=()
  [[ -d fuzz/regressions/$target ]] && mapfile -t inputs < <(find fuzz/regressions/$target -type f | sort)
  ((${#inputs[@]})) || continue
  if "$build/bin/fuzz_$target" -runs=1 "${inputs[@]}" >"$build/replay-$target.log" 2>&1; then
    echo "$target: ${#inputs[@]} regression inputs pass"
  else
    echo "$target: a regression input fails again (see $build/replay-$target.log)"
    failed+=("$target")
  fi
done

# Limits of one input. The harnesses keep each input to milliseconds (large
# pictures are checked from their headers only), so an input that takes
# half a minute hangs; memory: a reader asking for more than 1 GiB at once
# for a few kilobytes of input is a fault, and 2 GiB of the whole process
# leaves room for AddressSanitizer's own bookkeeping.
timeout=30
timeout_status=70

# One target: fuzz a copy of its corpus; a crash input goes to the regressions.
fuzz_one() {
  local target=$1 work=$build/run/$1
  rm -rf "$work" && mkdir -p "$work/corpus" "fuzz/regressions/$target"
  cp fuzz/corpus/$target/* "$work/corpus/"
  local status=0
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=$timeout -timeout_exitcode=$timeout_status \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="fuzz/regressions/$target/" "$work/corpus" >"$work/log" 2>&1 || status=$?
  # A timeout on a machine busy with other work is no fault of the code:
  # the input runs again on its own, and only a second timeout fails.
  local slow
  slow=$(ls -t fuzz/regressions/$target/timeout-* 2>/dev/null | head -n1 || true)
  if ((status == timeout_status)) && [[ -n $slow ]] &&
    "$build/bin/fuzz_$target" -runs=1 -timeout=$timeout "$slow" >>"$work/log" 2>&1; then
    echo "fuzz: $slow ran through on its own: the machine was busy" >>"$work/log"
    rm -f "$slow"
    status=0
  fi
  echo $status >"$work/status"
  rmdir "fuzz/regressions/$target" 2>/dev/null || true  # kept only when it holds something
}

echo "== fuzz: $seconds s per target, two at a time"
running=0
for target in $targets; do
  fuzz_one "$target" &
  running=$((running + 1))
  if ((running == 2)); then wait -n || true; running=$((running - 1)); fi
done
wait || true

printf '%-16s %12s %12s  %s\n' target executions "new inputs" result
for target in $targets; do
  work=$build/run/$target
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  seeds=$(find fuzz/corpus/$target -type f | wc -l)
  now=$(find "$work/corpus" -type f | wc -l)
  if [[ $(cat "$work/status") == 0 ]]; then
    result=ok
  else
    result="FAILED: $(grep -m1 -E 'ERROR: (libFuzzer|AddressSanitizer|UndefinedBehaviorSanitizer)|check failed|runtime error' "$work/log" || echo "exit $(cat "$work/status")")"
    result+=" (input saved in fuzz/regressions/$target/, log $work/log)"
    failed+=("$target")
  fi
  printf '%-16s %12s %12s  %s\n' "$target" "${runs:-?}" "$((now - seeds))" "$result"
done

if ((${#failed[@]})); then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no target found a fault"
