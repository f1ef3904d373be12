#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, in build-fuzz or $TAVRELO_FUZZ_BUILD_DIR) and runs each for
# a bounded time: $TAVRELO_FUZZ_SECONDS seconds (default 60), one input may take 10 s at most.
# Fails when any target crashes, hangs, runs out of memory or makes a sanitizer report; the input
# that did it is copied to tests/data/fuzz/regressions/<target>/, where the normal test suite
# replays it (fuzz_replay_test). Commit it together with the fix.
# The mutations start from a fixed seed (-seed=1), so a run is repeatable on the same machine.
#
# Usage: scripts/fuzz.sh [target ...]   (default: every target)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${TAVRELO_FUZZ_SECONDS:-60}
all_targets=(parse_render register_request register_tape numbers formatting reply_field ini_values
  retrieval_replies)
targets=("${@:-${all_targets[@]}}")

"$root/scripts/setup.sh"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTAVRELO_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target fuzz_targets

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
  seeds=$root/tests/data/fuzz/$target
  corpus=$build/corpus/$target        # what the runs found so far; not committed
  artifacts=$build/artifacts/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  rm -f "$artifacts"/*
  start=$SECONDS
  status=0
  "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -seed=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "fuzz: $target: ${runs:-?} inputs in $((SECONDS - start)) s, status $status"
  if ((status != 0)) || compgen -G "$artifacts/*" >/dev/null; then
    failed+=("$target")
    tail -n 40 "$log" >&2
    regressions=$root/tests/data/fuzz/regressions/$target
    mkdir -p "$regressions"
    for input in "$artifacts"/*; do
      [[ -f "$input" ]] || continue
      cp "$input" "$regressions/"
      echo "fuzz: kept $regressions/$(basename "$input")" >&2
    done
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzz: FAILED: ${failed[*]} (logs in $build/logs)" >&2
  exit 1
fi
echo "fuzz: all ${#targets[@]} targets ran ${seconds} s each without a finding"
