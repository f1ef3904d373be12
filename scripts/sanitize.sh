#!/usr/bin/env bash
# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in its own
# build folder (build-asan, or $TAVRELO_ASAN_BUILD_DIR). Fails on any failing test; any sanitizer
# report ends its process with an error, so it fails the test it happened in.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_ASAN_BUILD_DIR:-$root/build-asan}

"$root/scripts/setup.sh"
if [[ ! -f "$build/build.ninja" ]]; then
  # -O1 with line tables: enough for readable reports, and the build is CI's longest stage.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DTAVRELO_SANITIZE=ON -DTAVRELO_BUILD_BENCH=OFF "$@" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure --timeout 600
