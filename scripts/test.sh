#!/usr/bin/env bash
# The whole test run: set up, build, run every test; then the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer (build-asan), then a bounded fuzz run of every fuzz target
# (build-fuzz, $TAVRELO_FUZZ_SECONDS per target, 20 by default here). Fails when any stage fails.
# TAVRELO_TEST_QUICK=1 runs the normal suite only, for a quick check while working.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BUILD_DIR:-$root/build}

stage() { echo "test: $1 took $(($(date +%s) - $2)) s" >&2; }

start=$(date +%s)
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure --timeout 300
stage "build and suite" "$start"

if [[ "${TAVRELO_TEST_QUICK:-0}" == 1 ]]; then exit 0; fi

start=$(date +%s)
"$root/scripts/sanitize.sh"
stage "sanitizer build and suite" "$start"

start=$(date +%s)
TAVRELO_FUZZ_SECONDS=${TAVRELO_FUZZ_SECONDS:-20} "$root/scripts/fuzz.sh"
stage "fuzz build and run" "$start"
